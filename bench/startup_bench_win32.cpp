// Start-up of the tool (process start to its main window shown) against an
// executable that shows one empty dialog, started the same way.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "bench.h"

namespace Bench {
namespace {

struct Search {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK considerWindow(HWND window, LPARAM parameter)
{
    auto& search = *reinterpret_cast<Search*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search.processId && IsWindowVisible(window)) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

std::wstring besideThisProgram(const wchar_t* name)
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.rfind(L'\\') + 1) + name;
}

// Milliseconds from CreateProcess to the first visible window; the process is
// ended afterwards. Negative when no window appeared.
double millisecondsToFirstWindow(const std::wstring& exe)
{
    LARGE_INTEGER frequency;
    LARGE_INTEGER start;
    LARGE_INTEGER shown;
    QueryPerformanceFrequency(&frequency);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + exe + L"\"";
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return -1;
    Search search{process.dwProcessId, nullptr};
    for (int attempt = 0; attempt < 20000 && !search.found; ++attempt) {
        EnumWindows(considerWindow, reinterpret_cast<LPARAM>(&search));
        if (!search.found)
            Sleep(1);
    }
    QueryPerformanceCounter(&shown);
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (!search.found)
        return -1;
    return 1000.0 * static_cast<double>(shown.QuadPart - start.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

double medianOf(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

} // namespace

void startupBenchmarks(Table& table)
{
    const std::wstring tool = besideThisProgram(L"orvante-config.exe");
    const std::wstring bare = besideThisProgram(L"bare-dialog.exe");
    std::vector<double> toolTimes;
    std::vector<double> bareTimes;
    for (int run = 0; run < 9; ++run) {
        toolTimes.push_back(millisecondsToFirstWindow(tool));
        bareTimes.push_back(millisecondsToFirstWindow(bare));
    }
    table.record({"start-up to main window (median of 9)", "orvante-config", "bare dialog exe",
                  medianOf(toolTimes), medianOf(bareTimes), "ms"});
}

void platformBenchmarks(Table& table)
{
    startupBenchmarks(table);
}

} // namespace Bench
