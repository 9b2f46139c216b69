// The tool started as a process of its own and driven faster than any
// player: each button clicked the moment its window appears, the window
// closed the moment it answers, in several orders. No window of the tool may
// stop answering for 5 s (the windows and the work beside them waiting on
// each other), and the process ends within a second of the last answer, with
// exit code 0, whatever still runs beside the windows.
//
// Registered to run in a prefix made afresh for the run as well, where the
// graphics runtime starts cold.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <functional>
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

} // namespace

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
        // On a first run OK asks whether to save the language: No, which
        // leaves the settings folder as it was.
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
        const auto leaving = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - lastAnswer);
        EXPECT_LT(leaving.count(), LeavingLimitMilliseconds);
        std::printf("left %lld ms after the last answer\n", static_cast<long long>(leaving.count()));
        EXPECT_EQ(0u, exitCode);
    }
}
