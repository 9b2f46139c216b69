#include "shell/window_helpers_win32.h"

#include "resources/resource.h"

void CenterOnDesktop(HWND window)
{
    RECT desktop{};
    RECT own{};
    GetWindowRect(GetDesktopWindow(), &desktop);
    GetWindowRect(window, &own);
    const int width = own.right - own.left;
    const int height = own.bottom - own.top;
    SetWindowPos(window, nullptr, (desktop.right - width) / 2, (desktop.bottom - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_SHOWWINDOW);
}

void SetDialogIcons(HWND window)
{
    const HINSTANCE module = GetModuleHandleW(nullptr);
    // Shared icons are owned by the system; a missing icon leaves the default.
    const auto big = LoadImageW(module, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, 32, 32, LR_SHARED);
    const auto small = LoadImageW(module, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, 16, 16, LR_SHARED);
    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}
