// The entry walk over unpacked tables, including damaged ones, and lookups.
#include "shell/text_table.h"

#include <gtest/gtest.h>

#include "shell/text_codec.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// A table from raw entries: each is (entry size, number, units), so tests can
// state sizes that do not match their texts.
struct RawEntry {
    std::uint16_t size;
    std::uint16_t number;
    std::u16string units;
};

void put16(Bytes& out, std::uint16_t value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

Bytes rawTable(std::initializer_list<RawEntry> entries, bool terminated = true)
{
    Bytes out = {'S', 'T', 'R', 'T', 0, 1, 0xFF, 0xFE, ' ', ' ', 0, 0, 0, 0, 0, 0};
    for (const RawEntry& entry : entries) {
        put16(out, entry.size);
        put16(out, entry.number);
        for (char16_t unit : entry.units)
            put16(out, unit);
    }
    if (terminated)
        put16(out, 0);
    return out;
}

// The entry size the packer writes for `text`.
std::uint16_t sizeFor(std::u16string_view text)
{
    return static_cast<std::uint16_t>(4 + 2 * (text.size() + 1));
}

RawEntry entry(std::uint16_t number, std::u16string text)
{
    const std::uint16_t size = sizeFor(text);
    text.push_back(0);
    return {size, number, text};
}

} // namespace

TEST(TextTable, BuildsTheShippedLayout)
{
    const TextEntry entries[] = {{108, u"OK"}, {102, u"日本語"}};
    const Bytes expected = rawTable({entry(108, u"OK"), entry(102, u"日本語")});
    EXPECT_EQ(expected, buildStringTable(entries));
    EXPECT_EQ(16u + 10u + 12u + 2u, expected.size());
}

TEST(TextTable, LooksUpTextsByNumber)
{
    TextTable table;
    ASSERT_TRUE(
        readStringTable(rawTable({entry(100, u"ORVANTE Config"), entry(248, u"Copy to Clipboard")}), table));
    EXPECT_EQ(std::u16string(u"ORVANTE Config"), table.find(100));
    EXPECT_EQ(std::u16string(u"Copy to Clipboard"), table.find(248));
    // Numbers that are not in the table, including one whose low 16 bits are.
    for (std::uint32_t number : {0u, 99u, 101u, 249u, 0xFFFFu, 100u + 0x10000u}) {
        ASSERT_NE(nullptr, table.find(number));
        EXPECT_EQ(std::u16string(), table.find(number)) << number;
    }
}

TEST(TextTable, ANumberGivenTwiceKeepsTheLaterText)
{
    TextTable table;
    ASSERT_TRUE(
        readStringTable(rawTable({entry(108, u"first"), entry(109, u"Accept"), entry(108, u"OK")}), table));
    EXPECT_EQ(std::u16string(u"OK"), table.find(108));
    EXPECT_EQ(2u, table.size());
}

TEST(TextTable, ReadsDamagedTablesSafely)
{
    struct Case {
        const char* name;
        Bytes data;
        bool loads;
        std::u16string text108; // what 108 reads afterwards
    };
    const Case cases[] = {
        {"the header is not examined",
         [] {
             Bytes data = rawTable({entry(108, u"OK")});
             std::fill(data.begin(), data.begin() + 16, 0xEE);
             return data;
         }(),
         true, u"OK"},
        {"a text without its zero unit ends with its entry",
         rawTable({{8, 108, u"OK"}, entry(109, u"Accept")}), true, u"OK"},
        {"an odd entry size drops the half unit", rawTable({{9, 108, u"OK\xFF"}}, false), true, u"OK"},
        {"a text stops at its first zero unit", rawTable({{12, 108, std::u16string(u"OK\0X", 4)}}), true,
         u"OK"},
        {"the end of the data ends a table without terminator", rawTable({entry(108, u"OK")}, false), true,
         u"OK"},
        {"a lone byte after the last entry ends the table",
         [] {
             Bytes data = rawTable({entry(108, u"OK")}, false);
             data.push_back(7);
             return data;
         }(),
         true, u"OK"},
        {"an entry size below 4 is refused", rawTable({entry(108, u"OK"), {3, 109, u""}}), false, u""},
        {"an entry size of 1 is refused", rawTable({entry(108, u"OK"), {1, 0, u""}}), false, u""},
        {"an entry past the end of the data is refused",
         rawTable({entry(108, u"OK"), {40, 109, u"Accept"}}, false), false, u""},
        {"data shorter than the header is refused", Bytes(15, 0), false, u""},
        {"nothing at all is refused", Bytes(), false, u""},
        {"a header alone is an empty table", Bytes(16, 0), true, u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TextTable table;
        table.set(108, u"stale");
        EXPECT_EQ(c.loads, readStringTable(c.data, table));
        EXPECT_EQ(c.text108, table.find(108));
        if (!c.loads) {
            EXPECT_EQ(0u, table.size());
        }
    }
}

TEST(TextTable, AFailedLoadLeavesTheTableEmpty)
{
    TextTable table;
    const TextEntry entries[] = {{110, u"Save these settings?"}};
    Bytes block = packTextBlock(buildStringTable(entries));
    ASSERT_TRUE(loadTextTable(block, table));
    EXPECT_EQ(std::u16string(u"Save these settings?"), table.find(110));

    block.pop_back();
    EXPECT_FALSE(loadTextTable(block, table));
    EXPECT_EQ(0u, table.size());
    EXPECT_EQ(std::u16string(), table.find(110));
}
