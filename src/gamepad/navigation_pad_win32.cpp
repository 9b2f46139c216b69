#include "gamepad/navigation_pad_win32.h"

#include <windows.h>

#include <xinput.h>

#include <algorithm>
#include <cstdlib>

#include "gamepad/gamepad_devices_win32.h"

namespace {

// Asking an empty slot is slow on some systems, so a slot without a
// controller is asked again only every so many readings.
constexpr unsigned EmptySlotReadingsApart = 25;

bool slotConnected[XUSER_MAX_COUNT] = {};
unsigned readings = 0;

} // namespace

bool readNavigationPad(NavigationPad& pad)
{
    const XInputGetStateFunction getState = xinputLibrary().getState;
    if (!getState)
        return false;
    const bool askEmptySlots = readings++ % EmptySlotReadingsApart == 0;
    pad = NavigationPad{};
    bool any = false;
    int furthest = 0;
    for (DWORD slot = 0; slot < XUSER_MAX_COUNT; ++slot) {
        if (!slotConnected[slot] && !askEmptySlots)
            continue;
        XINPUT_STATE state{};
        slotConnected[slot] = getState(slot, &state) == ERROR_SUCCESS;
        if (!slotConnected[slot])
            continue;
        any = true;
        const XINPUT_GAMEPAD& gamepad = state.Gamepad;
        pad.buttons = static_cast<std::uint16_t>(pad.buttons | gamepad.wButtons);
        const int reach = std::max(std::abs(gamepad.sThumbLX), std::abs(gamepad.sThumbLY));
        if (reach > furthest) {
            furthest = reach;
            pad.thumbX = gamepad.sThumbLX;
            pad.thumbY = gamepad.sThumbLY;
        }
    }
    return any;
}
