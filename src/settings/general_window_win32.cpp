#include "settings/general_window_win32.h"

// Placeholder until the window lands.
INT_PTR openGeneralSettings(HWND)
{
    return IDCANCEL;
}
