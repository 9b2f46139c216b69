#include "sysinfo/system_report_win32.h"

#include <cstring>

#include "foundation/system_library_win32.h"
#include "sysinfo/probes_win32.h"

namespace {

// Module-wide, rebuilt from empty by each gathering.
SystemFacts facts;

void gatherSystemFacts()
{
    ClearSystemFacts(facts);
    ProbeDrives(facts);
    ProbeDxDiag(facts);
    ProbeDirect3D9(facts);
    ProbeInputDevices(facts);
    ProbeDxgi(facts);
    // DxDiag's own texts only say whether it answered; the report names the
    // system and the processor itself.
    if (!facts.operatingSystem.empty())
        facts.operatingSystem = ReadOsName();
    if (!facts.processor.empty()) {
        std::u16string brand = ReadProcessorBrand();
        if (!brand.empty())
            facts.processor = std::move(brand);
    }
    facts.processorCounts = ReadProcessorCounts();
    facts.physicalMemory = ReadMemorySize(MemoryKind::Physical);
    facts.virtualMemory = ReadMemorySize(MemoryKind::Virtual);
    facts.pageFile = ReadMemorySize(MemoryKind::PageFile);
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

SystemReport GatherSystemReport()
{
    // DxDiag, Direct3D 9 and DXGI all start the same graphics runtime; held
    // for the whole gathering, it starts once instead of once per probe.
    const HMODULE heldDirect3D9 = LoadSystemLibrary(L"d3d9.dll");
    const HMODULE heldDxgi = LoadSystemLibrary(L"dxgi.dll");
    SystemReport report = CreateSystemReport();
    FillNamePage(report.page(PageKind::Installation), ReadInstalledApplications());
    FillProcessPage(report.page(PageKind::Process), ReadProcesses());
    FillNamePage(report.page(PageKind::Application), ReadApplicationTitles());
    gatherSystemFacts();
    FillSystemPage(report.page(PageKind::System), facts, ReportText);
    if (heldDxgi)
        FreeLibrary(heldDxgi);
    if (heldDirect3D9)
        FreeLibrary(heldDirect3D9);
    return report;
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
