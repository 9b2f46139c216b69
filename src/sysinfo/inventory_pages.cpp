#include "sysinfo/inventory_pages.h"

#include "sysinfo/fact_text.h"

bool IsListedApplicationWindow(bool visible, bool enabled, bool hasParentOrOwner,
                               std::u16string_view className, std::u16string_view title)
{
    if (!visible || !enabled || hasParentOrOwner)
        return false;
    if (className == u"Shell_TrayWnd" || className == u"Progman")
        return false;
    return !title.empty();
}

void FillNamePage(ReportPage& page, const TitleSet& names)
{
    for (const std::u16string& name : names)
        AddRow(page, {name});
}

void FillProcessPage(ReportPage& page, const ProcessMap& processes)
{
    for (const auto& [path, id] : processes)
        AddRow(page, {path, FormatProcessId(id)});
}
