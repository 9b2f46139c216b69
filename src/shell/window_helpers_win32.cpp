#include "shell/window_helpers_win32.h"

#include <algorithm>

#include "resources/resource.h"

namespace {

constexpr int DesignDpi = 96;

// A bitmap resource, loaded for one paint and released right after it.
class Picture {
public:
    explicit Picture(int resource)
        : bitmap_(static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource),
                                                  IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)))
    {
        BITMAP info{};
        if (bitmap_ && GetObjectW(bitmap_, sizeof info, &info))
            size_ = {info.bmWidth, info.bmHeight};
    }
    ~Picture()
    {
        if (bitmap_)
            DeleteObject(bitmap_);
    }
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    SIZE size() const { return size_; }

    // Copies the picture's part at `source` (in picture pixels) to `target`;
    // a missing picture leaves the area as it is.
    void draw(HDC dc, const RECT& target, const RECT& source) const
    {
        if (!bitmap_)
            return;
        const HDC memory = CreateCompatibleDC(dc);
        if (!memory)
            return;
        const HGDIOBJ previous = SelectObject(memory, bitmap_);
        const int width = target.right - target.left;
        const int height = target.bottom - target.top;
        const int sourceWidth = source.right - source.left;
        const int sourceHeight = source.bottom - source.top;
        if (width == sourceWidth && height == sourceHeight) {
            BitBlt(dc, target.left, target.top, width, height, memory, source.left, source.top, SRCCOPY);
        } else {
            const int oldMode = SetStretchBltMode(dc, HALFTONE);
            SetBrushOrgEx(dc, 0, 0, nullptr);
            StretchBlt(dc, target.left, target.top, width, height, memory, source.left, source.top,
                       sourceWidth, sourceHeight, SRCCOPY);
            SetStretchBltMode(dc, oldMode);
        }
        SelectObject(memory, previous);
        DeleteDC(memory);
    }

private:
    HBITMAP bitmap_;
    SIZE size_{};
};

int dpiOf(HDC dc)
{
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    return dpi > 0 ? dpi : DesignDpi;
}

int scaled(int length, int dpi)
{
    return MulDiv(length, dpi, DesignDpi);
}

SIZE extent(const RECT& rect)
{
    return {rect.right - rect.left, rect.bottom - rect.top};
}

SIZE windowSize(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return extent(rect);
}

// The work area of the monitor the window's owner is on, or of the primary
// monitor; the whole desktop when the monitor cannot be asked.
RECT ownerWorkArea(HWND window)
{
    const HWND owner = GetWindow(window, GW_OWNER);
    const HMONITOR monitor = owner ? MonitorFromWindow(owner, MONITOR_DEFAULTTOPRIMARY)
                                   : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (monitor && GetMonitorInfoW(monitor, &info))
        return info.rcWork;
    RECT desktop{};
    GetWindowRect(GetDesktopWindow(), &desktop);
    return desktop;
}

} // namespace

void CenterOnDesktop(HWND window)
{
    const RECT work = ownerWorkArea(window);
    const SIZE area = extent(work);
    const SIZE own = windowSize(window);
    const LONG x = work.left + (area.cx - own.cx) / 2;
    const LONG y = work.top + (area.cy - own.cy) / 2;
    SetWindowPos(window, nullptr, std::max(x, work.left), std::max(y, work.top), 0, 0,
                 SWP_NOSIZE | SWP_SHOWWINDOW);
}

void FitToWorkArea(HWND window)
{
    const SIZE area = extent(ownerWorkArea(window));
    const SIZE own = windowSize(window);
    if (own.cx <= area.cx && own.cy <= area.cy)
        return;
    SetWindowPos(window, nullptr, 0, 0, std::min(own.cx, area.cx), std::min(own.cy, area.cy),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int ScaleForDpi(int designPixels)
{
    const HDC screen = GetDC(nullptr);
    const int dpi = screen ? dpiOf(screen) : DesignDpi;
    if (screen)
        ReleaseDC(nullptr, screen);
    return scaled(designPixels, dpi);
}

void SetDialogIcons(HWND window)
{
    const HINSTANCE module = GetModuleHandleW(nullptr);
    // Shared icons are owned by the system; a missing icon leaves the default.
    const auto big = LoadImageW(module, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                GetSystemMetrics(SM_CYICON), LR_SHARED);
    const auto small = LoadImageW(module, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                  GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED);
    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

void PaintBackground(HWND window, HDC dc, int bitmap, COLORREF edge)
{
    // Anchored to the whole client area rather than to the part being
    // repainted, so a partial repaint matches what is around it.
    RECT client{};
    GetClientRect(window, &client);
    const Picture picture(bitmap);
    const int dpi = dpiOf(dc);
    const SIZE size = {scaled(picture.size().cx, dpi), scaled(picture.size().cy, dpi)};
    if (client.right > size.cx || client.bottom > size.cy) {
        if (const HBRUSH brush = CreateSolidBrush(edge)) {
            FillRect(dc, &client, brush);
            DeleteObject(brush);
        }
    }
    // Only the part of the picture that falls into the client area is drawn.
    const int width = client.right < size.cx ? client.right : size.cx;
    const int height = client.bottom < size.cy ? client.bottom : size.cy;
    const RECT target = {client.right - width, client.bottom - height, client.right, client.bottom};
    const RECT source = {picture.size().cx - MulDiv(width, DesignDpi, dpi),
                         picture.size().cy - MulDiv(height, DesignDpi, dpi), picture.size().cx,
                         picture.size().cy};
    picture.draw(dc, target, source);
}

void PaintPicture(HDC dc, int bitmap, int x, int y)
{
    const Picture picture(bitmap);
    const int dpi = dpiOf(dc);
    const RECT target = {scaled(x, dpi), scaled(y, dpi), scaled(x + picture.size().cx, dpi),
                         scaled(y + picture.size().cy, dpi)};
    picture.draw(dc, target, {0, 0, picture.size().cx, picture.size().cy});
}
