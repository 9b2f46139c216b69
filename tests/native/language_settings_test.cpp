// How the language choice is read from config.lng's bytes and derived when
// the file does not give one.
#include "shell/language_settings.h"

#include <gtest/gtest.h>

#include <cstring>
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
    setLanguageIndex(settings, English);
    unsigned char bytes[8];
    encodeLanguageFile(settings, bytes);
    const unsigned char expected[8] = {0x23, 0x04, 0x09, 0x20, 0x01, 0x01, 0x00, 0x00};
    EXPECT_EQ(0, std::memcmp(expected, bytes, 8));
}

TEST(LanguageFile, UserLanguageIdsMapToTheFourLanguages)
{
    struct Case {
        std::uint16_t id;
        std::uint8_t index;
    };
    const Case cases[] = {{0x0409, English},  {0x0809, English},  {0x3409, English},  {0x0407, German},
                          {0x1407, German},   {0x040C, French},   {0x0C0C, French},   {0x180C, French},
                          {0x0411, Japanese}, {0x0816, Japanese}, {0x3809, Japanese}, {0x1807, Japanese},
                          {0x1C0C, Japanese}};
    for (const Case& c : cases)
        EXPECT_EQ(c.index, LanguageIdToIndex(c.id)) << std::hex << c.id;
}
