// config.pad comes from the player's folder and may hold anything; so may a
// controller's state. Neither may crash the reader or give a value the
// windows cannot use.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "gamepad/input_table.h"
#include "gamepad/pad_settings.h"
#include "fuzz_check.h"

namespace {

void fuzzRecord(const std::uint8_t* data, std::size_t size)
{
    PadSettings image{};
    PadSettings working{};
    applyPadFile(data, size, image, working);
    // The bytes as read are kept for writing back, whatever they hold.
    check(size == 0 || std::memcmp(&image, data, size < PadSettingsSize ? size : PadSettingsSize) == 0);
    const bool whole = size >= PadSettingsSize && std::memcmp(data, &PadSettingsMagic, 4) == 0;
    if (whole) {
        check(std::memcmp(&working, data, PadSettingsSize) == 0);
    } else {
        check(working.magic == PadSettingsMagic && working.calibrationStep == 2 && working.vibration == 1);
        check(std::memcmp(working.assignments, DefaultAssignments, AssignmentRowCount) == 0);
    }
}

void fuzzReading(const std::uint8_t* data, std::size_t size)
{
    // A state, then the ranges of the 28 axes, then an XInput state.
    constexpr std::size_t Needed = DirectInputStateSize + CalibratedAxisCount * 8 + sizeof(XInputPadState);
    if (size < Needed)
        return;
    DirectInputState state;
    std::memcpy(state, data, sizeof state);
    AxisCalibration calibration[CalibratedAxisCount];
    for (unsigned k = 0; k < CalibratedAxisCount; ++k) {
        std::int32_t range[2];
        std::memcpy(range, data + DirectInputStateSize + 8 * k, sizeof range);
        calibration[k] = calibrateAxis(range[0], range[1]);
        check(calibration[k].halfRange >= 0);
    }
    XInputPadState pad;
    std::memcpy(&pad, data + DirectInputStateSize + CalibratedAxisCount * 8, sizeof pad);

    ControllerReading reading;
    readDirectInputState(state, calibration, reading);
    for (float value : reading.inputs)
        check(value >= 0.0f && value == value);
    readXInputState(pad, reading);
    for (float value : reading.inputs)
        check(value >= 0.0f && value <= 1.0001f);
    const int held = firstHeldInput(reading);
    check(held < static_cast<int>(InputCount) && (held < 0) == allInputsReleased(reading));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzRecord(data, size);
    fuzzReading(data, size);
    return 0;
}
