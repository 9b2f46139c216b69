#include "app/deferred_start_up_win32.h"

#include <windows.h>

#include <objbase.h>

#include "foundation/system_library_win32.h"
#include "shell/display_adapters_win32.h"

namespace {

// The 1 ms timer resolution for the rest of the run. winmm is not one of the
// system's known DLLs, so it is loaded from the system folder at run time
// rather than imported (an import would be looked for beside the program).
class TimerResolution {
public:
    void begin()
    {
        winmm_ = LoadSystemLibrary(L"winmm.dll");
        const auto beginPeriod = LibraryEntry<PeriodFunction>(winmm_, "timeBeginPeriod");
        endPeriod_ = LibraryEntry<PeriodFunction>(winmm_, "timeEndPeriod");
        active_ = beginPeriod && endPeriod_ && beginPeriod(1) == TIMERR_NOERROR;
    }
    void end()
    {
        if (active_)
            endPeriod_(1);
        active_ = false;
        if (winmm_)
            FreeLibrary(winmm_);
        winmm_ = nullptr;
    }

private:
    using PeriodFunction = UINT(WINAPI*)(UINT);
    HMODULE winmm_ = nullptr;
    PeriodFunction endPeriod_ = nullptr;
    bool active_ = false;
};

bool completed = false;
HRESULT com = E_FAIL;
TimerResolution timer;

} // namespace

void CompleteStartUp()
{
    if (completed)
        return;
    completed = true;
    // COM stays initialised for the rest of the run; a failure only disables
    // what needs it.
    com = CoInitialize(nullptr);
    timer.begin();
    StartPreparingDisplayAdapters();
}

void EndDeferredStartUp()
{
    if (!completed)
        return;
    timer.end();
    if (SUCCEEDED(com))
        CoUninitialize();
    com = E_FAIL;
    completed = false;
}
