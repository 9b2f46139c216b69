// The general options the game reads from config.sys: one fixed 256-byte
// little-endian record, and the two copies the general settings window keeps
// while it is open.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

inline constexpr std::uint32_t GeneralSettingsMagic = 0x20090423;
inline constexpr std::size_t GeneralSettingsSize = 256;

// Fields chosen from a list hold the list position counted from 0 and are
// signed: a list without a selection yields -1. Switches hold exactly 0 or 1
// when written; on reading any non-zero value counts as on.
struct GeneralSettings {
    std::uint32_t magic;
    std::int32_t upnpMode;    // 0 automatic, 1 use, 2 do not use
    std::uint32_t port;       // 55296..55551 when accepted by the window
    std::int32_t adapter;     // Direct3D 9 adapter ordinal
    std::int32_t displayMode; // 0 windowed, 1 full screen
    std::uint32_t width;
    std::uint32_t height;
    std::int32_t multisampleLevel; // index into MultisampleTypes
    std::int32_t bufferSize;       // 0 window size, 1 double, 2 half, 3 quarter
    std::int32_t shadowDetail;     // 0 lowest .. 4 highest
    std::int32_t projectionShadowDetail;
    std::uint32_t reserved44;
    std::uint32_t ambientOcclusion;
    std::uint32_t depthOfField;
    std::uint32_t soundDisabled;
    std::uint8_t reserved60[196];
};

// The record is the game's contract: its bytes are the file's bytes.
static_assert(std::endian::native == std::endian::little);
static_assert(sizeof(GeneralSettings) == GeneralSettingsSize);
static_assert(offsetof(GeneralSettings, magic) == 0);
static_assert(offsetof(GeneralSettings, upnpMode) == 4);
static_assert(offsetof(GeneralSettings, port) == 8);
static_assert(offsetof(GeneralSettings, adapter) == 12);
static_assert(offsetof(GeneralSettings, displayMode) == 16);
static_assert(offsetof(GeneralSettings, width) == 20);
static_assert(offsetof(GeneralSettings, height) == 24);
static_assert(offsetof(GeneralSettings, multisampleLevel) == 28);
static_assert(offsetof(GeneralSettings, bufferSize) == 32);
static_assert(offsetof(GeneralSettings, shadowDetail) == 36);
static_assert(offsetof(GeneralSettings, projectionShadowDetail) == 40);
static_assert(offsetof(GeneralSettings, reserved44) == 44);
static_assert(offsetof(GeneralSettings, ambientOcclusion) == 48);
static_assert(offsetof(GeneralSettings, depthOfField) == 52);
static_assert(offsetof(GeneralSettings, soundDisabled) == 56);
static_assert(offsetof(GeneralSettings, reserved60) == 60);

inline constexpr std::uint32_t LowestPort = 55296;
inline constexpr std::uint32_t HighestPort = 55551;

// The record of a missing, short or foreign file: the defaults, every
// reserved byte 0.
GeneralSettings defaultGeneralSettings();

// The record from the first bytes of config.sys: valid when at least 256
// bytes came and the magic matches (a longer file is accepted, its first 256
// bytes used); anything else gives the defaults. Reserved bytes are kept.
GeneralSettings decodeGeneralSettings(const unsigned char* bytes, std::size_t count);

// Module-wide copies, alive for the whole process. The loaded record holds
// what the last opening read (or the defaults) and is the reference for
// detecting changes; the working record is what the pages edit.
const GeneralSettings& loadedGeneralSettings();
GeneralSettings& workingGeneralSettings();
// Makes `settings` the loaded record and a copy of it the working record.
void resetGeneralSettings(const GeneralSettings& settings);

// True when the working record differs from the loaded one in any byte.
bool generalSettingsChanged();

// The window accepts only ports 55296..55551. The test is unsigned, so that
// values below the range (negative ones included) fail as well.
inline bool isValidPort(std::uint32_t port)
{
    return port - LowestPort <= HighestPort - LowestPort;
}

// The port field's text as a signed decimal number: leading white space
// skipped, an optional sign, then digits up to the first other character. No
// digits gives 0; values beyond the signed 32-bit range are clamped to it.
std::int32_t portFromText(const wchar_t* text);
