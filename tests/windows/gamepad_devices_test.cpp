// The real controllers through DirectInput, XInput and WMI, on a machine
// with none attached.
#include "gamepad/gamepad_devices_win32.h"

#include <gtest/gtest.h>

#include "support/app_fixture.h"

TEST(GamepadDevices, WithNoControllerTheListIsEmptyAndEveryInputReadsZero)
{
    initializeApplicationOnce();
    const HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                        GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(window);
    createGamepadManager(window);
    EXPECT_EQ(0u, gamepadDeviceCount());
    pollGamepads();
    for (unsigned input = 0; input < InputCount; ++input)
        EXPECT_EQ(0.0f, gamepadInputValue(0, input));
    EXPECT_TRUE(gamepadAllReleased());
    EXPECT_STREQ(L"", gamepadDeviceName(0));
    GUID instance{}, product{};
    EXPECT_FALSE(gamepadDeviceIdentity(0, instance, product));
    releaseGamepadManager();
    EXPECT_EQ(0u, gamepadDeviceCount());
    DestroyWindow(window);
}

TEST(GamepadDevices, AProductNoPlugAndPlayEntityMarksIsNotAnXInputController)
{
    // A common XInput pad's vendor and product; no such entity is present.
    const GUID product{0x028E045E, 0x0000, 0x0000, {0x00, 0x00, 0x50, 0x49, 0x44, 0x56, 0x49, 0x44}};
    EXPECT_FALSE(isXInputController(product));
}
