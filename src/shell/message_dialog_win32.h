// The program's own question and error boxes (dialogs 117 Yes/No, 118 OK,
// 119 Yes/No/Cancel), with localized title, message and buttons.
#pragma once

#include <windows.h>

#include <cstdint>

// Shows `dialog` owned by `owner` with texts `titleNumber` and `messageNumber`.
// Returns IDYES (6), IDNO (7), IDOK (1) or IDCANCEL (2, also for Escape and the
// close box); 0 or -1 when the dialog could not be created.
int ShowMessageDialog(HWND owner, int dialog, std::uint32_t titleNumber, std::uint32_t messageNumber);
