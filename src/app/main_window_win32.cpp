#include "app/main_window_win32.h"

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <cwchar>

#include "app/deferred_start_up_win32.h"
#include "gamepad/gamepad_window_win32.h"
#include "gamepad/navigation_pad_win32.h"
#include "resources/resource.h"
#include "settings/general_window_win32.h"
#include "shell/app_state_win32.h"
#include "shell/controller_navigation_win32.h"
#include "shell/dialog_texts_win32.h"
#include "shell/message_dialog_win32.h"
#include "shell/text_table_win32.h"
#include "shell/window_helpers_win32.h"
#include "sysinfo/dxdiag_ahead.h"
#include "sysinfo/sysinfo_window_win32.h"
#include "sysinfo/system_gathering_win32.h"

namespace {

constexpr ControlText ControlTexts[] = {
    {IDC_MAIN_LANGUAGE_LABEL, 101},
    {IDC_MAIN_GENERAL, 106},
    {IDC_MAIN_GAMEPAD, 107},
    {IDC_MAIN_SYSTEM_INFORMATION, 179},
    {IDOK, 108},
};
constexpr std::uint32_t FirstLanguageName = 102; // 102..105, by LanguageIndex

// Runs out when DxDiag is to be asked ahead (sysinfo/dxdiag_ahead.h says when).
constexpr UINT_PTR DxDiagAheadTimer = 1;

constexpr int BannerLeft = 12;
constexpr int BannerTop = 8;
// Where the background does not reach (a client area larger than the picture
// at high DPI), the window shows this colour of the picture's dark edge.
constexpr COLORREF BackgroundEdgeColour = RGB(8, 10, 20);

void ApplyLanguage(HWND window)
{
    LoadStringTable(LanguageIndex()); // a failed load leaves every text empty

    wchar_t caption[256];
    std::swprintf(caption, 256, L"%ls%ls", GetText(100), IsLatestVariant() ? L" LATEST" : L"");
    SetWindowTextW(window, caption);

    setControlTexts(window, ControlTexts);

    const HWND languages = GetDlgItem(window, IDC_MAIN_LANGUAGE);
    SendMessageW(languages, CB_RESETCONTENT, 0, 0);
    for (std::uint8_t index = 0; index < LanguageCount; ++index)
        SendMessageW(languages, CB_INSERTSTRING, index,
                     reinterpret_cast<LPARAM>(GetText(FirstLanguageName + index)));
    SendMessageW(languages, CB_SETCURSEL, LanguageIndex(), 0);
}

// Takes the combo box's choice as the LanguageIndex. No selection (which a
// language outside the four would give) leaves the index as it is.
void takeChosenLanguage(HWND window)
{
    const LRESULT chosen = SendDlgItemMessageW(window, IDC_MAIN_LANGUAGE, CB_GETCURSEL, 0, 0);
    if (chosen >= 0 && chosen < LanguageCount)
        SetLanguageIndex(static_cast<std::uint8_t>(chosen));
}

bool languageChanged()
{
    return std::memcmp(&LanguageSettingsAsRead(), &CurrentLanguageSettings(), sizeof(LanguageSettings)) != 0;
}

void ConfirmAndClose(HWND window, Leaving way)
{
    takeChosenLanguage(window);
    if (askBeforeLeaving(window, way, languageChanged(), SaveLanguageSettings))
        EndDialog(window, IDOK);
}

// True while one of the three windows runs: a click that was already queued
// (a double click, or a key pressed twice) must not open a second one.
bool windowOpen = false;

// Hides the main window while another window of the tool runs.
void runHidden(HWND window, INT_PTR (*open)(HWND))
{
    if (windowOpen)
        return;
    windowOpen = true;
    CompleteStartUp();
    ShowWindow(window, SW_HIDE);
    open(window); // each window handles its own result
    ShowWindow(window, SW_SHOW);
    windowOpen = false;
}

// (Re)starts the wait after which DxDiag is asked ahead, unless it was.
void scheduleDxDiagAhead(HWND window, DxDiagAheadMoment moment)
{
    if (const auto delay = dxdiagAheadDelay(moment, EarlyDxDiagStarted()))
        SetTimer(window, DxDiagAheadTimer, *delay, nullptr);
}

void onInitDialog(HWND window)
{
    SetDialogIcons(window);
    ApplyLanguage(window);
    CenterOnDesktop(window);
    acceptControllerNavigation(window);
    scheduleDxDiagAhead(window, DxDiagAheadMoment::MainWindowOpened);
}

void askDxDiagAhead(HWND window)
{
    KillTimer(window, DxDiagAheadTimer);
    StartEarlyDxDiag();
}

void onCommand(HWND window, int id, int code)
{
    switch (id) {
    case IDC_MAIN_GENERAL: runHidden(window, openGeneralSettings); break;
    case IDC_MAIN_GAMEPAD: runHidden(window, openGamepadSettings); break;
    case IDC_MAIN_SYSTEM_INFORMATION: runHidden(window, openSystemInformation); break;
    case IDOK: ConfirmAndClose(window, Leaving::Accepting); break;
    }
    if (id == IDC_MAIN_LANGUAGE && code == CBN_SELCHANGE) {
        takeChosenLanguage(window);
        ApplyLanguage(window);
        InvalidateRect(window, nullptr, FALSE);
    }
}

// The background's bottom-right corner meets the client area's bottom-right
// corner; the banner lies over it near the top-left.
void onPaint(HWND window)
{
    PAINTSTRUCT paint;
    if (const HDC dc = BeginPaint(window, &paint)) {
        PaintBackground(window, dc, IDB_MAIN_BACKGROUND, BackgroundEdgeColour);
        PaintPicture(dc, IDB_MAIN_BANNER, BannerLeft, BannerTop);
        EndPaint(window, &paint);
    }
    // Once the window stands, the rest of start-up, and the controller is
    // read from then on.
    CompleteStartUp();
    startControllerNavigation(readNavigationPad);
}

HBRUSH onControlColourStatic(HDC dc)
{
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    return TransparentStaticBrush();
}

INT_PTR CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: onInitDialog(window); return TRUE;
    case WM_COMMAND: onCommand(window, LOWORD(wParam), HIWORD(wParam)); return TRUE;
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<INT_PTR>(onControlColourStatic(reinterpret_cast<HDC>(wParam)));
    case WM_PAINT: onPaint(window); return TRUE;
    // A window this one opened waits for the player.
    case WM_ENTERIDLE: scheduleDxDiagAhead(window, DxDiagAheadMoment::OpenedWindowWaiting); return TRUE;
    case WM_TIMER:
        if (wParam == DxDiagAheadTimer)
            askDxDiagAhead(window);
        return TRUE;
    case WM_CLOSE: ConfirmAndClose(window, Leaving::Discarding); return TRUE;
    default: return FALSE;
    }
}

} // namespace

INT_PTR runMainWindow()
{
    const INT_PTR result =
        DialogBoxParamW(AppInstance(), MAKEINTRESOURCEW(IDD_MAIN), nullptr, mainWindowProc, 0);
    stopControllerNavigation();
    return result;
}
