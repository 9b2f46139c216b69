#include "shell/display_adapter_record.h"

#include "foundation/byte_record.h"

namespace {

// Kinds, with the format's version in the low byte.
constexpr std::uint32_t Direct3DAdaptersKind = 0x41334401; // "\1D3A"
constexpr std::uint32_t DxgiOutputsKind = 0x4f584401;      // "\1DXO"

bool readAdapter(RecordReader& reader, Direct3DAdapterFacts& adapter)
{
    std::uint32_t modes = 0;
    if (!reader.flag(adapter.identified) || !reader.text(adapter.name) || !reader.count(modes))
        return false;
    for (std::uint32_t i = 0; i < modes; ++i) {
        DisplayModeSize size{};
        if (!reader.number(size.width) || !reader.number(size.height))
            return false;
        adapter.displayModes.push_back(size);
    }
    return reader.number(adapter.multisampleTypes) && reader.flag(adapter.capsRead) &&
           reader.number(adapter.vertexShaderVersion) && reader.number(adapter.pixelShaderVersion) &&
           reader.flag(adapter.vertexTextures);
}

void writeAdapter(RecordWriter& writer, const Direct3DAdapterFacts& adapter)
{
    writer.flag(adapter.identified);
    writer.text(adapter.name);
    writer.number(static_cast<std::uint32_t>(adapter.displayModes.size()));
    for (const DisplayModeSize& size : adapter.displayModes) {
        writer.number(size.width);
        writer.number(size.height);
    }
    writer.number(adapter.multisampleTypes);
    writer.flag(adapter.capsRead);
    writer.number(adapter.vertexShaderVersion);
    writer.number(adapter.pixelShaderVersion);
    writer.flag(adapter.vertexTextures);
}

void writeOutput(RecordWriter& writer, const DxgiOutputFacts& output)
{
    writer.text(output.deviceName);
    writer.flag(output.adapterDescribed);
    writer.wide(output.dedicatedVideoMemory);
    writer.wide(output.sharedSystemMemory);
}

bool readOutput(RecordReader& reader, DxgiOutputFacts& output)
{
    return reader.text(output.deviceName) && reader.flag(output.adapterDescribed) &&
           reader.wide(output.dedicatedVideoMemory) && reader.wide(output.sharedSystemMemory);
}

template <typename Entry>
std::string encodeList(const std::vector<Entry>& entries, std::uint32_t kind,
                       void (*writeEntry)(RecordWriter&, const Entry&))
{
    RecordWriter writer(kind);
    writer.number(static_cast<std::uint32_t>(entries.size()));
    for (const Entry& entry : entries)
        writeEntry(writer, entry);
    return writer.take();
}

template <typename Entry>
std::optional<std::vector<Entry>> decodeList(std::string_view bytes, std::uint32_t kind,
                                             bool (*readEntry)(RecordReader&, Entry&))
{
    RecordReader reader(bytes, kind);
    std::vector<Entry> entries;
    std::uint32_t count = 0;
    if (!reader.count(count))
        return std::nullopt;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (!readEntry(reader, entries.emplace_back()))
            return std::nullopt;
    }
    return reader.whole() ? std::optional(std::move(entries)) : std::nullopt;
}

} // namespace

std::string EncodeDirect3DAdapters(const std::vector<Direct3DAdapterFacts>& adapters)
{
    return encodeList(adapters, Direct3DAdaptersKind, writeAdapter);
}

std::optional<std::vector<Direct3DAdapterFacts>> DecodeDirect3DAdapters(std::string_view bytes)
{
    return decodeList<Direct3DAdapterFacts>(bytes, Direct3DAdaptersKind, readAdapter);
}

std::string EncodeDxgiOutputs(const std::vector<DxgiOutputFacts>& outputs)
{
    return encodeList(outputs, DxgiOutputsKind, writeOutput);
}

std::optional<std::vector<DxgiOutputFacts>> DecodeDxgiOutputs(std::string_view bytes)
{
    return decodeList<DxgiOutputFacts>(bytes, DxgiOutputsKind, readOutput);
}
