// The report model behind the system information window: one page per tab,
// holding the rows its list shows and the same content as report text.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

// The localized text of a text number; never null (empty when missing).
using TextLookup = const char16_t* (*)(std::uint32_t number);

// The pages by tab index.
enum class PageKind : std::uint8_t { System = 0, Application = 1, Process = 2, Installation = 3 };
inline constexpr std::size_t PageCount = 4;

struct ReportColumn {
    std::uint32_t textNumber;
    int width; // pixels
};

struct ReportPageLayout {
    int dialogId;
    std::uint32_t captionText;
    std::u16string_view header;
    std::vector<ReportColumn> columns;
};

// Dialog, tab caption, report header and columns of a page.
const ReportPageLayout& PageLayout(PageKind kind);

struct ReportPage {
    std::size_t columnCount = 0;
    // The rows the page's list shows, in the order added; each holds
    // columnCount cells.
    std::vector<std::vector<std::u16string>> rows;
    // The header, then one line per row: cells joined by a tab, ended by CR LF.
    std::u16string PageText;
};

using Cells = std::initializer_list<std::u16string_view>;

// A page with no rows whose text is its header alone.
ReportPage CreateReportPage(PageKind kind);
// A list row and its text line. Cells beyond the given ones are empty.
void AddRow(ReportPage& page, Cells cells);
// The list row alone.
void AddListRow(ReportPage& page, Cells cells);
// The text line alone.
void AppendTextLine(ReportPage& page, Cells cells);

// The four pages of one gathering, by tab index.
struct SystemReport {
    std::array<ReportPage, PageCount> pages;

    ReportPage& page(PageKind kind) { return pages[static_cast<std::size_t>(kind)]; }
    const ReportPage& page(PageKind kind) const { return pages[static_cast<std::size_t>(kind)]; }
};

// Four pages without rows, each holding its header.
SystemReport CreateSystemReport();

// The clipboard report: the page texts in the order System, Application,
// Installation, Process.
std::u16string AssembleReport(const SystemReport& report);
