#include "gamepad/gamepad_test_window_win32.h"

#include <algorithm>

#include "gamepad/gamepad_devices_win32.h"
#include "gamepad/pad_settings.h"
#include "resources/resource.h"
#include "shell/dialog_texts_win32.h"
#include "shell/window_helpers_win32.h"

namespace {

constexpr UINT_PTR DrawTimer = 2;
constexpr UINT DrawMilliseconds = 30;
constexpr COLORREF FrameColour = 0x404040;
constexpr COLORREF CrossHairColour = 0x808080;
constexpr COLORREF DotColour = 0x0000FF;
// The dot travels 80 % of the way from the centre to the frame.
constexpr float DotReach = 0.8f;
constexpr int DotRadius = 2;

struct Panel {
    int control;
    unsigned leftRow;
    unsigned rightRow;
    unsigned upRow;
    unsigned downRow;
};
constexpr Panel Panels[] = {
    {IDC_PADTEST_MENU_PANEL, 2, 3, 0, 1},
    {IDC_PADTEST_MOVEMENT_PANEL, 6, 7, 4, 5},
    {IDC_PADTEST_CAMERA_PANEL, 10, 11, 8, 9},
};

constexpr ControlText ControlTexts[] = {{IDC_PADTEST_MENU_LABEL, 141},
                                        {IDC_PADTEST_MOVEMENT_LABEL, 142},
                                        {IDC_PADTEST_CAMERA_LABEL, 143},
                                        {IDOK, 144}};
constexpr std::uint32_t CaptionText = 140;

float rowValue(unsigned row)
{
    return gamepadInputValue(currentGamepadDevice(), workingPadSettings().assignments[row]);
}

// How far the dot moves for a deflection; bounded so that an axis read far
// beyond its range still gives a point the drawing calls can take.
int dotOffset(int half, float deflection)
{
    return static_cast<int>(DotReach * static_cast<float>(half) * std::clamp(deflection, -4.0f, 4.0f));
}

void drawPanel(HWND window, const Panel& panel)
{
    const HWND control = GetDlgItem(window, panel.control);
    const HDC context = GetDC(control);
    if (!context)
        return;
    RECT client{};
    GetClientRect(control, &client);
    const int hw = client.right / 2;
    const int hh = client.bottom / 2;

    const HPEN framePen = CreatePen(PS_SOLID, 1, FrameColour);
    const HPEN crossHairPen = CreatePen(PS_SOLID, 1, CrossHairColour);
    const HPEN dotPen = CreatePen(PS_SOLID, 1, DotColour);
    const HGDIOBJ previousPen = SelectObject(context, framePen);
    Rectangle(context, client.left, client.top, client.right, client.bottom);
    SelectObject(context, crossHairPen);
    MoveToEx(context, hw, client.top, nullptr);
    LineTo(context, hw, client.bottom);
    MoveToEx(context, client.left, hh, nullptr);
    LineTo(context, client.right, hh);

    const float x = rowValue(panel.rightRow) - rowValue(panel.leftRow);
    const float y = rowValue(panel.downRow) - rowValue(panel.upRow);
    const int px = hw + dotOffset(hw, x);
    const int py = hh + dotOffset(hh, y);
    SelectObject(context, dotPen);
    Ellipse(context, px - DotRadius, py - DotRadius, px + DotRadius, py + DotRadius);

    SelectObject(context, previousPen);
    DeleteObject(framePen);
    DeleteObject(crossHairPen);
    DeleteObject(dotPen);
    ReleaseDC(control, context);
}

void draw(HWND window)
{
    pollGamepads();
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    for (const Panel& panel : Panels)
        drawPanel(window, panel);
    EndPaint(window, &paint);
}

void onInitDialog(HWND window)
{
    CenterOnDesktop(window);
    SetDialogIcons(window);
    SetTimer(window, DrawTimer, DrawMilliseconds, nullptr);
    setDialogTexts(window, CaptionText, ControlTexts);
}

INT_PTR CALLBACK gamepadTestProc(HWND window, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: onInitDialog(window); return TRUE;
    case WM_TIMER:
    case WM_PAINT: draw(window); return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK)
            EndDialog(window, IDOK);
        return TRUE;
    case WM_CLOSE:
        KillTimer(window, DrawTimer);
        EndDialog(window, IDCANCEL);
        return TRUE;
    case WM_DESTROY: KillTimer(window, DrawTimer); return TRUE;
    default: return FALSE;
    }
}

} // namespace

INT_PTR openGamepadTest(HWND parent)
{
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_GAMEPAD_TEST), parent,
                           gamepadTestProc, 0);
}
