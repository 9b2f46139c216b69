#include "sysinfo/sysinfo_window_win32.h"

// Placeholder until the window lands.
INT_PTR openSystemInformation(HWND)
{
    return IDCANCEL;
}
