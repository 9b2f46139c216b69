#include "shell/controller_navigation_win32.h"

#include <commctrl.h>

#include <cstdint>

namespace {

// Often enough that a press feels immediate, seldom enough to cost nothing.
constexpr UINT ReadingIntervalMilliseconds = 40;

UINT_PTR readingTimer = 0;
NavigationPadReader startReader = nullptr;
NavigationPadReader replacementReader = nullptr;
NavigationState state;
bool acting = false;
// Whether the controller has acted, and when it last did.
bool controllerUsed = false;
DWORD lastActionTime = 0;
// The window last told to draw its focus.
HWND focusShownIn = nullptr;

// The mark of a window that accepts the controller: a property named by a
// global atom of our own, which the system drops with the window.
ATOM acceptanceAtom()
{
    static const ATOM atom = GlobalAddAtomW(L"ORVANTE.ControllerNavigation");
    return atom;
}

// The foreground window, when it belongs to this thread, accepts the
// controller and is not disabled under a window of its own.
HWND navigableWindow()
{
    const HWND foreground = GetForegroundWindow();
    if (!foreground || GetWindowThreadProcessId(foreground, nullptr) != GetCurrentThreadId())
        return nullptr;
    const HWND window = GetAncestor(foreground, GA_ROOT);
    if (!window || !acceptanceAtom() || !GetPropW(window, MAKEINTATOM(acceptanceAtom())) ||
        !IsWindowEnabled(window))
        return nullptr;
    return window;
}

HWND focusIn(HWND window)
{
    const HWND focus = GetFocus();
    return focus && IsChild(window, focus) ? focus : nullptr;
}

bool hasClass(HWND control, const wchar_t* name)
{
    wchar_t found[32] = {};
    return control && GetClassNameW(control, found, 32) > 0 && lstrcmpiW(found, name) == 0;
}

// The combo box of the focused control: the control itself, or the combo box
// whose edit field it is.
HWND comboOf(HWND focus)
{
    if (hasClass(focus, WC_COMBOBOXW))
        return focus;
    const HWND parent = focus ? GetParent(focus) : nullptr;
    return hasClass(parent, WC_COMBOBOXW) ? parent : nullptr;
}

UINT dialogCode(HWND control, WPARAM key)
{
    MSG message{control, WM_KEYDOWN, key, 1, 0, {0, 0}};
    return static_cast<UINT>(SendMessageW(control, WM_GETDLGCODE, key, reinterpret_cast<LPARAM>(&message)));
}

void pressKey(HWND control, WPARAM key)
{
    SendMessageW(control, WM_KEYDOWN, key, 1);
    SendMessageW(control, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
}

void moveFocus(HWND window, HWND control)
{
    if (control)
        SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
}

// The next control of the focused one's group, as the arrow keys go, passing
// over labels and group boxes, which would hide where the focus is.
HWND nextInGroup(HWND window, HWND focus, bool previous)
{
    HWND next = focus;
    for (int step = 0; step < 64; ++step) {
        next = GetNextDlgGroupItem(window, next, previous);
        if (!next || next == focus)
            return nullptr;
        if (!(dialogCode(next, 0) & DLGC_STATIC))
            return next;
    }
    return nullptr;
}

// Left and right: the focused control's own arrows where it takes them (a
// closed drop-down list changes its choice, a tab control its page),
// otherwise a move within the group, as the dialog manager does.
void arrow(HWND window, HWND focus, WPARAM key)
{
    if (!focus)
        return;
    if (dialogCode(focus, key) & DLGC_WANTARROWS)
        pressKey(focus, key);
    else
        moveFocus(window, nextInGroup(window, focus, key == VK_LEFT));
}

// Closing a list by message counts as cancelling it, which may put back the
// entry it showed when it opened; the entry the player moved to is kept, as
// Enter keeps it, and the window told as for any change of choice.
void closeListKeepingChoice(HWND list)
{
    const LRESULT chosen = SendMessageW(list, CB_GETCURSEL, 0, 0);
    SendMessageW(list, CB_SHOWDROPDOWN, FALSE, 0);
    if (chosen == CB_ERR || SendMessageW(list, CB_GETCURSEL, 0, 0) == chosen)
        return;
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(chosen), 0);
    SendMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
}

// Space on a button or check box; a drop-down list opens, or closes keeping
// the entry chosen in it. The press is posted: a button may open a window.
void activate(HWND focus, HWND list, bool listOpen)
{
    if (list && listOpen) {
        closeListKeepingChoice(list);
        return;
    }
    if (list) {
        SendMessageW(list, CB_SHOWDROPDOWN, TRUE, 0);
        return;
    }
    constexpr UINT Pressable = DLGC_BUTTON | DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON | DLGC_RADIOBUTTON;
    if (focus && (dialogCode(focus, VK_SPACE) & Pressable))
        PostMessageW(focus, BM_CLICK, 0, 0);
}

// Escape: an open list closes; otherwise the window's own Cancel path runs,
// with whatever it asks. Posted, as that may open a message dialog.
void cancel(HWND window, HWND list, bool listOpen)
{
    if (listOpen) {
        SendMessageW(list, CB_SHOWDROPDOWN, FALSE, 0);
        return;
    }
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, IDCANCEL)));
}

// The page shown beside the tab control: a visible child dialog.
HWND shownPage(HWND window)
{
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (IsWindowVisible(child) && (GetWindowLongPtrW(child, GWL_EXSTYLE) & WS_EX_CONTROLPARENT))
            return child;
    }
    return nullptr;
}

// After a page turn the focus goes to the page's first control, so that the
// player sees where it is; a page without one leaves it on the tabs.
void focusShownPage(HWND window, HWND tabs)
{
    const HWND page = shownPage(window);
    const HWND first = page ? GetNextDlgTabItem(page, nullptr, FALSE) : nullptr;
    const bool usable = first && IsChild(page, first) && IsWindowVisible(first) && IsWindowEnabled(first) &&
                        (GetWindowLongPtrW(first, GWL_STYLE) & WS_TABSTOP);
    moveFocus(window, usable ? first : tabs);
}

// The next or previous tab of the window's tab control, with the
// notifications a click on it sends, so the window shows its page.
void turnPage(HWND window, int step)
{
    const HWND tabs = FindWindowExW(window, nullptr, WC_TABCONTROLW, nullptr);
    const int count = tabs ? TabCtrl_GetItemCount(tabs) : 0;
    if (count < 2)
        return;
    const int current = TabCtrl_GetCurSel(tabs);
    const int next = ((current < 0 ? 0 : current) + step + count) % count;
    NMHDR header{tabs, static_cast<UINT_PTR>(GetDlgCtrlID(tabs)), static_cast<UINT>(TCN_SELCHANGING)};
    const HWND parent = GetParent(tabs);
    if (SendMessageW(parent, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header)))
        return; // the window keeps its page
    TabCtrl_SetCurSel(tabs, next);
    header.code = static_cast<UINT>(TCN_SELCHANGE);
    SendMessageW(parent, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
    focusShownPage(window, tabs);
}

// The focused control, and its drop-down list if it has one.
struct Focus {
    HWND control;
    HWND list;
    bool listOpen;
};

Focus focusOf(HWND window)
{
    const HWND control = focusIn(window);
    const HWND list = comboOf(control);
    return {control, list, list && SendMessageW(list, CB_GETDROPPEDSTATE, 0, 0) != FALSE};
}

void perform(HWND window, const Focus& focused, NavigationAction action)
{
    const HWND focus = focused.control;
    const HWND list = focused.list;
    const bool listOpen = focused.listOpen;
    switch (action) {
    case NavigationAction::None: break;
    case NavigationAction::TabNext:
    case NavigationAction::TabPrevious:
        moveFocus(window, GetNextDlgTabItem(window, focus, action == NavigationAction::TabPrevious));
        break;
    case NavigationAction::Up:
    case NavigationAction::Down:
        if (list)
            pressKey(list, action == NavigationAction::Up ? VK_UP : VK_DOWN);
        break;
    case NavigationAction::Left: arrow(window, focus, VK_LEFT); break;
    case NavigationAction::Right: arrow(window, focus, VK_RIGHT); break;
    case NavigationAction::Activate: activate(focus, list, listOpen); break;
    case NavigationAction::Cancel: cancel(window, list, listOpen); break;
    case NavigationAction::NextPage: turnPage(window, 1); break;
    case NavigationAction::PreviousPage: turnPage(window, -1); break;
    }
}

// True while the controller is what the player used last: no key or mouse
// input since its last action.
bool controllerUsedLast()
{
    if (!controllerUsed)
        return false;
    LASTINPUTINFO input{sizeof input, 0};
    if (!GetLastInputInfo(&input))
        return true; // nothing tells otherwise
    return static_cast<std::int32_t>(lastActionTime - input.dwTime) >= 0;
}

// Focus rectangles are hidden until the keyboard is used; a controller
// counts as one, also in each window it goes on to open. A window is told
// once; the system passes it on to the window's controls.
void showFocus(HWND window)
{
    if (window == focusShownIn)
        return;
    focusShownIn = window;
    SendMessageW(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

void readAndAct()
{
    const HWND window = navigableWindow();
    if (!window) {
        restartNavigation(state);
        return;
    }
    NavigationPad pad{};
    const NavigationPadReader reader = replacementReader ? replacementReader : startReader;
    if (!reader || !reader(pad))
        pad = NavigationPad{}; // nothing connected reads as nothing held
    const DWORD now = GetTickCount();
    const Focus focus = focusOf(window);
    const NavigationAction action = nextNavigationAction(state, pad, now, focus.listOpen);
    if (action != NavigationAction::None) {
        controllerUsed = true;
        lastActionTime = now;
    }
    if (controllerUsedLast())
        showFocus(window);
    perform(window, focus, action);
}

void CALLBACK onReadingTimer(HWND, UINT, UINT_PTR, DWORD)
{
    // An action that sends a message may meet a loop that dispatches this
    // timer again.
    if (acting)
        return;
    acting = true;
    readAndAct();
    acting = false;
}

} // namespace

void startControllerNavigation(NavigationPadReader reader)
{
    if (readingTimer)
        return;
    startReader = reader;
    restartNavigation(state);
    readingTimer = SetTimer(nullptr, 0, ReadingIntervalMilliseconds, onReadingTimer);
}

void stopControllerNavigation()
{
    if (readingTimer)
        KillTimer(nullptr, readingTimer);
    readingTimer = 0;
    restartNavigation(state);
    focusShownIn = nullptr;
}

void setNavigationPadReader(NavigationPadReader reader)
{
    replacementReader = reader;
}

// A window that cannot be marked is simply not driven by the controller.
void acceptControllerNavigation(HWND window)
{
    if (acceptanceAtom())
        SetPropW(window, MAKEINTATOM(acceptanceAtom()), reinterpret_cast<HANDLE>(1));
}
