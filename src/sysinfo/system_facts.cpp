#include "sysinfo/system_facts.h"

#include "sysinfo/fact_text.h"

namespace {

template <typename Record> struct FieldRow {
    std::uint32_t label;
    std::u16string Record::*field;
};

// The first row of each device carries the section label.
const FieldRow<DisplayDeviceRecord> DisplayRows[] = {
    {193, &DisplayDeviceRecord::description},   {194, &DisplayDeviceRecord::deviceName},
    {195, &DisplayDeviceRecord::chipType},      {196, &DisplayDeviceRecord::manufacturer},
    {197, &DisplayDeviceRecord::videoMemory},   {198, &DisplayDeviceRecord::sharedVideoMemory},
    {199, &DisplayDeviceRecord::dacType},       {200, &DisplayDeviceRecord::displayMode},
    {201, &DisplayDeviceRecord::driverName},    {202, &DisplayDeviceRecord::driverVersion},
    {203, &DisplayDeviceRecord::driverDate},    {204, &DisplayDeviceRecord::driverLanguage},
    {205, &DisplayDeviceRecord::vertexShader},  {206, &DisplayDeviceRecord::pixelShader},
    {207, &DisplayDeviceRecord::vertexTexture},
};

const FieldRow<SoundDeviceRecord> SoundRows[] = {
    {208, &SoundDeviceRecord::description},    {209, &SoundDeviceRecord::deviceId},
    {210, &SoundDeviceRecord::driverName},     {211, &SoundDeviceRecord::driverVersion},
    {212, &SoundDeviceRecord::driverLanguage}, {213, &SoundDeviceRecord::driverDate},
};

const FieldRow<InputDeviceRecord> InputRows[] = {
    {214, &InputDeviceRecord::instanceId},
    {215, &InputDeviceRecord::name},
    {216, &InputDeviceRecord::notes},
};

template <typename Record, std::size_t N>
void addDeviceRows(ReportPage& page, const std::vector<Record>& devices, const FieldRow<Record> (&rows)[N],
                   TextLookup text)
{
    for (const Record& device : devices) {
        for (const FieldRow<Record>& row : rows)
            AddRow(page, {text(row.label), device.*row.field});
    }
}

constexpr std::uint32_t OperatingSystemLabel = 183;
constexpr std::uint32_t CompatibilityLayerLabel = 250;
constexpr std::uint32_t StorageLabel = 191;

// The list shows the label once; the report repeats it on every drive's line.
void addStorageRows(ReportPage& page, const std::vector<DriveRecord>& drives, TextLookup text)
{
    if (drives.empty()) {
        AddListRow(page, {text(StorageLabel)});
        return;
    }
    for (std::size_t i = 0; i < drives.size(); ++i) {
        const std::u16string line = BuildDriveText(drives[i]);
        AddListRow(page, {i == 0 ? std::u16string_view(text(StorageLabel)) : std::u16string_view(), line});
        AppendTextLine(page, {text(StorageLabel), line});
    }
}

} // namespace

void ClearSystemFacts(SystemFacts& facts)
{
    facts = SystemFacts{};
}

DisplayDeviceRecord NewDisplayDeviceRecord(TextLookup text)
{
    DisplayDeviceRecord record;
    record.sharedVideoMemory = text(TextUnknown);
    return record;
}

void FillSystemPage(ReportPage& page, const SystemFacts& facts, TextLookup text)
{
    const struct {
        std::uint32_t label;
        const std::u16string& value;
    } factRows[] = {
        {OperatingSystemLabel, facts.operatingSystem},
        {184, facts.processor},
        {185, facts.processorCounts},
        {186, facts.bios},
        {187, facts.language},
        {188, facts.physicalMemory},
        {189, facts.virtualMemory},
        {190, facts.pageFile},
    };
    for (const auto& row : factRows) {
        AddRow(page, {text(row.label), row.value});
        // Under Wine the system's name is followed by the layer it runs on;
        // on Windows there is no such row.
        if (row.label == OperatingSystemLabel && !facts.compatibilityLayer.empty())
            AddRow(page, {text(CompatibilityLayerLabel), facts.compatibilityLayer});
    }
    addStorageRows(page, facts.drives, text);
    AddRow(page, {text(192), facts.directXVersion});
    addDeviceRows(page, facts.displayDevices, DisplayRows, text);
    addDeviceRows(page, facts.soundDevices, SoundRows, text);
    addDeviceRows(page, facts.inputDevices, InputRows, text);
}
