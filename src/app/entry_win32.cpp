// The program's entry: prepares the platform, sets up the process-wide state,
// runs the main window and tears down again. The exit code is always 0.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>
#include <timeapi.h>

#include "shell/app_state_win32.h"
#include "app/main_window_win32.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    // COM stays initialised for the whole run (WMI, DxDiag, DirectInput);
    // a failure only disables what needs it.
    const HRESULT com = CoInitialize(nullptr);
    InitCommonControls();
    timeBeginPeriod(1);

    if (InitializeApplication(instance)) {
        runMainWindow();
        ShutdownApplication();
    }

    timeEndPeriod(1);
    if (SUCCEEDED(com))
        CoUninitialize();
    return 0;
}
