#include "sysinfo/system_report_win32.h"

#include <cstring>

#include "shell/display_adapters_win32.h"
#include "sysinfo/probes_win32.h"

namespace {

// The facts of the last gathering on the calling thread; only
// GatherSystemReport writes them.
SystemFacts facts;

HostFacts readHostFacts()
{
    return {ReadOsName(),
            ReadCompatibilityLayer(),
            ReadProcessorBrand(),
            ReadProcessorCounts(),
            ReadMemorySize(MemoryKind::Physical),
            ReadMemorySize(MemoryKind::Virtual),
            ReadMemorySize(MemoryKind::PageFile)};
}

// A movable global block holding `size` bytes of `data`; null on failure.
HGLOBAL globalCopy(const void* data, std::size_t size)
{
    const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (!block)
        return nullptr;
    void* target = GlobalLock(block);
    if (!target) {
        GlobalFree(block);
        return nullptr;
    }
    std::memcpy(target, data, size);
    GlobalUnlock(block);
    return block;
}

void freeBlock(HGLOBAL block)
{
    if (block)
        GlobalFree(block);
}

} // namespace

void RunGatheringStep(GatheringStep step, GatheredParts& parts, DWORD waitLimit)
{
    switch (step) {
    case GatheringStep::InstalledApplications:
        parts.installedApplications = ReadInstalledApplications();
        break;
    case GatheringStep::Processes: parts.processes = ReadProcesses(); break;
    case GatheringStep::ApplicationWindows: parts.applicationWindows = ReadApplicationTitles(); break;
    case GatheringStep::Drives: {
        SystemFacts drives;
        ProbeDrives(drives);
        parts.drives = std::move(drives.drives);
        break;
    }
    case GatheringStep::InputDevices: {
        SystemFacts inputs;
        ProbeInputDevices(inputs);
        parts.inputDevices = std::move(inputs.inputDevices);
        break;
    }
    case GatheringStep::HostFacts: parts.host = readHostFacts(); break;
    case GatheringStep::DisplayAdapters:
        if (const DisplayAdapterFacts* prepared = WaitForDisplayAdapters(waitLimit))
            parts.displayAdapters = *prepared;
        break;
    case GatheringStep::DxDiag: ProbeDxDiag(parts.dxdiag); break;
    }
}

SystemReport GatherSystemReport()
{
    GatheredParts parts;
    for (unsigned step = 0; step < GatheringStepCount; ++step)
        RunGatheringStep(static_cast<GatheringStep>(step), parts);
    return BuildSystemReport(parts, facts, ReportText);
}

const SystemFacts& CurrentSystemFacts()
{
    return facts;
}

bool CopyReportToClipboard(const SystemReport& report, HWND owner)
{
    const std::u16string text = AssembleReport(report);
    const std::string bytes = ToSystemCodePage(text);
    const HGLOBAL ansi = globalCopy(bytes.c_str(), bytes.size() + 1);
    const HGLOBAL wide = globalCopy(text.c_str(), (text.size() + 1) * sizeof(char16_t));
    if (!ansi || !wide || !OpenClipboard(owner)) {
        freeBlock(ansi);
        freeBlock(wide);
        return false;
    }
    EmptyClipboard();
    // The clipboard owns a block once it is set; one it refused is ours.
    if (!SetClipboardData(CF_UNICODETEXT, wide))
        GlobalFree(wide);
    if (!SetClipboardData(CF_TEXT, ansi))
        GlobalFree(ansi);
    CloseClipboard();
    return true;
}
