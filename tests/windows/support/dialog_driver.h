// Plays a player's part against the real modal dialogs of the program.
//
// A script is a list of named steps. While the dialog under test runs its own
// modal loop, a timer of a window of the script's own runs the current step on
// every tick; a step that finds nothing to do yet returns false and is tried
// again. Anything that opens another modal dialog must be posted, never sent.
// A watchdog ends every dialog of the thread after the deadline, so a hang
// fails the test and names the step that was stuck. Should the ticks stop,
// a thread beside the script posts them instead, so that the deadline holds.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

namespace Player {

inline constexpr INT_PTR WatchdogResult = -4242;
// The class of the message-only window through which a script ticks.
inline constexpr wchar_t ScriptTickerClass[] = L"PlayerScriptTicker";

class Script {
public:
    Script& then(std::string name, std::function<bool()> step);
    // Runs `open` (which runs a modal dialog and returns its result) while the
    // steps play. Returns what `open` returned.
    INT_PTR run(const std::function<INT_PTR()>& open, DWORD deadlineMilliseconds = 20000);

    bool finished() const { return next_ == steps_.size(); }
    bool timedOut() const { return timedOut_; }
    // The name of the step the script stopped at, or "" when all ran.
    std::string pendingStep() const;

private:
    static LRESULT CALLBACK tickerProc(HWND, UINT, WPARAM, LPARAM);
    void tick();

    struct Step {
        std::string name;
        std::function<bool()> action;
    };
    std::vector<Step> steps_;
    std::size_t next_ = 0;
    DWORD deadline_ = 0;
    bool timedOut_ = false;
    bool inStep_ = false;
    std::atomic<DWORD> lastTick_{0};
};

// The visible, enabled dialog of this thread whose caption is `caption`, or
// any such dialog when `caption` is null; the topmost one wins.
HWND activeDialog(const wchar_t* caption = nullptr);
// The active dialog that has a control with this id.
HWND activeDialogWithControl(int controlId);
// The same among the windows of another process (one driven from outside).
HWND processDialogWithControl(DWORD processId, int controlId);

// True once the dialog's OK button, if it has one, is enabled: a window that
// still gathers what it shows keeps it disabled.
bool ready(HWND dialog);

std::wstring windowText(HWND window);
std::wstring controlText(HWND dialog, int controlId);
// The captions of the tabs of the dialog's tab control `tabsId`, in order.
std::vector<std::wstring> tabTexts(HWND dialog, int tabsId);
// The text of a list view's cell.
std::wstring listCellText(HWND list, int row, int column = 0);
// The text a common control answers to `message` (TCM_GETITEMW,
// HDM_GETITEMW, LVM_GETITEMTEXTW) for item `index`, asked with `item` (its
// mask or column set) whose text buffer this fills in.
template <class Item> std::wstring itemText(HWND control, UINT message, WPARAM index, Item item)
{
    wchar_t text[1024] = {};
    item.pszText = text;
    item.cchTextMax = 1024;
    SendMessageW(control, message, index, reinterpret_cast<LPARAM>(&item));
    return text;
}

// Presses a button as a click would (posted, so a dialog it opens can run).
void click(HWND dialog, int controlId);
// Selects an entry of a combo box and sends the selection-change notification
// a player's choice would produce.
void chooseComboEntry(HWND dialog, int controlId, int index);
// Clicks tab `index` of the dialog's tab control `tabsId`, as the mouse would.
void clickTab(HWND dialog, int tabsId, int index);
// Presses the dialog's close box (posted WM_CLOSE).
void closeBox(HWND dialog);
// Presses Escape in the dialog (posted to the focused control).
void escape(HWND dialog);

// Processes pending messages of this thread until none are left.
void pumpUntilIdle();

} // namespace Player
