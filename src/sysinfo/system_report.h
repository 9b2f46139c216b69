// The parts a gathering collects, and the report built from them.
#pragma once

#include <vector>

#include "shell/display_adapter_facts.h"
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

// Moves the part that `step` fills from one record to another.
void MoveGatheredPart(GatheringStep step, GatheredParts& from, GatheredParts& to);

// The shader and vertex-texture facts of Direct3D 9, and the video memory of
// DXGI, into the display devices DxDiag listed, matched by device name.
void ApplyDirect3DFacts(SystemFacts& facts, const std::vector<Direct3DAdapterFacts>& adapters,
                        TextLookup text);
void ApplyDxgiFacts(SystemFacts& facts, const std::vector<DxgiOutputFacts>& outputs);

// The four pages from the parts gathered; a step that did not run leaves its
// rows out. `facts` receives the system facts the system page shows.
SystemReport BuildSystemReport(const GatheredParts& parts, SystemFacts& facts, TextLookup text);
