#include "support/general_window_driver.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>

#include "resources/resource.h"
#include "settings/general_window_win32.h"
#include "shell/display_adapters_win32.h"
#include "shell/text_table_win32.h"
#include "support/app_fixture.h"

namespace GeneralWindow {
namespace {

bool hasControl(HWND dialog, int control)
{
    return GetDlgItem(dialog, control) != nullptr;
}

bool isPage(HWND child, Page which)
{
    switch (which) {
    case Network: return hasControl(child, IDC_NETWORK_PORT);
    case Video: return hasControl(child, IDC_VIDEO_DEVICE);
    case Effects:
        return hasControl(child, IDC_EFFECTS_DEPTH_OF_FIELD) && !hasControl(child, IDC_VIDEO_DEVICE);
    case Sound: return hasControl(child, IDC_SOUND_DISABLE_DEVICE);
    }
    return false;
}

// Which message dialog this is, told by its buttons.
int messageDialogKind(HWND dialog)
{
    if (hasControl(dialog, IDCANCEL))
        return IDD_MESSAGE_YESNOCANCEL;
    if (hasControl(dialog, IDYES))
        return IDD_MESSAGE_YESNO;
    return IDD_MESSAGE_OK;
}

} // namespace

HWND window()
{
    return Player::activeDialogWithControl(IDC_GENERAL_TABS);
}

HWND page(HWND window, Page which)
{
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[16] = {};
        GetClassNameW(child, className, 16);
        if (lstrcmpW(className, L"#32770") == 0 && isPage(child, which))
            return child;
    }
    return nullptr;
}

int visiblePage(HWND window)
{
    int visible = -1;
    for (Page which : {Network, Video, Effects, Sound}) {
        if (IsWindowVisible(page(window, which))) {
            if (visible != -1)
                return -2;
            visible = which;
        }
    }
    return visible;
}

void chooseTab(HWND window, Page which)
{
    Player::clickTab(window, IDC_GENERAL_TABS, which);
}

void toggle(HWND page, int control)
{
    SendMessageW(GetDlgItem(page, control), BM_CLICK, 0, 0);
}

void typeText(HWND page, int control, const wchar_t* text)
{
    SetDlgItemTextW(page, control, text);
}

int listSelection(HWND page, int control)
{
    return static_cast<int>(SendDlgItemMessageW(page, control, CB_GETCURSEL, 0, 0));
}

std::vector<std::wstring> listLines(HWND page, int control)
{
    std::vector<std::wstring> lines;
    const int count = static_cast<int>(SendDlgItemMessageW(page, control, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const auto length = SendDlgItemMessageW(page, control, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring line(static_cast<std::size_t>(length) + 1, L'\0');
        SendDlgItemMessageW(page, control, CB_GETLBTEXT, static_cast<WPARAM>(i),
                            reinterpret_cast<LPARAM>(line.data()));
        line.resize(static_cast<std::size_t>(length));
        lines.push_back(line);
    }
    return lines;
}

Session& Session::act(std::string name, std::function<void(HWND)> action)
{
    script.then(std::move(name), [action = std::move(action)] {
        const HWND open = window();
        if (!open)
            return false;
        action(open);
        return true;
    });
    return *this;
}

Session& Session::answer(int dialog, MessageTexts::Message message, int button)
{
    script.then("answer " + std::to_string(button) + " in dialog " + std::to_string(dialog), [=, this] {
        const HWND box = Player::activeDialogWithControl(IDC_MESSAGE_TEXT);
        if (!box)
            return false;
        shown.push_back(messageDialogKind(box));
        EXPECT_EQ(dialog, shown.back());
        EXPECT_EQ(message.title, Player::windowText(box));
        EXPECT_EQ(message.text, Player::controlText(box, IDC_MESSAGE_TEXT));
        Player::click(box, button);
        return true;
    });
    return *this;
}

INT_PTR Session::run()
{
    if (!beforeDirect3D)
        WaitForDisplayAdapters(INFINITE);
    const INT_PTR result = script.run([] { return openGeneralSettings(nullptr); });
    EXPECT_FALSE(script.timedOut()) << "stuck at: " << script.pendingStep();
    EXPECT_TRUE(script.finished()) << "never reached: " << script.pendingStep();
    return result;
}

std::wstring configPath()
{
    return settingsFile(L"config.sys");
}

std::vector<unsigned char> readConfig()
{
    const auto bytes = fileBytes(configPath());
    return bytes ? std::vector<unsigned char>(bytes->begin(), bytes->end()) : std::vector<unsigned char>{};
}

GeneralSettings savedSettings()
{
    const auto bytes = readConfig();
    return decodeGeneralSettings(bytes.data(), bytes.size());
}

bool configExists()
{
    return GetFileAttributesW(configPath().c_str()) != INVALID_FILE_ATTRIBUTES;
}

void writeConfig(const std::vector<unsigned char>& bytes)
{
    const HANDLE file = CreateFileW(configPath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    EXPECT_EQ(bytes.size(), written);
    CloseHandle(file);
}

std::vector<unsigned char> bytesOf(const GeneralSettings& settings)
{
    std::vector<unsigned char> bytes(sizeof settings);
    std::memcpy(bytes.data(), &settings, sizeof settings);
    return bytes;
}

GeneralSettings seededRecord()
{
    GeneralSettings settings = defaultGeneralSettings();
    settings.reserved44 = 0xA5A5A5A5;
    for (std::size_t i = 0; i < sizeof settings.reserved60; ++i)
        settings.reserved60[i] = static_cast<std::uint8_t>(0x80 + i);
    return settings;
}

} // namespace GeneralWindow
