// Entry of the Windows test executable: the platform set up as the tool's own
// entry does it, then every test.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <gtest/gtest.h>

int wmain(int argc, wchar_t** argv)
{
    CoInitialize(nullptr);
    InitCommonControls();
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    CoUninitialize();
    return result;
}
