#include "support/scripted_gamepad.h"

#include <dbt.h>

#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gamepad/gamepad_devices_win32.h"
#include "shell/controller_navigation_win32.h"

namespace ScriptedGamepad {
namespace {

struct Controller {
    DirectInputState state;
    XInputPadState xinputState;
    std::wstring name;
    GUID instance;
    GUID product;
    Rest rest;
    bool attached;
};
std::vector<Controller> controllers;
Kind kindOfAll = Kind::DirectInput;
std::uint32_t polls = 0;
std::uint32_t enumerations = 0;
std::uint32_t navigationReads = 0;
bool interruptNext = false;

// What an enumeration that meets a device change and dispatches messages
// (as the XInput test per controller can) does before it lists anything.
void announceAndDispatch(DWORD milliseconds)
{
    announceDeviceChange();
    const ULONGLONG end = GetTickCount64() + milliseconds;
    for (ULONGLONG now = GetTickCount64(); now < end; now = GetTickCount64()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

void putUnsigned(DirectInputState& state, std::size_t offset, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        state[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

Controller& controllerAt(unsigned controller)
{
    return controllers.at(controller);
}

bool readNavigationPad(NavigationPad& pad)
{
    ++navigationReads;
    if (controllers.empty() || !controllers[0].attached)
        return false;
    const XInputPadState& state = controllers[0].xinputState;
    pad = NavigationPad{state.buttons, state.thumbLX, state.thumbLY};
    return true;
}

// The scripted controller's number travels in the record's XInput user
// index; the controllers pulled out are not listed.
void enumerate(HWND, GamepadManager& manager)
{
    ++enumerations;
    if (interruptNext) {
        interruptNext = false;
        announceAndDispatch(600);
    }
    for (unsigned index = 0; index < controllers.size(); ++index) {
        if (!controllers[index].attached)
            continue;
        GamepadDevice record{};
        record.isXInput = kindOfAll == Kind::XInput ? 1 : 0;
        record.xinputUserIndex = index;
        record.instance.dwSize = sizeof record.instance;
        record.instance.guidInstance = controllers[index].instance;
        record.instance.guidProduct = controllers[index].product;
        const std::wstring& name = controllers[index].name;
        name.copy(record.instance.tszInstanceName, MAX_PATH - 1);
        for (AxisCalibration& axis : record.calibration)
            axis = calibrateAxis(-AxisRange, AxisRange);
        manager.devices.push_back(record);
    }
}

// A controller pulled out since the list was built reads as one that
// cannot be read.
void read(GamepadDevice& device)
{
    ++polls;
    const unsigned index = device.xinputUserIndex;
    if (index >= controllers.size() || !controllers[index].attached) {
        clearReading(device.reading);
        return;
    }
    const Controller& controller = controllers[index];
    if (device.isXInput)
        readXInputState(controller.xinputState, device.reading);
    else
        readDirectInputState(controller.state, device.calibration, device.reading);
}

void release(GamepadManager& manager)
{
    manager.devices.clear();
}

const ControllerSource Source = {enumerate, read, release};

Controller newController(unsigned index)
{
    Controller controller{};
    controller.name = L"Scripted Pad " + std::to_wstring(index + 1);
    controller.instance = instanceGuid(index);
    controller.product = productGuid(index);
    controller.rest = Rest::Centred;
    controller.attached = true;
    return controller;
}

BOOL CALLBACK postDeviceChange(HWND window, LPARAM)
{
    PostMessageW(window, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
    return TRUE;
}

} // namespace

GUID instanceGuid(unsigned index)
{
    return GUID{0x5C0FFEE0u + index, 0x1234, 0x5678, {0x90, 0xAB, 0xCD, 0xEF, 0x01, 0x23, 0x45, 0x67}};
}

GUID productGuid(unsigned index)
{
    return GUID{0x0ABC1234u + index, 0x0000, 0x0000, {0x00, 0x00, 0x50, 0x49, 0x44, 0x56, 0x49, 0x44}};
}

Installation::Installation(unsigned count, Kind kind)
{
    kindOfAll = kind;
    controllers.clear();
    for (unsigned i = 0; i < count; ++i) {
        controllers.push_back(newController(i));
        releaseAll(i);
    }
    polls = 0;
    enumerations = 0;
    interruptNext = false;
    navigationReads = 0;
    setControllerSource(&Source);
    setNavigationPadReader(readNavigationPad);
}

Installation::~Installation()
{
    setNavigationPadReader(nullptr);
    setControllerSource(nullptr);
    controllers.clear();
}

void setName(const std::wstring& name, unsigned controller)
{
    controllerAt(controller).name = name;
}

void setRest(Rest rest, unsigned controller)
{
    controllerAt(controller).rest = rest;
    releaseAll(controller);
}

void press(unsigned button, unsigned controller)
{
    controllerAt(controller).state[button] = 0x80;
}

void setAxis(unsigned slot, std::int32_t raw, unsigned controller)
{
    putUnsigned(controllerAt(controller).state, DirectInputAxisOffset + 4 * slot,
                static_cast<std::uint32_t>(raw));
}

void releaseAll(unsigned controller)
{
    Controller& c = controllerAt(controller);
    std::memset(c.state, 0, sizeof c.state);
    c.xinputState = XInputPadState{};
    putUnsigned(c.state, DirectInputHatOffset, 0xFFFFFFFF);
    if (c.rest == Rest::TriggersAtMinimum) {
        setAxis(LeftTriggerSlot, -AxisRange, controller);
        setAxis(RightTriggerSlot, -AxisRange, controller);
        // Worn sticks: a few percent off centre on every stick axis.
        setAxis(0, 41, controller);
        setAxis(4, -37, controller);
        setAxis(12, 23, controller);
        setAxis(16, -58, controller);
    }
}

void setXInputState(const XInputPadState& state, unsigned controller)
{
    controllerAt(controller).xinputState = state;
}

void unplug(unsigned controller)
{
    controllerAt(controller).attached = false;
}

void plugIn(unsigned controller)
{
    while (controllers.size() <= controller)
        controllers.push_back(newController(static_cast<unsigned>(controllers.size())));
    controllers[controller].attached = true;
    releaseAll(controller);
}

void announceDeviceChange()
{
    EnumThreadWindows(GetCurrentThreadId(), postDeviceChange, 0);
}

std::uint32_t pollCount()
{
    return polls;
}

void interruptNextEnumeration()
{
    interruptNext = true;
}

std::uint32_t enumerationCount()
{
    return enumerations;
}

std::function<bool()> afterPolls(std::uint32_t count)
{
    auto start = std::make_shared<std::optional<std::uint32_t>>();
    return [=] {
        if (!*start)
            *start = polls;
        return polls >= **start + count;
    };
}

std::function<bool()> afterNavigationReads(std::uint32_t count)
{
    auto start = std::make_shared<std::optional<std::uint32_t>>();
    return [=] {
        if (!*start)
            *start = navigationReads;
        return navigationReads >= **start + count;
    };
}

std::function<bool()> pressing(unsigned button)
{
    return [=] {
        press(button);
        return true;
    };
}

std::function<bool()> pluggingIn(unsigned controller)
{
    return [=] {
        plugIn(controller);
        announceDeviceChange();
        return true;
    };
}

std::function<bool()> pullingOut(std::vector<unsigned> pulled)
{
    return [=] {
        for (const unsigned controller : pulled)
            unplug(controller);
        announceDeviceChange();
        return true;
    };
}

} // namespace ScriptedGamepad
