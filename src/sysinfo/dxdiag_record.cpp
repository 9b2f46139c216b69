#include "sysinfo/dxdiag_record.h"

#include "foundation/byte_record.h"

namespace {

// The kind, with the format's version in the low byte.
constexpr std::uint32_t DxDiagKind = 0x44584401; // "\1DXD"

template <typename Record> using TextField = std::u16string Record::*;

const TextField<SystemFacts> SystemTexts[] = {
    &SystemFacts::operatingSystem, &SystemFacts::processor,      &SystemFacts::bios,
    &SystemFacts::language,        &SystemFacts::directXVersion,
};

const TextField<DisplayDeviceRecord> DisplayTexts[] = {
    &DisplayDeviceRecord::deviceName,    &DisplayDeviceRecord::description,
    &DisplayDeviceRecord::chipType,      &DisplayDeviceRecord::manufacturer,
    &DisplayDeviceRecord::videoMemory,   &DisplayDeviceRecord::sharedVideoMemory,
    &DisplayDeviceRecord::dacType,       &DisplayDeviceRecord::displayMode,
    &DisplayDeviceRecord::driverName,    &DisplayDeviceRecord::driverVersion,
    &DisplayDeviceRecord::driverDate,    &DisplayDeviceRecord::driverLanguage,
    &DisplayDeviceRecord::vertexShader,  &DisplayDeviceRecord::pixelShader,
    &DisplayDeviceRecord::vertexTexture,
};

const TextField<SoundDeviceRecord> SoundTexts[] = {
    &SoundDeviceRecord::description,   &SoundDeviceRecord::deviceId,       &SoundDeviceRecord::driverName,
    &SoundDeviceRecord::driverVersion, &SoundDeviceRecord::driverLanguage, &SoundDeviceRecord::driverDate,
};

template <typename Record, std::size_t N>
void writeTexts(RecordWriter& writer, const Record& record, const TextField<Record> (&fields)[N])
{
    for (const TextField<Record> field : fields)
        writer.text(record.*field);
}

template <typename Record, std::size_t N>
bool readTexts(RecordReader& reader, Record& record, const TextField<Record> (&fields)[N])
{
    for (const TextField<Record> field : fields) {
        std::u16string text;
        if (!reader.text(text))
            return false;
        if (!text.empty())
            record.*field = std::move(text);
    }
    return true;
}

template <typename Record, std::size_t N>
void writeDevices(RecordWriter& writer, const std::vector<Record>& devices,
                  const TextField<Record> (&fields)[N])
{
    writer.number(static_cast<std::uint32_t>(devices.size()));
    for (const Record& device : devices)
        writeTexts(writer, device, fields);
}

template <typename Record, std::size_t N>
bool readDevices(RecordReader& reader, const Record& start, const TextField<Record> (&fields)[N],
                 std::vector<Record>& devices)
{
    std::uint32_t count = 0;
    if (!reader.count(count))
        return false;
    for (std::uint32_t i = 0; i < count; ++i) {
        Record device = start;
        if (!readTexts(reader, device, fields))
            return false;
        devices.push_back(std::move(device));
    }
    return true;
}

} // namespace

std::string EncodeDxDiagFacts(const SystemFacts& facts)
{
    RecordWriter writer(DxDiagKind);
    writeTexts(writer, facts, SystemTexts);
    writeDevices(writer, facts.displayDevices, DisplayTexts);
    writeDevices(writer, facts.soundDevices, SoundTexts);
    return writer.take();
}

bool DecodeDxDiagFacts(std::string_view bytes, const DisplayDeviceRecord& newDisplay, SystemFacts& facts)
{
    RecordReader reader(bytes, DxDiagKind);
    SystemFacts read = facts;
    if (!reader.ok() || !readTexts(reader, read, SystemTexts) ||
        !readDevices(reader, newDisplay, DisplayTexts, read.displayDevices) ||
        !readDevices(reader, SoundDeviceRecord{}, SoundTexts, read.soundDevices) || !reader.whole())
        return false;
    facts = std::move(read);
    return true;
}
