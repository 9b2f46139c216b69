#include "sysinfo/report_page.h"

#include "resources/resource.h"

namespace {

// Each header is the same in every language.
const ReportPageLayout Layouts[PageCount] = {
    {IDD_SYSINFO_SYSTEM_PAGE,
     179,
     u"\r\n\r\n-=-=-=-=-=-=- System Information -=-=-=-=-=-=-\r\n\r\n",
     {{181, 180}, {182, 550}}},
    {IDD_SYSINFO_APPLICATION_PAGE,
     238,
     u"\r\n\r\n-=-=-=-=-=-=- Application Information -=-=-=-=-=-=-\r\n\r\n",
     {{239, 550}}},
    {IDD_SYSINFO_PROCESS_PAGE,
     233,
     u"\r\n\r\n-=-=-=-=-=-=- Proccess Information -=-=-=-=-=-=-\r\n\r\n",
     {{234, 550}, {235, 200}}},
    {IDD_SYSINFO_INSTALLATION_PAGE,
     236,
     u"\r\n\r\n-=-=-=-=-=-=- Install Information -=-=-=-=-=-=-\r\n\r\n",
     {{237, 650}}},
};

std::vector<std::u16string> rowOf(const ReportPage& page, Cells cells)
{
    std::vector<std::u16string> row(page.columnCount);
    std::size_t column = 0;
    for (std::u16string_view cell : cells) {
        if (column == row.size())
            break;
        row[column++] = cell;
    }
    return row;
}

} // namespace

const ReportPageLayout& PageLayout(PageKind kind)
{
    return Layouts[static_cast<std::size_t>(kind)];
}

ReportPage CreateReportPage(PageKind kind)
{
    const ReportPageLayout& layout = PageLayout(kind);
    ReportPage page;
    page.columnCount = layout.columns.size();
    page.PageText = layout.header;
    return page;
}

void AddListRow(ReportPage& page, Cells cells)
{
    page.rows.push_back(rowOf(page, cells));
}

void AppendTextLine(ReportPage& page, Cells cells)
{
    const std::vector<std::u16string> row = rowOf(page, cells);
    for (std::size_t column = 0; column < row.size(); ++column) {
        if (column > 0)
            page.PageText += u'\t';
        page.PageText += row[column];
    }
    page.PageText += u"\r\n";
}

void AddRow(ReportPage& page, Cells cells)
{
    AddListRow(page, cells);
    AppendTextLine(page, cells);
}

SystemReport CreateSystemReport()
{
    SystemReport report;
    for (std::size_t i = 0; i < PageCount; ++i)
        report.pages[i] = CreateReportPage(static_cast<PageKind>(i));
    return report;
}

std::u16string AssembleReport(const SystemReport& report)
{
    std::u16string text;
    for (PageKind kind : {PageKind::System, PageKind::Application, PageKind::Installation, PageKind::Process})
        text += report.page(kind).PageText;
    return text;
}
