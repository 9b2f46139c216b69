// The application, installation and process pages: what they list and in
// which order. Items are gathered into sorted containers first, compared as
// UTF-16 code units (upper case before lower case), so equal items appear once.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>

#include "sysinfo/report_page.h"

using TitleSet = std::set<std::u16string>;
// Program file path to the identifier of the last process listed with it.
using ProcessMap = std::map<std::u16string, std::uint32_t>;

// Whether a top-level window belongs on the application page: visible,
// enabled, without parent or owner, not the taskbar or desktop, and titled.
bool IsListedApplicationWindow(bool visible, bool enabled, bool hasParentOrOwner,
                               std::u16string_view className, std::u16string_view title);

// The application page (window titles) and the installation page (display
// names): one row per name, in set order.
void FillNamePage(ReportPage& page, const TitleSet& names);
// One row per program file: its path and its process identifier.
void FillProcessPage(ReportPage& page, const ProcessMap& processes);
