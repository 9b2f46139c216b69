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
    // The adapters' process stays, with the graphics runtime loaded, to answer
    // DxDiag sooner when the tool asks it to.
    if (probe == DisplayAdapterProbe) {
        if (RunDisplayAdapterProbe()) {
            while (ReadProbeCommand() == DxDiagCommand)
                RunDxDiagProbe();
        }
    } else if (probe == DxDiagProbe)
        RunDxDiagProbe();
    return true;
}
