// config.sys as the game reads it: layout, defaults, what a damaged file
// gives, and the port the player types.
#include "settings/general_settings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <vector>

namespace {

std::vector<unsigned char> bytesOf(const GeneralSettings& settings)
{
    std::vector<unsigned char> bytes(sizeof settings);
    std::memcpy(bytes.data(), &settings, sizeof settings);
    return bytes;
}

std::uint32_t wordAt(const std::vector<unsigned char>& bytes, std::size_t index)
{
    const unsigned char* p = bytes.data() + 4 * index;
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// A valid file whose every option and reserved byte differs from the defaults.
std::vector<unsigned char> customisedFile(std::size_t size)
{
    std::vector<unsigned char> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<unsigned char>(i * 7 + 1);
    const unsigned char magic[] = {0x23, 0x04, 0x09, 0x20};
    std::memcpy(bytes.data(), magic, sizeof magic);
    return bytes;
}

} // namespace

TEST(GeneralSettingsFile, MissingFileGivesTheDocumentedDefaultWords)
{
    const std::uint32_t expected[15] = {0x20090423, 0, 55296, 0, 0, 1280, 720, 0, 0, 2, 2, 0, 0, 0, 0};
    const auto bytes = bytesOf(decodeGeneralSettings(nullptr, 0));
    ASSERT_EQ(256u, bytes.size());
    for (std::size_t i = 0; i < 64; ++i)
        EXPECT_EQ(i < 15 ? expected[i] : 0u, wordAt(bytes, i)) << "word " << i;
}

TEST(GeneralSettingsFile, OnlyAWholeRecordWithTheMagicIsTaken)
{
    const auto defaults = bytesOf(defaultGeneralSettings());
    auto foreign = customisedFile(256);
    foreign[3] = 0x21;
    const auto full = customisedFile(300);
    struct Case {
        const char* name;
        std::vector<unsigned char> file;
        bool accepted;
    } cases[] = {
        {"255 bytes", customisedFile(255), false},
        {"exactly 256 bytes", customisedFile(256), true},
        {"300 bytes, first 256 used", full, true},
        {"foreign magic", foreign, false},
        {"empty file", {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto decoded = bytesOf(decodeGeneralSettings(c.file.data(), c.file.size()));
        if (c.accepted)
            EXPECT_TRUE(std::equal(decoded.begin(), decoded.end(), c.file.begin()));
        else
            EXPECT_EQ(defaults, decoded);
    }
}

TEST(GeneralSettingsFile, ReservedBytesAreCarriedAsRead)
{
    const auto file = customisedFile(256);
    const GeneralSettings settings = decodeGeneralSettings(file.data(), file.size());
    EXPECT_EQ(wordAt(file, 11), settings.reserved44);
    EXPECT_EQ(0, std::memcmp(file.data() + 60, settings.reserved60, sizeof settings.reserved60));
}

TEST(GeneralSettingsRecords, AnyChangedByteCountsAsAChangeAndNothingElseDoes)
{
    const auto file = customisedFile(256);
    resetGeneralSettings(decodeGeneralSettings(file.data(), file.size()));
    EXPECT_FALSE(generalSettingsChanged());
    EXPECT_EQ(0, std::memcmp(&loadedGeneralSettings(), &workingGeneralSettings(), sizeof(GeneralSettings)));

    for (std::size_t offset : {std::size_t{0}, std::size_t{8}, std::size_t{44}, std::size_t{255}}) {
        SCOPED_TRACE(offset);
        auto* bytes = reinterpret_cast<unsigned char*>(&workingGeneralSettings());
        bytes[offset] ^= 0x01;
        EXPECT_TRUE(generalSettingsChanged());
        bytes[offset] ^= 0x01;
        EXPECT_FALSE(generalSettingsChanged());
    }
}

TEST(GeneralSettingsRecords, ReloadingDiscardsUnsavedEdits)
{
    resetGeneralSettings(defaultGeneralSettings());
    workingGeneralSettings().width = 1920;
    ASSERT_TRUE(generalSettingsChanged());
    resetGeneralSettings(defaultGeneralSettings());
    EXPECT_FALSE(generalSettingsChanged());
    EXPECT_EQ(1280u, workingGeneralSettings().width);
}

TEST(NetworkPort, OnlyTheGamesPortRangeIsAccepted)
{
    const struct {
        std::uint32_t port;
        bool valid;
    } cases[] = {
        {55295, false}, {55296, true}, {55400, true},       {55551, true},
        {55552, false}, {0, false},    {0xFFFFFFFF, false}, {static_cast<std::uint32_t>(-55296), false}};
    for (const auto& c : cases)
        EXPECT_EQ(c.valid, isValidPort(c.port)) << c.port;
}

TEST(NetworkPort, TypedTextConvertsAsASignedNumber)
{
    constexpr std::int32_t max = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t min = std::numeric_limits<std::int32_t>::min();
    const struct {
        const wchar_t* text;
        std::int32_t value;
    } cases[] = {
        {L"55300", 55300},
        {L"", 0},
        {L"abc", 0},
        {L"-", 0},
        {L"  \t55296", 55296},
        {L"+55551", 55551},
        {L"-12", -12},
        {L"553x00", 553},
        {L"55 300", 55},
        {L"99999999999", max},
        {L"2147483647", max},
        {L"2147483648", max},
        {L"-2147483648", min},
        {L"-2147483649", min},
        {L"-99999999999999999999999999999", min},
        {L"00000000000000000000055296", 55296},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.value, portFromText(c.text))
            << "\"" << testing::PrintToString(std::wstring(c.text)) << "\"";
}
