// A controller a test plays: it stands in for DirectInput and XInput behind
// the gamepad windows, and the test sets its inputs tick by tick.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "gamepad/input_table.h"

namespace ScriptedGamepad {

// The instance and product GUIDs of scripted controller `index`.
GUID instanceGuid(unsigned index);
GUID productGuid(unsigned index);
inline constexpr std::int32_t AxisRange = 1024; // every axis reads -1024..1024

enum class Kind { DirectInput, XInput };

// Installs `count` controllers of one kind, all at rest and plugged in, as
// the controllers the next gamepad window sees. Uninstalled by its
// destructor.
class Installation {
public:
    explicit Installation(unsigned count = 1, Kind kind = Kind::DirectInput);
    Installation(const Installation&) = delete;
    Installation& operator=(const Installation&) = delete;
    ~Installation();
};

// The name the controller gives itself (at most 259 characters); "Scripted
// Pad 1", "Scripted Pad 2", ... unless set before the window opens.
void setName(const std::wstring& name, unsigned controller = 0);

// Where a controller's axes stand when nothing is touched.
enum class Rest {
    Centred,
    // A PlayStation-style pad through DirectInput: both triggers (Z and Rz)
    // at the minimum of their range, the sticks never quite centred.
    TriggersAtMinimum,
};
inline constexpr unsigned LeftTriggerSlot = 8;   // Z position
inline constexpr unsigned RightTriggerSlot = 20; // Rz position
// Sets the controller's rest and puts it there.
void setRest(Rest rest, unsigned controller = 0);

void press(unsigned button, unsigned controller = 0);
// Sets axis slot 0..27 to a raw value in -AxisRange..AxisRange.
void setAxis(unsigned slot, std::int32_t raw, unsigned controller = 0);
// The state an XInput-style controller reports.
void setXInputState(const XInputPadState& state, unsigned controller = 0);
// Every button up, every axis at its rest, the hat centred.
void releaseAll(unsigned controller = 0);

// Plugging in and pulling out. A controller pulled out reads all zero for a
// window that still lists it; the windows see the change in their list only
// after announceDeviceChange, as they would after the system's message.
void unplug(unsigned controller);
// Plugs controller `controller` (back) in, at rest; numbers beyond the
// installed ones add controllers.
void plugIn(unsigned controller);
// Posts the device-change message the system sends to every top-level
// window of this thread.
void announceDeviceChange();
// The next enumeration announces a device change and handles the thread's
// messages for a while before it lists the controllers.
void interruptNextEnumeration();
// How often the windows have enumerated the controllers since installation.
std::uint32_t enumerationCount();

// How often the windows have read the controllers since installation.
std::uint32_t pollCount();

// The windows that a controller can drive read controller 0's XInput state
// (buttons and left stick) while an installation lasts. A script step that
// passes once they have read it `count` more times.
std::function<bool()> afterNavigationReads(std::uint32_t count);

// Script steps: one that passes once the windows have read the controllers
// `polls` more times, and one that presses a button of controller 0.
std::function<bool()> afterPolls(std::uint32_t polls);
std::function<bool()> pressing(unsigned button);
// Script steps that plug a controller in, or pull controllers out, and
// announce the change.
std::function<bool()> pluggingIn(unsigned controller);
std::function<bool()> pullingOut(std::vector<unsigned> controllers);

} // namespace ScriptedGamepad
