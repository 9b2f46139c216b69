// The program's entry: prepares the platform, sets up the process-wide state,
// runs the main window and tears down again. The exit code is always 0.
#include <windows.h>

#include <commctrl.h>

#include "app/deferred_start_up_win32.h"
#include "app/main_window_win32.h"
#include "foundation/system_library_win32.h"
#include "shell/app_state_win32.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    // First of all, before anything can load a DLL by name. Best effort:
    // every load of the program's own goes through LoadSystemLibrary anyway.
    RestrictDllSearchToSystemFolder();

    InitCommonControls();
    // COM and the timer resolution wait for the main window's first paint.
    if (InitializeApplication(instance)) {
        runMainWindow();
        ShutdownApplication();
    }
    EndDeferredStartUp();
    return 0;
}
