// How the language choice is read from config.lng's bytes and derived when
// the file does not give one.
#include "shell/language_settings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <vector>

namespace {
std::vector<unsigned char> fileBytes(std::initializer_list<unsigned> values)
{
    return std::vector<unsigned char>(values.begin(), values.end());
}
} // namespace

TEST(LanguageFile, EightBytesWithTheMagicGiveTheStoredLanguage)
{
    const auto bytes = fileBytes({0x23, 0x04, 0x09, 0x20, 0x02, 0x01, 0x00, 0x00});
    const auto settings = decodeLanguageFile(bytes.data(), bytes.size());
    ASSERT_TRUE(settings);
    EXPECT_EQ(0x00000102u, settings->languageWord);
    EXPECT_EQ(German, languageIndexOf(*settings));
}

TEST(LanguageFile, OtherFilesGiveNoChoice)
{
    struct Case {
        const char* name;
        std::vector<unsigned char> bytes;
    };
    const Case cases[] = {
        {"foreign magic", fileBytes({0x24, 0x04, 0x09, 0x20, 0x01, 0, 0, 0})},
        {"short file", fileBytes({0x23, 0x04, 0x09, 0x20, 0x01, 0})},
        {"empty file", {}},
        {"language the tool does not have", fileBytes({0x23, 0x04, 0x09, 0x20, 0x04, 0, 0, 0})},
    };
    for (const Case& c : cases)
        EXPECT_FALSE(decodeLanguageFile(c.bytes.data(), c.bytes.size())) << c.name;
}

TEST(LanguageFile, ByteFourOfAShortOrForeignFileIsTheFirstFallback)
{
    const auto six = fileBytes({0xAA, 0xBB, 0xCC, 0xDD, 0x03, 0x00});
    EXPECT_EQ(std::optional<std::uint8_t>(French), languageFromFileBytes(six.data(), six.size()));
    const auto outOfRange = fileBytes({0, 0, 0, 0, 0x04, 0});
    EXPECT_FALSE(languageFromFileBytes(outOfRange.data(), outOfRange.size()));
    const auto four = fileBytes({0, 0, 0, 0});
    EXPECT_FALSE(languageFromFileBytes(four.data(), four.size()));
}

TEST(LanguageFile, RegistryValueCountsOnlyForTheFourLanguages)
{
    EXPECT_EQ(std::optional<std::uint8_t>(English), languageFromRegistryValue(1));
    EXPECT_FALSE(languageFromRegistryValue(4));
    EXPECT_FALSE(languageFromRegistryValue(0xFFFFFFFFu));
}

TEST(LanguageFile, WrittenRecordIsLittleEndianWithTheUpperBytesCarried)
{
    LanguageSettings settings{LanguageFileMagic, 0x00000102};
    storeLanguageIndex(settings, English);
    unsigned char bytes[8];
    encodeLanguageFile(settings, bytes);
    const unsigned char expected[8] = {0x23, 0x04, 0x09, 0x20, 0x01, 0x01, 0x00, 0x00};
    EXPECT_EQ(0, std::memcmp(expected, bytes, 8));
}

TEST(LanguageFile, UserLanguageIdsMapToTheFourLanguages)
{
    const std::map<std::uint16_t, std::uint8_t> table = {
        {0x0409, English}, {0x0809, English}, {0x0C09, English}, {0x1009, English}, {0x1409, English},
        {0x1809, English}, {0x1C09, English}, {0x2009, English}, {0x2409, English}, {0x2809, English},
        {0x2C09, English}, {0x3009, English}, {0x3409, English}, {0x0407, German},  {0x0807, German},
        {0x0C07, German},  {0x1007, German},  {0x1407, German},  {0x040C, French},  {0x080C, French},
        {0x0C0C, French},  {0x100C, French},  {0x140C, French},  {0x180C, French},
    };
    // Every id of the table, and every other id (Japanese 0x0411 among them)
    // reads as Japanese.
    for (std::uint32_t id = 0; id <= 0xFFFF; ++id) {
        const auto listed = table.find(static_cast<std::uint16_t>(id));
        const std::uint8_t expected = listed == table.end() ? std::uint8_t{Japanese} : listed->second;
        ASSERT_EQ(expected, LanguageIdToIndex(static_cast<std::uint16_t>(id))) << std::hex << "id 0x" << id;
    }
}
