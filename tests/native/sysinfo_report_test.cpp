#include <gtest/gtest.h>

#include "sysinfo/fact_text.h"
#include "sysinfo/inventory_pages.h"
#include "sysinfo/report_page.h"
#include "sysinfo/system_facts.h"
#include "sysinfo/system_report.h"
#include "sysinfo_english_texts.h"

namespace {

const std::u16string SystemHeader = u"\r\n\r\n-=-=-=-=-=-=- System Information -=-=-=-=-=-=-\r\n\r\n";
const std::u16string ApplicationHeader =
    u"\r\n\r\n-=-=-=-=-=-=- Application Information -=-=-=-=-=-=-\r\n\r\n";
const std::u16string ProcessHeader = u"\r\n\r\n-=-=-=-=-=-=- Proccess Information -=-=-=-=-=-=-\r\n\r\n";
const std::u16string InstallHeader = u"\r\n\r\n-=-=-=-=-=-=- Install Information -=-=-=-=-=-=-\r\n\r\n";

using Row = std::vector<std::u16string>;

SystemFacts sampleFacts()
{
    SystemFacts facts;
    facts.operatingSystem = u"Microsoft Windows 7\u3000(build 7601)";
    facts.processor = u"Intel(R) Core(TM) i7";
    facts.processorCounts = u"Logical Core Count 8  Physical Core Count 4";
    facts.bios = u"BIOS 1.0";
    facts.language = u"English";
    facts.physicalMemory = u"4096.000MB";
    facts.virtualMemory = u"2047.875MB";
    facts.pageFile = u"8192.000MB";
    facts.directXVersion = u"DirectX 9.0c";
    return facts;
}

std::vector<std::u16string> column(const ReportPage& page, std::size_t index)
{
    std::vector<std::u16string> cells;
    for (const Row& row : page.rows)
        cells.push_back(row[index]);
    return cells;
}

} // namespace

TEST(ReportPage, HeadersAreFixedAndPagesStartWithTheirHeaderAlone)
{
    const std::pair<PageKind, const std::u16string*> pages[] = {{PageKind::System, &SystemHeader},
                                                                {PageKind::Application, &ApplicationHeader},
                                                                {PageKind::Process, &ProcessHeader},
                                                                {PageKind::Installation, &InstallHeader}};
    for (const auto& [kind, header] : pages) {
        const ReportPage page = CreateReportPage(kind);
        EXPECT_TRUE(page.rows.empty());
        EXPECT_EQ(*header, page.PageText);
    }
    EXPECT_EQ(54u, SystemHeader.size());
    EXPECT_EQ(59u, ApplicationHeader.size());
    EXPECT_EQ(56u, ProcessHeader.size());
    EXPECT_EQ(55u, InstallHeader.size());
}

TEST(ReportPage, LayoutsGiveDialogsCaptionsAndColumns)
{
    struct Expected {
        PageKind kind;
        int dialog;
        std::uint32_t caption;
        std::vector<std::pair<std::uint32_t, int>> columns;
    };
    const Expected expected[] = {
        {PageKind::System, 122, 179, {{181, 180}, {182, 550}}},
        {PageKind::Application, 125, 238, {{239, 550}}},
        {PageKind::Process, 124, 233, {{234, 550}, {235, 200}}},
        {PageKind::Installation, 123, 236, {{237, 650}}},
    };
    for (const Expected& e : expected) {
        const ReportPageLayout& layout = PageLayout(e.kind);
        EXPECT_EQ(e.dialog, layout.dialogId);
        EXPECT_EQ(e.caption, layout.captionText);
        ASSERT_EQ(e.columns.size(), layout.columns.size());
        for (std::size_t i = 0; i < e.columns.size(); ++i) {
            EXPECT_EQ(e.columns[i].first, layout.columns[i].textNumber);
            EXPECT_EQ(e.columns[i].second, layout.columns[i].width);
        }
    }
}

TEST(ReportPage, RowsJoinCellsWithTabAndEndWithCrLf)
{
    ReportPage page = CreateReportPage(PageKind::System);
    AddRow(page, {u"Processor", u""});
    AddRow(page, {u"BIOS"});
    AddListRow(page, {u"List only", u"x"});
    AppendTextLine(page, {u"Text only", u"y"});
    EXPECT_EQ(SystemHeader + u"Processor\t\r\nBIOS\t\r\nText only\ty\r\n", page.PageText);
    ASSERT_EQ(3u, page.rows.size());
    EXPECT_EQ((Row{u"Processor", u""}), page.rows[0]);
    EXPECT_EQ((Row{u"BIOS", u""}), page.rows[1]);
    EXPECT_EQ((Row{u"List only", u"x"}), page.rows[2]);

    ReportPage single = CreateReportPage(PageKind::Installation);
    AddRow(single, {u"Game"});
    EXPECT_EQ(InstallHeader + u"Game\r\n", single.PageText);
}

TEST(Report, AssemblesSystemApplicationInstallationProcessInThatOrder)
{
    SystemReport report = CreateSystemReport();
    AddRow(report.page(PageKind::System), {u"Processor", u""});
    AddRow(report.page(PageKind::Application), {u"Notepad"});
    AddRow(report.page(PageKind::Installation), {u"Game"});
    AddRow(report.page(PageKind::Process), {u"C:\\a.exe", u"000004D2"});
    EXPECT_EQ(SystemHeader + u"Processor\t\r\n" + ApplicationHeader + u"Notepad\r\n" + InstallHeader +
                  u"Game\r\n" + ProcessHeader + u"C:\\a.exe\t000004D2\r\n",
              AssembleReport(report));

    SystemReport empty = CreateSystemReport();
    EXPECT_EQ(SystemHeader + ApplicationHeader + InstallHeader + ProcessHeader, AssembleReport(empty));
}

TEST(SystemFacts, ClearedFactsAreEmptyAndNewDisplayDevicesStartUnknown)
{
    SystemFacts facts = sampleFacts();
    facts.compatibilityLayer = u"Wine 8.0";
    facts.drives.push_back({u"C:\\", u"", u"", u""});
    facts.soundDevices.emplace_back();
    facts.inputDevices.emplace_back();
    facts.displayDevices.push_back(NewDisplayDeviceRecord(englishText));
    ClearSystemFacts(facts);
    for (const std::u16string* text :
         {&facts.operatingSystem, &facts.compatibilityLayer, &facts.processor, &facts.processorCounts,
          &facts.bios, &facts.language, &facts.physicalMemory, &facts.virtualMemory, &facts.pageFile,
          &facts.directXVersion})
        EXPECT_TRUE(text->empty());
    EXPECT_TRUE(facts.drives.empty() && facts.displayDevices.empty() && facts.soundDevices.empty() &&
                facts.inputDevices.empty());

    const DisplayDeviceRecord display = NewDisplayDeviceRecord(englishText);
    EXPECT_EQ(u"Unknown", display.sharedVideoMemory);
    EXPECT_TRUE(display.description.empty() && display.deviceName.empty() && display.vertexTexture.empty());
}

TEST(SystemPage, WithoutDevicesTheListEndsWithDirectXVersion)
{
    const std::u16string otherLines =
        u"Processor\tIntel(R) Core(TM) i7\r\n"
        u"Number of Processors\tLogical Core Count 8  Physical Core Count 4\r\n"
        u"BIOS\tBIOS 1.0\r\nLanguage\tEnglish\r\nPhysical Memory\t4096.000MB\r\n"
        u"Virtual Memory\t2047.875MB\r\nPage File\t8192.000MB\r\n"
        u"DirectX Version\tDirectX 9.0c\r\n";
    const std::u16string osLine = u"Operating System\tMicrosoft Windows 7\u3000(build 7601)\r\n";
    const std::vector<std::u16string> otherItems = {
        u"Processor",       u"Number of Processors", u"BIOS",      u"Language",
        u"Physical Memory", u"Virtual Memory",       u"Page File", u"Storage",
        u"DirectX Version"};
    struct Case {
        const char* name;
        std::u16string compatibilityLayer;
        std::vector<std::u16string> itemsAfterOs;
        std::u16string linesAfterOs;
    };
    const Case cases[] = {
        {"on Windows", u"", {}, u""},
        // Under Wine the layer's row follows the system's, in the list and in the report.
        {"under Wine",
         u"Wine 8.0  Linux 6.1.0",
         {u"Compatibility Layer"},
         u"Compatibility Layer\tWine 8.0  Linux 6.1.0\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SystemFacts facts = sampleFacts();
        facts.compatibilityLayer = c.compatibilityLayer;
        ReportPage page = CreateReportPage(PageKind::System);
        FillSystemPage(page, facts, englishText);
        std::vector<std::u16string> items = {u"Operating System"};
        items.insert(items.end(), c.itemsAfterOs.begin(), c.itemsAfterOs.end());
        items.insert(items.end(), otherItems.begin(), otherItems.end());
        EXPECT_EQ(items, column(page, 0));
        // No drive: the Storage row keeps its place in the list, but has no report line.
        EXPECT_EQ(u"", page.rows[items.size() - 2][1]);
        EXPECT_EQ(SystemHeader + osLine + c.linesAfterOs + otherLines, page.PageText);
    }
}

TEST(SystemPage, StorageLabelShowsOnceInTheListButOnEveryReportLine)
{
    SystemFacts facts = sampleFacts();
    facts.drives.push_back(
        {u"C:\\", u"Hard Disk Drive", u"Total Disk Space 465.762GB", u"Free Disk Space 232.881GB"});
    facts.drives.push_back(
        {u"Z:\\", u"Network Drive", u"Total Disk Space 1.000GB", u"Free Disk Space 0.500GB"});
    ReportPage page = CreateReportPage(PageKind::System);
    FillSystemPage(page, facts, englishText);

    ASSERT_EQ(11u, page.rows.size());
    EXPECT_EQ(u"Storage", page.rows[8][0]);
    EXPECT_EQ(u"C:\\    Hard Disk Drive    Total Disk Space 465.762GB    Free Disk Space 232.881GB",
              page.rows[8][1]);
    EXPECT_EQ(u"", page.rows[9][0]);
    EXPECT_EQ(u"Z:\\    Network Drive    Total Disk Space 1.000GB    Free Disk Space 0.500GB",
              page.rows[9][1]);
    EXPECT_EQ(u"DirectX Version", page.rows[10][0]);
    const std::u16string expectedLines =
        u"Page File\t8192.000MB\r\n"
        u"Storage\tC:\\    Hard Disk Drive    Total Disk Space 465.762GB    Free Disk Space 232.881GB\r\n"
        u"Storage\tZ:\\    Network Drive    Total Disk Space 1.000GB    Free Disk Space 0.500GB\r\n"
        u"DirectX Version\t";
    EXPECT_NE(std::u16string::npos, page.PageText.find(expectedLines));
}

TEST(SystemPage, EveryDeviceGetsItsOwnLabelledBlock)
{
    SystemFacts facts = sampleFacts();
    for (const char16_t* name : {u"\\\\.\\DISPLAY1", u"\\\\.\\DISPLAY2"}) {
        DisplayDeviceRecord display = NewDisplayDeviceRecord(englishText);
        display.deviceName = name;
        display.description = u"GPU";
        display.vertexTexture = u"Supported";
        facts.displayDevices.push_back(display);
    }
    facts.soundDevices.push_back({u"Speakers", u"{id}", u"drv.sys", u"1.0", u"English", u"1/1/2020"});
    facts.inputDevices.push_back(
        {u"{6F1D2B61-D5A0-11CF-BFC7444553540000}", u"Mouse", u"Axis 3  Button 5  Field of View 0"});
    ReportPage page = CreateReportPage(PageKind::System);
    FillSystemPage(page, facts, englishText);

    ASSERT_EQ(10u + 2 * 15 + 6 + 3, page.rows.size());
    const std::vector<std::u16string> items = column(page, 0);
    EXPECT_EQ(u"Graphic Device(s)", items[10]);
    EXPECT_EQ(u"  ├Device", items[11]);
    EXPECT_EQ(u"  ├Shared Video Memory", items[15]);
    EXPECT_EQ(u"  └Vertex Texture", items[24]);
    EXPECT_EQ(u"Graphic Device(s)", items[25]);
    EXPECT_EQ(u"Sound Device(s)", items[40]);
    EXPECT_EQ(u"  └Driver Date", items[45]);
    EXPECT_EQ(u"Input Device(s)", items[46]);
    EXPECT_EQ(u"  └Notes", items[48]);

    const std::vector<std::u16string> values = column(page, 1);
    EXPECT_EQ(u"GPU", values[10]);
    EXPECT_EQ(u"\\\\.\\DISPLAY1", values[11]);
    EXPECT_EQ(u"Unknown", values[15]);
    EXPECT_EQ(u"Supported", values[24]);
    EXPECT_EQ(u"\\\\.\\DISPLAY2", values[26]);
    EXPECT_EQ(
        (std::vector<std::u16string>{u"Speakers", u"{id}", u"drv.sys", u"1.0", u"English", u"1/1/2020"}),
        std::vector<std::u16string>(values.begin() + 40, values.begin() + 46));
    EXPECT_EQ(u"Mouse", values[47]);
    EXPECT_TRUE(
        page.PageText.ends_with(u"Input Device(s)\t{6F1D2B61-D5A0-11CF-BFC7444553540000}\r\n"
                                u"  ├Name\tMouse\r\n  └Notes\tAxis 3  Button 5  Field of View 0\r\n"));
}

// What the graphics runtime and the system say is merged into DxDiag's
// answer: by device name, and only where DxDiag answered at all.
TEST(SystemReport, MergesAdapterAndHostFactsIntoDxDiagsAnswer)
{
    GatheredParts parts;
    for (const char16_t* name : {u"\\\\.\\DISPLAY1", u"\\\\.\\DISPLAY2"}) {
        DisplayDeviceRecord display = NewDisplayDeviceRecord(englishText);
        display.deviceName = name;
        parts.dxdiag.displayDevices.push_back(display);
    }
    parts.dxdiag.operatingSystem = u"as DxDiag names it";
    parts.host = {u"Windows 11 Pro", u"Wine 9.0", u"CPU brand", u"8", u"16384MB", u"32768MB", u"4096MB"};
    Direct3DAdapterFacts first;
    first.identified = true;
    first.name = u"\\\\.\\DISPLAY1";
    first.capsRead = true;
    first.vertexShaderVersion = 0xFFFE0300;
    first.pixelShaderVersion = 0xFFFF0300;
    first.vertexTextures = true;
    Direct3DAdapterFacts unidentified = first;
    unidentified.identified = false;
    unidentified.name = u"\\\\.\\DISPLAY2";
    parts.displayAdapters.direct3D = {first, unidentified};
    parts.displayAdapters.dxgiOutputs = {{u"\\\\.\\DISPLAY2", true, 256u << 20, 0}};

    SystemFacts facts;
    BuildSystemReport(parts, facts, englishText);
    EXPECT_EQ(u"Windows 11 Pro", facts.operatingSystem);
    EXPECT_EQ(u"Wine 9.0", facts.compatibilityLayer);
    EXPECT_EQ(u"", facts.processor) << "DxDiag did not answer for the processor";
    EXPECT_EQ(u"Supported", facts.displayDevices[0].vertexTexture);
    EXPECT_NE(facts.displayDevices[0].vertexShader, facts.displayDevices[1].vertexShader);
    EXPECT_EQ(NewDisplayDeviceRecord(englishText).vertexTexture, facts.displayDevices[1].vertexTexture);
    EXPECT_EQ(FormatVideoMemory(256u << 20), facts.displayDevices[1].videoMemory);
    EXPECT_EQ(NewDisplayDeviceRecord(englishText).videoMemory, facts.displayDevices[0].videoMemory);
}

TEST(ApplicationPage, WindowsThatAreNotApplicationsAreLeftOut)
{
    struct Case {
        bool visible, enabled, owned;
        const char16_t* className;
        const char16_t* title;
        bool listed;
    };
    const Case cases[] = {
        {true, true, false, u"Notepad", u"Untitled - Notepad", true},
        {false, true, false, u"Notepad", u"Hidden", false},
        {true, false, false, u"Notepad", u"Disabled", false},
        {true, true, true, u"Notepad", u"Owned", false},
        {true, true, false, u"Shell_TrayWnd", u"Taskbar", false},
        {true, true, false, u"Progman", u"Program Manager", false},
        {true, true, false, u"progman", u"Lower-case class is an application", true},
        {true, true, false, u"Shell_TrayWndX", u"Longer class is an application", true},
        {true, true, false, u"Notepad", u"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.listed, IsListedApplicationWindow(c.visible, c.enabled, c.owned, c.className, c.title))
            << std::string(c.title, c.title + std::char_traits<char16_t>::length(c.title));
}

TEST(ApplicationPage, TitlesAreListedOnceInCodeUnitOrder)
{
    TitleSet titles = {u"notepad", u"Notepad", u"Zeta", u"Notepad", u"\u30b2\u30fc\u30e0", u"alpha"};
    ReportPage page = CreateReportPage(PageKind::Application);
    FillNamePage(page, titles);
    EXPECT_EQ((std::vector<std::u16string>{u"Notepad", u"Zeta", u"alpha", u"notepad", u"\u30b2\u30fc\u30e0"}),
              column(page, 0));
    EXPECT_EQ(ApplicationHeader + u"Notepad\r\nZeta\r\nalpha\r\nnotepad\r\n\u30b2\u30fc\u30e0\r\n",
              page.PageText);
}

TEST(InstallationPage, EqualDisplayNamesGiveOneRow)
{
    TitleSet names;
    names.insert(u"Game Runtime");
    names.insert(u"Game Runtime");
    ReportPage page = CreateReportPage(PageKind::Installation);
    FillNamePage(page, names);
    EXPECT_EQ(InstallHeader + u"Game Runtime\r\n", page.PageText);
}

TEST(ProcessPage, OneRowPerProgramFileWithTheLaterProcessId)
{
    ProcessMap processes;
    const std::pair<const char16_t*, std::uint32_t> listed[] = {
        {u"C:\\game\\b.exe", 8}, {u"C:\\game\\a.exe", 1234}, {u"C:\\game\\b.exe", 0x2A}};
    for (const auto& [path, id] : listed)
        processes[path] = id;
    ReportPage page = CreateReportPage(PageKind::Process);
    FillProcessPage(page, processes);
    ASSERT_EQ(2u, page.rows.size());
    EXPECT_EQ((Row{u"C:\\game\\a.exe", u"000004D2"}), page.rows[0]);
    EXPECT_EQ((Row{u"C:\\game\\b.exe", u"0000002A"}), page.rows[1]);
    EXPECT_EQ(ProcessHeader + u"C:\\game\\a.exe\t000004D2\r\nC:\\game\\b.exe\t0000002A\r\n", page.PageText);
}
