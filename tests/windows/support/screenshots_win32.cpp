#include "support/screenshots.h"

#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "gamepad/gamepad_devices_win32.h"
#include "gamepad/gamepad_test_window_win32.h"
#include "gamepad/gamepad_window_win32.h"
#include "resources/resource.h"
#include "shell/app_state_win32.h"
#include "app/main_window_win32.h"
#include "shell/controller_navigation_win32.h"
#include "shell/message_dialog_win32.h"
#include "settings/general_window_win32.h"
#include "shell/display_adapters_win32.h"
#include "sysinfo/sysinfo_window_win32.h"
#include "shell/text_table_win32.h"
#include "support/dialog_driver.h"
#include "support/general_window_driver.h"
#include "support/scripted_gamepad.h"

namespace {

const wchar_t* const LanguageCodes[LanguageCount] = {L"ja", L"en", L"de", L"fr"};

// Frames the dialog waits, so that painting and the frame drawn by Wine have
// settled before the picture is taken.
constexpr int SettleTicks = 8;

// The whole window, frame and caption included, as a 24-bit BMP file.
bool saveWindowPicture(HWND window, const std::wstring& path)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    const HDC windowDc = GetWindowDC(window);
    const HDC memory = CreateCompatibleDC(windowDc);
    const HBITMAP bitmap = CreateCompatibleBitmap(windowDc, width, height);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, windowDc, 0, 0, SRCCOPY);
    SelectObject(memory, previous);

    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    std::vector<unsigned char> pixels(stride * static_cast<DWORD>(height));
    const int lines = GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
                                reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, windowDc);
    if (lines != height)
        return false;

    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42;
    header.bfOffBits = sizeof header + sizeof info;
    header.bfSize = header.bfOffBits + static_cast<DWORD>(pixels.size());
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (!file)
        return false;
    const bool written = std::fwrite(&header, sizeof header, 1, file) == 1 &&
                         std::fwrite(&info, sizeof info, 1, file) == 1 &&
                         std::fwrite(pixels.data(), pixels.size(), 1, file) == 1;
    return std::fclose(file) == 0 && written;
}

// Steps a player takes in a window before its picture.
using PlayerSteps = std::function<void(Player::Script&)>;

// Opens a dialog through `open`, lets `prepare` act on it and the player take
// `steps`, waits until it has settled, takes its picture and ends it with
// `result`.
bool photograph(const std::function<INT_PTR()>& open, int controlId, INT_PTR result, const std::wstring& path,
                const std::function<void(HWND)>& prepare = nullptr, const PlayerSteps& steps = nullptr)
{
    bool saved = false;
    int ticks = 0;
    Player::Script script;
    script.then("wait for the dialog", [&] {
        const HWND dialog = Player::activeDialogWithControl(controlId);
        if (!dialog || !Player::ready(dialog))
            return false;
        if (prepare)
            prepare(dialog);
        return true;
    });
    if (steps)
        steps(script);
    script
        .then("redraw",
              [&] {
                  const HWND dialog = Player::activeDialogWithControl(controlId);
                  if (!dialog)
                      return false;
                  RedrawWindow(dialog, nullptr, nullptr,
                               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
                  return true;
              })
        .then("settle", [&] { return ++ticks >= SettleTicks; })
        .then("take the picture", [&] {
            const HWND dialog = Player::activeDialogWithControl(controlId);
            if (!dialog)
                return false;
            saved = saveWindowPicture(dialog, path);
            EndDialog(dialog, result);
            return true;
        });
    script.run(open);
    if (!saved)
        std::fwprintf(stderr, L"screenshots: could not take %ls\n", path.c_str());
    return saved;
}

struct Message {
    const wchar_t* name;
    int dialog;
    std::uint32_t title;
    std::uint32_t text;
};
constexpr Message Messages[] = {
    {L"yesno", IDD_MESSAGE_YESNO, 109, 145},
    {L"ok", IDD_MESSAGE_OK, 148, 249},
    {L"yesnocancel", IDD_MESSAGE_YESNOCANCEL, 109, 110},
};

// The gamepad settings window with a scripted controller, then the test
// window with the controller's first axes pushed.
bool photographGamepadWindows(const std::wstring& suffix, const std::wstring& folder)
{
    ScriptedGamepad::Installation pad;
    bool saved = photograph([] { return openGamepadSettings(nullptr); }, IDC_GAMEPAD_DEVICE, IDCANCEL,
                            folder + L"\\gamepad" + suffix);
    ScriptedGamepad::setAxis(0, ScriptedGamepad::AxisRange);
    ScriptedGamepad::setAxis(1, -ScriptedGamepad::AxisRange / 2);
    ScriptedGamepad::setAxis(3, -ScriptedGamepad::AxisRange);
    saved &= photograph(
        [] {
            createGamepadManager(nullptr);
            const INT_PTR result = openGamepadTest(nullptr);
            releaseGamepadManager();
            return result;
        },
        IDC_PADTEST_MENU_PANEL, IDOK, folder + L"\\gamepad_test" + suffix);
    return saved;
}
constexpr const wchar_t* GeneralPageNames[] = {L"network", L"video", L"graphics", L"sound"};

// Presses of the scripted controller, each held until the windows have read
// it and then released.
PlayerSteps controllerPresses(std::vector<std::uint16_t> presses)
{
    return [presses](Player::Script& script) {
        for (const std::uint16_t buttons : presses) {
            script
                .then("press",
                      [buttons] {
                          ScriptedGamepad::setXInputState(XInputPadState{buttons, 0, 0, 0, 0, 0, 0});
                          return true;
                      })
                .then("read", ScriptedGamepad::afterNavigationReads(2))
                .then("release",
                      [] {
                          ScriptedGamepad::setXInputState(XInputPadState{});
                          return true;
                      })
                .then("read release", ScriptedGamepad::afterNavigationReads(2));
        }
    };
}

// The windows as a player with only a controller sees them: the focus moved
// by the controller, on each general settings page (turned with RB, the
// network page after a whole round), the second System Information tab, the
// Yes/No question and the main window (last: it stops the reading when it
// ends).
bool photographControllerFocus(const std::wstring& suffix, const std::wstring& folder)
{
    using namespace XInputButton;
    const ScriptedGamepad::Installation pad(1, ScriptedGamepad::Kind::XInput);
    startControllerNavigation(nullptr); // the installation's scripted reader stands in
    const std::wstring prefix = folder + L"\\controller_";
    bool saved = true;
    for (std::size_t page = 0; page < 4; ++page) {
        saved &= photograph(
            [] {
                WaitForDisplayAdapters(INFINITE);
                return openGeneralSettings(nullptr);
            },
            IDC_GENERAL_TABS, IDCANCEL, prefix + L"general_" + GeneralPageNames[page] + suffix, nullptr,
            controllerPresses(std::vector<std::uint16_t>(page == 0 ? 4 : page, RightShoulder)));
    }
    saved &= photograph([] { return openSystemInformation(nullptr); }, IDC_SYSINFO_TABS, IDOK,
                        prefix + L"sysinfo" + suffix, nullptr, controllerPresses({RightShoulder}));
    saved &=
        photograph([] { return ShowMessageDialog(nullptr, IDD_MESSAGE_YESNO, 109, 145); }, IDC_MESSAGE_TEXT,
                   IDCANCEL, prefix + L"yesno" + suffix, nullptr, controllerPresses({DPadDown}));
    saved &= photograph([] { return runMainWindow(); }, IDC_MAIN_LANGUAGE, IDOK, prefix + L"main" + suffix,
                        nullptr, controllerPresses({DPadDown, DPadDown}));
    stopControllerNavigation();
    return saved;
}
// The system information window's tabs, in the order they appear.
constexpr const wchar_t* SysinfoPageNames[] = {L"system", L"application", L"process", L"installation"};

} // namespace

int takeScreenshots(const std::wstring& folder)
{
    if (!InitializeApplication(GetModuleHandleW(nullptr)))
        return 1;
    bool allSaved = true;
    for (std::uint8_t language = 0; language < LanguageCount; ++language) {
        const std::wstring suffix = std::wstring(L"_") + LanguageCodes[language] + L".bmp";
        // The main window opens in the language before and is switched as a
        // player would, so each picture also shows the live relabelling.
        // Ending the windows directly leaves config.lng untouched.
        SetLanguageIndex(static_cast<std::uint8_t>((language + LanguageCount - 1) % LanguageCount));
        allSaved &= photograph(
            [] { return runMainWindow(); }, IDC_MAIN_LANGUAGE, IDOK, folder + L"\\main" + suffix,
            [language](HWND window) { Player::chooseComboEntry(window, IDC_MAIN_LANGUAGE, language); });
        for (const Message& message : Messages) {
            LoadStringTable(language);
            allSaved &= photograph(
                [&] { return ShowMessageDialog(nullptr, message.dialog, message.title, message.text); },
                IDC_MESSAGE_TEXT, IDCANCEL, folder + L"\\" + message.name + suffix);
        }
        allSaved &= photographGamepadWindows(suffix, folder);
        if (language == English)
            allSaved &= photographControllerFocus(suffix, folder);
        // Ending the general settings window directly writes no config.sys.
        for (int page = GeneralWindow::Network; page <= GeneralWindow::Sound; ++page) {
            allSaved &= photograph(
                [] {
                    WaitForDisplayAdapters(INFINITE);
                    return openGeneralSettings(nullptr);
                },
                IDC_GENERAL_TABS, IDCANCEL, folder + L"\\general_" + GeneralPageNames[page] + suffix,
                [page](HWND window) {
                    GeneralWindow::chooseTab(window, static_cast<GeneralWindow::Page>(page));
                });
        }
        for (int tab = 0; tab < 4; ++tab) {
            allSaved &= photograph([] { return openSystemInformation(nullptr); }, IDC_SYSINFO_TABS, IDOK,
                                   folder + L"\\sysinfo_" + SysinfoPageNames[tab] + suffix,
                                   [tab](HWND window) { Player::clickTab(window, IDC_SYSINFO_TABS, tab); });
        }
    }
    ShutdownApplication();
    return allSaved ? 0 : 1;
}
