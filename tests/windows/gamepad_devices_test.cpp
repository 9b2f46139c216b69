// The real controllers through DirectInput, XInput and WMI, on a machine
// with none attached.
#include "gamepad/gamepad_devices_win32.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "foundation/system_library_win32.h"
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

namespace {

// A loader that records what it is asked for and gives only the libraries
// of `available`, loaded for real; `impostor` names a library that loads
// but is no XInput library.
struct FakeLoader {
    std::vector<std::wstring> available;
    std::wstring impostor;
    std::vector<std::wstring> asked;
};
FakeLoader* fakeLoader = nullptr;

DWORD WINAPI readNothing(DWORD, XINPUT_STATE*)
{
    return ERROR_DEVICE_NOT_CONNECTED;
}

HMODULE loadThroughFake(const wchar_t* name)
{
    fakeLoader->asked.push_back(name);
    if (name == fakeLoader->impostor)
        return LoadSystemLibrary(L"kernel32.dll");
    for (const std::wstring& available : fakeLoader->available) {
        if (available == name)
            return LoadSystemLibrary(name);
    }
    return nullptr;
}

} // namespace

TEST(XInputLibraries, TheNewestThatLoadsIsUsedAndXInput9HasNoEnable)
{
    struct Case {
        const char* name;
        std::vector<std::wstring> available;
        std::wstring impostor;
        const wchar_t* loaded; // null: none
        bool hasEnable;
        std::vector<std::wstring> asked;
    };
    const std::wstring v14 = L"xinput1_4.dll", v13 = L"xinput1_3.dll", v910 = L"xinput9_1_0.dll";
    const Case cases[] = {
        {"Windows 8 and later", {v14, v13, v910}, L"", L"xinput1_4.dll", true, {v14}},
        {"Windows 7 with the DirectX add-on", {v13, v910}, L"", L"xinput1_3.dll", true, {v14, v13}},
        {"Windows 7 without it", {v910}, L"", L"xinput9_1_0.dll", false, {v14, v13, v910}},
        {"a DLL of the name that is no XInput", {v13}, v14, L"xinput1_3.dll", true, {v14, v13}},
        {"none at all", {}, L"", nullptr, false, {v14, v13, v910}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeLoader loader{c.available, c.impostor, {}};
        fakeLoader = &loader;
        const XInputLibrary library = loadXInputLibrary(loadThroughFake);
        fakeLoader = nullptr;
        EXPECT_EQ(c.asked, loader.asked);
        if (!c.loaded) {
            EXPECT_EQ(nullptr, library.name);
            EXPECT_EQ(nullptr, library.getState);
            EXPECT_EQ(nullptr, library.enable);
            continue;
        }
        ASSERT_NE(nullptr, library.name);
        EXPECT_STREQ(c.loaded, library.name);
        EXPECT_NE(nullptr, library.getState);
        EXPECT_EQ(c.hasEnable, library.enable != nullptr);
    }
}

TEST(XInputLibraries, WithoutOneXInputControllersAreReadThroughDirectInput)
{
    static int wmiAsked;
    struct Case {
        const char* name;
        bool libraryLoaded;
        bool markedByWmi;
        bool throughXInput;
        int wmiAskedTimes;
    };
    const Case cases[] = {
        {"library and mark", true, true, true, 1},
        {"library, no mark", true, false, false, 1},
        {"mark, no library", false, true, false, 0},
        {"neither", false, false, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        XInputLibrary library{};
        if (c.libraryLoaded)
            library = {L"xinput1_4.dll", nullptr, readNothing};
        wmiAsked = 0;
        const auto marked = [&] { return ++wmiAsked > 0 && c.markedByWmi; };
        EXPECT_EQ(c.throughXInput, readsThroughXInput(library, marked));
        EXPECT_EQ(c.wmiAskedTimes, wmiAsked);
    }
}

TEST(XInputLibraries, TheProgramUsesTheFirstOfTheChainThatLoadsHere)
{
    const XInputLibrary& library = xinputLibrary();
    const wchar_t* firstLoading = nullptr;
    for (const wchar_t* name : {L"xinput1_4.dll", L"xinput1_3.dll", L"xinput9_1_0.dll"}) {
        if (const HMODULE module = LoadSystemLibrary(name)) {
            FreeLibrary(module);
            firstLoading = name;
            break;
        }
    }
    ASSERT_NE(nullptr, firstLoading);
    ASSERT_NE(nullptr, library.name);
    EXPECT_STREQ(firstLoading, library.name);
    std::printf("XInput library loaded: %ls\n", library.name);
}
