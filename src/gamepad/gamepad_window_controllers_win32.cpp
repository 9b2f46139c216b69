#include "gamepad/gamepad_window_controllers_win32.h"

#include <cstring>
#include <cwchar>
#include <vector>

#include "gamepad/gamepad_devices_win32.h"
#include "resources/resource.h"

namespace {

constexpr std::size_t DeviceNameCapacity = 128; // 127 characters and the terminator

// A GUID and the record's copy of it are laid out alike.
bool deviceIdentity(std::uint32_t device, ControllerIdentity& identity)
{
    GUID instance{};
    GUID product{};
    if (!gamepadDeviceIdentity(device, instance, product))
        return false;
    std::memcpy(&identity.instance, &instance, sizeof instance);
    std::memcpy(&identity.product, &product, sizeof product);
    return true;
}

} // namespace

void fillControllerList(HWND window)
{
    const HWND list = GetDlgItem(window, IDC_GAMEPAD_DEVICE);
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    for (std::uint32_t device = 0; device < gamepadDeviceCount(); ++device) {
        wchar_t name[DeviceNameCapacity];
        std::wcsncpy(name, gamepadDeviceName(device), DeviceNameCapacity - 1);
        name[DeviceNameCapacity - 1] = 0;
        // Never leave half of a surrogate pair at the cut.
        const std::size_t length = std::wcslen(name);
        if (length == DeviceNameCapacity - 1 && name[length - 1] >= 0xD800 && name[length - 1] <= 0xDBFF)
            name[length - 1] = 0;
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }
}

void startReading(CaptureState& capture, std::uint32_t device)
{
    setCurrentGamepadDevice(device);
    pollGamepad(device);
    ControllerIdentity identity{};
    const bool listed = deviceIdentity(device, identity);
    beginReading(capture, listed ? &identity : nullptr, gamepadReading(device));
}

void readChosenController(HWND window, CaptureState& capture, bool wasReading)
{
    std::vector<ControllerIdentity> listed(gamepadDeviceCount());
    for (std::uint32_t device = 0; device < listed.size(); ++device)
        deviceIdentity(device, listed[device]);
    const ControllerPick pick = chooseController(listed, capture, wasReading, workingPadSettings());
    if (pick.device < 0)
        setCurrentGamepadDevice(0);
    else if (pick.startsAnew)
        startReading(capture, static_cast<std::uint32_t>(pick.device));
    else
        setCurrentGamepadDevice(static_cast<std::uint32_t>(pick.device));
    const std::uint32_t device = currentGamepadDevice();
    SendDlgItemMessageW(window, IDC_GAMEPAD_DEVICE, CB_SETCURSEL,
                        device < gamepadDeviceCount() ? device : static_cast<WPARAM>(-1), 0);
}

bool readControllerIdentity(ControllerIdentity& identity)
{
    return deviceIdentity(currentGamepadDevice(), identity);
}
