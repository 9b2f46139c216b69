// How soon the tool's windows are there for the player, against an executable
// that shows one empty dialog, started the same way in the same run:
// - start-up: process start to the main window shown and answering (the tool
//   stripped, as players get it); for scale, the same empty dialog with the
//   tool's manifest, which every themed dialog program pays;
// - each of the three buttons: the click to its window shown and answering
//   (the general settings window with all four pages);
// - the gamepad window until its rows and test button are shown with a
//   controller listed (with none attached, until "Gamepad not detected.");
// - the system report complete (tabs filled, OK enabled), against the
//   platform's own `dxdiag /t`: asked after the other windows, the moment
//   the main window answers, and after 3 s on the main window;
// - leaving: the last click to the process's end, after every window and
//   while the report is still gathered, against closing the empty dialog.
#include <windows.h>

#include <commctrl.h>
#include <timeapi.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "bench.h"
#include "resources/resource.h"
#include "support/tool_process.h"

namespace Bench {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int Rounds = 7;
constexpr DWORD AnswerTimeoutMilliseconds = 30000;
constexpr auto GiveUpAfter = std::chrono::seconds(30);
// What a player takes at least between seeing the main window and clicking
// one of its buttons; the tool may use it for work that can wait.
constexpr DWORD PlayerReactionMilliseconds = 500;
// A player who reads the main window before asking for the report.
constexpr DWORD ReportDwellMilliseconds = 3000;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

bool answers(HWND window)
{
    return answersWithin(window, AnswerTimeoutMilliseconds);
}

// Polls until `ready` finds what it waits for; false after the time-out.
bool waitFor(const std::function<bool()>& ready)
{
    const Clock::time_point start = Clock::now();
    while (!ready()) {
        if (Clock::now() - start > GiveUpAfter)
            return false;
        Sleep(1);
    }
    return true;
}

BOOL CALLBACK countDialog(HWND child, LPARAM parameter)
{
    if (isDialogWindow(child))
        ++*reinterpret_cast<int*>(parameter);
    return TRUE;
}

int childDialogCount(HWND window)
{
    int count = 0;
    EnumChildWindows(window, countDialog, reinterpret_cast<LPARAM>(&count));
    return count;
}

// Milliseconds from the process start to its first dialog shown and
// answering, and that dialog; negative when none came.
double startToFirstDialog(ToolProcess& process, HWND& dialog, Clock::time_point start)
{
    dialog = nullptr;
    if (!process.started() || !waitFor([&] { return (dialog = visibleDialogOf(process.id())) != nullptr; }) ||
        !answers(dialog))
        return -1;
    return millisecondsSince(start);
}

struct BareFigures {
    double startUp = -1;
    double leaving = -1;
};

// The empty dialog started, then closed: the floor for leaving too.
BareFigures bareRun(const std::wstring& exe)
{
    BareFigures figures;
    const Clock::time_point start = Clock::now();
    ToolProcess process(exe);
    HWND dialog = nullptr;
    figures.startUp = startToFirstDialog(process, dialog, start);
    if (figures.startUp < 0)
        return figures;
    const Clock::time_point close = Clock::now();
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.handle(), AnswerTimeoutMilliseconds) == WAIT_OBJECT_0)
        figures.leaving = millisecondsSince(close);
    return figures;
}

struct ToolFigures {
    double startUp = -1;
    double general = -1;
    double gamepad = -1;
    double sysinfoAnswering = -1;
    double sysinfoComplete = -1;
    double leaving = -1;
};

// Clicks OK on the main window (answering No should it ask about saving, as
// on a first run) and measures the last click to the process's end.
double leave(ToolProcess& process, HWND main)
{
    Clock::time_point lastClick = Clock::now();
    postClick(main, IDOK);
    const bool ended = waitFor([&] {
        if (WaitForSingleObject(process.handle(), 0) == WAIT_OBJECT_0)
            return true;
        if (const HWND question = visibleDialogOf(process.id(), main)) {
            lastClick = Clock::now();
            postClick(question, IDNO);
            WaitForSingleObject(process.handle(), 20);
        }
        return false;
    });
    return ended ? millisecondsSince(lastClick) : -1;
}

// Closes the window a button opened (and a message it shows, if any) and
// waits until the main window is back.
bool closeAndReturn(DWORD processId, HWND main)
{
    return waitFor([&] {
        if (IsWindowVisible(main))
            return true;
        if (const HWND open = visibleDialogOf(processId, main))
            PostMessageW(open, WM_CLOSE, 0, 0);
        Sleep(20);
        return false;
    });
}

// Clicks a button of the main window; milliseconds until the window it opens
// is shown, answers and passes `complete`; negative when it did not.
double clickToWindow(DWORD processId, HWND main, int button, HWND& opened,
                     const std::function<bool(HWND)>& complete)
{
    const Clock::time_point start = Clock::now();
    postClick(main, button);
    opened = nullptr;
    const bool shown = waitFor([&] {
        opened = visibleDialogOf(processId, main);
        return opened && answers(opened) && complete(opened);
    });
    return shown ? millisecondsSince(start) : -1;
}

bool reportComplete(HWND window)
{
    return SendMessageW(GetDlgItem(window, IDC_SYSINFO_TABS), TCM_GETITEMCOUNT, 0, 0) == 4 &&
           IsWindowEnabled(GetDlgItem(window, IDOK)) && IsWindowEnabled(GetDlgItem(window, IDC_SYSINFO_COPY));
}

// The rows and test button shown with a controller listed, or the message
// that tells there is none (a dialog without that button).
bool gamepadWindowComplete(HWND window)
{
    const HWND test = GetDlgItem(window, IDC_GAMEPAD_TEST);
    return !test || (IsWindowVisible(test) && IsWindowVisible(GetDlgItem(window, IDC_GAMEPAD_MENU_UP)) &&
                     SendDlgItemMessageW(window, IDC_GAMEPAD_DEVICE, CB_GETCOUNT, 0, 0) > 0);
}

ToolFigures toolRun(const std::wstring& exe)
{
    ToolFigures figures;
    const Clock::time_point start = Clock::now();
    ToolProcess process(exe);
    HWND main = nullptr;
    figures.startUp = startToFirstDialog(process, main, start);
    if (figures.startUp < 0)
        return figures;
    const DWORD id = process.id();
    HWND opened = nullptr;

    Sleep(PlayerReactionMilliseconds);
    figures.general = clickToWindow(id, main, IDC_MAIN_GENERAL, opened,
                                    [](HWND window) { return childDialogCount(window) == 4; });
    if (!closeAndReturn(id, main))
        return figures;

    Sleep(PlayerReactionMilliseconds);
    figures.gamepad = clickToWindow(id, main, IDC_MAIN_GAMEPAD, opened, gamepadWindowComplete);
    if (!closeAndReturn(id, main))
        return figures;

    Sleep(PlayerReactionMilliseconds);
    const Clock::time_point click = Clock::now();
    figures.sysinfoAnswering =
        clickToWindow(id, main, IDC_MAIN_SYSTEM_INFORMATION, opened, [](HWND) { return true; });
    if (figures.sysinfoAnswering >= 0 && waitFor([&] { return reportComplete(opened); }))
        figures.sysinfoComplete = millisecondsSince(click);
    if (closeAndReturn(id, main))
        figures.leaving = leave(process, main);
    return figures;
}

// Leaving while work still runs beside the windows: the report window
// opened and closed as soon as it answers, then OK at once.
double leavingWhileGathering(const std::wstring& exe)
{
    const Clock::time_point start = Clock::now();
    ToolProcess process(exe);
    HWND main = nullptr;
    HWND opened = nullptr;
    if (startToFirstDialog(process, main, start) < 0 ||
        clickToWindow(process.id(), main, IDC_MAIN_SYSTEM_INFORMATION, opened, [](HWND) { return true; }) < 0)
        return -1;
    PostMessageW(opened, WM_CLOSE, 0, 0);
    if (!waitFor([&] { return IsWindowVisible(main) != FALSE; }))
        return -1;
    return leave(process, main);
}

// The report asked `dwell` milliseconds after the main window answers:
// milliseconds from the click to the report complete; negative when it
// did not complete.
double reportAskedAfter(const std::wstring& exe, DWORD dwell)
{
    const Clock::time_point start = Clock::now();
    ToolProcess process(exe);
    HWND main = nullptr;
    HWND opened = nullptr;
    if (startToFirstDialog(process, main, start) < 0)
        return -1;
    Sleep(dwell);
    const Clock::time_point click = Clock::now();
    if (clickToWindow(process.id(), main, IDC_MAIN_SYSTEM_INFORMATION, opened, [](HWND) { return true; }) <
            0 ||
        !waitFor([&] { return reportComplete(opened); }))
        return -1;
    const double complete = millisecondsSince(click);
    if (closeAndReturn(process.id(), main))
        leave(process, main);
    return complete;
}

// Runs `dxdiag /t <file>` to its end; negative when it could not be started.
double dxdiagReport()
{
    wchar_t system[MAX_PATH] = {};
    wchar_t temporary[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    GetTempPathW(MAX_PATH, temporary);
    const std::wstring exe = std::wstring(system) + L"\\dxdiag.exe";
    const std::wstring output = std::wstring(temporary) + L"orvante-bench-dxdiag.txt";
    std::wstring commandLine = L"\"" + exe + L"\" /t \"" + output + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const Clock::time_point start = Clock::now();
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return -1;
    WaitForSingleObject(process.hProcess, 120000);
    const double elapsed = millisecondsSince(start);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    DeleteFileW(output.c_str());
    return elapsed;
}

} // namespace

void startupBenchmarks(Table& table)
{
    timeBeginPeriod(1); // 1 ms polling
    const std::wstring tool = besideThisProgram(L"orvante-config.exe");
    const std::wstring bare = besideThisProgram(L"bare-dialog.exe");
    const std::wstring themed = besideThisProgram(L"bare-dialog-themed.exe");
    std::vector<double> bareTimes, bareLeaving, themedTimes, startUp, general, gamepad, answering, complete,
        leaving, leavingEarly, dxdiag, reportAtOnce, reportAfterDwell;
    for (int round = 0; round < Rounds; ++round) {
        const BareFigures bareFigures = bareRun(bare);
        bareTimes.push_back(bareFigures.startUp);
        bareLeaving.push_back(bareFigures.leaving);
        themedTimes.push_back(bareRun(themed).startUp);
        const ToolFigures figures = toolRun(tool);
        leaving.push_back(figures.leaving);
        leavingEarly.push_back(leavingWhileGathering(tool));
        startUp.push_back(figures.startUp);
        general.push_back(figures.general);
        gamepad.push_back(figures.gamepad);
        answering.push_back(figures.sysinfoAnswering);
        complete.push_back(figures.sysinfoComplete);
        reportAtOnce.push_back(reportAskedAfter(tool, 0));
        reportAfterDwell.push_back(reportAskedAfter(tool, ReportDwellMilliseconds));
        dxdiag.push_back(dxdiagReport());
    }
    timeEndPeriod(1);
    const double bareMedian = medianOf(bareTimes);
    table.record({"start-up of an empty themed dialog", "themed bare dialog", "bare dialog start",
                  medianOf(themedTimes), bareMedian, "ms"});
    table.record({"start-up to main window (<=1.2)", "orvante-config", "bare dialog start", medianOf(startUp),
                  bareMedian, "ms"});
    table.record({"click to general settings, 4 pages (<=1.0)", "general window", "bare dialog start",
                  medianOf(general), bareMedian, "ms"});
    table.record({"click to gamepad rows, test button (<=0.8)", "gamepad window", "bare dialog start",
                  medianOf(gamepad), bareMedian, "ms"});
    table.record({"click to system information answering (<=0.5)", "sysinfo window", "bare dialog start",
                  medianOf(answering), bareMedian, "ms"});
    const double dxdiagMedian = medianOf(dxdiag);
    table.record({"report after the other windows (<=1.0)", "sysinfo report", "dxdiag /t", medianOf(complete),
                  dxdiagMedian, "ms"});
    table.record({"report asked at once (<=1.0)", "sysinfo report", "dxdiag /t", medianOf(reportAtOnce),
                  dxdiagMedian, "ms"});
    table.record({"report asked after 3 s (<=0.3)", "sysinfo report", "dxdiag /t", medianOf(reportAfterDwell),
                  dxdiagMedian, "ms"});
    table.record({"last click to process end", "orvante-config", "bare dialog leaving", medianOf(leaving),
                  medianOf(bareLeaving), "ms"});
    table.record({"last click to end, report still gathered", "orvante-config", "bare dialog leaving",
                  medianOf(leavingEarly), medianOf(bareLeaving), "ms"});
    const auto [fastest, slowest] = std::minmax_element(bareTimes.begin(), bareTimes.end());
    table.record({"bare dialog start, slowest / fastest", "slowest", "fastest", *slowest, *fastest, "ms"});
    openingStepBenchmarks(table, bareMedian);
}

void platformBenchmarks(Table& table)
{
    startupBenchmarks(table);
}

} // namespace Bench
