#include "settings/general_window_win32.h"

#include <commctrl.h>

#include <cstdint>

#include "resources/resource.h"
#include "settings/general_pages_win32.h"
#include "settings/general_settings.h"
#include "settings/general_settings_file_win32.h"
#include "shell/controller_navigation_win32.h"
#include "shell/message_dialog_win32.h"
#include "shell/text_table_win32.h"
#include "shell/window_helpers_win32.h"

namespace {

struct PageEntry {
    std::uint32_t caption;
    int dialog;
    const PageFunctions* functions;
};

// In tab order, which is also the order in which the pages are collected.
constexpr PageEntry Pages[] = {
    {112, IDD_NETWORK_PAGE, &NetworkPage},
    {154, IDD_VIDEO_PAGE, &VideoPage},
    {246, IDD_EFFECTS_PAGE, &EffectsPage},
    {247, IDD_SOUND_PAGE, &SoundPage},
};
constexpr int PageCount = static_cast<int>(sizeof Pages / sizeof *Pages);

HWND pageWindows[PageCount];

constexpr std::uint32_t CaptionText = 111;
constexpr std::uint32_t OkText = 108;
constexpr std::uint32_t CancelText = 151;
constexpr std::uint32_t InvalidPortMessage = 146;

void collectPages()
{
    for (const PageEntry& page : Pages)
        page.functions->collect();
}

void showPage(int shown)
{
    for (int i = 0; i < PageCount; ++i)
        ShowWindow(pageWindows[i], i == shown ? SW_SHOW : SW_HIDE);
}

// The pages are children of the window itself, laid over the tab control's
// display area and above it in z-order (the tab control clips its siblings).
void createPages(HWND window)
{
    const HWND tabs = GetDlgItem(window, IDC_GENERAL_TABS);
    for (int i = 0; i < PageCount; ++i) {
        const PageEntry& entry = Pages[i];
        entry.functions->attach(workingGeneralSettings());

        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(GetText(entry.caption));
        TabCtrl_InsertItem(tabs, TabCtrl_GetItemCount(tabs), &item);

        const HWND page = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(entry.dialog),
                                             window, entry.functions->procedure, 0);
        pageWindows[i] = page;
        RECT area{};
        GetClientRect(tabs, &area);
        TabCtrl_AdjustRect(tabs, FALSE, &area);
        MapWindowPoints(tabs, window, reinterpret_cast<POINT*>(&area), 2);
        SetWindowPos(page, HWND_TOP, area.left, area.top, area.right - area.left, area.bottom - area.top,
                     SWP_NOREDRAW | SWP_NOACTIVATE);
        ShowWindow(page, SW_HIDE);
    }
}

void onInitDialog(HWND window)
{
    SetDialogIcons(window);
    CenterOnDesktop(window);
    SetWindowTextW(window, GetText(CaptionText));
    SetDlgItemTextW(window, IDOK, GetText(OkText));
    SetDlgItemTextW(window, IDCANCEL, GetText(CancelText));
    createPages(window);
    showPage(0);
    acceptControllerNavigation(window);
}

void onOk(HWND window)
{
    collectPages();
    if (!isValidPort(workingGeneralSettings().port)) {
        ShowMessageDialog(window, IDD_MESSAGE_OK, ErrorTitle, InvalidPortMessage);
        return;
    }
    if (askBeforeLeaving(window, Leaving::Accepting, generalSettingsChanged(), saveGeneralSettings))
        EndDialog(window, IDOK);
}

void onCancel(HWND window)
{
    collectPages();
    if (askBeforeLeaving(window, Leaving::Discarding, generalSettingsChanged(), saveGeneralSettings))
        EndDialog(window, IDCANCEL);
}

void onNotify(HWND window, const NMHDR& header)
{
    if (header.code != TCN_SELCHANGE)
        return;
    const int selected = TabCtrl_GetCurSel(GetDlgItem(window, IDC_GENERAL_TABS));
    if (selected >= 0 && selected < PageCount)
        showPage(selected);
}

INT_PTR CALLBACK generalWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: onInitDialog(window); return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK)
            onOk(window);
        else if (LOWORD(wParam) == IDCANCEL)
            onCancel(window);
        return TRUE;
    case WM_CLOSE: onCancel(window); return TRUE;
    case WM_NOTIFY: onNotify(window, *reinterpret_cast<const NMHDR*>(lParam)); return TRUE;
    default: return FALSE;
    }
}

} // namespace

INT_PTR openGeneralSettings(HWND owner)
{
    loadGeneralSettings();
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_GENERAL_SETTINGS), owner,
                           generalWindowProc, 0);
}
