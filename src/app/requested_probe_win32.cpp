#include "app/requested_probe_win32.h"

#include <string>

#include "foundation/probe_process_win32.h"
#include "shell/display_adapters_win32.h"
#include "sysinfo/probes_win32.h"

bool RunRequestedProbe()
{
    const std::wstring probe = RequestedProbe();
    if (probe.empty())
        return false;
    if (probe == DisplayAdapterProbe)
        RunDisplayAdapterProbe();
    else if (probe == DxDiagProbe)
        RunDxDiagProbe();
    return true;
}
