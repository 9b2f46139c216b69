#include "support/app_fixture.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "shell/app_state_win32.h"

void initializeApplicationOnce()
{
    static const bool initialized = InitializeApplication(GetModuleHandleW(nullptr));
    ASSERT_TRUE(initialized);
}

std::wstring settingsFile(const wchar_t* name)
{
    initializeApplicationOnce();
    wchar_t path[SettingsPathCapacity];
    EXPECT_TRUE(SettingsFilePath(name, path));
    return path;
}

void removeSettingsFile(const wchar_t* name)
{
    DeleteFileW(settingsFile(name).c_str());
}
