// Driving the tool's windows with a controller: which action each reading of
// the controller gives, as the keyboard's arrows, Tab, Space and Escape would.
// The readings come from the platform side (controller_navigation_win32.h)
// with the time they were taken; this file only keeps the rules.
#pragma once

#include <cstdint>

#include "shell/xinput_buttons.h"

// One reading of the controller the player navigates with, in XInput's terms.
struct NavigationPad {
    std::uint16_t buttons; // XInput's button bits (XInputButton)
    std::int16_t thumbX;   // left stick, right positive
    std::int16_t thumbY;   // left stick, up positive
};

enum class NavigationAction {
    None,
    Up,          // the Up arrow inside an open drop-down list
    Down,        // the Down arrow inside an open drop-down list
    Left,        // the Left arrow
    Right,       // the Right arrow
    TabNext,     // Tab
    TabPrevious, // Shift+Tab
    Activate,    // Space on a button or check box; opens or closes a drop-down list
    Cancel,      // Escape
    NextPage,    // the next tab of the window's tab control
    PreviousPage,
};

// A held direction acts at once, again after the delay, then at the interval.
inline constexpr std::uint32_t NavigationRepeatDelayMilliseconds = 400;
inline constexpr std::uint32_t NavigationRepeatIntervalMilliseconds = 150;
// The stick points somewhere only beyond half its travel, so that a worn
// stick resting off centre and a thumb brushing it move nothing.
inline constexpr std::int32_t NavigationStickDeadZone = 16384;

enum class NavigationDirection : std::uint8_t { None, Up, Down, Left, Right };

struct NavigationState {
    bool reading = false;                                 // false until the first reading after a (re)start
    std::uint16_t spentButtons = 0;                       // held buttons that have given their action
    NavigationDirection held = NavigationDirection::None; // the direction of the previous reading
    bool heldRepeats = false;                             // false for a direction already held at the start
    std::uint32_t nextRepeat = 0;                         // when the held direction acts again
};

// The action of the reading `pad` taken at `now` (milliseconds of any clock
// that wraps at 2^32). `listOpen` is true while the focused control's drop-
// down list is open: up and down then move within the list instead of from
// control to control. At most one action per reading: a new press of B comes
// before A, A before the shoulders, and a button before a direction, which
// then acts at the next reading.
NavigationAction nextNavigationAction(NavigationState& state, const NavigationPad& pad, std::uint32_t now,
                                      bool listOpen);

// Forgets the readings so far: at the next reading, whatever is then held
// counts as already used (a button still held from another window, or when
// the tool comes back to the foreground, does nothing until pressed again).
void restartNavigation(NavigationState& state);
