// The 24 assignment boxes of the gamepad settings window: which box shows
// which row, and each row's input by its name in the current language.
#pragma once

#include <windows.h>

#include <cstdint>

#include "gamepad/pad_settings.h"

// The row box `id` shows; -1 for any other control.
int rowOfBox(int id);
// Builds the input names of the current language (InputNameTable), gives
// Japanese names a font that has their glyphs, and shows every row.
void showAssignmentRows(HWND window, const std::uint8_t (&assignments)[AssignmentRowCount]);
void showAssignmentRow(HWND window, unsigned row, std::uint8_t input);
void focusAssignmentRow(HWND window, unsigned row);
// Selects the whole text of the row's box; nothing for a row beyond 23.
void selectAssignmentRow(HWND window, unsigned row);
// Deletes the font showAssignmentRows made, if any.
void releaseAssignmentRowFont();
