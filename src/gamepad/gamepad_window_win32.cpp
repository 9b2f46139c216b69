#include "gamepad/gamepad_window_win32.h"

#include <dbt.h>

#include <cwchar>

#include "gamepad/assignment_capture.h"
#include "gamepad/gamepad_devices_win32.h"
#include "gamepad/gamepad_test_window_win32.h"
#include "gamepad/gamepad_window_controllers_win32.h"
#include "gamepad/gamepad_window_rows_win32.h"
#include "gamepad/pad_settings.h"
#include "gamepad/pad_settings_file_win32.h"
#include "resources/resource.h"
#include "shell/app_state_win32.h"
#include "shell/dialog_texts_win32.h"
#include "shell/message_dialog_win32.h"
#include "shell/window_helpers_win32.h"

namespace {

constexpr UINT_PTR CaptureTimer = 1;
constexpr UINT OpeningPollMilliseconds = 100;
constexpr UINT AfterTestPollMilliseconds = 30;
// Plugging a controller in or pulling it out sends a burst of device-change
// messages; the list is rebuilt once, when none came for this long.
constexpr UINT_PTR DeviceSettleTimer = 3;
constexpr UINT DeviceSettleMilliseconds = 250;
// The device interface class of every HID controller, the XInput pads among
// them.
constexpr GUID HidInterfaceClass = {
    0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

constexpr ControlText ControlTexts[] = {
    {IDC_GAMEPAD_ACTIVE_LABEL, 119},
    {IDC_GAMEPAD_MENU_TITLE, 120},
    {IDC_GAMEPAD_MOVEMENT_TITLE, 121},
    {IDC_GAMEPAD_CAMERA_TITLE, 122},
    {IDC_GAMEPAD_OTHER_TITLE, 123},
    {IDC_GAMEPAD_ACTION_MENU_LABEL, 126},
    {IDC_GAMEPAD_CONFIRM_LABEL, 127},
    {IDC_GAMEPAD_CANCEL_LABEL, 128},
    {IDC_GAMEPAD_MAIN_MENU_LABEL, 129},
    {IDC_GAMEPAD_AUTORUN_LABEL, 130},
    {IDC_GAMEPAD_CHAT_LABEL, 131},
    {IDC_GAMEPAD_TARGET_LOCK_LABEL, 132},
    {IDC_GAMEPAD_MODE_LABEL, 133},
    {IDC_GAMEPAD_EMOTES_LABEL, 134},
    {IDC_GAMEPAD_VIEW_LABEL, 135},
    {IDC_GAMEPAD_MAP_LABEL, 136},
    {IDC_GAMEPAD_STATUS_LABEL, 137},
    {IDC_GAMEPAD_CALIBRATION_LABEL, 124},
    {IDC_GAMEPAD_VIBRATION, 240},
    {IDC_GAMEPAD_BACKGROUND, 125},
    {IDC_GAMEPAD_TEST, 138},
    {IDOK, 108},
};
constexpr std::uint32_t CaptionText = 118;
constexpr std::uint32_t NoGamepadMessage = 147;

struct WindowState {
    CaptureState capture;
    HDEVNOTIFY deviceNotification;
    HBRUSH hollowBrush;
    HBRUSH greyBrush;
};
WindowState state{};

void fillCalibrationList(HWND window)
{
    const HWND list = GetDlgItem(window, IDC_GAMEPAD_CALIBRATION);
    for (unsigned step = 0; step < CalibrationStepCount; ++step) {
        wchar_t text[100];
        std::swprintf(text, 100, L"%3.1lf", step * 0.1);
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    // A step outside the list leaves it without a choice.
    SendMessageW(list, CB_SETCURSEL,
                 static_cast<WPARAM>(static_cast<int>(workingPadSettings().calibrationStep)), 0);
}

void listenForDeviceChanges(HWND window)
{
    // Arrival and removal of HID controllers; other device changes come as
    // DBT_DEVNODES_CHANGED to every top-level window without asking.
    DEV_BROADCAST_DEVICEINTERFACE_W filter{};
    filter.dbcc_size = sizeof filter;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = HidInterfaceClass;
    state.deviceNotification = RegisterDeviceNotificationW(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
}

// Returns FALSE: the focus is placed on the first assignment box here.
BOOL onInitDialog(HWND window)
{
    SetDialogIcons(window);
    setDialogTexts(window, CaptionText, ControlTexts);

    createGamepadManager(window);
    if (gamepadDeviceCount() == 0) {
        releaseGamepadManager();
        ShowMessageDialog(window, IDD_MESSAGE_OK, ErrorTitle, NoGamepadMessage);
        EndDialog(window, IDCANCEL);
        return FALSE;
    }

    const PadSettings& settings = workingPadSettings();
    showAssignmentRows(window, settings.assignments);
    fillCalibrationList(window);
    CheckDlgButton(window, IDC_GAMEPAD_BACKGROUND, settings.background ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(window, IDC_GAMEPAD_VIBRATION, settings.vibration ? BST_CHECKED : BST_UNCHECKED);
    fillControllerList(window);
    state.capture = {};
    readChosenController(window, state.capture, false);
    CenterOnDesktop(window);
    SetTimer(window, CaptureTimer, OpeningPollMilliseconds, nullptr);
    listenForDeviceChanges(window);
    focusAssignmentRow(window, state.capture.currentRow);
    return FALSE;
}

void onTimer(HWND window)
{
    selectAssignmentRow(window, state.capture.currentRow);
    pollGamepads();
    const int row = captureStep(state.capture, gamepadReading(currentGamepadDevice()), workingPadSettings());
    if (row < 0)
        return;
    // Showing the row makes it current again until the focus moves on.
    const std::uint32_t next = state.capture.currentRow;
    showAssignmentRow(window, static_cast<unsigned>(row), workingPadSettings().assignments[row]);
    focusAssignmentRow(window, next);
}

// Asks through a message dialog. Nothing is captured while it is open, and
// an input still held when it closes waits for its release first.
int askPlayer(HWND window, int dialog, std::uint32_t title, std::uint32_t message)
{
    questionOpened(state.capture);
    const int answer = ShowMessageDialog(window, dialog, title, message);
    questionClosed(state.capture);
    return answer;
}

void onDeviceChange(HWND window, WPARAM event)
{
    if (event != DBT_DEVNODES_CHANGED && event != DBT_DEVICEARRIVAL && event != DBT_DEVICEREMOVECOMPLETE)
        return;
    // Each message of a burst restarts the wait.
    SetTimer(window, DeviceSettleTimer, DeviceSettleMilliseconds, nullptr);
}

void onDevicesSettled(HWND window)
{
    KillTimer(window, DeviceSettleTimer);
    const bool wasReading = currentGamepadDevice() < gamepadDeviceCount();
    if (!rebuildGamepadDevices(window)) {
        // A rebuild is under way (its enumeration dispatched this timer):
        // look again once it has settled.
        SetTimer(window, DeviceSettleTimer, DeviceSettleMilliseconds, nullptr);
        return;
    }
    fillControllerList(window);
    readChosenController(window, state.capture, wasReading);
}

void readChoicesIntoRecord(HWND window)
{
    ControllerIdentity controller{};
    const bool listed = readControllerIdentity(controller);
    // CB_ERR: a step read from a file beyond 0.5 leaves the list without a choice.
    const auto step =
        static_cast<int>(SendDlgItemMessageW(window, IDC_GAMEPAD_CALIBRATION, CB_GETCURSEL, 0, 0));
    storeChoices(workingPadSettings(), listed ? &controller : nullptr, step,
                 IsDlgButtonChecked(window, IDC_GAMEPAD_BACKGROUND) == BST_CHECKED,
                 IsDlgButtonChecked(window, IDC_GAMEPAD_VIBRATION) == BST_CHECKED);
}

void onAccept(HWND window)
{
    readChoicesIntoRecord(window);
    if (askBeforeLeaving(window, Leaving::Accepting, padSettingsChanged(), savePadSettings, askPlayer))
        EndDialog(window, IDOK);
}

void onTestGamepad(HWND window)
{
    KillTimer(window, CaptureTimer);
    openGamepadTest(window);
    InvalidateRect(window, nullptr, TRUE);
    SetTimer(window, CaptureTimer, AfterTestPollMilliseconds, nullptr);
}

void onCommand(HWND window, int id, HWND control)
{
    switch (id) {
    case IDOK: onAccept(window); return;
    case IDC_GAMEPAD_TEST: onTestGamepad(window); return;
    case IDC_GAMEPAD_DEVICE: {
        const auto device = static_cast<std::uint32_t>(SendMessageW(control, CB_GETCURSEL, 0, 0));
        if (device != currentGamepadDevice())
            startReading(state.capture, device);
        return;
    }
    default:
        if (const int row = rowOfBox(id); row >= 0)
            state.capture.currentRow = static_cast<std::uint32_t>(row);
        return;
    }
}

void onClose(HWND window)
{
    if (!askBeforeLeaving(window, Leaving::Discarding, padSettingsChanged(), savePadSettings, askPlayer))
        return;
    KillTimer(window, CaptureTimer);
    EndDialog(window, IDCANCEL);
}

HBRUSH onControlColour(HDC context, HWND control)
{
    SetTextColor(context, RGB(0, 0, 0));
    SetBkMode(context, TRANSPARENT);
    return rowOfBox(GetDlgCtrlID(control)) >= 0 ? state.greyBrush : state.hollowBrush;
}

// Shown where a window larger than the picture is not covered by it.
constexpr COLORREF BackgroundEdge = RGB(24, 28, 40);

void drawBackground(HWND window, HDC context)
{
    PaintBackground(window, context, IDB_GAMEPAD_BACKGROUND, BackgroundEdge);
}

void onPaint(HWND window)
{
    PAINTSTRUCT paint;
    const HDC context = BeginPaint(window, &paint);
    drawBackground(window, context);
    EndPaint(window, &paint);
}

INT_PTR CALLBACK gamepadWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: return onInitDialog(window);
    case WM_TIMER:
        if (wParam == DeviceSettleTimer)
            onDevicesSettled(window);
        else
            onTimer(window);
        return TRUE;
    case WM_DEVICECHANGE: onDeviceChange(window, wParam); return TRUE;
    case WM_COMMAND: onCommand(window, LOWORD(wParam), reinterpret_cast<HWND>(lParam)); return TRUE;
    case WM_CLOSE: onClose(window); return TRUE;
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<INT_PTR>(
            onControlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    case WM_PAINT: onPaint(window); return TRUE;
    // Themed check boxes and group boxes ask for what lies behind them.
    case WM_PRINTCLIENT: drawBackground(window, reinterpret_cast<HDC>(wParam)); return TRUE;
    case WM_DESTROY:
        KillTimer(window, CaptureTimer);
        KillTimer(window, DeviceSettleTimer);
        if (state.deviceNotification) {
            UnregisterDeviceNotification(state.deviceNotification);
            state.deviceNotification = nullptr;
        }
        releaseGamepadManager();
        releaseAssignmentRowFont();
        return TRUE;
    default: return FALSE;
    }
}

} // namespace

INT_PTR openGamepadSettings(HWND parent)
{
    loadPadSettings();
    state.hollowBrush =
        TransparentStaticBrush() ? TransparentStaticBrush() : static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    state.greyBrush = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_GAMEPAD), parent,
                           gamepadWindowProc, 0);
}
