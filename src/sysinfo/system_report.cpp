#include "sysinfo/system_report.h"

#include "sysinfo/fact_text.h"

void MoveGatheredPart(GatheringStep step, GatheredParts& from, GatheredParts& to)
{
    switch (step) {
    case GatheringStep::InstalledApplications:
        to.installedApplications = std::move(from.installedApplications);
        break;
    case GatheringStep::Processes: to.processes = std::move(from.processes); break;
    case GatheringStep::ApplicationWindows: to.applicationWindows = std::move(from.applicationWindows); break;
    case GatheringStep::Drives: to.drives = std::move(from.drives); break;
    case GatheringStep::InputDevices: to.inputDevices = std::move(from.inputDevices); break;
    case GatheringStep::HostFacts: to.host = std::move(from.host); break;
    case GatheringStep::DisplayAdapters: to.displayAdapters = std::move(from.displayAdapters); break;
    case GatheringStep::DxDiag: to.dxdiag = std::move(from.dxdiag); break;
    }
}

SystemReport BuildSystemReport(const GatheredParts& parts, SystemFacts& facts, TextLookup text)
{
    SystemReport report = CreateSystemReport();
    FillNamePage(report.page(PageKind::Installation), parts.installedApplications);
    FillProcessPage(report.page(PageKind::Process), parts.processes);
    FillNamePage(report.page(PageKind::Application), parts.applicationWindows);

    facts = parts.dxdiag;
    facts.drives = parts.drives;
    ApplyDirect3DFacts(facts, parts.displayAdapters.direct3D, text);
    facts.inputDevices = parts.inputDevices;
    ApplyDxgiFacts(facts, parts.displayAdapters.dxgiOutputs);
    // DxDiag's own texts only say whether it answered; the report names the
    // system and the processor itself.
    if (!facts.operatingSystem.empty())
        facts.operatingSystem = parts.host.osName;
    facts.compatibilityLayer = parts.host.compatibilityLayer;
    if (!facts.processor.empty() && !parts.host.processorBrand.empty())
        facts.processor = parts.host.processorBrand;
    facts.processorCounts = parts.host.processorCounts;
    facts.physicalMemory = parts.host.physicalMemory;
    facts.virtualMemory = parts.host.virtualMemory;
    facts.pageFile = parts.host.pageFile;
    FillSystemPage(report.page(PageKind::System), facts, text);
    return report;
}

namespace {

// Each display device DxDiag listed under `name`.
template <typename Change>
void changeDisplaysNamed(SystemFacts& facts, const std::u16string& name, Change change)
{
    for (DisplayDeviceRecord& display : facts.displayDevices) {
        if (display.deviceName == name)
            change(display);
    }
}

} // namespace

void ApplyDirect3DFacts(SystemFacts& facts, const std::vector<Direct3DAdapterFacts>& adapters,
                        TextLookup text)
{
    for (const Direct3DAdapterFacts& adapter : adapters) {
        if (!adapter.identified)
            continue;
        changeDisplaysNamed(facts, adapter.name, [&](DisplayDeviceRecord& display) {
            if (adapter.capsRead) {
                display.vertexShader = FormatShaderVersion(adapter.vertexShaderVersion);
                display.pixelShader = FormatShaderVersion(adapter.pixelShaderVersion);
            }
            display.vertexTexture = text(adapter.vertexTextures ? 228 : 229);
        });
    }
}

void ApplyDxgiFacts(SystemFacts& facts, const std::vector<DxgiOutputFacts>& outputs)
{
    for (const DxgiOutputFacts& output : outputs) {
        if (!output.adapterDescribed)
            continue;
        changeDisplaysNamed(facts, output.deviceName, [&](DisplayDeviceRecord& display) {
            display.videoMemory = FormatVideoMemory(output.dedicatedVideoMemory);
            display.sharedVideoMemory = FormatVideoMemory(output.sharedSystemMemory);
        });
    }
}
