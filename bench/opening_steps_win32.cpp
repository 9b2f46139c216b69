// What each step behind the windows costs on its own, each taken cold in a
// fresh process as the tool meets it: the resources and settings folder, the
// display adapters, each general page's creation (the video page's list
// filling included), DirectInput's creation and enumeration, the XInput
// library and its test (by device path and by WMI), the first reading,
// DxDiag, and the process list. Each round is a child process of this
// benchmark, which writes one line per step into a file.
#include <windows.h>

#include <dinput.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "bench.h"
#include "gamepad/gamepad_devices_win32.h"
#include "resources/resource.h"
#include "settings/general_pages_win32.h"
#include "settings/general_settings_file_win32.h"
#include "shell/app_state_win32.h"
#include "shell/display_adapters_win32.h"
#include "support/tool_process.h"
#include "sysinfo/system_report_win32.h"

namespace Bench {
namespace {

constexpr int StepRounds = 5;

class StepClock {
public:
    explicit StepClock(std::FILE* out) : out_(out) { QueryPerformanceFrequency(&frequency_); }
    template <typename Step> void time(const char* name, Step step)
    {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        step();
        QueryPerformanceCounter(&end);
        std::fprintf(out_, "%s\t%.3f\n", name,
                     1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                         static_cast<double>(frequency_.QuadPart));
    }

private:
    std::FILE* out_;
    LARGE_INTEGER frequency_;
};

struct PageStep {
    const char* name;
    int dialog;
    const PageFunctions* functions;
};
constexpr PageStep PageSteps[] = {
    {"general: network page", IDD_NETWORK_PAGE, &NetworkPage},
    {"general: video page, lists filled", IDD_VIDEO_PAGE, &VideoPage},
    {"general: graphics page", IDD_EFFECTS_PAGE, &EffectsPage},
    {"general: sound page", IDD_SOUND_PAGE, &SoundPage},
};

BOOL CALLBACK countDevice(LPCDIDEVICEINSTANCEW, LPVOID count)
{
    ++*static_cast<int*>(count);
    return DIENUM_CONTINUE;
}

void timeGamepadSteps(StepClock& clock)
{
    IDirectInput8W* directInput = nullptr;
    clock.time("gamepad: DirectInput creation", [&] {
        if (SUCCEEDED(CoCreateInstance(CLSID_DirectInput8, nullptr, CLSCTX_ALL, IID_IDirectInput8W,
                                       reinterpret_cast<void**>(&directInput))) &&
            FAILED(directInput->Initialize(GetModuleHandleW(nullptr), DIRECTINPUT_VERSION))) {
            directInput->Release();
            directInput = nullptr;
        }
    });
    int count = 0;
    clock.time("gamepad: DirectInput enumeration", [&] {
        if (directInput)
            directInput->EnumDevices(DI8DEVCLASS_GAMECTRL, countDevice, &count, DIEDFL_ATTACHEDONLY);
    });
    if (directInput)
        directInput->Release();
    clock.time("gamepad: XInput library", [] { xinputLibrary(); });
    // What the test costs per controller: no controller is attached here, so
    // the product is one that no entity matches and the whole list is read.
    const GUID product{0x028E045E, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
    clock.time("gamepad: XInput test by WMI, each", [&] { isXInputController(product); });
    clock.time("gamepad: first reading (XInput)", [] {
        XINPUT_STATE state{};
        if (const auto getState = xinputLibrary().getState)
            getState(0, &state);
    });
}

} // namespace

int runOpeningSteps(const char* outputPath)
{
    std::FILE* out = std::fopen(outputPath, "w");
    if (!out)
        return 1;
    StepClock clock(out);
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    bool initialised = false;
    clock.time("resources and settings folder", [&] { initialised = InitializeApplication(instance); });
    if (!initialised) {
        std::fclose(out);
        return 1;
    }
    CoInitialize(nullptr);
    clock.time("display adapters: Direct3D 9", [] {
        StartPreparingDisplayAdapters();
        for (int waited = 0; !PreparedDirect3DAdapters() && waited < 30000; ++waited)
            Sleep(1);
    });
    clock.time("display adapters: DXGI", [] { WaitForDisplayAdapters(30000); });
    loadGeneralSettings();
    const HWND parent =
        CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 600, 500, nullptr, nullptr, instance, nullptr);
    for (const PageStep& page : PageSteps) {
        clock.time(page.name, [&] {
            page.functions->attach(workingGeneralSettings());
            CreateDialogParamW(instance, MAKEINTRESOURCEW(page.dialog), parent, page.functions->procedure, 0);
        });
    }
    DestroyWindow(parent);
    timeGamepadSteps(clock);
    GatheredParts parts;
    clock.time("report: DxDiag", [&] { RunGatheringStep(GatheringStep::DxDiag, parts); });
    clock.time("report: processes", [&] { RunGatheringStep(GatheringStep::Processes, parts); });
    std::fclose(out);
    CoUninitialize();
    ShutdownApplication();
    return 0;
}

void openingStepBenchmarks(Table& table, double bareStartMedian)
{
    wchar_t temporary[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temporary);
    const std::wstring output = std::wstring(temporary) + L"orvante-bench-steps.txt";
    char outputNarrow[MAX_PATH * 3] = {};
    WideCharToMultiByte(CP_ACP, 0, output.c_str(), -1, outputNarrow, sizeof outputNarrow, nullptr, nullptr);
    const std::wstring self = besideThisProgram(L"orvante-bench.exe");

    std::vector<std::string> order;
    std::map<std::string, std::vector<double>> times;
    for (int round = 0; round < StepRounds; ++round) {
        DeleteFileW(output.c_str());
        std::wstring commandLine = L"\"" + self + L"\" --opening-steps \"" + output + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(self.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &process))
            return;
        WaitForSingleObject(process.hProcess, 120000);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        std::FILE* in = std::fopen(outputNarrow, "r");
        if (!in)
            continue;
        char line[256];
        while (std::fgets(line, sizeof line, in)) {
            char* tab = std::strchr(line, '\t');
            if (!tab)
                continue;
            *tab = 0;
            if (!times.count(line))
                order.emplace_back(line);
            times[line].push_back(std::atof(tab + 1));
        }
        std::fclose(in);
    }
    DeleteFileW(output.c_str());
    for (const std::string& name : order)
        table.record({"step: " + name, "median of " + std::to_string(times[name].size()), "bare dialog start",
                      medianOf(times[name]), bareStartMedian, "ms"});
}

} // namespace Bench
