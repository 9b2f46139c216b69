// The attached game controllers, read through DirectInput 8 or XInput and
// seen by the windows as one table of 92 inputs each (gamepad/input_table.h).
// One manager exists while the gamepad settings window is open.
#pragma once

#include <windows.h>

#include <dinput.h>
#include <xinput.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "gamepad/input_table.h"

struct GamepadDevice {
    std::uint8_t isXInput;
    std::uint32_t xinputUserIndex; // in the order XInput controllers were enumerated
    XINPUT_STATE xinputState;
    IDirectInputDevice8W* device; // kept acquired; none for XInput controllers
    std::uint8_t forceFeedback;
    std::uint8_t needsPoll;
    ControllerReading reading;
    AxisCalibration calibration[CalibratedAxisCount];
    DIDEVCAPS caps;
    DIDEVICEINSTANCEW instance;
    DIDEVICEOBJECTINSTANCEW objectInfo;
};

struct GamepadManager {
    IDirectInput8W* directInput;
    std::vector<GamepadDevice> devices;
};

// Where the manager's controllers come from: DirectInput and XInput, or a
// stand-in whose inputs a test sets tick by tick.
struct ControllerSource {
    // Fills the manager's list with the attached controllers; on failure the
    // list stays empty.
    void (*enumerate)(HWND window, GamepadManager& manager);
    // Reads one controller into its reading; all zero when it cannot be read.
    void (*read)(GamepadDevice& device);
    // Releases every controller and the DirectInput object; empties the list.
    void (*release)(GamepadManager& manager);
};
// The source the next manager uses; null restores the real controllers.
void setControllerSource(const ControllerSource* source);

// The XInput library the controllers marked as XInput are read through.
using XInputEnableFunction = void(WINAPI*)(BOOL);
using XInputGetStateFunction = DWORD(WINAPI*)(DWORD, XINPUT_STATE*);
struct XInputLibrary {
    const wchar_t* name;         // the DLL that loaded; null when none did
    XInputEnableFunction enable; // null where the library has none (xinput9_1_0)
    XInputGetStateFunction getState;
};
// The first of xinput1_4.dll, xinput1_3.dll and xinput9_1_0.dll that `load`
// gives and that exports XInputGetState; XInputEnable is not looked for in
// xinput9_1_0, which has none. All null when none loads.
XInputLibrary loadXInputLibrary(HMODULE (*load)(const wchar_t* name));
// The library the real controllers use, loaded from the system folder once.
const XInputLibrary& xinputLibrary();
// A controller is read through XInput only when it is marked as an XInput
// one and an XInput library loaded; otherwise DirectInput reads it like any
// other, so that it never lists and then reads zeros forever. The mark is
// not looked for when there is no library.
bool readsThroughXInput(const XInputLibrary& library, const std::function<bool()>& markedAsXInput);

// The data format set on every DirectInput controller: 32 buttons, 28 axes
// (7 groups x 4 aspects) and a hat, all optional, in a 148-byte state.
const DIDATAFORMAT& padDataFormat();

// True when WMI lists a plug-and-play entity marked as an XInput controller
// for this DirectInput product. Any failure on the way answers false: the
// controller is then read through DirectInput.
bool isXInputController(const GUID& product);

// Builds the current manager for `window` and enumerates the controllers.
void createGamepadManager(HWND window);
// Enumerates the controllers again after one was plugged in or pulled out.
// The new list is built beside the old one, which stays readable meanwhile,
// and takes its place at the end. False (nothing done) when there is no
// manager or a rebuild is already under way: enumeration may dispatch
// messages, so one can arrive while another runs.
bool rebuildGamepadDevices(HWND window);
// Releases the current manager; there is none afterwards.
void releaseGamepadManager();

std::uint32_t gamepadDeviceCount();
// The name shown to the player; empty for a number outside the list.
const wchar_t* gamepadDeviceName(std::uint32_t device);
// The controller's instance and product GUIDs; false outside the list.
bool gamepadDeviceIdentity(std::uint32_t device, GUID& instance, GUID& product);

std::uint32_t currentGamepadDevice();
void setCurrentGamepadDevice(std::uint32_t device);

// Reads every controller of the current manager once.
void pollGamepads();
// Reads controller `device` alone (the first reading of the one chosen);
// nothing outside the list.
void pollGamepad(std::uint32_t device);
// Input `input` of controller `device`; 0.0 outside the list or the table.
float gamepadInputValue(std::uint32_t device, unsigned input);
// The last reading of controller `device`; null outside the list.
const ControllerReading* gamepadReading(std::uint32_t device);
// True when no input of the current device is held, the axis halves in
// `resting` apart, or when it is not in the list.
bool gamepadAllReleased(AxisHalfMask resting = 0);
