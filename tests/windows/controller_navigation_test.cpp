// The tool played with a controller alone, as on a handheld without a mouse:
// from the main window into the general settings, through a drop-down list,
// the tabs and a check box, past the save question and out again.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/main_window_win32.h"
#include "resources/resource.h"
#include "shell/app_state_win32.h"
#include "shell/controller_navigation.h"
#include "shell/text_table_win32.h"
#include "support/app_fixture.h"
#include "support/dialog_driver.h"
#include "support/general_window_driver.h"
#include "support/scripted_gamepad.h"

namespace {

namespace Button = XInputButton;

void hold(std::uint16_t buttons)
{
    ScriptedGamepad::setXInputState(XInputPadState{buttons, 0, 0, 0, 0, 0, 0});
}

// Presses `buttons` until `done` holds, given how many presses there were;
// each press is held until the windows have read it, then released until
// they have read that too.
std::function<bool()> pressingUntil(std::uint16_t buttons, std::function<bool(int presses)> done)
{
    struct Cycle {
        int presses = 0;
        bool held = false;
        std::function<bool()> read;
    };
    auto cycle = std::make_shared<Cycle>();
    return [=] {
        if (cycle->read && !cycle->read())
            return false;
        cycle->read = nullptr;
        if (cycle->held) {
            hold(0);
            cycle->held = false;
        } else if (done(cycle->presses)) {
            return true;
        } else {
            hold(buttons);
            cycle->held = true;
            ++cycle->presses;
        }
        cycle->read = ScriptedGamepad::afterNavigationReads(2);
        return false;
    };
}

std::function<bool()> pressingUntil(std::uint16_t buttons, std::function<bool()> reached)
{
    return pressingUntil(buttons, [reached](int) { return reached(); });
}

void press(Player::Script& script, const std::string& name, std::uint16_t buttons)
{
    script.then(name, pressingUntil(buttons, [](int presses) { return presses == 1; }));
}

HWND mainWindow()
{
    return Player::activeDialogWithControl(IDC_MAIN_LANGUAGE);
}

HWND saveQuestion()
{
    const HWND dialog = Player::activeDialogWithControl(IDC_MESSAGE_TEXT);
    return dialog && GetDlgItem(dialog, IDCANCEL) && GetDlgItem(dialog, IDYES) ? dialog : nullptr;
}

// The focus is on control `id` of the window `find` gives (of its page
// `page` when one is named).
std::function<bool()> focusOn(HWND (*find)(), int id, std::optional<GeneralWindow::Page> page = std::nullopt)
{
    return [=] {
        const HWND window = find();
        if (!window)
            return false;
        const HWND parent = page ? GeneralWindow::page(window, *page) : window;
        return GetFocus() && GetFocus() == GetDlgItem(parent, id);
    };
}

// The windows told to draw their focus rectangles (Wine draws them always,
// so the telling is what can be seen here).
std::vector<HWND> focusShownIn;
LRESULT CALLBACK watchFocusCues(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_CHANGEUISTATE &&
        call->wParam == MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS))
        focusShownIn.push_back(call->hwnd);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool toldToShowFocus(HWND window)
{
    return window && std::find(focusShownIn.begin(), focusShownIn.end(), window) != focusShownIn.end();
}

class ControllerNavigation : public testing::Test {
protected:
    void SetUp() override
    {
        initializeApplicationOnce();
        languageFile_ = fileBytes(settingsFile(L"config.lng"));
        configFile_ = fileBytes(GeneralWindow::configPath());
        // English as read and as shown: the main window then closes without
        // asking.
        writeBytes(settingsFile(L"config.lng"), {0x23, 0x04, 0x09, 0x20, English, 0, 0, 0});
        LoadLanguageSettings();
        focusShownIn.clear();
        focusCues_ = SetWindowsHookExW(WH_CALLWNDPROC, watchFocusCues, nullptr, GetCurrentThreadId());
    }

    void TearDown() override
    {
        if (focusCues_)
            UnhookWindowsHookEx(focusCues_);
        restore(settingsFile(L"config.lng"), languageFile_);
        restore(GeneralWindow::configPath(), configFile_);
        LoadLanguageSettings();
        LoadStringTable(LanguageIndex());
    }

    static void writeBytes(const std::wstring& path, const std::vector<char>& bytes)
    {
        const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
        ASSERT_EQ(bytes.size(), written);
    }
    static void restore(const std::wstring& path, const std::optional<std::vector<char>>& bytes)
    {
        if (bytes)
            writeBytes(path, *bytes);
        else
            DeleteFileW(path.c_str());
    }

    ScopedLanguage language_{English};
    HHOOK focusCues_ = nullptr;
    std::optional<std::vector<char>> languageFile_;
    std::optional<std::vector<char>> configFile_;
};

} // namespace

TEST_F(ControllerNavigation, APlayerWithOnlyAControllerChangesTheGeneralSettingsAndSavesThem)
{
    using GeneralWindow::Effects;
    using GeneralWindow::Network;
    GeneralSettings stored = GeneralWindow::seededRecord();
    stored.upnpMode = 0;
    stored.ambientOcclusion = 0;
    GeneralWindow::writeConfig(GeneralWindow::bytesOf(stored));

    const ScriptedGamepad::Installation pad(1, ScriptedGamepad::Kind::XInput);
    HWND main = nullptr;
    HWND general = nullptr;
    int pageAfterTurns = -1;
    bool listOpened = false;
    bool questionCancelled = false;
    Player::Script script;
    script
        .then("main window",
              [&] {
                  main = mainWindow();
                  return main != nullptr;
              })
        .then("main window read", ScriptedGamepad::afterNavigationReads(2))
        .then("down to General", pressingUntil(Button::DPadDown, focusOn(mainWindow, IDC_MAIN_GENERAL)));
    press(script, "A on General", Button::A);
    script
        .then("general window",
              [&] {
                  general = GeneralWindow::window();
                  return general != nullptr;
              })
        .then("down to UPnP",
              pressingUntil(Button::DPadDown, focusOn(GeneralWindow::window, IDC_NETWORK_UPNP, Network)));
    press(script, "A opens the list", Button::A);
    script.then("list open",
                [&] { return listOpened = SendMessageW(GetFocus(), CB_GETDROPPEDSTATE, 0, 0) != FALSE; });
    press(script, "down in the list", Button::DPadDown);
    press(script, "A closes the list", Button::A);
    press(script, "RB to video", Button::RightShoulder);
    press(script, "RB to graphics", Button::RightShoulder);
    script.then("graphics page shown", [&] {
        pageAfterTurns = GeneralWindow::visiblePage(GeneralWindow::window());
        return true;
    });
    script.then("ambient occlusion focused",
                focusOn(GeneralWindow::window, IDC_EFFECTS_AMBIENT_OCCLUSION, Effects));
    press(script, "A ticks ambient occlusion", Button::A);
    script.then("down to OK", pressingUntil(Button::DPadDown, focusOn(GeneralWindow::window, IDOK)));
    press(script, "A on OK", Button::A);
    script.then("save question", [] { return saveQuestion() != nullptr; });
    press(script, "B cancels the question", Button::B);
    script.then("back in the general window",
                [&] { return questionCancelled = (GeneralWindow::window() != nullptr && !saveQuestion()); });
    script.then("down to OK again", pressingUntil(Button::DPadDown, focusOn(GeneralWindow::window, IDOK)));
    press(script, "A on OK again", Button::A);
    script.then("save question again", [] { return saveQuestion() != nullptr; });
    press(script, "A on Yes", Button::A);
    script.then("main window again", [] { return mainWindow() != nullptr; })
        .then("down to OK", pressingUntil(Button::DPadDown, focusOn(mainWindow, IDOK)));
    // The window ends with this press, and the reading with it.
    script.then("A on OK of the main window", [] {
        hold(Button::A);
        return true;
    });

    const INT_PTR result = script.run([] { return runMainWindow(); }, 60000);
    EXPECT_FALSE(script.timedOut()) << "stuck at: " << script.pendingStep();
    EXPECT_TRUE(script.finished()) << "stuck at: " << script.pendingStep();
    EXPECT_EQ(IDOK, result);
    EXPECT_TRUE(toldToShowFocus(main));
    EXPECT_TRUE(toldToShowFocus(general));
    EXPECT_TRUE(listOpened);
    EXPECT_EQ(Effects, pageAfterTurns);
    EXPECT_TRUE(questionCancelled);

    GeneralSettings expected = stored;
    expected.upnpMode = 1;
    expected.ambientOcclusion = 1;
    EXPECT_EQ(GeneralWindow::bytesOf(expected), GeneralWindow::readConfig());
}
