// The system information window while it gathers: it answers at once, its
// report waits on worker threads, closing it early cancels cleanly, and a
// probe that hangs is left behind at the time limit.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>

#include "resources/resource.h"
#include "support/app_fixture.h"
#include "support/dialog_driver.h"
#include "shell/language_settings.h"
#include "shell/text_table_win32.h"
#include "support/sysinfo_fixture.h"
#include "sysinfo/sysinfo_window_win32.h"
#include "sysinfo/system_gathering_win32.h"

namespace {

// Holds the DxDiag step of every gathering until released, as a probe that
// does not come back would.
class HeldDxDiag {
public:
    HeldDxDiag()
    {
        release_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        reached_ = 0;
        hostFactsDone_ = 0;
        SetGatheringStepHook(hold);
    }
    ~HeldDxDiag()
    {
        release();
        SetGatheringStepHook(nullptr);
        SetSystemGatheringTimeLimit(0);
        CloseHandle(release_);
    }
    HeldDxDiag(const HeldDxDiag&) = delete;
    HeldDxDiag& operator=(const HeldDxDiag&) = delete;

    void release() { SetEvent(release_); }
    static bool reached() { return reached_ != 0; }
    // How many DxDiag runs have begun.
    static LONG runs() { return reached_; }
    // The other worker's steps run in order; once it starts on the display
    // adapters, those before are done.
    static bool hostFactsDone() { return hostFactsDone_ != 0; }

private:
    static void hold(GatheringStep step)
    {
        if (step == GatheringStep::DisplayAdapters)
            InterlockedExchange(&hostFactsDone_, 1);
        if (step != GatheringStep::DxDiag)
            return;
        InterlockedIncrement(&reached_);
        WaitForSingleObject(release_, INFINITE);
    }
    static inline HANDLE release_ = nullptr;
    static inline volatile LONG reached_ = 0;
    static inline volatile LONG hostFactsDone_ = 0;
};

// Each test starts in English with no early DxDiag answer waiting: a main
// window that stayed open long enough asks ahead, and the next window in its
// language would take that answer, whose DxDiag is not held. (No test leaves
// a gathering running: the check between tests waits for it.)
class SystemInformationGathering : public testing::Test {
protected:
    void SetUp() override
    {
        useEnglishTexts();
        ForgetEarlyDxDiag();
    }
};

HWND sysinfoDialog()
{
    return Player::activeDialogWithControl(IDC_SYSINFO_TABS);
}

bool hasProgressBar(HWND dialog)
{
    return FindWindowExW(dialog, nullptr, PROGRESS_CLASSW, nullptr) != nullptr;
}

// True when the progress bar's centre is the tab control's, within a pixel.
bool progressBarCentred(HWND dialog)
{
    RECT bar{}, tabs{};
    GetWindowRect(FindWindowExW(dialog, nullptr, PROGRESS_CLASSW, nullptr), &bar);
    GetWindowRect(GetDlgItem(dialog, IDC_SYSINFO_TABS), &tabs);
    return std::abs((bar.left + bar.right) - (tabs.left + tabs.right)) <= 2 &&
           std::abs((bar.top + bar.bottom) - (tabs.top + tabs.bottom)) <= 2;
}

int tabCount(HWND dialog)
{
    return static_cast<int>(SendMessageW(GetDlgItem(dialog, IDC_SYSINFO_TABS), TCM_GETITEMCOUNT, 0, 0));
}

// The Information cell of the first system row whose Item is `item`.
std::wstring systemRow(HWND dialog, const wchar_t* item)
{
    for (HWND page = GetWindow(dialog, GW_CHILD); page; page = GetWindow(page, GW_HWNDNEXT)) {
        if (!IsWindowVisible(page))
            continue;
        const HWND list = FindWindowExW(page, nullptr, WC_LISTVIEWW, nullptr);
        if (!list)
            continue;
        const auto count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            if (Player::listCellText(list, i) == item)
                return Player::listCellText(list, i, 1);
        }
    }
    return L"<no row>";
}

// Runs the window while `script` plays; every step must have run.
INT_PTR runWindow(Player::Script& script)
{
    const INT_PTR result = script.run([] { return openSystemInformation(nullptr); });
    EXPECT_TRUE(script.finished()) << script.pendingStep();
    return result;
}

// A step: waits, pumping, for the report to be complete; then `read` looks
// at the window and OK ends it.
std::function<bool()> onceComplete(std::function<void(HWND)> read)
{
    return [=] {
        const HWND dialog = sysinfoDialog();
        if (!dialog || !Player::ready(dialog))
            return false;
        read(dialog);
        Player::click(dialog, IDOK);
        return true;
    };
}

// Opens the window and reads `item`'s row of the complete report.
INT_PTR openAndReadRow(const wchar_t* item, std::wstring& information)
{
    Player::Script script;
    script.then("the report is complete",
                onceComplete([&](HWND dialog) { information = systemRow(dialog, item); }));
    return runWindow(script);
}

} // namespace

TEST_F(SystemInformationGathering, AnswersWhileGatheringAndClosingCancelsCleanly)
{
    HeldDxDiag dxdiag;
    Player::Script script;
    script.then("shown at once, waiting for the report", [] {
        const HWND dialog = sysinfoDialog();
        if (!dialog || !HeldDxDiag::reached())
            return false;
        EXPECT_EQ(L"Retrieving system information...", Player::windowText(dialog));
        EXPECT_TRUE(hasProgressBar(dialog));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDOK)));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_SYSINFO_COPY)));
        EXPECT_EQ(0, tabCount(dialog));
        EXPECT_TRUE(progressBarCentred(dialog));
        // The player makes the window larger meanwhile.
        RECT frame{};
        GetWindowRect(dialog, &frame);
        SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left + 120, frame.bottom - frame.top + 80,
                     SWP_NOMOVE | SWP_NOZORDER);
        EXPECT_TRUE(progressBarCentred(dialog));
        // OK and Enter do nothing yet; the close box ends the window.
        Player::click(dialog, IDOK);
        Player::pumpUntilIdle();
        EXPECT_EQ(dialog, sysinfoDialog());
        Player::closeBox(dialog);
        return true;
    });
    EXPECT_EQ(IDCANCEL, runWindow(script));
    // Back at once, although DxDiag has not answered.
    EXPECT_GT(RunningGatheringWorkers(), 0);
    dxdiag.release();
    EXPECT_TRUE(gatheringEnded());
}

TEST_F(SystemInformationGathering, AHangingProbeIsLeftAtTheTimeLimitWithWhatWasGathered)
{
    HeldDxDiag dxdiag;
    SetSystemGatheringTimeLimit(3000);
    Player::Script script;
    script.then("the report shows at the time limit", onceComplete([](HWND dialog) {
                    EXPECT_TRUE(HeldDxDiag::reached());
                    EXPECT_EQ(L"System Information", Player::windowText(dialog));
                    EXPECT_FALSE(hasProgressBar(dialog));
                    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_SYSINFO_COPY)));
                    EXPECT_EQ(4, tabCount(dialog));
                    // What the system answered itself is there; what only
                    // DxDiag tells is not.
                    if (HeldDxDiag::hostFactsDone()) {
                        EXPECT_TRUE(systemRow(dialog, L"Physical Memory").ends_with(L"MB"));
                    }
                    EXPECT_EQ(L"", systemRow(dialog, L"Operating System"));
                    EXPECT_EQ(L"", systemRow(dialog, L"Language"));
                }));
    EXPECT_EQ(IDOK, runWindow(script));
    dxdiag.release();
    EXPECT_TRUE(gatheringEnded());
}

// Which early answer serves is the native table's; here, that the window
// passes its language and the answer's age: the early answer serves the next
// window only, and one in another language or grown old is asked anew.
TEST_F(SystemInformationGathering, AnEarlyDxDiagAnswerServesTheNextWindowInItsLanguageWhileFresh)
{
    const struct {
        const char* name;
        std::uint8_t language;
        const wchar_t* item;    // the system row read, in that language
        std::uint32_t lifetime; // 0: the usual
        LONG asked;             // DxDiag runs for the early answer and the window
    } cases[] = {
        {"the next window takes it", English, L"Operating System", 0, 1},
        {"the player picked French meanwhile", French, L"Système d’exploitation", 0, 2},
        {"it grew old", English, L"Operating System", 1, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        useEnglishTexts();
        ForgetEarlyDxDiag();
        SetEarlyDxDiagLifetime(c.lifetime);
        const LONG asked = DxDiagAskedCount();
        StartEarlyDxDiag();
        EXPECT_TRUE(EarlyDxDiagWaiting());
        if (c.lifetime) {
            EXPECT_TRUE(gatheringEnded()); // answered, then left alone for a while
            Sleep(20);
        }
        ASSERT_TRUE(LoadStringTable(c.language));
        std::wstring system;
        EXPECT_EQ(IDOK, openAndReadRow(c.item, system));
        EXPECT_NE(L"<no row>", system);
        EXPECT_NE(L"", system) << "DxDiag's answer reached the report";
        EXPECT_FALSE(EarlyDxDiagWaiting());
        EXPECT_TRUE(gatheringEnded());
        EXPECT_EQ(asked + c.asked, DxDiagAskedCount());
        if (c.asked == 1) {
            // The next window asks anew, and nothing starts early any more.
            std::wstring again;
            EXPECT_EQ(IDOK, openAndReadRow(c.item, again));
            EXPECT_EQ(system, again);
            EXPECT_EQ(asked + 2, DxDiagAskedCount());
            StartEarlyDxDiag();
            EXPECT_FALSE(EarlyDxDiagWaiting());
        }
    }
    SetEarlyDxDiagLifetime(0);
    useEnglishTexts();
    EXPECT_TRUE(gatheringEnded());
}

// Work stays bounded, whatever the player reopens: one gathering and one
// DxDiag at a time, and the window's own thread never waits without a limit.
TEST_F(SystemInformationGathering, ReopenedWhileAProbeHangsTheWindowTakesOverTheGathering)
{
    HeldDxDiag dxdiag;
    SetSystemGatheringTimeLimit(1000);
    std::wstring system;
    EXPECT_EQ(IDOK, openAndReadRow(L"Operating System", system));
    EXPECT_EQ(L"", system) << "left at the time limit";
    const LONG workers = RunningGatheringWorkers();
    EXPECT_GT(workers, 0);

    SetSystemGatheringTimeLimit(0);
    Player::Script script;
    script
        .then("no new worker",
              [&] {
                  if (!sysinfoDialog())
                      return false;
                  EXPECT_EQ(workers, RunningGatheringWorkers());
                  EXPECT_EQ(1, HeldDxDiag::runs());
                  dxdiag.release();
                  return true;
              })
        .then("the report is complete",
              onceComplete([&](HWND dialog) { system = systemRow(dialog, L"Operating System"); }));
    EXPECT_EQ(IDOK, runWindow(script));
    EXPECT_NE(L"", system) << "the hanging DxDiag's answer reached the second window";
    EXPECT_EQ(1, HeldDxDiag::runs());
    EXPECT_TRUE(gatheringEnded());
}

TEST_F(SystemInformationGathering, AnEarlyDxDiagInAnotherLanguageEndsBeforeTheWindowsOwnBegins)
{
    HeldDxDiag dxdiag;
    StartEarlyDxDiag();
    ASSERT_TRUE(LoadStringTable(French));
    Player::Script script;
    script
        .then("the other steps under way",
              [] { return sysinfoDialog() && HeldDxDiag::reached() && HeldDxDiag::hostFactsDone(); })
        .then("a moment later, still one DxDiag running",
              [&, since = GetTickCount64()]() mutable {
                  if (GetTickCount64() - since < 300)
                      return false;
                  EXPECT_EQ(1, HeldDxDiag::runs());
                  dxdiag.release();
                  return true;
              })
        .then("the report is complete", onceComplete([](HWND) {}));
    EXPECT_EQ(IDOK, runWindow(script));
    EXPECT_EQ(2, HeldDxDiag::runs()) << "the window asked in its own language once the early one ended";
    EXPECT_TRUE(gatheringEnded());
    useEnglishTexts();
}

TEST_F(SystemInformationGathering, WithoutThreadsTheWindowWaitsForAnEarlyDxDiagNoLongerThanTheTimeLimit)
{
    HeldDxDiag dxdiag;
    StartEarlyDxDiag();
    RefuseGatheringThreads(true);
    SetSystemGatheringTimeLimit(500);
    // Released only after the window is done: a wait without a limit would
    // hold the window until then.
    std::atomic<bool> released{false};
    const HANDLE windowDone = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread releaser([&] {
        WaitForSingleObject(windowDone, 20000);
        released = true;
        dxdiag.release();
    });
    bool shownBeforeRelease = false;
    Player::Script script;
    script.then("the report is there", onceComplete([&](HWND) { shownBeforeRelease = !released; }));
    EXPECT_EQ(IDOK, runWindow(script));
    RefuseGatheringThreads(false);
    EXPECT_TRUE(shownBeforeRelease);
    // Nothing more to wait for.
    SetEvent(windowDone);
    releaser.join();
    CloseHandle(windowDone);
    EXPECT_TRUE(gatheringEnded());
}
