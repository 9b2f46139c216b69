// What a player's controller does in the tool's windows: readings over time,
// and the action each one gives.
#include "shell/controller_navigation.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

using A = NavigationAction;
namespace Button = XInputButton;

constexpr std::uint16_t Rest = 0;

struct Reading {
    std::uint32_t at;
    std::uint16_t buttons;
    A expected;
    std::int16_t thumbX = 0;
    std::int16_t thumbY = 0;
    bool listOpen = false;
    bool restartFirst = false; // the tool left the foreground and came back
};

struct Case {
    const char* name;
    std::vector<Reading> readings; // the first one starts the reading
};

const std::vector<Case> Cases = {
    {"a press acts once however long it is held, and again after its release",
     {{0, Rest, A::None},
      {40, Button::A, A::Activate},
      {80, Button::A, A::None},
      {5000, Button::A, A::None},
      {5040, Rest, A::None},
      {5080, Button::A, A::Activate}}},
    {"B is Escape, the shoulders turn pages",
     {{0, Rest, A::None},
      {40, Button::B, A::Cancel},
      {80, Rest, A::None},
      {120, Button::RightShoulder, A::NextPage},
      {160, Rest, A::None},
      {200, Button::LeftShoulder, A::PreviousPage},
      {900, Button::LeftShoulder, A::None}}},
    {"up and down go from control to control, left and right are the arrows",
     {{0, Rest, A::None},
      {40, Button::DPadDown, A::TabNext},
      {80, Rest, A::None},
      {120, Button::DPadUp, A::TabPrevious},
      {160, Rest, A::None},
      {200, Button::DPadLeft, A::Left},
      {240, Rest, A::None},
      {280, Button::DPadRight, A::Right}}},
    {"an open drop-down list takes up and down",
     {{0, Rest, A::None, 0, 0, true},
      {40, Button::DPadDown, A::Down, 0, 0, true},
      {80, Rest, A::None, 0, 0, true},
      {120, Button::DPadUp, A::Up, 0, 0, true},
      {160, Rest, A::None, 0, 0, true},
      {200, Button::DPadRight, A::Right, 0, 0, true}}},
    {"a held direction repeats after the delay, then at the interval",
     {{0, Rest, A::None},
      {100, Button::DPadDown, A::TabNext},
      {460, Button::DPadDown, A::None},
      {500, Button::DPadDown, A::TabNext},
      {600, Button::DPadDown, A::None},
      {650, Button::DPadDown, A::TabNext},
      {800, Button::DPadDown, A::TabNext},
      {840, Rest, A::None},
      {880, Button::DPadDown, A::TabNext},
      {920, Button::DPadDown, A::None}}},
    {"late readings give one repeat, not a burst",
     {{0, Rest, A::None},
      {100, Button::DPadDown, A::TabNext},
      {3000, Button::DPadDown, A::TabNext},
      {3040, Button::DPadDown, A::None},
      {3150, Button::DPadDown, A::TabNext}}},
    {"another direction acts at once and waits the whole delay again",
     {{0, Rest, A::None},
      {100, Button::DPadDown, A::TabNext},
      {450, Button::DPadRight, A::Right},
      {800, Button::DPadRight, A::None},
      {850, Button::DPadRight, A::Right}}},
    {"the stick points only beyond its dead zone, along its larger component",
     {{0, Rest, A::None},
      {40, Rest, A::None, 0, NavigationStickDeadZone},
      {80, Rest, A::TabPrevious, 0, 20000},
      {120, Rest, A::None, 3000, -2500},
      {160, Rest, A::Left, -30000, 20000},
      {200, Rest, A::None},
      {240, Rest, A::TabNext, 20000, -20000},
      {280, Rest, A::None, -NavigationStickDeadZone, 0},
      {320, Rest, A::Right, 32767, 0},
      {360, Rest, A::Down, 0, -32768, true}}},
    {"the d-pad comes before the stick, and a diagonal reads as up or down",
     {{0, Rest, A::None},
      {40, Button::DPadUp | Button::DPadLeft, A::TabPrevious},
      {80, Rest, A::None},
      {120, Button::DPadRight, A::Right, 0, -30000},
      {160, Rest, A::TabNext, 0, -30000}}},
    {"B before A, A before a page, a button before a direction",
     {{0, Rest, A::None},
      {40, Button::A | Button::B, A::Cancel},
      {80, Button::A | Button::B, A::None},
      {120, Rest, A::None},
      {160, Button::A | Button::RightShoulder | Button::DPadDown, A::Activate},
      {200, Button::A | Button::RightShoulder | Button::DPadDown, A::TabNext},
      {240, Button::A | Button::RightShoulder | Button::DPadDown, A::None},
      {280, Button::RightShoulder, A::None},
      {320, Button::DPadDown, A::TabNext}}},
    {"what is held when reading starts waits for its release",
     {{0, Button::A | Button::DPadDown, A::None},
      {40, Button::A | Button::DPadDown, A::None},
      {2000, Button::A | Button::DPadDown, A::None},
      {2040, Rest, A::None},
      {2080, Button::A, A::Activate}}},
    {"coming back to the foreground spends what is held",
     {{0, Rest, A::None},
      {40, Button::B, A::None, 0, 0, false, true},
      {80, Rest, A::None},
      {120, Button::B, A::Cancel}}},
    {"the clock may wrap while a direction is held",
     {{0xFFFFFF00u, Rest, A::None},
      {0xFFFFFF40u, Button::DPadDown, A::TabNext},
      {0x00000080u, Button::DPadDown, A::None},
      {0x000000D0u, Button::DPadDown, A::TabNext}}},
};

TEST(ControllerNavigation, ReadingsGiveTheActionsOfTheKeysTheyStandFor)
{
    for (const Case& c : Cases) {
        SCOPED_TRACE(c.name);
        NavigationState state;
        for (const Reading& reading : c.readings) {
            SCOPED_TRACE(testing::Message() << "reading at " << reading.at << " ms");
            if (reading.restartFirst)
                restartNavigation(state);
            const NavigationPad pad{reading.buttons, reading.thumbX, reading.thumbY};
            EXPECT_EQ(reading.expected, nextNavigationAction(state, pad, reading.at, reading.listOpen));
        }
    }
}

} // namespace
