// The tool started as a process of its own and driven faster than any
// player: each button clicked the moment its window appears, the window
// closed the moment it answers, in several orders. No window of the tool may
// stop answering for 5 s (the windows and the work beside them waiting on
// each other), and the process ends within a second of the last answer, with
// exit code 0, whatever still runs beside the windows.
//
// Registered to run in a prefix made afresh for the run as well, where the
// graphics runtime starts cold.
//
// The graphics runtime runs in probe processes only, never beside the
// tool's windows: under Wine its threads and the windows can stop each
// other for good.
#include <windows.h>

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "support/tool_process.h"

namespace {

constexpr DWORD AnswerLimitMilliseconds = 5000;
constexpr DWORD LeavingLimitMilliseconds = 1000;
constexpr auto GiveUpAfter = std::chrono::seconds(60);

// True unless `window` exists and did not answer within the limit (a window
// that went away meanwhile does not answer either).
bool answersOrIsGone(HWND window)
{
    return !window || answersWithin(window, AnswerLimitMilliseconds) || !IsWindow(window);
}

// Polls `ready` until it holds, while the main window (hidden or not) and
// every visible window of the tool answer within the limit; false when one
// did not, or after GiveUpAfter.
bool whileAnswering(const ToolProcess& tool, HWND main, const char* what, const std::function<bool()>& ready)
{
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        if (ready())
            return true;
        if (!answersOrIsGone(main) || !answersOrIsGone(visibleDialogOf(tool.id()))) {
            ADD_FAILURE() << "a window stopped answering while waiting for " << what;
            return false;
        }
        if (std::chrono::steady_clock::now() - start > GiveUpAfter) {
            ADD_FAILURE() << "gave up waiting for " << what;
            return false;
        }
        Sleep(1);
    }
}

// Clicks `button` the moment the main window is back, closes the window it
// opens the moment that answers, and waits for the main window again.
bool openAndClose(const ToolProcess& tool, HWND main, int button)
{
    postClick(main, button);
    HWND opened = nullptr;
    if (!whileAnswering(tool, main, "the opened window",
                        [&] { return (opened = visibleDialogOf(tool.id(), main)) != nullptr; }))
        return false;
    postClick(opened, IDCANCEL);
    return whileAnswering(tool, main, "the main window back", [&] { return IsWindowVisible(main) != FALSE; });
}

// Clicks OK on the main window, answers No should it ask to save the
// language (a first run), and checks that the tool ends with exit code 0
// within a second of the last answer.
void leavesWithinASecond(const ToolProcess& tool, HWND main)
{
    auto lastAnswer = std::chrono::steady_clock::now();
    postClick(main, IDOK);
    DWORD exitCode = STILL_ACTIVE;
    EXPECT_TRUE(whileAnswering(tool, main, "the tool to end", [&] {
        if (WaitForSingleObject(tool.handle(), 0) == WAIT_OBJECT_0)
            return true;
        if (const HWND question = visibleDialogOf(tool.id(), main)) {
            lastAnswer = std::chrono::steady_clock::now();
            postClick(question, IDNO);
            WaitForSingleObject(tool.handle(), 20);
        }
        return false;
    }));
    EXPECT_TRUE(tool.endsWithin(0, exitCode));
    const auto leaving =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - lastAnswer);
    EXPECT_LT(leaving.count(), LeavingLimitMilliseconds);
    std::printf("left %lld ms after the last answer\n", static_cast<long long>(leaving.count()));
    EXPECT_EQ(0u, exitCode);
}

// The modules of the graphics runtime that process `processId` has loaded.
std::vector<std::wstring> graphicsModulesOf(DWORD processId)
{
    const wchar_t* const graphics[] = {L"d3d9.dll", L"dxgi.dll", L"ddraw.dll", L"wined3d.dll",
                                       L"opengl32.dll"};
    std::vector<std::wstring> found;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
    if (snapshot == INVALID_HANDLE_VALUE) {
        ADD_FAILURE() << "the tool's modules cannot be listed: " << GetLastError();
        return found;
    }
    MODULEENTRY32W module{};
    module.dwSize = sizeof module;
    for (BOOL more = Module32FirstW(snapshot, &module); more; more = Module32NextW(snapshot, &module)) {
        for (const wchar_t* name : graphics) {
            if (lstrcmpiW(module.szModule, name) == 0)
                found.emplace_back(name);
        }
    }
    CloseHandle(snapshot);
    return found;
}

} // namespace

TEST(QuickClicks, TheGraphicsRuntimeAnswersTheReportFromOutsideTheToolsProcess)
{
    const ToolProcess tool(besideThisProgram(L"orvante-config.exe"));
    ASSERT_TRUE(tool.started());
    HWND main = nullptr;
    ASSERT_TRUE(whileAnswering(tool, nullptr, "the main window",
                               [&] { return (main = visibleDialogOf(tool.id())) != nullptr; }));
    postClick(main, IDC_MAIN_SYSTEM_INFORMATION);
    HWND report = nullptr;
    // Copy is offered once the whole report, DxDiag's and the adapters' facts
    // included, is gathered.
    ASSERT_TRUE(whileAnswering(tool, main, "the whole report", [&] {
        report = visibleDialogOf(tool.id(), main);
        return report && IsWindowEnabled(GetDlgItem(report, IDC_SYSINFO_COPY));
    }));
    EXPECT_EQ(std::vector<std::wstring>{}, graphicsModulesOf(tool.id()));
    postClick(report, IDCANCEL);
    ASSERT_TRUE(
        whileAnswering(tool, main, "the main window back", [&] { return IsWindowVisible(main) != FALSE; }));
    leavesWithinASecond(tool, main);
}

TEST(QuickClicks, EveryWindowAnswersAndTheToolLeavesWithinASecond)
{
    const std::vector<std::vector<int>> orders = {
        {IDC_MAIN_GENERAL, IDC_MAIN_GAMEPAD, IDC_MAIN_SYSTEM_INFORMATION},
        {IDC_MAIN_SYSTEM_INFORMATION, IDC_MAIN_GENERAL, IDC_MAIN_GAMEPAD},
        {IDC_MAIN_GAMEPAD, IDC_MAIN_SYSTEM_INFORMATION},
    };
    for (const std::vector<int>& order : orders) {
        SCOPED_TRACE(testing::Message() << "first button " << order.front());
        const ToolProcess tool(besideThisProgram(L"orvante-config.exe"));
        ASSERT_TRUE(tool.started());
        HWND main = nullptr;
        ASSERT_TRUE(whileAnswering(tool, nullptr, "the main window",
                                   [&] { return (main = visibleDialogOf(tool.id())) != nullptr; }));
        for (const int button : order)
            ASSERT_TRUE(openAndClose(tool, main, button)) << "button " << button;

        // The last window closed at once: its report may still be gathered.
        leavesWithinASecond(tool, main);
    }
}
