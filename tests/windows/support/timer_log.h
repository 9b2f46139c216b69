// Records the window timers the program starts and stops: SetTimer and
// KillTimer of this executable are routed through a log while a holder lives.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class TimerLog {
public:
    TimerLog();
    ~TimerLog();
    TimerLog(const TimerLog&) = delete;
    TimerLog& operator=(const TimerLog&) = delete;

    // One line per call on a window (thread timers are left out), such as
    // "gamepad window: timer 1 every 100 ms" or "test window: timer 2 stopped";
    // the window is named by `nameOf` when the call is made.
    static std::vector<std::wstring> lines();
    static void setNamer(std::wstring (*nameOf)(HWND));
};
