#include "support/scripted_gamepad.h"

#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gamepad/gamepad_devices_win32.h"

namespace ScriptedGamepad {
namespace {

struct Controller {
    DirectInputState state;
    XInputPadState xinputState;
    std::wstring name;
    GUID instance;
    GUID product;
};
std::vector<Controller> controllers;
Kind kindOfAll = Kind::DirectInput;
std::uint32_t polls = 0;

void putUnsigned(DirectInputState& state, std::size_t offset, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        state[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// The scripted controller's index travels in the record's XInput user index.
void enumerate(HWND, GamepadManager& manager)
{
    for (unsigned index = 0; index < controllers.size(); ++index) {
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

void read(GamepadDevice& device)
{
    ++polls;
    const Controller& controller = controllers.at(device.xinputUserIndex);
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
    controllers.assign(count, Controller{});
    for (unsigned i = 0; i < count; ++i) {
        releaseAll(i);
        controllers[i].name = L"Scripted Pad " + std::to_wstring(i + 1);
        setIdentity(instanceGuid(i), productGuid(i), i);
    }
    polls = 0;
    setControllerSource(&Source);
}

Installation::~Installation()
{
    setControllerSource(nullptr);
    controllers.clear();
}

void setName(const std::wstring& name, unsigned controller)
{
    controllers.at(controller).name = name;
}

void press(unsigned button, unsigned controller)
{
    controllers.at(controller).state[button] = 0x80;
}

void setAxis(unsigned slot, std::int32_t raw, unsigned controller)
{
    putUnsigned(controllers.at(controller).state, DirectInputAxisOffset + 4 * slot,
                static_cast<std::uint32_t>(raw));
}

void setHat(std::uint32_t hundredths, unsigned controller)
{
    putUnsigned(controllers.at(controller).state, DirectInputHatOffset, hundredths);
}

void setIdentity(const GUID& instance, const GUID& product, unsigned controller)
{
    controllers.at(controller).instance = instance;
    controllers.at(controller).product = product;
}

void releaseAll(unsigned controller)
{
    DirectInputState& state = controllers.at(controller).state;
    std::memset(state, 0, sizeof state);
    controllers.at(controller).xinputState = XInputPadState{};
    putUnsigned(state, DirectInputHatOffset, 0xFFFFFFFF);
}

void setXInputState(const XInputPadState& state, unsigned controller)
{
    controllers.at(controller).xinputState = state;
}

std::uint32_t pollCount()
{
    return polls;
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

std::function<bool()> pressing(unsigned button)
{
    return [=] {
        press(button);
        return true;
    };
}

} // namespace ScriptedGamepad
