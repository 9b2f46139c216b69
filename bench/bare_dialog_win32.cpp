// An executable that shows one empty modal dialog: what starting any dialog
// program costs on this platform, the floor for the tool's own start-up.
// Built twice: plain, and themed (ORVANTE_THEMED: the tool's manifest and the
// common controls).
#include <windows.h>

#ifdef ORVANTE_THEMED
#include <commctrl.h>
#endif

namespace {
INT_PTR CALLBACK bareDialogProc(HWND dialog, UINT message, WPARAM, LPARAM)
{
    if (message == WM_CLOSE) {
        EndDialog(dialog, 0);
        return TRUE;
    }
    return message == WM_INITDIALOG;
}
} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
#ifdef ORVANTE_THEMED
    InitCommonControls();
#endif
    DialogBoxParamW(instance, MAKEINTRESOURCEW(1), nullptr, bareDialogProc, 0);
    return 0;
}
