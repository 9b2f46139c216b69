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

TEST(GamepadDevices, TheDataFormatHas61OptionalObjectsIn148Bytes)
{
    const DIDATAFORMAT& format = padDataFormat();
    EXPECT_EQ(sizeof(DIDATAFORMAT), format.dwSize);
    EXPECT_EQ(sizeof(DIOBJECTDATAFORMAT), format.dwObjSize);
    EXPECT_EQ(static_cast<DWORD>(DIDF_ABSAXIS), format.dwFlags);
    EXPECT_EQ(148u, format.dwDataSize);
    ASSERT_EQ(61u, format.dwNumObjs);
    struct Object {
        unsigned index;
        const GUID* guid;
        DWORD offset, type, flags;
    };
    const Object objects[] = {
        {0, &GUID_Button, 0, 0x80FFFF0C, 0},        {31, &GUID_Button, 31, 0x80FFFF0C, 0},
        {32, &GUID_XAxis, 32, 0x80FFFF03, 0x100},   {35, &GUID_XAxis, 44, 0x80FFFF03, 0x400},
        {37, &GUID_YAxis, 52, 0x80FFFF03, 0x200},   {46, &GUID_RxAxis, 88, 0x80FFFF03, 0x300},
        {55, &GUID_RzAxis, 124, 0x80FFFF03, 0x400}, {56, &GUID_Slider, 128, 0x80FFFF03, 0x100},
        {59, &GUID_Slider, 140, 0x80FFFF03, 0x400}, {60, &GUID_POV, 144, 0x80FFFF10, 0},
    };
    for (const Object& o : objects) {
        SCOPED_TRACE(o.index);
        const DIOBJECTDATAFORMAT& actual = format.rgodf[o.index];
        EXPECT_TRUE(IsEqualGUID(*o.guid, *actual.pguid));
        EXPECT_EQ(o.offset, actual.dwOfs);
        EXPECT_EQ(o.type, actual.dwType);
        EXPECT_EQ(o.flags, actual.dwFlags);
    }
}

TEST(GamepadDevices, DirectInputAcceptsTheDataFormat)
{
    // The system mouse stands in for a controller: every object of the format
    // is optional, so any device takes it.
    IDirectInput8W* directInput = nullptr;
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_DirectInput8, nullptr, CLSCTX_ALL, IID_IDirectInput8W,
                                           reinterpret_cast<void**>(&directInput))));
    ASSERT_TRUE(SUCCEEDED(directInput->Initialize(GetModuleHandleW(nullptr), DIRECTINPUT_VERSION)));
    IDirectInputDevice8W* mouse = nullptr;
    ASSERT_TRUE(SUCCEEDED(directInput->CreateDevice(GUID_SysMouse, &mouse, nullptr)));
    EXPECT_TRUE(SUCCEEDED(mouse->SetDataFormat(&padDataFormat())));
    mouse->Release();
    directInput->Release();
}
