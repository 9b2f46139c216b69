// The 196-byte record of config.pad, which the game reads: the chosen
// controller, the input number of each of 24 game functions, the calibration
// step and two switches. The bytes from offset 72 belong to the game and are
// written back exactly as they were read.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

static_assert(std::endian::native == std::endian::little, "the record is stored as laid out in memory");

inline constexpr std::uint32_t PadSettingsMagic = 0x20100211;
inline constexpr std::size_t PadSettingsSize = 196;
inline constexpr unsigned AssignmentRowCount = 24;
inline constexpr std::uint32_t CalibrationStepCount = 6; // 0.0, 0.1, ... 0.5

// A GUID as the platform lays it out.
struct PadGuid {
    std::uint32_t data1;
    std::uint16_t data2;
    std::uint16_t data3;
    std::uint8_t data4[8];
};
static_assert(sizeof(PadGuid) == 16);

struct PadSettings {
    std::uint32_t magic;
    PadGuid controllerInstance;
    PadGuid controllerProduct;
    std::uint32_t background;
    std::uint32_t calibrationStep;
    std::uint8_t assignments[AssignmentRowCount];
    std::uint32_t vibration;
    std::uint8_t reserved[124];
};
static_assert(offsetof(PadSettings, magic) == 0);
static_assert(offsetof(PadSettings, controllerInstance) == 4);
static_assert(offsetof(PadSettings, controllerProduct) == 20);
static_assert(offsetof(PadSettings, background) == 36);
static_assert(offsetof(PadSettings, calibrationStep) == 40);
static_assert(offsetof(PadSettings, assignments) == 44);
static_assert(offsetof(PadSettings, vibration) == 68);
static_assert(offsetof(PadSettings, reserved) == 72);
static_assert(sizeof(PadSettings) == PadSettingsSize);

// Rows 0..11: up, down, left, right of the menu, movement and camera groups;
// rows 12..23: single functions.
inline constexpr std::uint8_t DefaultAssignments[AssignmentRowCount] = {
    34, 35, 32, 33, 38, 39, 36, 37, 42, 43, 40, 41, 9, 7, 6, 8, 4, 45, 2, 5, 46, 3, 0, 1,
};

// Sets magic, calibration step 2, background 0, vibration 1 and the default
// assignments; the controller and the game's bytes keep what they held.
void setPadDefaults(PadSettings& settings);

// Takes the first `count` bytes of config.pad (up to 196 count) into the saved
// image, over what it held, and sets the working record from them when they
// are a whole record with the right magic, else to the defaults.
void applyPadFile(const std::uint8_t* bytes, std::size_t count, PadSettings& savedImage,
                  PadSettings& working);

// The record as the window edits it, and the bytes last read from the file;
// both start all zero.
PadSettings& workingPadSettings();
const PadSettings& savedPadImage();
// Loads from the bytes of the file just read (`count` 0 when there is none).
void applyPadFileToSettings(const std::uint8_t* bytes, std::size_t count);
// True when any byte of the working record differs from the saved image.
bool padSettingsChanged();
