#include "sysinfo/sysinfo_window_win32.h"

#include <commctrl.h>

#include "resources/resource.h"
#include "shell/controller_navigation_win32.h"
#include "shell/text_table_win32.h"
#include "shell/window_helpers_win32.h"
#include "sysinfo/probes_win32.h"
#include "sysinfo/system_gathering_win32.h"
#include "sysinfo/system_report_win32.h"

namespace {

constexpr std::uint32_t TextSystemInformation = 179;
constexpr std::uint32_t TextRetrieving = 180;
constexpr std::uint32_t TextOk = 108;
constexpr std::uint32_t TextCopyToClipboard = 248;

// Each page inserts its tab at index 0, so building them in this order makes
// the tabs read System, Application, Process, Installation.
constexpr PageKind BuildOrder[] = {PageKind::Installation, PageKind::Process, PageKind::Application,
                                   PageKind::System};

struct PageWindow {
    HWND window = nullptr;
    HWND list = nullptr;
};

// Where the template puts the tab control and the two buttons, as distances
// from the client area's edges; kept whatever size the window takes.
struct Anchors {
    bool taken = false;
    RECT tabsMargins{}; // from the left, top, right and bottom edges
    SIZE okFromCorner{};
    SIZE copyFromCorner{};
};

// Messages from the gathering's workers, and the timer of its time limit.
constexpr UINT GatheringProgressMessage = WM_APP + 1;
constexpr UINT GatheringDoneMessage = WM_APP + 2;
constexpr UINT_PTR TimeLimitTimer = 1;

// The open window's pages, by tab index, the report they show and the layout
// its controls follow; while the report is gathered, the gathering and its
// progress bar.
struct WindowState {
    SystemReport report;
    PageWindow pages[PageCount];
    Anchors anchors;
    SystemGathering* gathering = nullptr;
    HWND progress = nullptr;
};
WindowState* state = nullptr;

INT_PTR CALLBACK pageProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

void insertColumns(HWND list, const ReportPageLayout& layout)
{
    for (std::size_t i = 0; i < layout.columns.size(); ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = ScaleForDpi(layout.columns[i].width);
        column.pszText = const_cast<wchar_t*>(GetText(layout.columns[i].textNumber));
        column.iSubItem = static_cast<int>(i);
        SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
}

void insertRows(HWND list, const ReportPage& page)
{
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    for (std::size_t row = 0; row < page.rows.size(); ++row) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(row);
        item.pszText = const_cast<wchar_t*>(L"");
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        for (std::size_t cell = 0; cell < page.rows[row].size(); ++cell) {
            item.iSubItem = static_cast<int>(cell);
            item.pszText = const_cast<wchar_t*>(asWide(page.rows[row][cell]));
            SendMessageW(list, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        }
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
}

// Puts the page window over the tab control's display area and lets its list
// fill it; the list scrolls what does not fit.
void placePage(HWND window, const PageWindow& page, bool repaint)
{
    const HWND tabs = GetDlgItem(window, IDC_SYSINFO_TABS);
    RECT area{};
    GetClientRect(tabs, &area);
    SendMessageW(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    MapWindowPoints(tabs, window, reinterpret_cast<POINT*>(&area), 2);
    MoveWindow(page.window, area.left, area.top, area.right - area.left, area.bottom - area.top, repaint);
    if (!page.list)
        return;
    RECT client{};
    GetClientRect(page.window, &client);
    MoveWindow(page.list, 0, 0, client.right, client.bottom, repaint);
}

// The tab, the page window over the tab's display area, and its list.
PageWindow createPage(HWND window, PageKind kind, const ReportPage& page)
{
    const ReportPageLayout& layout = PageLayout(kind);
    const HWND tabs = GetDlgItem(window, IDC_SYSINFO_TABS);
    TCITEMW tab{};
    tab.mask = TCIF_TEXT;
    tab.pszText = const_cast<wchar_t*>(GetText(layout.captionText));
    SendMessageW(tabs, TCM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&tab));

    PageWindow created;
    created.window =
        CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(layout.dialogId), window, pageProc, 0);
    if (!created.window)
        return created;
    placePage(window, created, false);
    ShowWindow(created.window, kind == PageKind::System ? SW_SHOW : SW_HIDE);

    RECT client{};
    GetClientRect(created.window, &client);
    created.list =
        CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, client.right,
                        client.bottom, created.window, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!created.list)
        return created;
    SendMessageW(created.list, WM_SETFONT, SendMessageW(created.window, WM_GETFONT, 0, 0), FALSE);
    insertColumns(created.list, layout);
    insertRows(created.list, page);
    return created;
}

void showPage(std::size_t index)
{
    for (std::size_t i = 0; i < PageCount; ++i) {
        if (i != index && state->pages[i].window)
            ShowWindow(state->pages[i].window, SW_HIDE);
    }
    if (state->pages[index].window)
        ShowWindow(state->pages[index].window, SW_SHOW);
}

RECT childRect(HWND window, int id)
{
    RECT rect{};
    GetWindowRect(GetDlgItem(window, id), &rect);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// Notes where the template puts the controls, relative to the client area.
Anchors takeAnchors(HWND window)
{
    RECT client{};
    GetClientRect(window, &client);
    const RECT tabs = childRect(window, IDC_SYSINFO_TABS);
    const RECT ok = childRect(window, IDOK);
    const RECT copy = childRect(window, IDC_SYSINFO_COPY);
    Anchors anchors;
    anchors.taken = true;
    anchors.tabsMargins = {tabs.left, tabs.top, client.right - tabs.right, client.bottom - tabs.bottom};
    anchors.okFromCorner = {client.right - ok.left, client.bottom - ok.top};
    anchors.copyFromCorner = {client.right - copy.left, client.bottom - copy.top};
    return anchors;
}

// The progress bar lies across the middle of the tab control's area, half as
// wide, while the report is gathered.
void centreProgressBar(HWND window, HWND bar)
{
    const RECT area = childRect(window, IDC_SYSINFO_TABS);
    const int width = (area.right - area.left) / 2;
    const int height = GetSystemMetrics(SM_CYVSCROLL);
    SetWindowPos(bar, HWND_TOP, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2, width, height, SWP_NOACTIVATE);
}

HWND createProgressBar(HWND window)
{
    const HWND bar = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, window,
                                     nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(bar, PBM_SETRANGE32, 0, GatheringStepCount);
    centreProgressBar(window, bar);
    return bar;
}

void moveToCorner(HWND window, int id, SIZE fromCorner, const RECT& client)
{
    SetWindowPos(GetDlgItem(window, id), nullptr, client.right - fromCorner.cx, client.bottom - fromCorner.cy,
                 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The tab control takes the client area but for the template's margins, the
// buttons keep their place at the bottom right, and the pages and their lists
// follow the tab control.
void followSize(HWND window)
{
    const Anchors& anchors = state->anchors;
    if (!anchors.taken)
        return;
    RECT client{};
    GetClientRect(window, &client);
    const RECT& m = anchors.tabsMargins;
    const int width = client.right - m.left - m.right;
    const int height = client.bottom - m.top - m.bottom;
    MoveWindow(GetDlgItem(window, IDC_SYSINFO_TABS), m.left, m.top, width > 0 ? width : 0,
               height > 0 ? height : 0, TRUE);
    moveToCorner(window, IDOK, anchors.okFromCorner, client);
    moveToCorner(window, IDC_SYSINFO_COPY, anchors.copyFromCorner, client);
    for (const PageWindow& page : state->pages) {
        if (page.window)
            placePage(window, page, TRUE);
    }
    if (state->progress)
        centreProgressBar(window, state->progress);
}

// OK and Copy to Clipboard wait for the report; closing does not.
void enableReportButtons(HWND window, bool enabled)
{
    EnableWindow(GetDlgItem(window, IDOK), enabled);
    EnableWindow(GetDlgItem(window, IDC_SYSINFO_COPY), enabled);
}

void startGathering(HWND window)
{
    enableReportButtons(window, false);
    state->progress = createProgressBar(window);
    state->gathering = StartSystemGathering(window, GatheringProgressMessage, GatheringDoneMessage);
    SetTimer(window, TimeLimitTimer, SystemGatheringTimeLimit(), nullptr);
}

void showReport(HWND window)
{
    for (PageKind kind : BuildOrder)
        state->pages[static_cast<std::size_t>(kind)] = createPage(window, kind, state->report.page(kind));
    SendMessageW(GetDlgItem(window, IDC_SYSINFO_TABS), TCM_SETCURSEL, 0, 0);
    SetWindowTextW(window, GetText(TextSystemInformation));
}

// When every step is done, or at the time limit with what was gathered by
// then: a probe that hangs leaves its rows out.
void finishGathering(HWND window)
{
    if (!state->gathering)
        return;
    KillTimer(window, TimeLimitTimer);
    state->report = FinishSystemGathering(state->gathering);
    state->gathering = nullptr;
    if (state->progress) {
        DestroyWindow(state->progress);
        state->progress = nullptr;
    }
    showReport(window);
    enableReportButtons(window, true);
}

void onGatheringProgress(WPARAM stepsDone)
{
    if (state->progress)
        SendMessageW(state->progress, PBM_SETPOS, stepsDone, 0);
}

// Closed while gathering: the workers finish on their own and tell no one.
void onDestroy(HWND window)
{
    KillTimer(window, TimeLimitTimer);
    if (state->gathering) {
        AbandonSystemGathering(state->gathering);
        state->gathering = nullptr;
    }
}

void onInitDialog(HWND window)
{
    SetWindowTextW(window, GetText(TextRetrieving));
    SetDialogIcons(window);
    SetDlgItemTextW(window, IDOK, GetText(TextOk));
    SetDlgItemTextW(window, IDC_SYSINFO_COPY, GetText(TextCopyToClipboard));
    // At a large scale on a small screen the template is larger than the
    // screen: the window then shrinks and its controls follow.
    state->anchors = takeAnchors(window);
    FitToWorkArea(window);
    CenterOnDesktop(window);
    acceptControllerNavigation(window);
    startGathering(window);
}

void onNotify(HWND window, const NMHDR& header)
{
    if (header.idFrom != IDC_SYSINFO_TABS || header.code != TCN_SELCHANGE)
        return;
    const LRESULT index = SendMessageW(GetDlgItem(window, IDC_SYSINFO_TABS), TCM_GETCURSEL, 0, 0);
    if (index >= 0 && index < static_cast<LRESULT>(PageCount))
        showPage(static_cast<std::size_t>(index));
}

void onCommand(HWND window, int id)
{
    const bool gathering = state->gathering != nullptr;
    switch (id) {
    case IDOK:
        if (!gathering)
            EndDialog(window, id);
        break;
    case IDCANCEL: EndDialog(window, id); break;
    // Nothing to tell the player when the clipboard is busy: the old content stays.
    case IDC_SYSINFO_COPY:
        if (!gathering)
            CopyReportToClipboard(state->report, GetActiveWindow());
        break;
    default: break;
    }
}

INT_PTR CALLBACK systemInformationProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: onInitDialog(window); return TRUE;
    case WM_NOTIFY: onNotify(window, *reinterpret_cast<const NMHDR*>(lParam)); return TRUE;
    case WM_SIZE: followSize(window); return TRUE;
    case WM_COMMAND: onCommand(window, LOWORD(wParam)); return TRUE;
    case WM_CLOSE: EndDialog(window, IDCANCEL); return TRUE;
    case GatheringProgressMessage: onGatheringProgress(wParam); return TRUE;
    case GatheringDoneMessage: finishGathering(window); return TRUE;
    case WM_TIMER:
        if (wParam == TimeLimitTimer)
            finishGathering(window);
        return TRUE;
    case WM_DESTROY: onDestroy(window); return FALSE;
    default: return FALSE;
    }
}

} // namespace

INT_PTR openSystemInformation(HWND owner)
{
    WindowState opened;
    WindowState* const outer = state;
    state = &opened;
    const INT_PTR result = DialogBoxParamW(
        GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_SYSTEM_INFORMATION), owner, systemInformationProc, 0);
    state = outer;
    return result;
}
