// Where CenterOnDesktop and FitToWorkArea put a window, whatever its size.
#include "shell/window_helpers_win32.h"

#include <gtest/gtest.h>

namespace {

RECT primaryWorkArea()
{
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info);
    return info.rcWork;
}

// A plain top-level window of the given size, owned by `owner`.
class TestWindow {
public:
    TestWindow(int width, int height, HWND owner = nullptr)
        : window_(CreateWindowExW(0, L"STATIC", L"ORVANTE placement test", WS_POPUP | WS_CAPTION, 5, 5, width,
                                  height, owner, nullptr, GetModuleHandleW(nullptr), nullptr))
    {
    }
    ~TestWindow() { DestroyWindow(window_); }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    HWND handle() const { return window_; }
    RECT rect() const
    {
        RECT r{};
        GetWindowRect(window_, &r);
        return r;
    }

private:
    HWND window_;
};

} // namespace

TEST(WindowPlacement, CentresOnTheWorkAreaAndKeepsTheCaptionOnScreen)
{
    const RECT work = primaryWorkArea();
    const int workWidth = work.right - work.left;
    const int workHeight = work.bottom - work.top;
    struct Case {
        const char* name;
        int width, height;
        int expectedLeft, expectedTop;
    };
    const Case cases[] = {
        {"small", 300, 200, work.left + (workWidth - 300) / 2, work.top + (workHeight - 200) / 2},
        {"too tall", 300, workHeight + 200, work.left + (workWidth - 300) / 2, work.top},
        {"too wide", workWidth + 50, 200, work.left, work.top + (workHeight - 200) / 2},
        {"too large", workWidth + 50, workHeight + 300, work.left, work.top},
    };
    for (const Case& c : cases) {
        const TestWindow owner(100, 100);
        const TestWindow window(c.width, c.height, owner.handle());
        const RECT before = window.rect();
        CenterOnDesktop(window.handle());
        const RECT placed = window.rect();
        EXPECT_EQ(c.expectedLeft, placed.left) << c.name;
        EXPECT_EQ(c.expectedTop, placed.top) << c.name;
        EXPECT_EQ(before.right - before.left, placed.right - placed.left) << c.name << ": the size stays";
        EXPECT_EQ(before.bottom - before.top, placed.bottom - placed.top) << c.name << ": the size stays";
        EXPECT_TRUE(IsWindowVisible(window.handle())) << c.name;
    }
}

TEST(WindowPlacement, FitToWorkAreaShrinksOnlyWhatIsTooLarge)
{
    const RECT work = primaryWorkArea();
    const int workWidth = work.right - work.left;
    const int workHeight = work.bottom - work.top;
    struct Case {
        int width, height;
        int expectedWidth, expectedHeight;
    };
    const Case cases[] = {
        {300, 200, 300, 200},
        {300, workHeight + 1, 300, workHeight},
        {workWidth + 1, 200, workWidth, 200},
        {workWidth * 2, workHeight * 2, workWidth, workHeight},
        {workWidth, workHeight, workWidth, workHeight},
    };
    for (const Case& c : cases) {
        const TestWindow window(c.width, c.height);
        FitToWorkArea(window.handle());
        const RECT fitted = window.rect();
        EXPECT_EQ(c.expectedWidth, fitted.right - fitted.left) << c.width << "x" << c.height;
        EXPECT_EQ(c.expectedHeight, fitted.bottom - fitted.top) << c.width << "x" << c.height;
    }
}
