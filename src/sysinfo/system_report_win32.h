// Gathering the whole system report, and putting it on the clipboard.
#pragma once

#include <windows.h>

#include "sysinfo/report_page.h"
#include "sysinfo/system_facts.h"

// Runs every probe and builds the four pages, without any window: what the
// system information window shows when it opens.
SystemReport GatherSystemReport();

// The facts of the last gathering.
const SystemFacts& CurrentSystemFacts();

// Puts the report on the clipboard as CF_TEXT (ANSI code page) and, so that
// no character is lost, as CF_UNICODETEXT too, in one clipboard transaction.
// False, with the clipboard unchanged, when memory or the clipboard is not
// available.
bool CopyReportToClipboard(const SystemReport& report, HWND owner);
