#include "gamepad/gamepad_window_win32.h"

#include <dbt.h>

#include <cstring>
#include <cwchar>

#include "gamepad/gamepad_devices_win32.h"
#include "gamepad/gamepad_test_window_win32.h"
#include "gamepad/input_table.h"
#include "gamepad/pad_settings.h"
#include "gamepad/pad_settings_file_win32.h"
#include "resources/resource.h"
#include "shell/app_state_win32.h"
#include "shell/dialog_texts_win32.h"
#include "shell/message_dialog_win32.h"
#include "shell/text_table_win32.h"
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
constexpr std::size_t DeviceNameCapacity = 128; // 127 characters and the terminator
constexpr std::size_t InputNameCapacity = 64;

// The assignment boxes in row order: up, down, left, right of the menu,
// movement and camera groups, then the twelve single functions.
constexpr int RowBoxes[AssignmentRowCount] = {
    IDC_GAMEPAD_MENU_UP,     IDC_GAMEPAD_MENU_DOWN,     IDC_GAMEPAD_MENU_LEFT,     IDC_GAMEPAD_MENU_RIGHT,
    IDC_GAMEPAD_MOVEMENT_UP, IDC_GAMEPAD_MOVEMENT_DOWN, IDC_GAMEPAD_MOVEMENT_LEFT, IDC_GAMEPAD_MOVEMENT_RIGHT,
    IDC_GAMEPAD_CAMERA_UP,   IDC_GAMEPAD_CAMERA_DOWN,   IDC_GAMEPAD_CAMERA_LEFT,   IDC_GAMEPAD_CAMERA_RIGHT,
    IDC_GAMEPAD_ACTION_MENU, IDC_GAMEPAD_CONFIRM,       IDC_GAMEPAD_CANCEL,        IDC_GAMEPAD_MAIN_MENU,
    IDC_GAMEPAD_AUTORUN,     IDC_GAMEPAD_CHAT,          IDC_GAMEPAD_TARGET_LOCK,   IDC_GAMEPAD_MODE,
    IDC_GAMEPAD_EMOTES,      IDC_GAMEPAD_VIEW,          IDC_GAMEPAD_MAP,           IDC_GAMEPAD_STATUS,
};

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
constexpr std::uint32_t ButtonText = 153;
constexpr std::uint32_t AxisText = 152;
constexpr std::uint32_t NoGamepadMessage = 147;

// The controller being read, by its identity, so that it is found again
// after the list is rebuilt.
struct ChosenController {
    bool known;
    GUID instance;
    GUID product;
};

struct WindowState {
    std::uint32_t currentRow;
    bool waitingForRelease;
    // The axis halves the current controller rested at when the window
    // started reading it: never captured, never waited for.
    AxisHalfMask restingHalves;
    bool restingHalvesTaken;
    bool questionOpen; // no capture while a question or error of the window is open
    ChosenController chosen;
    HDEVNOTIFY deviceNotification;
    wchar_t inputNames[InputCount][InputNameCapacity]; // InputNameTable
    HBRUSH hollowBrush;
    HBRUSH greyBrush;
    HFONT rowFont; // Japanese names in the assignment boxes; null otherwise
};
WindowState state{};

int rowOfBox(int id)
{
    for (unsigned row = 0; row < AssignmentRowCount; ++row) {
        if (RowBoxes[row] == id)
            return static_cast<int>(row);
    }
    return -1;
}

void buildInputNameTable()
{
    for (unsigned input = 0; input < InputCount; ++input) {
        const InputNameParts parts = describeInput(input);
        const wchar_t* format = parts.kind == InputNameParts::Button         ? L"%ls %02u"
                                : parts.kind == InputNameParts::AxisNegative ? L"%ls %02u / -"
                                                                             : L"%ls %02u / +";
        const wchar_t* word = GetText(parts.kind == InputNameParts::Button ? ButtonText : AxisText);
        // A name too long for its slot is cut; the table keeps its terminator.
        std::swprintf(state.inputNames[input], InputNameCapacity, format, word, parts.number);
        state.inputNames[input][InputNameCapacity - 1] = 0;
    }
}

// A byte of 92 or more read from a file names nothing.
const wchar_t* inputName(std::uint8_t input)
{
    return input < InputCount ? state.inputNames[input] : L"";
}

void showRow(HWND window, unsigned row)
{
    SetDlgItemTextW(window, RowBoxes[row], inputName(workingPadSettings().assignments[row]));
}

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

void fillDeviceList(HWND window)
{
    const HWND list = GetDlgItem(window, IDC_GAMEPAD_DEVICE);
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    for (std::uint32_t device = 0; device < gamepadDeviceCount(); ++device) {
        wchar_t name[DeviceNameCapacity];
        std::wcsncpy(name, gamepadDeviceName(device), DeviceNameCapacity - 1);
        name[DeviceNameCapacity - 1] = 0;
        // Never leave half of a surrogate pair at the cut.
        const std::size_t length = std::wcslen(name);
        if (length == DeviceNameCapacity - 1 && name[length - 1] >= 0xD800 && name[length - 1] <= 0xDBFF)
            name[length - 1] = 0;
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }
}

// The last controller of the list with both identities, or -1.
int findDevice(const void* instance, const void* product)
{
    int found = -1;
    for (std::uint32_t device = 0; device < gamepadDeviceCount(); ++device) {
        GUID deviceInstance{};
        GUID deviceProduct{};
        if (gamepadDeviceIdentity(device, deviceInstance, deviceProduct) &&
            std::memcmp(&deviceInstance, instance, sizeof deviceInstance) == 0 &&
            std::memcmp(&deviceProduct, product, sizeof deviceProduct) == 0)
            found = static_cast<int>(device);
    }
    return found;
}

// The controller of the working record, or the first one.
std::uint32_t savedOrFirstDevice()
{
    const PadSettings& settings = workingPadSettings();
    const int saved = findDevice(&settings.controllerInstance, &settings.controllerProduct);
    return saved >= 0 ? static_cast<std::uint32_t>(saved) : 0;
}

// Makes `device` the one read and reads it at once for the axis halves it
// rests at. A device not in the list has them taken at its first reading.
void startReading(std::uint32_t device)
{
    setCurrentGamepadDevice(device);
    pollGamepads();
    const ControllerReading* reading = gamepadReading(device);
    state.restingHalvesTaken = reading != nullptr;
    state.restingHalves = reading ? heldAxisHalves(*reading) : 0;
    GUID instance{};
    GUID product{};
    if (gamepadDeviceIdentity(device, instance, product))
        state.chosen = {true, instance, product};
}

void showChosenDevice(HWND window)
{
    const std::uint32_t device = currentGamepadDevice();
    SendDlgItemMessageW(window, IDC_GAMEPAD_DEVICE, CB_SETCURSEL,
                        device < gamepadDeviceCount() ? device : static_cast<WPARAM>(-1), 0);
}

// Edit controls do not borrow glyphs from other fonts everywhere (Wine's do
// not), so Japanese input names get a Japanese font. It is a twelfth larger
// than the dialog's: Japanese fonts draw digits and Latin capitals smaller
// than the dialog's font does at the same size, and the names are mostly
// those ("軸 02 / -").
void useJapaneseFontForRows(HWND window)
{
    if (LanguageIndex() != Japanese)
        return;
    LOGFONTW font{};
    const auto dialogFont = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    if (!dialogFont || !GetObjectW(dialogFont, sizeof font, &font))
        return;
    font.lfHeight = MulDiv(font.lfHeight, 13, 12);
    lstrcpynW(font.lfFaceName, L"MS UI Gothic", LF_FACESIZE);
    font.lfCharSet = SHIFTJIS_CHARSET;
    state.rowFont = CreateFontIndirectW(&font);
    for (const int box : RowBoxes)
        SendDlgItemMessageW(window, box, WM_SETFONT, reinterpret_cast<WPARAM>(state.rowFont), FALSE);
}

void focusRow(HWND window, std::uint32_t row)
{
    SetFocus(GetDlgItem(window, RowBoxes[row]));
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

    buildInputNameTable();
    useJapaneseFontForRows(window);
    for (unsigned row = 0; row < AssignmentRowCount; ++row)
        showRow(window, row);
    fillCalibrationList(window);
    const PadSettings& settings = workingPadSettings();
    CheckDlgButton(window, IDC_GAMEPAD_BACKGROUND, settings.background ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(window, IDC_GAMEPAD_VIBRATION, settings.vibration ? BST_CHECKED : BST_UNCHECKED);
    fillDeviceList(window);
    state.chosen = {};
    startReading(savedOrFirstDevice());
    showChosenDevice(window);
    CenterOnDesktop(window);
    SetTimer(window, CaptureTimer, OpeningPollMilliseconds, nullptr);
    listenForDeviceChanges(window);

    state.waitingForRelease = false;
    state.questionOpen = false;
    state.currentRow = 0;
    focusRow(window, 0);
    return FALSE;
}

void onTimer(HWND window)
{
    if (state.currentRow < AssignmentRowCount)
        SendDlgItemMessageW(window, RowBoxes[state.currentRow], EM_SETSEL, 0, -1);
    pollGamepads();
    const ControllerReading* reading = gamepadReading(currentGamepadDevice());
    if (!reading)
        return; // no controller left: nothing to capture until one comes back
    if (!state.restingHalvesTaken) {
        state.restingHalves = heldAxisHalves(*reading);
        state.restingHalvesTaken = true;
    }
    if (state.questionOpen)
        return;
    if (state.waitingForRelease && !allInputsReleased(*reading, state.restingHalves))
        return;
    state.waitingForRelease = false;
    if (state.currentRow >= AssignmentRowCount)
        return;
    // Buttons before axes: the lowest held number wins.
    const int input = firstHeldInput(*reading, state.restingHalves);
    if (input < 0)
        return;
    const std::uint32_t row = state.currentRow;
    workingPadSettings().assignments[row] = static_cast<std::uint8_t>(input);
    showRow(window, row);
    focusRow(window, (row + 1) % AssignmentRowCount);
    state.waitingForRelease = true;
}

// Asks through a message dialog. Nothing is captured while it is open, and
// an input still held when it closes waits for its release first.
int askPlayer(HWND window, int dialog, std::uint32_t title, std::uint32_t message)
{
    state.questionOpen = true;
    const int answer = ShowMessageDialog(window, dialog, title, message);
    state.questionOpen = false;
    state.waitingForRelease = true;
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
    fillDeviceList(window);
    const int kept = state.chosen.known ? findDevice(&state.chosen.instance, &state.chosen.product) : -1;
    if (kept >= 0 && wasReading)
        setCurrentGamepadDevice(static_cast<std::uint32_t>(kept)); // still read: it keeps its resting halves
    else if (kept >= 0)
        startReading(static_cast<std::uint32_t>(kept));
    else if (gamepadDeviceCount() > 0)
        startReading(savedOrFirstDevice());
    else
        setCurrentGamepadDevice(0); // the chosen identity is kept for its return
    showChosenDevice(window);
}

void readChoicesIntoRecord(HWND window)
{
    PadSettings& settings = workingPadSettings();
    GUID instance{};
    GUID product{};
    if (gamepadDeviceIdentity(currentGamepadDevice(), instance, product)) {
        std::memcpy(&settings.controllerInstance, &instance, sizeof instance);
        std::memcpy(&settings.controllerProduct, &product, sizeof product);
    }
    // A list without a choice (a step read from a file beyond 0.5) keeps
    // the step as it was read rather than storing "no choice".
    const LRESULT step = SendDlgItemMessageW(window, IDC_GAMEPAD_CALIBRATION, CB_GETCURSEL, 0, 0);
    if (step != CB_ERR)
        settings.calibrationStep = static_cast<std::uint32_t>(step);
    settings.background = IsDlgButtonChecked(window, IDC_GAMEPAD_BACKGROUND) == BST_CHECKED ? 1 : 0;
    settings.vibration = IsDlgButtonChecked(window, IDC_GAMEPAD_VIBRATION) == BST_CHECKED ? 1 : 0;
}

void onAccept(HWND window)
{
    readChoicesIntoRecord(window);
    if (!padSettingsChanged()) {
        EndDialog(window, IDOK);
        return;
    }
    switch (askPlayer(window, IDD_MESSAGE_YESNOCANCEL, AcceptTitle, SaveQuestion)) {
    case IDYES:
        if (!savePadSettings()) {
            askPlayer(window, IDD_MESSAGE_OK, ErrorTitle, NotSavedMessage);
            return;
        }
        EndDialog(window, IDOK);
        return;
    case IDNO: EndDialog(window, IDOK); return;
    default: return;
    }
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
            startReading(device);
        return;
    }
    default:
        if (const int row = rowOfBox(id); row >= 0)
            state.currentRow = static_cast<std::uint32_t>(row);
        return;
    }
}

void onClose(HWND window)
{
    if (padSettingsChanged() && askPlayer(window, IDD_MESSAGE_YESNO, AcceptTitle, DiscardQuestion) != IDYES)
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
        if (state.rowFont) {
            DeleteObject(state.rowFont);
            state.rowFont = nullptr;
        }
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
