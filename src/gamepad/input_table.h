// Every controller, whatever its kind, read as one table of 92 input values:
// 0..31 buttons, then the negative and positive half of each of 30 axis slots.
// The arithmetic from a DirectInput or XInput state to that table lives here,
// apart from the platform calls, so it is checked without a controller.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "shell/xinput_buttons.h"

inline constexpr unsigned ButtonCount = 32;
inline constexpr unsigned AxisSlotCount = 30;
// DirectInput axis slots 0..27 (7 groups x 4 aspects); 28 and 29 are the hat.
inline constexpr unsigned CalibratedAxisCount = 28;
inline constexpr unsigned InputCount = ButtonCount + 2 * AxisSlotCount;
static_assert(InputCount == 92);

// An input counts as held when its value rises above this.
inline constexpr float PressThreshold = 0.5f;

// The device state of the program's DirectInput data format: 32 button bytes,
// 28 signed 32-bit axes from offset 32, the hat (unsigned 32-bit) at 144.
inline constexpr std::size_t DirectInputStateSize = 148;
inline constexpr std::size_t DirectInputAxisOffset = 32;
inline constexpr std::size_t DirectInputHatOffset = 144;
using DirectInputState = std::uint8_t[DirectInputStateSize];

// Axis groups of the data format, in slot order.
enum class AxisGroup : std::uint8_t { X, Y, Z, Rx, Ry, Rz, Slider };
inline constexpr unsigned AxisGroupCount = 7;

struct AxisCalibration {
    std::int32_t center;
    std::int32_t halfRange;
    float scale;
};

// The XINPUT_GAMEPAD part of an XInput state, field for field.
struct XInputPadState {
    std::uint16_t buttons;
    std::uint8_t leftTrigger;
    std::uint8_t rightTrigger;
    std::int16_t thumbLX;
    std::int16_t thumbLY;
    std::int16_t thumbRX;
    std::int16_t thumbRY;
};

// One controller's last reading.
struct ControllerReading {
    float inputs[InputCount];          // magnitudes from 0.0 upward
    std::uint8_t buttons[ButtonCount]; // 1 pressed, 0 released
    float axes[AxisSlotCount];         // nominally -1.0 .. 1.0
};

inline constexpr unsigned negativeHalfInput(unsigned slot)
{
    return ButtonCount + 2 * slot;
}
inline constexpr unsigned positiveHalfInput(unsigned slot)
{
    return ButtonCount + 2 * slot + 1;
}

// The calibration DirectInput's range lMin..lMax gives an axis. An empty
// range reads as 0.0 wherever the axis stands.
AxisCalibration calibrateAxis(std::int32_t minimum, std::int32_t maximum);
// The slot of an axis object of `group` whose DirectInput object flags carry
// the aspect in bits 0xF00; -1 when the aspect is none of the four.
int axisSlot(AxisGroup group, std::uint32_t objectFlags);

// All buttons, axes and inputs zero: a controller that could not be read.
void clearReading(ControllerReading& reading);
// Reads a DirectInput device state under the axes' calibration.
void readDirectInputState(const DirectInputState& state,
                          const AxisCalibration (&calibration)[CalibratedAxisCount],
                          ControllerReading& reading);
// Maps an XInput state onto the same numbering.
void readXInputState(const XInputPadState& state, ControllerReading& reading);
// The input table from the buttons and axes.
void fillInputTable(ControllerReading& reading);

// The value of `input`; 0.0 for a number outside the table, so that a stray
// assignment byte never reads as held.
float inputValue(const ControllerReading& reading, unsigned input);

// A set of axis halves: bit k stands for input 32 + k (k = 0..59).
using AxisHalfMask = std::uint64_t;
// The axis halves above the press threshold. Taken when a controller starts
// being read, they are the halves it rests at: a trigger, pedal or throttle
// whose rest is one end of its range reads 1.0 on that half.
AxisHalfMask heldAxisHalves(const ControllerReading& reading);
// The lowest input number above the press threshold, leaving out the axis
// halves in `resting`; -1 when there is none. Buttons are never left out.
int firstHeldInput(const ControllerReading& reading, AxisHalfMask resting = 0);
// True when no input is above the press threshold, the halves in `resting`
// apart.
bool allInputsReleased(const ControllerReading& reading, AxisHalfMask resting = 0);

// True when a plug-and-play DeviceID names an XInput controller ("IG_") whose
// VID and PID make up the first 32 bits of the DirectInput product GUID.
bool deviceIdMatchesXInputProduct(std::u16string_view deviceId, std::uint32_t productData1);
// The same test on a controller's device interface path, which carries the
// same marks in either case ("\\?\hid#vid_045e&pid_028e&ig_00#...").
bool devicePathMatchesXInputProduct(std::u16string_view path, std::uint32_t productData1);

// How the settings window names an input number: "Button 01", "Axis 01 / -".
struct InputNameParts {
    enum Kind : std::uint8_t { None, Button, AxisNegative, AxisPositive } kind;
    unsigned number; // counted from 1
};
InputNameParts describeInput(unsigned input);
