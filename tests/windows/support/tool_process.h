// The tool as a process of its own, started and watched from outside as a
// player's desktop sees it: its visible dialogs, whether they answer, and
// how it ends.
#pragma once

#include <windows.h>

#include <string>

// A program beside the running one (the tests and the benchmarks are built
// into the tool's folder).
std::wstring besideThisProgram(const wchar_t* name);

// True for a window of the dialog class.
bool isDialogWindow(HWND window);

// A visible top-level dialog of process `processId` other than `except`.
HWND visibleDialogOf(DWORD processId, HWND except = nullptr);

// True once the window's thread takes a message (it can be moved, repainted
// and closed); false when it did not within `milliseconds`.
bool answersWithin(HWND window, DWORD milliseconds);

// Clicks a button of a dialog the way a click arrives: posted, so that the
// caller goes on while the window the button opens runs.
void postClick(HWND dialog, int button);

// Started by the constructor, in `folder` when one is given; ended (if it
// still runs) by the destructor.
class ToolProcess {
public:
    explicit ToolProcess(const std::wstring& exe, const std::wstring& folder = {});
    ~ToolProcess();
    ToolProcess(const ToolProcess&) = delete;
    ToolProcess& operator=(const ToolProcess&) = delete;

    bool started() const { return started_; }
    DWORD id() const { return process_.dwProcessId; }
    HANDLE handle() const { return process_.hProcess; }
    // True when the process ended within `milliseconds`; its exit code then.
    bool endsWithin(DWORD milliseconds, DWORD& exitCode) const;

private:
    PROCESS_INFORMATION process_{};
    bool started_ = false;
};
