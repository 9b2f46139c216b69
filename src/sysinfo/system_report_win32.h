// Gathering the whole system report, and putting it on the clipboard.
#pragma once

#include <windows.h>

#include "shell/display_adapters_win32.h"
#include "sysinfo/inventory_pages.h"
#include "sysinfo/report_page.h"
#include "sysinfo/system_facts.h"

// The steps of one gathering, each filling its own part of GatheredParts.
enum class GatheringStep {
    InstalledApplications,
    Processes,
    ApplicationWindows,
    Drives,
    InputDevices,
    HostFacts,
    DisplayAdapters,
    DxDiag,
};
inline constexpr unsigned GatheringStepCount = 8;

// What the system itself says beside DxDiag: its name, the compatibility
// layer it runs on (Wine), the processor's brand and counts, and the memory
// sizes.
struct HostFacts {
    std::u16string osName;
    std::u16string compatibilityLayer;
    std::u16string processorBrand;
    std::u16string processorCounts;
    std::u16string physicalMemory;
    std::u16string virtualMemory;
    std::u16string pageFile;
};

struct GatheredParts {
    TitleSet installedApplications;
    ProcessMap processes;
    TitleSet applicationWindows;
    std::vector<DriveRecord> drives;
    std::vector<InputDeviceRecord> inputDevices;
    HostFacts host;
    DisplayAdapterFacts displayAdapters;
    SystemFacts dxdiag; // what DxDiag answered, nothing else
};

// Runs one step into its part of `parts`. COM must be initialised on the
// calling thread. A step that waits for work elsewhere (the display adapters)
// waits at most `waitLimit` and leaves its part empty after that.
void RunGatheringStep(GatheringStep step, GatheredParts& parts, DWORD waitLimit = INFINITE);
// Moves the part that `step` fills from one record to another.
void MoveGatheredPart(GatheringStep step, GatheredParts& from, GatheredParts& to);

// The four pages from the parts gathered; a step that did not run leaves its
// rows out. `facts` receives the system facts the system page shows.
SystemReport BuildSystemReport(const GatheredParts& parts, SystemFacts& facts);

// Runs every step on the calling thread and builds the four pages, without
// any window.
SystemReport GatherSystemReport();

// The facts of the last GatherSystemReport.
const SystemFacts& CurrentSystemFacts();

// Puts the report on the clipboard as CF_TEXT (ANSI code page) and, so that
// no character is lost, as CF_UNICODETEXT too, in one clipboard transaction.
// False, with the clipboard unchanged, when memory or the clipboard is not
// available.
bool CopyReportToClipboard(const SystemReport& report, HWND owner);
