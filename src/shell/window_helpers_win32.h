// Small things every dialog of the program does the same way.
#pragma once

#include <windows.h>

// Moves the window to the middle of the desktop, on top, and shows it.
void CenterOnDesktop(HWND window);
// Icon resource 100 as the window's big (32 x 32) and small (16 x 16) icon.
void SetDialogIcons(HWND window);
