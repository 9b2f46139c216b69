#include "shell/controller_navigation.h"

#include <cstdlib>

namespace {

// What a button means; tables of them are read first entry first.
template <typename Meaning> struct ButtonMeaning {
    std::uint16_t button;
    Meaning meaning;
};

// By priority, highest first.
constexpr ButtonMeaning<NavigationAction> ButtonActions[] = {
    {XInputButton::B, NavigationAction::Cancel},
    {XInputButton::A, NavigationAction::Activate},
    {XInputButton::LeftShoulder, NavigationAction::PreviousPage},
    {XInputButton::RightShoulder, NavigationAction::NextPage},
};
constexpr std::uint16_t ActionButtons =
    XInputButton::B | XInputButton::A | XInputButton::LeftShoulder | XInputButton::RightShoulder;

// A diagonal on the d-pad reads as its vertical part.
constexpr ButtonMeaning<NavigationDirection> PadDirections[] = {
    {XInputButton::DPadUp, NavigationDirection::Up},
    {XInputButton::DPadDown, NavigationDirection::Down},
    {XInputButton::DPadLeft, NavigationDirection::Left},
    {XInputButton::DPadRight, NavigationDirection::Right},
};

// The d-pad before the stick; the stick points along its larger component,
// the vertical one on a tie.
NavigationDirection directionOf(const NavigationPad& pad)
{
    for (const auto& entry : PadDirections) {
        if (pad.buttons & entry.button)
            return entry.meaning;
    }
    const int x = pad.thumbX;
    const int y = pad.thumbY;
    if (std::abs(y) >= std::abs(x)) {
        if (std::abs(y) > NavigationStickDeadZone)
            return y > 0 ? NavigationDirection::Up : NavigationDirection::Down;
        return NavigationDirection::None;
    }
    if (std::abs(x) > NavigationStickDeadZone)
        return x > 0 ? NavigationDirection::Right : NavigationDirection::Left;
    return NavigationDirection::None;
}

NavigationAction actionOf(NavigationDirection direction, bool listOpen)
{
    switch (direction) {
    case NavigationDirection::Up: return listOpen ? NavigationAction::Up : NavigationAction::TabPrevious;
    case NavigationDirection::Down: return listOpen ? NavigationAction::Down : NavigationAction::TabNext;
    case NavigationDirection::Left: return NavigationAction::Left;
    case NavigationDirection::Right: return NavigationAction::Right;
    case NavigationDirection::None: break;
    }
    return NavigationAction::None;
}

bool reached(std::uint32_t now, std::uint32_t when)
{
    return static_cast<std::int32_t>(now - when) >= 0;
}

} // namespace

NavigationAction nextNavigationAction(NavigationState& state, const NavigationPad& pad, std::uint32_t now,
                                      bool listOpen)
{
    const std::uint16_t held = pad.buttons & ActionButtons;
    const NavigationDirection direction = directionOf(pad);
    if (!state.reading) {
        state.reading = true;
        state.spentButtons = held;
        state.held = direction;
        state.heldRepeats = false;
        return NavigationAction::None;
    }

    // A released button can act again; each new press acts once, and the
    // lower presses of the same reading are spent with it.
    state.spentButtons &= held;
    const std::uint16_t fresh = held & ~state.spentButtons;
    state.spentButtons |= fresh;
    for (const auto& entry : ButtonActions) {
        if (fresh & entry.button)
            return entry.meaning;
    }

    if (direction != state.held) {
        state.held = direction;
        state.heldRepeats = true;
        state.nextRepeat = now + NavigationRepeatDelayMilliseconds;
        return actionOf(direction, listOpen);
    }
    if (direction == NavigationDirection::None || !state.heldRepeats || !reached(now, state.nextRepeat))
        return NavigationAction::None;
    // Readings that came late give one repeat, not a burst of them.
    state.nextRepeat += NavigationRepeatIntervalMilliseconds;
    if (reached(now, state.nextRepeat))
        state.nextRepeat = now + NavigationRepeatIntervalMilliseconds;
    return actionOf(direction, listOpen);
}

void restartNavigation(NavigationState& state)
{
    state.reading = false;
}
