#include "gamepad/input_table.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

static_assert(2 * AxisSlotCount <= 64, "every axis half has a bit of AxisHalfMask");

namespace {

std::uint32_t readUnsigned32(const DirectInputState& state, std::size_t offset)
{
    return static_cast<std::uint32_t>(state[offset]) | static_cast<std::uint32_t>(state[offset + 1]) << 8 |
           static_cast<std::uint32_t>(state[offset + 2]) << 16 |
           static_cast<std::uint32_t>(state[offset + 3]) << 24;
}

float dpadAxis(std::uint16_t buttons, std::uint16_t negative, std::uint16_t positive)
{
    return ((buttons & negative) ? -1.0f : 0.0f) + ((buttons & positive) ? 1.0f : 0.0f);
}

// XInput's stick range is -32768..32767; both directions are divided by
// 32767, so full down or left reads slightly beyond 1.0.
float stickAxis(std::int16_t value)
{
    return static_cast<float>(value / 32767.0);
}

struct XInputButtonBit {
    unsigned button;
    std::uint16_t bit;
};
constexpr XInputButtonBit XInputButtons[] = {
    {0, XInputButton::Start},
    {1, XInputButton::Back},
    {2, XInputButton::LeftThumb},
    {3, XInputButton::RightThumb},
    {4, XInputButton::LeftShoulder},
    {5, XInputButton::RightShoulder},
    {6, XInputButton::A},
    {7, XInputButton::B},
    {8, XInputButton::X},
    {9, XInputButton::Y},
};

// The number read by "%4X" at the first occurrence of `tag`: up to four
// hexadecimal digits, 0 when there is no tag or no digit after it.
std::uint32_t hexAfter(std::u16string_view text, std::u16string_view tag)
{
    const std::size_t at = text.find(tag);
    if (at == std::u16string_view::npos)
        return 0;
    std::uint32_t value = 0;
    std::size_t position = at + tag.size();
    for (int digits = 0; digits < 4 && position < text.size(); ++digits, ++position) {
        const char16_t c = text[position];
        std::uint32_t digit;
        if (c >= u'0' && c <= u'9')
            digit = static_cast<std::uint32_t>(c - u'0');
        else if (c >= u'A' && c <= u'F')
            digit = static_cast<std::uint32_t>(c - u'A' + 10);
        else if (c >= u'a' && c <= u'f')
            digit = static_cast<std::uint32_t>(c - u'a' + 10);
        else
            break;
        value = value * 16 + digit;
    }
    return value;
}

} // namespace

AxisCalibration calibrateAxis(std::int32_t minimum, std::int32_t maximum)
{
    // 64-bit arithmetic: the sum of two extreme ranges and the distance from
    // a reversed range's centre do not fit 32 bits.
    const std::int64_t center = (static_cast<std::int64_t>(minimum) + maximum) / 2;
    std::int64_t halfRange = maximum - center;
    if (halfRange < 0)
        halfRange = -halfRange;
    if (halfRange > std::numeric_limits<std::int32_t>::max())
        halfRange = std::numeric_limits<std::int32_t>::max();
    AxisCalibration calibration{};
    calibration.center = static_cast<std::int32_t>(center);
    calibration.halfRange = static_cast<std::int32_t>(halfRange);
    calibration.scale = halfRange == 0 ? 0.0f : static_cast<float>(1.0 / static_cast<double>(halfRange));
    return calibration;
}

int axisSlot(AxisGroup group, std::uint32_t objectFlags)
{
    const std::uint32_t aspect = objectFlags & 0xF00;
    if (aspect < 0x100 || aspect > 0x400 || static_cast<unsigned>(group) >= AxisGroupCount)
        return -1;
    return static_cast<int>(4 * static_cast<unsigned>(group) + (aspect >> 8) - 1);
}

void clearReading(ControllerReading& reading)
{
    std::memset(reading.buttons, 0, sizeof reading.buttons);
    for (float& axis : reading.axes)
        axis = 0.0f;
    for (float& input : reading.inputs)
        input = 0.0f;
}

void readDirectInputState(const DirectInputState& state,
                          const AxisCalibration (&calibration)[CalibratedAxisCount],
                          ControllerReading& reading)
{
    for (unsigned i = 0; i < ButtonCount; ++i)
        reading.buttons[i] = (state[i] & 0x80) ? 1 : 0;
    for (unsigned k = 0; k < CalibratedAxisCount; ++k) {
        const auto raw = static_cast<std::int32_t>(readUnsigned32(state, DirectInputAxisOffset + 4 * k));
        const std::int64_t offset = static_cast<std::int64_t>(raw) - calibration[k].center;
        reading.axes[k] = static_cast<float>(static_cast<double>(offset) * calibration[k].scale);
    }
    const std::uint32_t hat = readUnsigned32(state, DirectInputHatOffset);
    if ((hat & 0xFFFF) == 0xFFFF) {
        reading.axes[28] = 0.0f;
        reading.axes[29] = 0.0f;
    } else {
        // Hundredths of a degree clockwise from up; up is negative vertically.
        const double angle = (hat / 100.0 - 90.0) * 6.2831854820251465 / 360.0;
        reading.axes[28] = static_cast<float>(std::cos(angle));
        reading.axes[29] = static_cast<float>(std::sin(angle));
    }
    fillInputTable(reading);
}

void readXInputState(const XInputPadState& state, ControllerReading& reading)
{
    std::memset(reading.buttons, 0, sizeof reading.buttons);
    for (const XInputButtonBit& mapping : XInputButtons)
        reading.buttons[mapping.button] = (state.buttons & mapping.bit) ? 1 : 0;
    for (float& axis : reading.axes)
        axis = 0.0f;
    reading.axes[0] = dpadAxis(state.buttons, XInputButton::DPadLeft, XInputButton::DPadRight);
    reading.axes[1] = dpadAxis(state.buttons, XInputButton::DPadUp, XInputButton::DPadDown);
    reading.axes[2] = stickAxis(state.thumbLX);
    reading.axes[3] = -stickAxis(state.thumbLY);
    reading.axes[4] = stickAxis(state.thumbRX);
    reading.axes[5] = -stickAxis(state.thumbRY);
    reading.axes[6] = static_cast<float>(state.leftTrigger / 255.0);
    reading.axes[7] = static_cast<float>(state.rightTrigger / 255.0);
    fillInputTable(reading);
}

void fillInputTable(ControllerReading& reading)
{
    for (unsigned i = 0; i < ButtonCount; ++i)
        reading.inputs[i] = reading.buttons[i] ? 1.0f : 0.0f;
    for (unsigned k = 0; k < AxisSlotCount; ++k) {
        const float axis = reading.axes[k];
        reading.inputs[negativeHalfInput(k)] = axis < 0.0f ? -axis : 0.0f;
        reading.inputs[positiveHalfInput(k)] = axis > 0.0f ? axis : 0.0f;
    }
}

float inputValue(const ControllerReading& reading, unsigned input)
{
    return input < InputCount ? reading.inputs[input] : 0.0f;
}

AxisHalfMask heldAxisHalves(const ControllerReading& reading)
{
    AxisHalfMask held = 0;
    for (unsigned half = 0; half < 2 * AxisSlotCount; ++half) {
        if (reading.inputs[ButtonCount + half] > PressThreshold)
            held |= AxisHalfMask{1} << half;
    }
    return held;
}

int firstHeldInput(const ControllerReading& reading, AxisHalfMask resting)
{
    for (unsigned i = 0; i < InputCount; ++i) {
        if (reading.inputs[i] <= PressThreshold)
            continue;
        if (i >= ButtonCount && (resting >> (i - ButtonCount) & 1))
            continue;
        return static_cast<int>(i);
    }
    return -1;
}

bool allInputsReleased(const ControllerReading& reading, AxisHalfMask resting)
{
    return firstHeldInput(reading, resting) < 0;
}

bool deviceIdMatchesXInputProduct(std::u16string_view deviceId, std::uint32_t productData1)
{
    if (deviceId.find(u"IG_") == std::u16string_view::npos)
        return false;
    const std::uint32_t vendor = hexAfter(deviceId, u"VID_");
    const std::uint32_t product = hexAfter(deviceId, u"PID_");
    return (product << 16 | vendor) == productData1;
}

bool devicePathMatchesXInputProduct(std::u16string_view path, std::uint32_t productData1)
{
    std::u16string upper(path);
    for (char16_t& c : upper)
        if (c >= u'a' && c <= u'z')
            c = static_cast<char16_t>(c - u'a' + u'A');
    return deviceIdMatchesXInputProduct(upper, productData1);
}

InputNameParts describeInput(unsigned input)
{
    if (input < ButtonCount)
        return {InputNameParts::Button, input + 1};
    if (input < InputCount) {
        const unsigned slot = (input - ButtonCount) / 2;
        return {(input - ButtonCount) % 2 == 0 ? InputNameParts::AxisNegative : InputNameParts::AxisPositive,
                slot + 1};
    }
    return {InputNameParts::None, 0};
}
