// How soon the tool's windows are there for the player, against an executable
// that shows one empty dialog, started the same way in the same run:
// - start-up: process start to the main window shown and answering (the tool
//   stripped, as players get it); for scale, the same empty dialog with the
//   tool's manifest, which every themed dialog program pays;
// - each of the three buttons: the click to its window shown and answering
//   (the general settings window with all four pages);
// - the system report complete (tabs filled, OK enabled), against the
//   platform's own `dxdiag /t`.
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

namespace Bench {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int Rounds = 7;
constexpr DWORD AnswerTimeoutMilliseconds = 30000;
constexpr auto GiveUpAfter = std::chrono::seconds(30);
// What a player takes at least between seeing the main window and clicking
// one of its buttons; the tool may use it for work that can wait.
constexpr DWORD PlayerReactionMilliseconds = 500;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double medianOf(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

std::wstring besideThisProgram(const wchar_t* name)
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.rfind(L'\\') + 1) + name;
}

bool isDialog(HWND window)
{
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    return lstrcmpW(className, L"#32770") == 0;
}

// A visible top-level dialog of the process other than `except`.
struct Search {
    DWORD processId;
    HWND except;
    HWND found;
};

BOOL CALLBACK considerWindow(HWND window, LPARAM parameter)
{
    auto& search = *reinterpret_cast<Search*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search.processId && window != search.except && IsWindowVisible(window) && isDialog(window)) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

HWND visibleDialogOf(DWORD processId, HWND except = nullptr)
{
    Search search{processId, except, nullptr};
    EnumWindows(considerWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// True once the window's thread takes a message (it can be moved, repainted
// and closed); false when it did not within the time-out.
bool answers(HWND window)
{
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, AnswerTimeoutMilliseconds, &ignored) != 0;
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
    if (isDialog(child))
        ++*reinterpret_cast<int*>(parameter);
    return TRUE;
}

int childDialogCount(HWND window)
{
    int count = 0;
    EnumChildWindows(window, countDialog, reinterpret_cast<LPARAM>(&count));
    return count;
}

class Process {
public:
    explicit Process(const std::wstring& exe)
    {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        std::wstring commandLine = L"\"" + exe + L"\"";
        started_ = CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  nullptr, &startup, &process_) != FALSE;
    }
    ~Process()
    {
        if (!started_)
            return;
        TerminateProcess(process_.hProcess, 0);
        WaitForSingleObject(process_.hProcess, 10000);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool started() const { return started_; }
    DWORD id() const { return process_.dwProcessId; }
    HANDLE handle() const { return process_.hProcess; }

private:
    PROCESS_INFORMATION process_{};
    bool started_ = false;
};

// Milliseconds from the process start to its first dialog shown and
// answering, and that dialog; negative when none came.
double startToFirstDialog(Process& process, HWND& dialog, Clock::time_point start)
{
    dialog = nullptr;
    if (!process.started() || !waitFor([&] { return (dialog = visibleDialogOf(process.id())) != nullptr; }) ||
        !answers(dialog))
        return -1;
    return millisecondsSince(start);
}

double bareStart(const std::wstring& exe)
{
    const Clock::time_point start = Clock::now();
    Process process(exe);
    HWND dialog = nullptr;
    return startToFirstDialog(process, dialog, start);
}

struct ToolFigures {
    double startUp = -1;
    double general = -1;
    double gamepad = -1;
    double sysinfoAnswering = -1;
    double sysinfoComplete = -1;
};

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
    PostMessageW(main, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(main, button)));
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

ToolFigures toolRun(const std::wstring& exe)
{
    ToolFigures figures;
    const Clock::time_point start = Clock::now();
    Process process(exe);
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
    figures.gamepad = clickToWindow(id, main, IDC_MAIN_GAMEPAD, opened, [](HWND) { return true; });
    if (!closeAndReturn(id, main))
        return figures;

    Sleep(PlayerReactionMilliseconds);
    const Clock::time_point click = Clock::now();
    figures.sysinfoAnswering =
        clickToWindow(id, main, IDC_MAIN_SYSTEM_INFORMATION, opened, [](HWND) { return true; });
    if (figures.sysinfoAnswering >= 0 && waitFor([&] { return reportComplete(opened); }))
        figures.sysinfoComplete = millisecondsSince(click);
    closeAndReturn(id, main);
    return figures;
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
    std::vector<double> bareTimes, themedTimes, startUp, general, gamepad, answering, complete, dxdiag;
    for (int round = 0; round < Rounds; ++round) {
        bareTimes.push_back(bareStart(bare));
        themedTimes.push_back(bareStart(themed));
        const ToolFigures figures = toolRun(tool);
        startUp.push_back(figures.startUp);
        general.push_back(figures.general);
        gamepad.push_back(figures.gamepad);
        answering.push_back(figures.sysinfoAnswering);
        complete.push_back(figures.sysinfoComplete);
        dxdiag.push_back(dxdiagReport());
    }
    timeEndPeriod(1);
    const double bareMedian = medianOf(bareTimes);
    table.record({"start-up of an empty themed dialog", "themed bare dialog", "bare dialog start",
                  medianOf(themedTimes), bareMedian, "ms"});
    table.record({"start-up to main window (median of 7)", "orvante-config", "bare dialog start",
                  medianOf(startUp), bareMedian, "ms"});
    table.record({"click to general settings, 4 pages", "general window", "bare dialog start",
                  medianOf(general), bareMedian, "ms"});
    table.record({"click to gamepad settings", "gamepad window", "bare dialog start", medianOf(gamepad),
                  bareMedian, "ms"});
    table.record({"click to system information answering", "sysinfo window", "bare dialog start",
                  medianOf(answering), bareMedian, "ms"});
    table.record({"click to system report complete", "sysinfo report", "dxdiag /t", medianOf(complete),
                  medianOf(dxdiag), "ms"});
}

void platformBenchmarks(Table& table)
{
    startupBenchmarks(table);
}

} // namespace Bench
