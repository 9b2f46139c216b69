#include "shell/main_window_win32.h"

#include <windows.h>

#include "resources/resource.h"
#include "shell/app_state_win32.h"

namespace {

INT_PTR CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        SetWindowTextW(window, IsLatestVariant() ? L"ORVANTE Config LATEST" : L"ORVANTE Config");
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
            EndDialog(window, LOWORD(wParam));
        return TRUE;
    case WM_CLOSE: EndDialog(window, IDCANCEL); return TRUE;
    default: return FALSE;
    }
}

} // namespace

void runMainWindow()
{
    DialogBoxParamW(AppInstance(), MAKEINTRESOURCEW(IDD_MAIN), nullptr, mainWindowProc, 0);
}
