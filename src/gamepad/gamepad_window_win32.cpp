#include "gamepad/gamepad_window_win32.h"

// Placeholder until the window lands.
INT_PTR openGamepadSettings(HWND)
{
    return IDCANCEL;
}
