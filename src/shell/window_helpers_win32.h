// Small things every dialog of the program does the same way.
#pragma once

#include <windows.h>

// Moves the window to the middle of the work area of the monitor that holds
// its owner (the primary monitor when it has none), on top, and shows it. A
// window larger than the work area keeps its top-left corner inside it, so
// its caption can always be reached.
void CenterOnDesktop(HWND window);
// Shrinks a window wider or taller than that work area to fit it; a window
// that fits keeps its size. Windows that can follow their size call this
// before CenterOnDesktop.
void FitToWorkArea(HWND window);
// A length in pixels at 96 DPI as long at the system's DPI.
int ScaleForDpi(int designPixels);
// Icon resource 100 as the window's big and small icon (32 x 32 and 16 x 16
// at 96 DPI, the system's icon sizes at other settings).
void SetDialogIcons(HWND window);

// The pictures are drawn for 96 DPI. At a higher setting the dialogs grow
// with their font, and the pictures are stretched by the same factor so the
// composition stays as designed; at 96 DPI they are copied pixel for pixel.

// Paints bitmap resource `bitmap` as the window's background: its
// bottom-right corner meets the client area's bottom-right corner. A client
// area larger than the picture shows `edge` where the picture does not reach.
void PaintBackground(HWND window, HDC dc, int bitmap, COLORREF edge);
// Paints bitmap resource `bitmap` with its top-left corner at (x, y), given
// in 96-DPI pixels of the client area.
void PaintPicture(HDC dc, int bitmap, int x, int y);
