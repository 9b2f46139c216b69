// The program's entry: prepares the platform, sets up the process-wide state,
// runs the main window and tears down again; or, started as a probe of the
// tool, runs that probe alone. The exit code is always 0.
#include <windows.h>

#include <commctrl.h>

#include "app/deferred_start_up_win32.h"
#include "app/main_window_win32.h"
#include "app/requested_probe_win32.h"
#include "foundation/system_library_win32.h"
#include "shell/app_state_win32.h"
#include "shell/display_adapters_win32.h"
#include "sysinfo/system_gathering_win32.h"

namespace {

// How long work still running beside the windows (DxDiag, the adapter
// preparation, a probe that hangs) may keep the process once the player has
// left. Nothing it does is kept, so past this the process ends without it: a
// launcher waiting for the tool must not wait on a graphics runtime.
constexpr DWORD LeavingGraceMilliseconds = 100;

bool backgroundWorkEnded()
{
    const ULONGLONG deadline = GetTickCount64() + LeavingGraceMilliseconds;
    const bool gatheringEnded = WaitForGatheringWorkers(LeavingGraceMilliseconds);
    const ULONGLONG now = GetTickCount64();
    const DWORD left = now < deadline ? static_cast<DWORD>(deadline - now) : 0;
    return WaitForDisplayAdapterPreparationEnd(left) && gatheringEnded;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    // First of all, before anything can load a DLL by name. Best effort:
    // every load of the program's own goes through LoadSystemLibrary anyway.
    RestrictDllSearchToSystemFolder();
    if (RunRequestedProbe())
        return 0;

    InitCommonControls();
    // COM and the timer resolution wait for the main window's first paint.
    if (InitializeApplication(instance)) {
        runMainWindow();
        ShutdownApplication();
    }
    // Every file is saved by now: the windows save before they close.
    const bool ended = backgroundWorkEnded();
    EndDeferredStartUp();
    if (!ended)
        TerminateProcess(GetCurrentProcess(), 0);
    return 0;
}
