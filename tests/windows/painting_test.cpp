// The painting helpers every window uses give back what they take.
#include <windows.h>

#include <gtest/gtest.h>

#include "resources/resource.h"
#include "shell/window_helpers_win32.h"
#include "support/drawing_objects.h"

TEST(PaintingHelpers, RepaintingKeepsNoDrawingObjects)
{
    // Larger than every picture, so the edge colour is painted too.
    const HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1600, 1200, nullptr, nullptr,
                                        GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, window);
    const HDC dc = GetDC(window);
    const auto paintAll = [&] {
        PaintBackground(window, dc, IDB_MAIN_BACKGROUND, RGB(10, 20, 30));
        PaintBackground(window, dc, IDB_GAMEPAD_BACKGROUND, RGB(24, 28, 40));
        PaintPicture(dc, IDB_MAIN_BANNER, 12, 8);
    };
    // Whatever the system keeps after a first paint is counted before.
    paintAll();
    const DWORD before = drawingObjectCount();
    for (int i = 0; i < 20; ++i)
        paintAll();
    const DWORD after = drawingObjectCount();
    ReleaseDC(window, dc);
    DestroyWindow(window);
    EXPECT_GT(before, 0u);
    EXPECT_EQ(before, after) << "20 rounds of painting kept " << after - before << " drawing objects";
}
