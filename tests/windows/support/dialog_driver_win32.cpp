#include "support/dialog_driver.h"

#include <commctrl.h>

#include <thread>
#include <utility>

namespace Player {
namespace {

constexpr UINT TickMilliseconds = 15;
constexpr UINT_PTR TickTimer = 1;
// A tick posted from the thread beside the script when the timer's stop.
constexpr UINT PostedTick = WM_APP;
constexpr DWORD QuietTicksMilliseconds = 1000;

struct DialogSearch {
    const wchar_t* caption;
    int controlId;
    DWORD process; // 0: a dialog of this thread
    HWND found;
};

BOOL CALLBACK considerWindow(HWND window, LPARAM parameter)
{
    auto& search = *reinterpret_cast<DialogSearch*>(parameter);
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (lstrcmpW(className, L"#32770") != 0 || !IsWindowVisible(window) || !IsWindowEnabled(window))
        return TRUE;
    if (search.caption && windowText(window) != search.caption)
        return TRUE;
    if (search.controlId != 0 && !GetDlgItem(window, search.controlId))
        return TRUE;
    DWORD owner = 0;
    if (search.process != 0 && (GetWindowThreadProcessId(window, &owner), owner != search.process))
        return TRUE;
    search.found = window;
    return FALSE;
}

HWND findDialog(const wchar_t* caption, int controlId, DWORD process = 0)
{
    DialogSearch search{caption, controlId, process, nullptr};
    if (process != 0)
        EnumWindows(considerWindow, reinterpret_cast<LPARAM>(&search));
    else
        EnumThreadWindows(GetCurrentThreadId(), considerWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BOOL CALLBACK endDialog(HWND window, LPARAM)
{
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (lstrcmpW(className, L"#32770") == 0)
        EndDialog(window, WatchdogResult);
    return TRUE;
}

} // namespace

Script& Script::then(std::string name, std::function<bool()> step)
{
    steps_.push_back({std::move(name), std::move(step)});
    return *this;
}

std::string Script::pendingStep() const
{
    return finished() ? std::string() : steps_[next_].name;
}

LRESULT CALLBACK Script::tickerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER || message == PostedTick) {
        if (auto* script = reinterpret_cast<Script*>(GetWindowLongPtrW(window, GWLP_USERDATA)))
            script->tick();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void Script::tick()
{
    lastTick_ = GetTickCount();
    if (inStep_)
        return;
    if (GetTickCount() > deadline_) {
        if (!timedOut_) {
            timedOut_ = true;
            EnumThreadWindows(GetCurrentThreadId(), endDialog, 0);
        }
        return;
    }
    if (finished())
        return;
    inStep_ = true;
    if (steps_[next_].action())
        ++next_;
    inStep_ = false;
}

INT_PTR Script::run(const std::function<INT_PTR()>& open, DWORD deadlineMilliseconds)
{
    // Each run ticks through a message-only window of its own, so that no
    // other timer of the thread, killed or reused, can stop or steal its ticks.
    static const ATOM tickerClass = [] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = tickerProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = ScriptTickerClass;
        return RegisterClassW(&windowClass);
    }();
    const HWND ticker = CreateWindowExW(0, MAKEINTATOM(tickerClass), L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                        nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(ticker, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    deadline_ = GetTickCount() + deadlineMilliseconds;
    lastTick_ = GetTickCount();
    SetTimer(ticker, TickTimer, TickMilliseconds, nullptr);

    const HANDLE ended = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    // A thread busy in a step or a save gets one posted tick for the time
    // it was quiet, which it takes when it is free again, as a timer's would.
    std::thread watchdog([this, ticker, ended] {
        while (WaitForSingleObject(ended, QuietTicksMilliseconds) == WAIT_TIMEOUT) {
            if (GetTickCount() - lastTick_ >= QuietTicksMilliseconds)
                PostMessageW(ticker, PostedTick, 0, 0);
        }
    });
    const INT_PTR result = open();
    SetEvent(ended);
    watchdog.join();
    CloseHandle(ended);
    KillTimer(ticker, TickTimer);
    DestroyWindow(ticker);
    pumpUntilIdle();
    return result;
}

HWND activeDialog(const wchar_t* caption)
{
    return findDialog(caption, 0);
}
HWND activeDialogWithControl(int controlId)
{
    return findDialog(nullptr, controlId);
}
HWND processDialogWithControl(DWORD processId, int controlId)
{
    return findDialog(nullptr, controlId, processId);
}

std::wstring windowText(HWND window)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring controlText(HWND dialog, int controlId)
{
    return windowText(GetDlgItem(dialog, controlId));
}

bool ready(HWND dialog)
{
    const HWND ok = GetDlgItem(dialog, IDOK);
    return !ok || IsWindowEnabled(ok);
}

void click(HWND dialog, int controlId)
{
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(controlId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, controlId)));
}

void chooseComboEntry(HWND dialog, int controlId, int index)
{
    const HWND combo = GetDlgItem(dialog, controlId);
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(controlId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

std::vector<std::wstring> tabTexts(HWND dialog, int tabsId)
{
    std::vector<std::wstring> texts;
    const HWND tabs = GetDlgItem(dialog, tabsId);
    const auto count = SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    for (LRESULT i = 0; i < count; ++i)
        texts.push_back(itemText(tabs, TCM_GETITEMW, static_cast<WPARAM>(i), item));
    return texts;
}

std::wstring listCellText(HWND list, int row, int column)
{
    LVITEMW item{};
    item.iSubItem = column;
    return itemText(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), item);
}

void clickTab(HWND dialog, int tabsId, int index)
{
    const HWND tabs = GetDlgItem(dialog, tabsId);
    RECT item{};
    if (!SendMessageW(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)))
        return;
    const LPARAM point = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    SendMessageW(tabs, WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageW(tabs, WM_LBUTTONUP, 0, point);
}

void closeBox(HWND dialog)
{
    PostMessageW(dialog, WM_CLOSE, 0, 0);
}

void escape(HWND dialog)
{
    // The key goes where a keyboard would send it; the dialog manager turns
    // it into IDCANCEL.
    HWND focus = GetFocus();
    if (!focus || (focus != dialog && !IsChild(dialog, focus)))
        focus = dialog;
    PostMessageW(focus, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    PostMessageW(focus, WM_KEYUP, VK_ESCAPE, static_cast<LPARAM>(0xC0010001u));
}

void pumpUntilIdle()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

} // namespace Player
