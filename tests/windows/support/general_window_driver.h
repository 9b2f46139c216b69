// Plays a player's part in the general settings window: finds its pages,
// switches tabs, answers its questions, and reads and seeds config.sys.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "settings/general_settings.h"
#include "support/dialog_driver.h"
#include "support/messages.h"

namespace GeneralWindow {

enum Page { Network = 0, Video = 1, Effects = 2, Sound = 3 };

// The general settings window while it takes input, or null.
HWND window();
// One of its pages (child dialogs), found by the controls only it has.
HWND page(HWND window, Page which);
// The page that is showing, or -1.
int visiblePage(HWND window);
// Clicks a tab as the mouse would.
void chooseTab(HWND window, Page which);
// Clicks a check box (its state toggles and its page is told).
void toggle(HWND page, int control);
// Replaces an edit field's text, as a player selecting all and typing would.
void typeText(HWND page, int control, const wchar_t* text);
int listSelection(HWND page, int control);
std::vector<std::wstring> listLines(HWND page, int control);

// One run of the window with scripted steps.
class Session {
public:
    // A step that waits for the window to take input, then acts on it.
    Session& act(std::string name, std::function<void(HWND window)> action);
    // A step that waits for a message dialog, checks which one it is, its
    // title and its text, and presses `button`.
    Session& answer(int dialog, MessageTexts::Message message, int button);
    // Runs openGeneralSettings; returns its result. Unless `beforeDirect3D`,
    // the display adapters are prepared first, so the video page opens with
    // its lists as it does for a player who is not quicker than Direct3D.
    INT_PTR run();

    bool beforeDirect3D = false;

    // The message dialogs that appeared, in order.
    std::vector<int> shown;
    Player::Script script;
};

std::wstring configPath();
// The file's bytes; empty when it does not exist.
std::vector<unsigned char> readConfig();
bool configExists();
// The record config.sys holds now, as the game would read it.
GeneralSettings savedSettings();
void writeConfig(const std::vector<unsigned char>& bytes);
std::vector<unsigned char> bytesOf(const GeneralSettings& settings);
// A valid record with every reserved byte set, so that a save that dropped
// them would show.
GeneralSettings seededRecord();

} // namespace GeneralWindow
