// Entry of the Windows test executable: the platform set up as the tool's own
// entry does it, then every test, or with `--screenshots FOLDER` the pictures
// of the shell's windows.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include "app/requested_probe_win32.h"
#include "support/app_fixture.h"
#include "support/screenshots.h"
#include "support/test_probes.h"

int wmain(int argc, wchar_t** argv)
{
    // Probe processes, the tool's and the tests' own.
    if (RunTestProbe() || RunRequestedProbe())
        return 0;
    // `--wait EVENT`: a second process of this program, for the process list
    // tests; it ends when the event is set, or after a minute.
    if (argc == 3 && lstrcmpW(argv[1], L"--wait") == 0) {
        if (const HANDLE event = OpenEventW(SYNCHRONIZE, FALSE, argv[2])) {
            WaitForSingleObject(event, 60000);
            CloseHandle(event);
        }
        return 0;
    }
    CoInitialize(nullptr);
    InitCommonControls();
    if (argc == 3 && lstrcmpW(argv[1], L"--screenshots") == 0) {
        const int result = takeScreenshots(argv[2]);
        CoUninitialize();
        return result;
    }
    testing::InitGoogleTest(&argc, argv);
    guardProcessState();
    const int result = RUN_ALL_TESTS();
    CoUninitialize();
    return result;
}
