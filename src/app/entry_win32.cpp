// The program's entry: prepares the platform, sets up the process-wide state,
// runs the main window and tears down again. The exit code is always 0.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include "app/main_window_win32.h"
#include "foundation/system_library_win32.h"
#include "shell/app_state_win32.h"

namespace {

// The 1 ms timer resolution for the length of the run. winmm is not one of
// the system's known DLLs, so it is loaded from the system folder at run time
// rather than imported (an import would be looked for beside the program).
class TimerResolution {
public:
    TimerResolution() : winmm_(LoadSystemLibrary(L"winmm.dll"))
    {
        const auto begin = LibraryEntry<PeriodFunction>(winmm_, "timeBeginPeriod");
        end_ = LibraryEntry<PeriodFunction>(winmm_, "timeEndPeriod");
        active_ = begin && end_ && begin(1) == TIMERR_NOERROR;
    }
    TimerResolution(const TimerResolution&) = delete;
    TimerResolution& operator=(const TimerResolution&) = delete;
    ~TimerResolution()
    {
        if (active_)
            end_(1);
        if (winmm_)
            FreeLibrary(winmm_);
    }

private:
    using PeriodFunction = UINT(WINAPI*)(UINT);
    HMODULE winmm_;
    PeriodFunction end_ = nullptr;
    bool active_ = false;
};

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    // First of all, before anything can load a DLL by name. Best effort:
    // every load of the program's own goes through LoadSystemLibrary anyway.
    RestrictDllSearchToSystemFolder();

    // COM stays initialised for the whole run (WMI, DxDiag, DirectInput);
    // a failure only disables what needs it.
    const HRESULT com = CoInitialize(nullptr);
    InitCommonControls();
    {
        const TimerResolution timer;
        if (InitializeApplication(instance)) {
            runMainWindow();
            ShutdownApplication();
        }
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return 0;
}
