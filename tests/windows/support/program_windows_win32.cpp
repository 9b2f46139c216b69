#include "support/program_windows.h"

#include <cstdlib>

#include "app/main_window_win32.h"
#include "gamepad/gamepad_devices_win32.h"
#include "gamepad/gamepad_test_window_win32.h"
#include "gamepad/gamepad_window_win32.h"
#include "resources/resource.h"
#include "settings/general_window_win32.h"
#include "shell/language_settings.h"
#include "shell/message_dialog_win32.h"
#include "support/dialog_driver.h"
#include "support/general_window_driver.h"
#include "sysinfo/sysinfo_window_win32.h"

const TestLanguage EveryLanguage[4] = {
    {Japanese, "Japanese"}, {English, "English"}, {German, "German"}, {French, "French"}};

std::string testLanguageName(const testing::TestParamInfo<TestLanguage>& language)
{
    return language.param.name;
}

void PrintTo(const TestLanguage& language, std::ostream* out)
{
    *out << language.name;
}

std::vector<ProgramWindow> programWindows()
{
    const auto message = [](const char* name, int dialog, std::uint32_t title, std::uint32_t text) {
        return ProgramWindow{
            std::string("message \"") + name + "\"",
            [=] { return static_cast<INT_PTR>(ShowMessageDialog(nullptr, dialog, title, text)); },
            IDC_MESSAGE_TEXT};
    };
    return {
        {"main window", [] { return runMainWindow(); }, IDC_MAIN_LANGUAGE},
        message("Exit without saving changes?", IDD_MESSAGE_YESNO, 109, 145),
        message("Save these settings?", IDD_MESSAGE_YESNOCANCEL, 109, 110),
        message("Invalid port.", IDD_MESSAGE_OK, 148, 146),
        message("Gamepad not detected.", IDD_MESSAGE_OK, 148, 147),
        message("The settings could not be saved.", IDD_MESSAGE_OK, 148, 249),
        {"general settings", [] { return openGeneralSettings(nullptr); }, IDC_GENERAL_TABS, 4,
         [](HWND dialog, int view) {
             GeneralWindow::chooseTab(dialog, static_cast<GeneralWindow::Page>(view));
         }},
        {"gamepad settings", [] { return openGamepadSettings(nullptr); }, IDC_GAMEPAD_DEVICE},
        {"gamepad test",
         [] {
             createGamepadManager(nullptr);
             const INT_PTR result = openGamepadTest(nullptr);
             releaseGamepadManager();
             return result;
         },
         IDC_PADTEST_MENU_PANEL},
        {"system information", [] { return openSystemInformation(nullptr); }, IDC_SYSINFO_TABS, 4,
         [](HWND dialog, int view) { Player::clickTab(dialog, IDC_SYSINFO_TABS, view); }},
    };
}

int sessionDpi()
{
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

void expectSessionDpi()
{
    if (const char* dpi = std::getenv("ORVANTE_EXPECT_DPI")) {
        EXPECT_EQ(std::atoi(dpi), sessionDpi());
    }
}
