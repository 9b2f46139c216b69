// config.pad: the 196-byte record the game reads.
#include "gamepad/pad_settings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

std::vector<std::uint8_t> validFile()
{
    std::vector<std::uint8_t> bytes(PadSettingsSize);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7 + 3);
    const std::uint8_t magic[] = {0x11, 0x02, 0x10, 0x20};
    std::memcpy(bytes.data(), magic, sizeof magic);
    return bytes;
}

PadSettings filled(std::uint8_t value)
{
    PadSettings settings;
    std::memset(&settings, value, sizeof settings);
    return settings;
}

void expectDefaults(const PadSettings& settings)
{
    EXPECT_EQ(PadSettingsMagic, settings.magic);
    EXPECT_EQ(2u, settings.calibrationStep);
    EXPECT_EQ(0u, settings.background);
    EXPECT_EQ(1u, settings.vibration);
    EXPECT_EQ(0, std::memcmp(DefaultAssignments, settings.assignments, AssignmentRowCount));
}

} // namespace

TEST(PadSettingsFile, DefaultsAreTheLayoutGamesShipWith)
{
    const std::uint8_t expected[AssignmentRowCount] = {34, 35, 32, 33, 38, 39, 36, 37, 42, 43, 40, 41,
                                                       9,  7,  6,  8,  4,  45, 2,  5,  46, 3,  0,  1};
    EXPECT_EQ(0, std::memcmp(expected, DefaultAssignments, sizeof expected));
    PadSettings settings{};
    setPadDefaults(settings);
    expectDefaults(settings);
    // As bytes: magic 11 02 10 20, calibration 2 at 40, vibration 1 at 68.
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&settings);
    EXPECT_EQ(0x11, bytes[0]);
    EXPECT_EQ(0x20, bytes[3]);
    EXPECT_EQ(2, bytes[40]);
    EXPECT_EQ(34, bytes[44]);
    EXPECT_EQ(1, bytes[67]);
    EXPECT_EQ(1, bytes[68]);
}

TEST(PadSettingsFile, AWholeRecordIsTakenAsIs)
{
    const std::vector<std::uint8_t> file = validFile();
    PadSettings image{};
    PadSettings working{};
    applyPadFile(file.data(), file.size(), image, working);
    EXPECT_EQ(0, std::memcmp(file.data(), &working, PadSettingsSize));
    EXPECT_EQ(0, std::memcmp(file.data(), &image, PadSettingsSize));
}

TEST(PadSettingsFile, OnlyTheFirst196BytesOfALongerFileCount)
{
    std::vector<std::uint8_t> file = validFile();
    file.resize(200, 0xEE);
    PadSettings image{};
    PadSettings working{};
    applyPadFile(file.data(), file.size(), image, working);
    EXPECT_EQ(0, std::memcmp(file.data(), &working, PadSettingsSize));
}

TEST(PadSettingsFile, ShortForeignOrMissingFilesGiveTheDefaultsAndKeepTheRest)
{
    struct Case {
        const char* name;
        std::size_t size;
        bool foreign;
    };
    const Case cases[] = {
        {"missing", 0, false}, {"one byte", 1, false}, {"195 bytes", 195, false}, {"wrong magic", 196, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::uint8_t> file = validFile();
        if (c.foreign)
            file[3] = 0x21;
        PadSettings image = filled(0xAB);
        PadSettings working = filled(0xCD);
        applyPadFile(file.data(), c.size, image, working);

        expectDefaults(working);
        // The controller and the game's bytes keep what the record held.
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(&working);
        for (std::size_t offset : {4u, 35u, 72u, 195u})
            EXPECT_EQ(0xCD, bytes[offset]) << offset;
        // The image holds what was read and, beyond it, what it held.
        const auto* imageBytes = reinterpret_cast<const std::uint8_t*>(&image);
        EXPECT_EQ(0, std::memcmp(file.data(), imageBytes, c.size));
        for (std::size_t offset = c.size; offset < PadSettingsSize; ++offset)
            ASSERT_EQ(0xAB, imageBytes[offset]) << offset;
    }
}

TEST(PadSettingsFile, ChangesAreAnyDifferingByte)
{
    const std::vector<std::uint8_t> file = validFile();
    applyPadFileToSettings(file.data(), file.size());
    EXPECT_FALSE(padSettingsChanged());
    workingPadSettings().reserved[123] ^= 1;
    EXPECT_TRUE(padSettingsChanged());
    workingPadSettings().reserved[123] ^= 1;
    workingPadSettings().assignments[23] = 91;
    EXPECT_TRUE(padSettingsChanged());
    applyPadFileToSettings(file.data(), file.size());
    EXPECT_FALSE(padSettingsChanged());
    EXPECT_EQ(0, std::memcmp(&savedPadImage(), file.data(), PadSettingsSize));
}

TEST(PadSettingsFile, WithoutAFileLeavingAlwaysCountsAsAChange)
{
    applyPadFileToSettings(nullptr, 0);
    EXPECT_TRUE(padSettingsChanged());
}

TEST(PadSettingsFile, OutOfRangeAssignmentBytesAreKeptAsRead)
{
    std::vector<std::uint8_t> file = validFile();
    file[44] = 92;
    file[67] = 255;
    PadSettings image{};
    PadSettings working{};
    applyPadFile(file.data(), file.size(), image, working);
    EXPECT_EQ(92, working.assignments[0]);
    EXPECT_EQ(255, working.assignments[23]);
}
