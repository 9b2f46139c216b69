// Press-to-assign and the choice of controller, poll by poll, as the gamepad
// settings window applies them to the working record.
#include "gamepad/assignment_capture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

namespace {

struct Held {
    unsigned input;
    float value = 1.0f;
};

ControllerReading readingOf(const std::vector<Held>& held)
{
    ControllerReading reading{};
    clearReading(reading);
    for (const Held& h : held)
        reading.inputs[h.input] = h.value;
    return reading;
}

PadSettings recordBefore()
{
    PadSettings record{};
    setPadDefaults(record);
    for (std::size_t i = 0; i < sizeof record.reserved; ++i)
        record.reserved[i] = static_cast<std::uint8_t>(i * 7 + 3);
    return record;
}

std::vector<std::uint8_t> bytesOf(const PadSettings& record)
{
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&record);
    return {bytes, bytes + sizeof record};
}

constexpr unsigned LeftTrigger = 8;   // Z, resting at the minimum of its range
constexpr unsigned RightTrigger = 20; // Rz
constexpr unsigned Stick = 4;
const float JustAboveHalf = std::nextafter(0.5f, 1.0f);

struct Poll {
    std::vector<Held> held;
    int assigned;              // the row filled at this poll; -1 none
    bool questionOpen = false; // a question of the window is open during it
    bool listed = true;        // false: the controller read has left the list
};

} // namespace

TEST(AssignmentCapture, EachPollFillsTheCurrentRowWithTheLowestHeldInputOnce)
{
    struct Case {
        const char* name;
        std::vector<Held> rest; // the first reading of the controller
        unsigned firstRow;
        std::vector<Poll> polls;
        std::vector<std::pair<unsigned, std::uint8_t>> assigned; // row, input: the record after
        unsigned rowAfter;
        bool unread = false; // started without a reading: the rest is its first reading
    };
    const Case cases[] = {
        {"a button held at opening fills row 0 and waits for its release",
         {{3}},
         0,
         {{{{3}}, 0}, {{{3}}, -1}, {{{3}}, -1}, {{}, -1}, {{{1}}, 1}},
         {{0, 3}, {1, 1}},
         2},
        {"two buttons: the lower one", {}, 0, {{{{5}, {2}}, 0}}, {{0, 2}}, 1},
        {"a button before an axis", {}, 0, {{{{32}, {30}}, 0}}, {{0, 30}}, 1},
        {"an axis just beyond one half",
         {},
         0,
         {{{{positiveHalfInput(3), JustAboveHalf}}, 0}},
         {{0, positiveHalfInput(3)}},
         1},
        {"an axis at exactly one half is not taken", {}, 0, {{{{34, 0.5f}}, -1}, {{{34, 0.5f}}, -1}}, {}, 0},
        {"the negative half of the slider",
         {},
         5,
         {{{{negativeHalfInput(24)}}, 5}},
         {{5, negativeHalfInput(24)}},
         6},
        {"the last row is followed by the first", {}, 23, {{{{11}}, 23}}, {{23, 11}}, 0},
        {"the hat's last direction, input 91, holds back the next row",
         {},
         0,
         {{{{91}}, 0}, {{{91}}, -1}, {{}, -1}, {{{4}}, 1}},
         {{0, 91}, {1, 4}},
         2},
        {"triggers resting at their minimum are neither taken nor waited for",
         {{negativeHalfInput(LeftTrigger)}, {negativeHalfInput(RightTrigger)}},
         0,
         {{{{negativeHalfInput(LeftTrigger)}, {negativeHalfInput(RightTrigger)}}, -1},
          {{{positiveHalfInput(LeftTrigger)}, {negativeHalfInput(RightTrigger)}}, 0},
          {{{negativeHalfInput(LeftTrigger)}, {negativeHalfInput(RightTrigger)}}, -1},
          {{{negativeHalfInput(LeftTrigger)}, {negativeHalfInput(RightTrigger)}, {2}}, 1}},
         {{0, positiveHalfInput(LeftTrigger)}, {1, 2}},
         2},
        {"a stick held at opening is ignored that way, the other way is taken",
         {{negativeHalfInput(Stick)}},
         0,
         {{{{negativeHalfInput(Stick)}}, -1},
          {{{positiveHalfInput(Stick)}}, 0},
          {{{negativeHalfInput(Stick)}}, -1},
          {{{negativeHalfInput(Stick)}}, -1}},
         {{0, positiveHalfInput(Stick)}},
         1},
        {"the same stick pushed once the window reads it at rest",
         {},
         0,
         {{{{negativeHalfInput(Stick)}}, 0}},
         {{0, negativeHalfInput(Stick)}},
         1},
        {"nothing is taken while a question is open, nor after it until released",
         {},
         0,
         {{{{5}}, -1, true}, {{{5}}, -1, true}, {{{5}}, -1}, {{}, -1}, {{{6}}, 0}},
         {{0, 6}},
         1},
        {"a controller left the list: nothing, and its rest is its first reading back",
         {},
         0,
         {{{{3}}, -1, false, false}, {{{negativeHalfInput(LeftTrigger)}}, -1}, {{{2}}, 0}},
         {{0, 2}},
         1,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CaptureState state{};
        const ControllerReading rest = readingOf(c.rest);
        beginReading(state, nullptr, c.unread ? nullptr : &rest);
        state.currentRow = c.firstRow;
        PadSettings record = recordBefore();
        bool questionOpen = false;
        for (std::size_t i = 0; i < c.polls.size(); ++i) {
            const Poll& poll = c.polls[i];
            if (poll.questionOpen != questionOpen)
                poll.questionOpen ? questionOpened(state) : questionClosed(state);
            questionOpen = poll.questionOpen;
            const ControllerReading reading = readingOf(poll.held);
            EXPECT_EQ(poll.assigned, captureStep(state, poll.listed ? &reading : nullptr, record))
                << "poll " << i;
        }
        PadSettings expected = recordBefore();
        for (const auto& [row, input] : c.assigned)
            expected.assignments[row] = input;
        EXPECT_EQ(bytesOf(expected), bytesOf(record));
        EXPECT_EQ(c.rowAfter, state.currentRow);
    }
}

namespace {

ControllerIdentity identity(std::uint8_t instance, std::uint8_t product)
{
    ControllerIdentity id{};
    std::memset(&id.instance, instance, sizeof id.instance);
    std::memset(&id.product, product, sizeof id.product);
    return id;
}

} // namespace

TEST(ControllerChoice, TheChosenWhileListedElseTheLastSavedMatchElseTheFirst)
{
    const ControllerIdentity saved = identity(0xA1, 0xA2);
    const ControllerIdentity other = identity(0xB1, 0xB2);
    const ControllerIdentity third = identity(0xC1, 0xC2);
    struct Case {
        const char* name;
        std::vector<ControllerIdentity> listed;
        const ControllerIdentity* chosen; // null: the window opens
        bool wasReading;
        ControllerPick expected;
    };
    const Case cases[] = {
        {"opening: the saved one", {other, saved, other}, nullptr, false, {1, true}},
        {"the instance alone is not enough", {other, identity(0xA1, 0xB2), other}, nullptr, false, {0, true}},
        {"the product alone is not enough", {other, identity(0xB1, 0xA2), other}, nullptr, false, {0, true}},
        {"two match: the later one", {other, saved, saved}, nullptr, false, {2, true}},
        {"no controller", {}, nullptr, false, {-1, false}},
        {"rebuilt: the chosen one where it moved keeps its rest", {third, other}, &other, true, {1, false}},
        {"the chosen one before the saved one", {saved, other}, &other, true, {1, false}},
        {"the chosen one back after none was read is read anew", {other}, &other, false, {0, true}},
        {"the chosen one gone: the saved one, read anew", {other, saved}, &third, true, {1, true}},
        {"every controller gone", {}, &other, true, {-1, false}},
    };
    PadSettings record = recordBefore();
    record.controllerInstance = saved.instance;
    record.controllerProduct = saved.product;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CaptureState state{};
        if (c.chosen)
            beginReading(state, c.chosen, nullptr);
        const ControllerPick pick = chooseController(c.listed, state, c.wasReading, record);
        EXPECT_EQ(c.expected.device, pick.device);
        EXPECT_EQ(c.expected.startsAnew, pick.startsAnew);
    }
}

TEST(ControllerChoice, OkStoresTheControllerReadAndTheChoices)
{
    const ControllerIdentity read = identity(0xD1, 0xD2);
    struct Case {
        const char* name;
        const ControllerIdentity* controller;
        int calibrationStep;
        bool background, vibration;
    };
    const Case cases[] = {
        {"all of them", &read, 5, true, false},
        {"no controller listed: the GUIDs stay", nullptr, 0, false, true},
        {"no calibration chosen: the step read stays", &read, -1, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PadSettings record = recordBefore();
        record.calibrationStep = 9;
        PadSettings expected = record;
        storeChoices(record, c.controller, c.calibrationStep, c.background, c.vibration);
        if (c.controller) {
            expected.controllerInstance = c.controller->instance;
            expected.controllerProduct = c.controller->product;
        }
        if (c.calibrationStep >= 0)
            expected.calibrationStep = static_cast<std::uint32_t>(c.calibrationStep);
        expected.background = c.background ? 1 : 0;
        expected.vibration = c.vibration ? 1 : 0;
        EXPECT_EQ(bytesOf(expected), bytesOf(record));
    }
}
