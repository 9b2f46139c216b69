// Controllers of both kinds read as one table of 92 inputs.
#include "gamepad/input_table.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>

namespace {

struct DirectInputPad {
    DirectInputState state{};
    AxisCalibration calibration[CalibratedAxisCount]{};

    DirectInputPad()
    {
        setHat(0xFFFFFFFF);
        for (AxisCalibration& axis : calibration)
            axis = calibrateAxis(-1024, 1024);
    }
    void press(unsigned button) { state[button] = 0x80; }
    void setAxis(unsigned slot, std::int32_t raw)
    {
        put(DirectInputAxisOffset + 4 * slot, static_cast<std::uint32_t>(raw));
    }
    void setHat(std::uint32_t value) { put(DirectInputHatOffset, value); }
    ControllerReading read() const
    {
        ControllerReading reading{};
        readDirectInputState(state, calibration, reading);
        return reading;
    }

private:
    void put(std::size_t offset, std::uint32_t value)
    {
        for (int i = 0; i < 4; ++i)
            state[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
};

ControllerReading readXInput(const XInputPadState& state)
{
    ControllerReading reading{};
    readXInputState(state, reading);
    return reading;
}

// An XInput controller's state, both triggers alike.
XInputPadState pad(std::uint16_t buttons, std::uint8_t triggers = 0, std::int16_t lx = 0, std::int16_t ly = 0,
                   std::int16_t rx = 0, std::int16_t ry = 0)
{
    return {buttons, triggers, triggers, lx, ly, rx, ry};
}

std::vector<unsigned> heldInputs(const ControllerReading& reading)
{
    std::vector<unsigned> held;
    for (unsigned i = 0; i < InputCount; ++i) {
        if (reading.inputs[i] > 0.0f)
            held.push_back(i);
    }
    return held;
}

} // namespace

TEST(AxisCalibration, CentreAndHalfRangeFollowTheReportedRange)
{
    struct Case {
        std::int32_t minimum, maximum, center, halfRange;
    };
    const Case cases[] = {
        {0, 65535, 32767, 32768},
        {-1024, 1024, 0, 1024},
        {-3, 0, -1, 1}, // the centre is truncated toward zero
        {INT_MIN, INT_MAX, 0, INT_MAX},
        {INT_MAX, INT_MAX, INT_MAX, 0},
        {INT_MAX, INT_MIN, 0, INT_MAX}, // reversed and extreme: saturates instead of overflowing
        {100, 100, 100, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.minimum << ".." << c.maximum);
        const AxisCalibration axis = calibrateAxis(c.minimum, c.maximum);
        EXPECT_EQ(c.center, axis.center);
        EXPECT_EQ(c.halfRange, axis.halfRange);
        EXPECT_FLOAT_EQ(c.halfRange ? static_cast<float>(1.0 / c.halfRange) : 0.0f, axis.scale);
    }
}

TEST(AxisCalibration, SlotsFollowGroupAndAspect)
{
    EXPECT_EQ(0, axisSlot(AxisGroup::X, 0x100));
    EXPECT_EQ(3, axisSlot(AxisGroup::X, 0x400));
    EXPECT_EQ(5, axisSlot(AxisGroup::Y, 0x200 | 0x1)); // bits outside 0xF00 do not matter
    EXPECT_EQ(27, axisSlot(AxisGroup::Slider, 0x400));
    EXPECT_EQ(-1, axisSlot(AxisGroup::X, 0));
    EXPECT_EQ(-1, axisSlot(AxisGroup::Z, 0x500));
    EXPECT_EQ(-1, axisSlot(AxisGroup::Z, 0xF00));
}

TEST(DirectInputController, ButtonsByTheirHighBitAxesInTwoHalvesAndTheHatAsTwoAxes)
{
    struct Case {
        const char* name;
        void (*prepare)(DirectInputPad&);
        std::vector<unsigned> held;
        std::vector<std::pair<unsigned, float>> values; // input, value
    };
    const Case cases[] = {
        {"a button is pressed by its high bit only",
         [](DirectInputPad& pad) {
             pad.state[0] = 0x80;
             pad.state[1] = 0x7F;
             pad.state[31] = 0xFF;
         },
         {0, 31},
         {{0, 1.0f}, {31, 1.0f}}},
        {"an axis splits into two halves",
         [](DirectInputPad& pad) {
             pad.setAxis(0, -1024);
             pad.setAxis(27, 512);
         },
         {32, 87},
         {{negativeHalfInput(0), 1.0f}, {positiveHalfInput(0), 0.0f}, {positiveHalfInput(27), 0.5f}}},
        {"axes at rest raise neither half",
         [](DirectInputPad& pad) {
             for (unsigned k = 0; k < CalibratedAxisCount; ++k) {
                 pad.calibration[k] = calibrateAxis(0, 65535);
                 pad.setAxis(k, 32767);
             }
         },
         {},
         {}},
        {"an uncalibrated or empty axis never rises, nor reads NaN",
         [](DirectInputPad& pad) {
             pad.calibration[0] = AxisCalibration{};
             pad.calibration[1] = calibrateAxis(500, 500);
             pad.setAxis(0, INT_MAX);
             pad.setAxis(1, INT_MIN);
         },
         {},
         {{negativeHalfInput(1), 0.0f}, {positiveHalfInput(1), 0.0f}}},
        {"the hat up and right raises right and up",
         [](DirectInputPad& pad) { pad.setHat(4500); },
         {89, 90},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DirectInputPad pad;
        c.prepare(pad);
        const ControllerReading reading = pad.read();
        EXPECT_EQ(c.held, heldInputs(reading));
        EXPECT_EQ(c.held.empty(), allInputsReleased(reading));
        for (const auto& [input, value] : c.values)
            EXPECT_EQ(value, reading.inputs[input]) << input;
    }
}

TEST(DirectInputController, ExtremeRawValuesGiveFiniteValues)
{
    DirectInputPad pad;
    pad.calibration[0] = calibrateAxis(INT_MAX, INT_MAX);
    pad.calibration[2] = calibrateAxis(0, 2);
    pad.setAxis(0, INT_MIN);
    pad.setAxis(2, INT_MIN);
    const ControllerReading reading = pad.read();
    for (float value : reading.inputs)
        EXPECT_TRUE(std::isfinite(value));
    EXPECT_GT(reading.inputs[negativeHalfInput(2)], 1.0e9f);
}

TEST(DirectInputController, HatPointsAtItsAngle)
{
    struct Case {
        std::uint32_t value;
        float horizontal, vertical;
    };
    const Case cases[] = {
        {0, 0.0f, -1.0f},
        {9000, 1.0f, 0.0f},
        {18000, 0.0f, 1.0f},
        {27000, -1.0f, 0.0f},
        {4500, 0.70710678f, -0.70710678f},
        {0xFFFF, 0.0f, 0.0f},
        {0xFFFFFFFF, 0.0f, 0.0f},
        {0x1234FFFF, 0.0f, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        DirectInputPad pad;
        pad.setHat(c.value);
        const ControllerReading reading = pad.read();
        EXPECT_NEAR(c.horizontal, reading.axes[28], 1e-6);
        EXPECT_NEAR(c.vertical, reading.axes[29], 1e-6);
    }
}

TEST(XInputController, ButtonsDPadSticksAndTriggersFillTheirInputs)
{
    using namespace XInputButton;
    struct Case {
        XInputPadState state;
        std::vector<unsigned> held;
        std::vector<std::pair<unsigned, float>> values = {}; // input, value
    };
    const Case cases[] = {
        // Buttons onto the first ten; the two unassigned bits press nothing.
        {pad(Start), {0}},
        {pad(Back), {1}},
        {pad(LeftThumb), {2}},
        {pad(RightThumb), {3}},
        {pad(LeftShoulder), {4}},
        {pad(RightShoulder), {5}},
        {pad(A), {6}},
        {pad(B), {7}},
        {pad(X), {8}},
        {pad(Y), {9}},
        {pad(0x0C00), {}},
        // The D-pad feeds the first two axis slots; all four at once, none.
        {pad(DPadLeft), {32}},
        {pad(DPadRight), {33}},
        {pad(DPadUp), {34}},
        {pad(DPadDown), {35}},
        {pad(DPadLeft | DPadRight | DPadUp | DPadDown), {}},
        // Sticks divided by 32767, negated vertically.
        {pad(0), {}},
        {pad(0, 0, -32768), {36}, {{36, 32768.0f / 32767.0f}, {37, 0.0f}}},
        {pad(0, 0, 0, 32767), {38}}, // left stick up
        {pad(0, 0, 0, -32768), {39}},
        {pad(0, 0, 0, 0, 32767), {41}},
        {pad(0, 0, 0, 0, 0, 32767), {42}}, // right stick up
        // Triggers rise only on their positive halves.
        {pad(0, 255), {45, 47}, {{45, 1.0f}, {44, 0.0f}, {46, 0.0f}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "buttons " << c.state.buttons << " triggers " << int{c.state.leftTrigger}
                     << " sticks " << c.state.thumbLX << " " << c.state.thumbLY << " " << c.state.thumbRX
                     << " " << c.state.thumbRY);
        const ControllerReading reading = readXInput(c.state);
        EXPECT_EQ(c.held, heldInputs(reading));
        for (const auto& [input, value] : c.values)
            EXPECT_FLOAT_EQ(value, reading.inputs[input]) << input;
    }
}

TEST(XInputController, ReplacesEverythingTheLastReadingHeld)
{
    DirectInputPad pad;
    pad.press(20);
    pad.setAxis(20, 1024);
    pad.setHat(0);
    ControllerReading reading = pad.read();
    readXInputState({0, 0, 0, 0, 0, 0, 0}, reading);
    EXPECT_TRUE(heldInputs(reading).empty());
}

TEST(InputTable, TheLowestHeldInputAboveOneHalfWins)
{
    ControllerReading reading{};
    clearReading(reading);
    EXPECT_EQ(-1, firstHeldInput(reading));
    reading.inputs[50] = 0.5f;
    EXPECT_EQ(-1, firstHeldInput(reading));
    EXPECT_TRUE(allInputsReleased(reading));
    reading.inputs[50] = std::nextafter(0.5f, 1.0f);
    reading.inputs[70] = 1.0f;
    EXPECT_EQ(50, firstHeldInput(reading));
    reading.inputs[3] = 1.0f;
    reading.inputs[7] = 1.0f;
    EXPECT_EQ(3, firstHeldInput(reading));
    EXPECT_FALSE(allInputsReleased(reading));
}

TEST(InputTable, EveryInputAloneIsHeldAndBlocksRelease)
{
    for (unsigned input = 0; input < 92; ++input) {
        ControllerReading reading{};
        clearReading(reading);
        reading.inputs[input] = 1.0f;
        EXPECT_EQ(static_cast<int>(input), firstHeldInput(reading)) << input;
        EXPECT_FALSE(allInputsReleased(reading)) << input;
    }
}

// A pad whose two triggers rest at the minimum of their range (Z and Rz, as
// PlayStation-style pads report them through DirectInput), with a stick
// that never quite returns to its centre.
struct RestingPad : DirectInputPad {
    static constexpr unsigned LeftTrigger = 8;   // Z position
    static constexpr unsigned RightTrigger = 20; // Rz position
    RestingPad()
    {
        calibration[LeftTrigger] = calibrateAxis(0, 255);
        calibration[RightTrigger] = calibrateAxis(0, 255);
        setAxis(LeftTrigger, 0);
        setAxis(RightTrigger, 0);
        setAxis(0, 90); // about 0.09 right of centre
        setAxis(4, -60);
    }
};

TEST(RestingAxes, HalvesAboveOneHalfAtTheStartAreTheRestingOnes)
{
    struct Case {
        const char* name;
        void (*prepare)(DirectInputPad&);
        AxisHalfMask expected;
    };
    const Case cases[] = {
        {"everything centred", [](DirectInputPad&) {}, 0},
        {"triggers at their minimum, sticks slightly off centre",
         [](DirectInputPad& pad) { pad = RestingPad(); },
         AxisHalfMask{1} << (negativeHalfInput(RestingPad::LeftTrigger) - ButtonCount) |
             AxisHalfMask{1} << (negativeHalfInput(RestingPad::RightTrigger) - ButtonCount)},
        {"a held button is no resting axis", [](DirectInputPad& pad) { pad.press(0); }, 0},
        {"exactly one half is not above it", [](DirectInputPad& pad) { pad.setAxis(2, 512); }, 0},
        {"a stick held left", [](DirectInputPad& pad) { pad.setAxis(2, -1024); },
         AxisHalfMask{1} << (negativeHalfInput(2) - ButtonCount)},
        {"the hat held down-left, the last two halves", [](DirectInputPad& pad) { pad.setHat(22500); },
         AxisHalfMask{1} << (negativeHalfInput(28) - ButtonCount) |
             AxisHalfMask{1} << (positiveHalfInput(29) - ButtonCount)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DirectInputPad pad;
        c.prepare(pad);
        EXPECT_EQ(c.expected, heldAxisHalves(pad.read()));
    }
}

TEST(RestingAxes, ATriggerRestingAtItsMinimumIsTakenOnlyWhenPulled)
{
    RestingPad pad;
    const AxisHalfMask resting = heldAxisHalves(pad.read());
    struct Step {
        const char* name;
        std::int32_t leftTrigger;
        int captured; // -1: nothing
    };
    const Step steps[] = {
        {"at rest", 0, -1},
        {"pulled halfway", 128, -1},
        {"pulled fully: its rising half", 255, static_cast<int>(positiveHalfInput(RestingPad::LeftTrigger))},
        {"back at rest", 0, -1},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        pad.setAxis(RestingPad::LeftTrigger, step.leftTrigger);
        const ControllerReading reading = pad.read();
        EXPECT_EQ(step.captured, firstHeldInput(reading, resting));
        EXPECT_EQ(step.captured < 0, allInputsReleased(reading, resting));
    }
    // Without the resting halves the trigger at rest holds its lower half.
    pad.setAxis(RestingPad::LeftTrigger, 0);
    EXPECT_EQ(static_cast<int>(negativeHalfInput(RestingPad::LeftTrigger)), firstHeldInput(pad.read()));
}

TEST(RestingAxes, OnlyTheRestingHalfIsLeftOutAndButtonsNeverAre)
{
    DirectInputPad pad;
    pad.setAxis(2, -1024); // a stick held left when reading starts
    const AxisHalfMask resting = heldAxisHalves(pad.read());
    EXPECT_EQ(-1, firstHeldInput(pad.read(), resting));
    pad.setAxis(2, 1024);
    EXPECT_EQ(static_cast<int>(positiveHalfInput(2)), firstHeldInput(pad.read(), resting));
    pad.setAxis(2, -1024);
    pad.press(31);
    EXPECT_EQ(31, firstHeldInput(pad.read(), resting));
    EXPECT_EQ(31, firstHeldInput(pad.read(), ~AxisHalfMask{0}));
    EXPECT_FALSE(allInputsReleased(pad.read(), ~AxisHalfMask{0}));
}

TEST(InputTable, NumbersOutsideTheTableNeverReadAsHeld)
{
    ControllerReading reading{};
    for (float& input : reading.inputs)
        input = 1.0f;
    EXPECT_EQ(1.0f, inputValue(reading, 91));
    for (unsigned input : {92u, 93u, 255u, 100000u})
        EXPECT_EQ(0.0f, inputValue(reading, input));
}

TEST(InputTable, ClearingZeroesEveryValue)
{
    DirectInputPad pad;
    for (unsigned b = 0; b < ButtonCount; ++b)
        pad.press(b);
    pad.setHat(9000);
    ControllerReading reading = pad.read();
    clearReading(reading);
    EXPECT_TRUE(heldInputs(reading).empty());
    for (std::uint8_t button : reading.buttons)
        EXPECT_EQ(0, button);
    for (float axis : reading.axes)
        EXPECT_EQ(0.0f, axis);
}

TEST(XInputDetection, MatchesVendorAndProductOfTheIgMarkedEntity)
{
    struct Case {
        const char16_t* deviceId;
        std::uint32_t productData1;
        bool matches;
    };
    const Case cases[] = {
        {u"HID\\VID_045E&PID_028E&IG_00\\7&1A2B&0&0000", 0x028E045E, true},
        {u"HID\\VID_045e&PID_028e&IG_00\\x", 0x028E045E, true},
        {u"HID\\VID_045E&PID_028E\\7&1A2B&0&0000", 0x028E045E, false}, // no XInput marker
        {u"HID\\VID_045E&PID_028F&IG_00", 0x028E045E, false},
        {u"USB\\IG_00", 0, true},                              // neither id: both read as 0
        {u"HID\\VID_45E&PID_28E&IG_01", 0x028E045E, true},     // fewer digits
        {u"HID\\VID_045E1&PID_028E2&IG_01", 0x028E045E, true}, // only four digits count
        {u"HID\\VID_&PID_028E&IG_", 0x028E0000, true},
        {u"HID\\VID_ZZ&PID_028E&IG_", 0x028E0000, true},
        {u"", 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::u16string_view(c.deviceId).size());
        EXPECT_EQ(c.matches, deviceIdMatchesXInputProduct(c.deviceId, c.productData1));
    }
    // A device path carries the same marks in lower case.
    const char16_t* path =
        u"\\\\?\\hid#vid_045e&pid_028e&ig_00#7&1a2b&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";
    EXPECT_TRUE(devicePathMatchesXInputProduct(path, 0x028E045E));
    EXPECT_FALSE(devicePathMatchesXInputProduct(path, 0x028F045E));
    EXPECT_FALSE(devicePathMatchesXInputProduct(u"\\\\?\\hid#vid_045e&pid_028e#7&1a2b&0&0000", 0x028E045E));
}

TEST(InputNames, ButtonsAndAxisHalvesAreNumberedFromOne)
{
    struct Case {
        unsigned input;
        InputNameParts::Kind kind;
        unsigned number;
    };
    const Case cases[] = {
        {0, InputNameParts::Button, 1},         {31, InputNameParts::Button, 32},
        {32, InputNameParts::AxisNegative, 1},  {33, InputNameParts::AxisPositive, 1},
        {46, InputNameParts::AxisNegative, 8},  {90, InputNameParts::AxisNegative, 30},
        {91, InputNameParts::AxisPositive, 30}, {92, InputNameParts::None, 0},
        {255, InputNameParts::None, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        const InputNameParts parts = describeInput(c.input);
        EXPECT_EQ(c.kind, parts.kind);
        EXPECT_EQ(c.number, parts.number);
    }
}
