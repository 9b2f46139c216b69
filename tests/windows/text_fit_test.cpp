// No text is cut off: every window, in every language, at the screen's scale.
// Each caption is measured with its control's own font and compared with the
// room the control gives it, margins included; labels that wrap must wrap
// within their height. Every font that shows text is large enough to read on
// a small, dense screen such as the Steam Deck's. A failure names the
// language, the window, the control and the text.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "shell/display_adapters_win32.h"
#include "shell/app_state_win32.h"
#include "shell/text_table_win32.h"
#include "support/app_fixture.h"
#include "support/dialog_driver.h"
#include "support/program_windows.h"
#include "support/scripted_gamepad.h"

namespace {

// Room the controls keep beside their text, in pixels at 96 DPI.
constexpr int PushButtonMargin = 4;  // each side: the 3-D edge and the focus frame
constexpr int CheckBoxRoom = 13 + 4; // the box, then the gap before the text
constexpr int ComboItemMargin = 2;   // each side of a line of the drop-down list
constexpr int TabMargin = 3;         // each side of a tab's caption
constexpr int ListItemPadding = 12;  // what a list view adds to a column sized to its texts
constexpr int HeaderPadding = 12;    // the same for a column heading

// The smallest height of a capital letter, in pixels, that still reads well.
constexpr int MinimumCapHeight = 9;

constexpr std::uint32_t ItemColumnText = 181;
// Every label the system page's item column can show; a machine without, say,
// a sound device lists no such rows, yet another player's machine does (and
// label 250, the compatibility layer, shows under Wine only).
constexpr std::uint32_t FirstItemLabel = 183, LastItemLabel = 216, CompatibilityLayerLabel = 250;

std::string utf8(const std::wstring& text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                        nullptr);
    return bytes;
}

std::wstring className(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::vector<std::wstring> linesOf(const std::wstring& text)
{
    std::vector<std::wstring> lines(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') {
            lines.emplace_back();
            ++i;
        } else {
            lines.back() += text[i];
        }
    }
    return lines;
}

// A control's device context with the control's own font selected.
class FontOf {
public:
    explicit FontOf(HWND control) : control_(control), dc_(GetDC(control))
    {
        const auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
        previous_ = SelectObject(dc_, font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
    }
    ~FontOf()
    {
        SelectObject(dc_, previous_);
        ReleaseDC(control_, dc_);
    }
    FontOf(const FontOf&) = delete;
    FontOf& operator=(const FontOf&) = delete;

    // The widest line of the text.
    int width(const std::wstring& text) const
    {
        int widest = 0;
        for (const std::wstring& line : linesOf(text)) {
            SIZE size{};
            GetTextExtentPoint32W(dc_, line.c_str(), static_cast<int>(line.size()), &size);
            widest = std::max(widest, static_cast<int>(size.cx));
        }
        return widest;
    }
    // The text broken into lines at `width` as a label breaks it.
    SIZE wrapped(const std::wstring& text, int width) const
    {
        RECT rect{0, 0, width, 0};
        DrawTextW(dc_, text.c_str(), static_cast<int>(text.size()), &rect,
                  DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
        return {rect.right, rect.bottom};
    }
    int scaled(int pixels) const { return MulDiv(pixels, GetDeviceCaps(dc_, LOGPIXELSX), 96); }
    // The rows of pixels a capital H covers as the font draws it: black on
    // white, counting the rows with a pixel darker than mid-grey.
    int capHeight() const
    {
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc_, &metrics);
        const int width = metrics.tmMaxCharWidth + 4, height = metrics.tmHeight + 4;
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        const HDC memory = CreateCompatibleDC(dc_);
        const HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!memory || !bitmap || !bits) {
            DeleteObject(bitmap);
            DeleteDC(memory);
            return 0;
        }
        const HGDIOBJ previousBitmap = SelectObject(memory, bitmap);
        const HGDIOBJ previousFont = SelectObject(memory, GetCurrentObject(dc_, OBJ_FONT));
        PatBlt(memory, 0, 0, width, height, WHITENESS);
        SetTextColor(memory, RGB(0, 0, 0));
        SetBkMode(memory, TRANSPARENT);
        TextOutW(memory, 2, 2, L"H", 1);
        GdiFlush();
        int rows = 0;
        const auto* pixels = static_cast<const std::uint32_t*>(bits);
        for (int y = 0; y < height; ++y) {
            bool dark = false;
            for (int x = 0; x < width && !dark; ++x)
                dark = (pixels[y * width + x] & 0xFF) < 0x80;
            rows += dark ? 1 : 0;
        }
        SelectObject(memory, previousFont);
        SelectObject(memory, previousBitmap);
        DeleteObject(bitmap);
        DeleteDC(memory);
        return rows;
    }

private:
    HWND control_;
    HDC dc_;
    HGDIOBJ previous_;
};

// What one window was found to cut off.
class FitReport {
public:
    FitReport(std::string language, std::string window)
        : language_(std::move(language)), window_(std::move(window)), dpi_(sessionDpi())
    {
    }

    void require(bool fits, const std::string& control, const std::wstring& text, const std::string& room)
    {
        if (!fits)
            fail(control, text, "does not fit (" + room);
    }
    void requireLegible(const FontOf& font, const std::string& control, const std::wstring& text)
    {
        const int cap = font.capHeight();
        if (cap < MinimumCapHeight)
            fail(control, text,
                 "is too small to read (capital letters " + std::to_string(cap) + " px high, " +
                     std::to_string(MinimumCapHeight) + " needed");
    }
    void requireWidth(int needed, int available, const std::string& control, const std::wstring& text)
    {
        require(needed <= available, control, text,
                "needs " + std::to_string(needed) + " px, has " + std::to_string(available));
    }

    std::vector<std::string> failures;

private:
    void fail(const std::string& control, const std::wstring& text, const std::string& why)
    {
        failures.push_back(language_ + ", " + window_ + ", " + control + ": \"" + utf8(text) + "\" " + why +
                           ", " + std::to_string(dpi_) + " DPI)");
    }

    std::string language_;
    std::string window_;
    int dpi_;
};

std::string nameOf(HWND control)
{
    return utf8(className(control)) + " " + std::to_string(GetDlgCtrlID(control));
}

void checkStatic(HWND control, const std::wstring& text, FitReport& report)
{
    const LONG type = GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK;
    if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_LEFTNOWORDWRAP &&
        type != SS_SIMPLE)
        return;
    RECT client{};
    GetClientRect(control, &client);
    const FontOf font(control);
    if (type == SS_LEFTNOWORDWRAP || type == SS_SIMPLE) {
        report.requireWidth(font.width(text), client.right, nameOf(control), text);
        return;
    }
    // A label breaks its text at blanks; a word wider than the label, or a
    // line below its bottom edge, is cut off.
    const SIZE wrapped = font.wrapped(text, client.right);
    report.require(wrapped.cx <= client.right && wrapped.cy <= client.bottom, nameOf(control), text,
                   "needs " + std::to_string(wrapped.cx) + " x " + std::to_string(wrapped.cy) + " px, has " +
                       std::to_string(client.right) + " x " + std::to_string(client.bottom));
}

void checkButton(HWND control, const std::wstring& text, FitReport& report)
{
    const LONG type = GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
    RECT client{};
    GetClientRect(control, &client);
    const FontOf font(control);
    int room = 0;
    switch (type) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: room = font.scaled(CheckBoxRoom); break;
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON: room = 2 * font.scaled(PushButtonMargin); break;
    default: return;
    }
    report.requireWidth(font.width(text) + room, client.right, nameOf(control), text);
}

// Every line of the drop-down list against the list's width.
void checkComboBox(HWND control, FitReport& report)
{
    const LRESULT count = SendMessageW(control, CB_GETCOUNT, 0, 0);
    RECT list{};
    SendMessageW(control, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&list));
    const LRESULT itemHeight = SendMessageW(control, CB_GETITEMHEIGHT, 0, 0);
    int width = static_cast<int>(SendMessageW(control, CB_GETDROPPEDWIDTH, 0, 0));
    // A list longer than its drop-down shows a scroll bar beside its lines.
    if (itemHeight > 0 && count * itemHeight > list.bottom - list.top)
        width -= GetSystemMetrics(SM_CXVSCROLL);
    const FontOf font(control);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring line(static_cast<std::size_t>(SendMessageW(control, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
        line.resize(static_cast<std::size_t>(
            SendMessageW(control, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(line.data()))));
        report.requireWidth(font.width(line) + 2 * font.scaled(ComboItemMargin), width,
                            nameOf(control) + " line " + std::to_string(i), line);
    }
}

void checkEdit(HWND control, const std::wstring& text, FitReport& report)
{
    RECT client{};
    GetClientRect(control, &client);
    const LRESULT margins = SendMessageW(control, EM_GETMARGINS, 0, 0);
    const FontOf font(control);
    report.requireWidth(font.width(text) + LOWORD(margins) + HIWORD(margins), client.right, nameOf(control),
                        text);
}

// Each tab's caption inside its tab, and every tab inside the control.
void checkTabs(HWND control, FitReport& report)
{
    RECT client{};
    GetClientRect(control, &client);
    const FontOf font(control);
    const std::vector<std::wstring> captions = Player::tabTexts(GetParent(control), GetDlgCtrlID(control));
    for (std::size_t i = 0; i < captions.size(); ++i) {
        const std::wstring& caption = captions[i];
        RECT rect{};
        SendMessageW(control, TCM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&rect));
        const std::string name = nameOf(control) + " tab " + std::to_string(i);
        report.requireWidth(font.width(caption) + 2 * font.scaled(TabMargin), rect.right - rect.left, name,
                            caption);
        report.require(rect.left >= 0 && rect.right <= client.right, name, caption,
                       "tab ends at " + std::to_string(rect.right) + " px, the control at " +
                           std::to_string(client.right));
    }
}

std::wstring headingOf(HWND header, int column)
{
    HDITEMW item{};
    item.mask = HDI_TEXT;
    return Player::itemText(header, HDM_GETITEMW, static_cast<WPARAM>(column), item);
}

// Every heading in its column; in the list of items (the system page), every
// row's item text in the item column.
void checkList(HWND control, FitReport& report)
{
    const auto header = reinterpret_cast<HWND>(SendMessageW(control, LVM_GETHEADER, 0, 0));
    const int columns = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    const FontOf headerFont(header);
    for (int column = 0; column < columns; ++column) {
        const std::wstring heading = headingOf(header, column);
        const int width = static_cast<int>(SendMessageW(control, LVM_GETCOLUMNWIDTH, column, 0));
        report.requireWidth(headerFont.width(heading) + headerFont.scaled(HeaderPadding), width,
                            "list heading " + std::to_string(column), heading);
    }
    if (columns == 0 || headingOf(header, 0) != GetText(ItemColumnText))
        return;
    const int width = static_cast<int>(SendMessageW(control, LVM_GETCOLUMNWIDTH, 0, 0));
    const FontOf font(control);
    const auto requireItem = [&](const std::wstring& text, const std::string& where) {
        report.requireWidth(font.width(text) + font.scaled(ListItemPadding), width, "item column " + where,
                            text);
    };
    std::vector<std::wstring> shown;
    const LRESULT rows = SendMessageW(control, LVM_GETITEMCOUNT, 0, 0);
    for (LRESULT row = 0; row < rows; ++row) {
        const std::wstring text = Player::listCellText(control, static_cast<int>(row));
        requireItem(text, "row " + std::to_string(row));
        shown.push_back(text);
    }
    std::vector<std::uint32_t> labels{CompatibilityLayerLabel};
    for (std::uint32_t label = FirstItemLabel; label <= LastItemLabel; ++label)
        labels.push_back(label);
    for (std::uint32_t label : labels) {
        if (std::find(shown.begin(), shown.end(), GetText(label)) == shown.end())
            requireItem(GetText(label), "label " + std::to_string(label) + " (no such row here)");
    }
}

BOOL CALLBACK checkChild(HWND control, LPARAM parameter)
{
    auto& report = *reinterpret_cast<FitReport*>(parameter);
    const std::wstring kind = className(control);
    const std::wstring text = Player::windowText(control);
    if (IsWindowVisible(control) &&
        (!text.empty() || kind == L"ComboBox" || kind == WC_TABCONTROLW || kind == WC_LISTVIEWW))
        report.requireLegible(FontOf(control), nameOf(control), text);
    if (kind == L"Static" && !text.empty())
        checkStatic(control, text, report);
    else if (kind == L"Button" && !text.empty())
        checkButton(control, text, report);
    else if (kind == L"Edit" && !text.empty())
        checkEdit(control, text, report);
    else if (kind == L"ComboBox")
        checkComboBox(control, report);
    else if (kind == WC_TABCONTROLW)
        checkTabs(control, report);
    else if (kind == WC_LISTVIEWW)
        checkList(control, report);
    return TRUE;
}

// Opens the window, waits for its dialog, checks every control in it (its
// pages included), ends it and adds what it found cut off to `failures`.
void checkWindow(const TestLanguage& language, const ProgramWindow& window,
                 std::vector<std::string>& failures)
{
    FitReport report(language.name, window.name);
    bool checked = false;
    Player::Script script;
    script.then("check " + window.name, [&] {
        const HWND dialog = Player::activeDialogWithControl(window.controlId);
        if (!dialog)
            return false;
        EnumChildWindows(dialog, checkChild, reinterpret_cast<LPARAM>(&report));
        checked = true;
        EndDialog(dialog, IDCANCEL);
        return true;
    });
    script.run(window.open);
    if (!checked)
        report.failures.push_back(std::string(language.name) + ", " + window.name +
                                  ": the window did not open (" + script.pendingStep() + ")");
    failures.insert(failures.end(), report.failures.begin(), report.failures.end());
}

class TextFit : public testing::TestWithParam<TestLanguage> {};

TEST_P(TextFit, EveryWindowShowsItsTextsWhole)
{
    initializeApplicationOnce();
    const TestLanguage& language = GetParam();
    expectSessionDpi(); // a run at another scale says which DPI its session must have
    // Adapters prepared first: see the window-fit test (a Wine deadlock
    // between a cold OpenGL start and a window being shown).
    WaitForDisplayAdapters(INFINITE);
    const ScopedLanguage scoped(language.index); // puts the texts back however the test ends
    const ScriptedGamepad::Installation pad;
    std::vector<std::string> failures;
    for (const ProgramWindow& window : programWindows()) {
        ASSERT_TRUE(LoadStringTable(language.index));
        checkWindow(language, window, failures);
    }
    for (const std::string& failure : failures)
        ADD_FAILURE() << failure;
}

INSTANTIATE_TEST_SUITE_P(EveryLanguage, TextFit, testing::ValuesIn(EveryLanguage), testLanguageName);

} // namespace
