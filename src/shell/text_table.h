// The texts of one language by text number, and the "STRT" table they are
// stored as: a 16-byte header, then entries (u16 entry size, u16 number,
// UTF-16LE text with its zero unit), ended by an entry size of 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

// The numbers every language table holds.
inline constexpr std::uint16_t FirstTextNumber = 100;
inline constexpr std::uint16_t LastTextNumber = 250;

inline constexpr std::size_t StringTableHeaderSize = 16;
inline constexpr std::size_t EntryHeaderSize = 4;
// The entry size is 16-bit and counts the header and the zero unit.
inline constexpr std::size_t MaxTextLength = (0xFFFF - EntryHeaderSize) / 2 - 1;

class TextTable {
public:
    // The text of `number`; the empty text, never null, when there is none.
    const char16_t* find(std::uint32_t number) const;
    // Stores `text` up to its first zero unit, replacing an earlier text.
    void set(std::uint32_t number, std::u16string_view text);
    void clear() { texts_.clear(); }
    std::size_t size() const { return texts_.size(); }
    bool operator==(const TextTable&) const = default;

private:
    std::unordered_map<std::uint32_t, std::u16string> texts_;
};

struct TextEntry {
    std::uint16_t number;
    std::u16string text;
};

// The unpacked table: the header as the shipped tables hold it, the entries
// in the given order, the terminator.
std::vector<std::uint8_t> buildStringTable(std::span<const TextEntry> entries);

// Replaces `table` by the entries of an unpacked table. A text without its
// zero unit ends with its entry. The table stays empty and the result is
// false when the data is shorter than the header or an entry is shorter than
// its own header or runs past the end of the data; the end of the data ends
// the table like a terminator.
bool readStringTable(std::span<const std::uint8_t> data, TextTable& table);

// Unpacks a PEX block and reads its table into `table`; false (and an empty
// table) when either step fails.
bool loadTextTable(std::span<const std::uint8_t> block, TextTable& table);
