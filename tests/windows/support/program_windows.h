// Every window of the program, for the tests that open each in turn in
// every language at the session's scale.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

struct TestLanguage {
    std::uint8_t index;
    const char* name;
};
// The four languages, for INSTANTIATE_TEST_SUITE_P with testLanguageName:
// test names and messages show the language by name.
extern const TestLanguage EveryLanguage[4];
std::string testLanguageName(const testing::TestParamInfo<TestLanguage>& language);
void PrintTo(const TestLanguage& language, std::ostream* out);

// One window: how it opens, a control only it has, and the views (tabs)
// that `show` brings up one after another.
struct ProgramWindow {
    std::string name;
    std::function<INT_PTR()> open;
    int controlId;
    int views = 1;
    std::function<void(HWND, int)> show = nullptr;
};
// The main window, every question and error the windows ask or report, the
// general settings, the two gamepad windows (the caller installs a scripted
// controller) and the system information.
std::vector<ProgramWindow> programWindows();

// The session's DPI; when the run says which it must be
// (ORVANTE_EXPECT_DPI), a failure unless it is.
int sessionDpi();
void expectSessionDpi();
