// The program's own question and error boxes (dialogs 117 Yes/No, 118 OK,
// 119 Yes/No/Cancel), with localized title, message and buttons.
#pragma once

#include <windows.h>

#include <cstdint>

#include "shell/leaving.h"

// Shows `dialog` owned by `owner` with texts `titleNumber` and `messageNumber`.
// Returns IDYES (6), IDNO (7), IDOK (1) or IDCANCEL (2, also for Escape and the
// close box); 0 or -1 when the dialog could not be created.
int ShowMessageDialog(HWND owner, int dialog, std::uint32_t titleNumber, std::uint32_t messageNumber);

// The titles and messages with which the settings windows ask before leaving
// and report a save that failed.
inline constexpr std::uint32_t AcceptTitle = 109;     // "Accept"
inline constexpr std::uint32_t SaveQuestion = 110;    // "Save these settings?"
inline constexpr std::uint32_t DiscardQuestion = 145; // "Exit without saving changes?"
inline constexpr std::uint32_t ErrorTitle = 148;      // "Error"
inline constexpr std::uint32_t NotSavedMessage = 249; // "The settings could not be saved."

// Asks the player, as `decideLeaving` rules, whether `window` may end, with
// the questions above; `save` writes the window's settings. True when the
// window is to end. `ask` shows the questions, for a window that must know
// while one is open.
using AskPlayer = int (*)(HWND owner, int dialog, std::uint32_t titleNumber, std::uint32_t messageNumber);
bool askBeforeLeaving(HWND window, Leaving way, bool changed, bool (*save)(),
                      AskPlayer ask = ShowMessageDialog);
