// Gathering the system report (every probe and all four pages, as the system
// information window does when it opens) against the platform's own DirectX
// report written by `dxdiag /t`, on the same machine in the same run.
#include <windows.h>

#include <objbase.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "bench.h"
#include "sysinfo/system_report_win32.h"

namespace Bench {
namespace {

double medianOf(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

double millisecondsOf(const std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double millisecondsToGather()
{
    const auto start = std::chrono::steady_clock::now();
    const SystemReport report = GatherSystemReport();
    keep(report);
    return millisecondsOf(start);
}

// Runs `dxdiag /t <file>` to its end; negative when it could not be started.
double millisecondsOfDxDiagReport()
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
    const auto start = std::chrono::steady_clock::now();
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return -1;
    WaitForSingleObject(process.hProcess, 120000);
    const double elapsed = millisecondsOf(start);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    DeleteFileW(output.c_str());
    return elapsed;
}

} // namespace

void sysinfoBenchmarks(Table& table)
{
    const HRESULT com = CoInitialize(nullptr);
    std::vector<double> gathering;
    std::vector<double> dxdiag;
    for (int run = 0; run < 5; ++run) {
        gathering.push_back(millisecondsToGather());
        dxdiag.push_back(millisecondsOfDxDiagReport());
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    table.record({"system report gathered (median of 5)", "GatherSystemReport", "dxdiag /t",
                  medianOf(gathering), medianOf(dxdiag), "ms"});
}

} // namespace Bench
