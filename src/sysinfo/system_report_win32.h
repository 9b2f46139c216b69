// Gathering the whole system report, and putting it on the clipboard.
#pragma once

#include <windows.h>

#include "sysinfo/system_report.h"

// Runs one step into its part of `parts`. COM must be initialised on the
// calling thread. A step that waits for work elsewhere (the display adapters)
// waits at most `waitLimit` and leaves its part empty after that.
void RunGatheringStep(GatheringStep step, GatheredParts& parts, DWORD waitLimit = INFINITE);
// Runs every step on the calling thread and builds the four pages, without
// any window.
SystemReport GatherSystemReport();

// The facts of the last GatherSystemReport.
const SystemFacts& CurrentSystemFacts();

// Puts the report on the clipboard as CF_TEXT (ANSI code page) and, so that
// no character is lost, as CF_UNICODETEXT too, in one clipboard transaction.
// False, with the clipboard unchanged, when memory or the clipboard is not
// available.
bool CopyReportToClipboard(const SystemReport& report, HWND owner);
