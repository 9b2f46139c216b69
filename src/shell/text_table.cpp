#include "shell/text_table.h"

#include "shell/text_codec.h"

namespace {

const std::uint8_t ShippedHeader[StringTableHeaderSize] = {'S',  'T',  'R', 'T', 0x00, 0x01, 0xFF, 0xFE,
                                                           0x20, 0x20, 0,   0,   0,    0,    0,    0};

std::uint16_t readU16(const std::uint8_t* bytes)
{
    return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

void appendU16(std::vector<std::uint8_t>& out, std::uint16_t value)
{
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

} // namespace

const char16_t* TextTable::find(std::uint32_t number) const
{
    const auto found = texts_.find(number);
    return found == texts_.end() ? u"" : found->second.c_str();
}

void TextTable::set(std::uint32_t number, std::u16string_view text)
{
    texts_[number] = std::u16string(text.substr(0, text.find(u'\0')));
}

std::vector<std::uint8_t> buildStringTable(std::span<const TextEntry> entries)
{
    std::vector<std::uint8_t> out(std::begin(ShippedHeader), std::end(ShippedHeader));
    for (const TextEntry& entry : entries) {
        appendU16(out, static_cast<std::uint16_t>(EntryHeaderSize + 2 * (entry.text.size() + 1)));
        appendU16(out, entry.number);
        for (const char16_t unit : entry.text)
            appendU16(out, unit);
        appendU16(out, 0);
    }
    appendU16(out, 0);
    return out;
}

bool readStringTable(std::span<const std::uint8_t> data, TextTable& table)
{
    table.clear();
    if (data.size() < StringTableHeaderSize)
        return false;
    std::size_t offset = StringTableHeaderSize;
    while (data.size() - offset >= 2) {
        const std::size_t entrySize = readU16(data.data() + offset);
        if (entrySize == 0)
            return true;
        if (entrySize < EntryHeaderSize || entrySize > data.size() - offset) {
            table.clear();
            return false;
        }
        const std::uint8_t* entry = data.data() + offset;
        std::u16string text;
        for (std::size_t at = EntryHeaderSize; at + 2 <= entrySize; at += 2) {
            const char16_t unit = readU16(entry + at);
            if (unit == 0)
                break;
            text.push_back(unit);
        }
        table.set(readU16(entry + 2), text);
        offset += entrySize;
    }
    return true;
}

bool loadTextTable(std::span<const std::uint8_t> block, TextTable& table)
{
    table.clear();
    const auto unpacked = unpackTextBlock(block);
    return unpacked && readStringTable(*unpacked, table);
}
