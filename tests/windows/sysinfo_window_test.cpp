// The system information window, driven as a player would.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <cwctype>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "shell/text_table_win32.h"
#include "shell/language_settings.h"
#include "support/app_fixture.h"
#include "support/dialog_driver.h"
#include "support/sysinfo_fixture.h"
#include "sysinfo/sysinfo_window_win32.h"

namespace {

const std::wstring SystemHeader = L"\r\n\r\n-=-=-=-=-=-=- System Information -=-=-=-=-=-=-\r\n\r\n";
const std::wstring ApplicationHeader = L"\r\n\r\n-=-=-=-=-=-=- Application Information -=-=-=-=-=-=-\r\n\r\n";
const std::wstring ProcessHeader = L"\r\n\r\n-=-=-=-=-=-=- Proccess Information -=-=-=-=-=-=-\r\n\r\n";
const std::wstring InstallHeader = L"\r\n\r\n-=-=-=-=-=-=- Install Information -=-=-=-=-=-=-\r\n\r\n";

using Row = std::vector<std::wstring>;

// Pages are told apart by their columns' widths, which are the same in every
// language.
const std::vector<int> SystemColumns = {180, 550};
const std::vector<int> ApplicationColumns = {550};
const std::vector<int> ProcessColumns = {550, 200};
const std::vector<int> InstallationColumns = {650};

const wchar_t* wide(const char16_t* text)
{
    return reinterpret_cast<const wchar_t*>(text);
}
std::string narrowWide(const std::wstring& text)
{
    return narrow(reinterpret_cast<const char16_t*>(text.c_str()));
}

// The window once its report is shown.
HWND sysinfoDialog()
{
    const HWND dialog = Player::activeDialogWithControl(IDC_SYSINFO_TABS);
    return dialog && Player::ready(dialog) ? dialog : nullptr;
}
HWND tabsOf(HWND dialog)
{
    return GetDlgItem(dialog, IDC_SYSINFO_TABS);
}

std::vector<HWND> pagesOf(HWND dialog, bool visibleOnly)
{
    std::vector<HWND> pages;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[16] = {};
        GetClassNameW(child, className, 16);
        if (lstrcmpW(className, L"#32770") == 0 && (!visibleOnly || IsWindowVisible(child)))
            pages.push_back(child);
    }
    return pages;
}

std::vector<int> columnWidths(HWND list)
{
    const auto header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    std::vector<int> widths;
    const auto count = SendMessageW(header, HDM_GETITEMCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i)
        widths.push_back(static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, i, 0)));
    return widths;
}

std::vector<Row> rowsOf(HWND list)
{
    const std::size_t columns = columnWidths(list).size();
    std::vector<Row> rows;
    const auto count = SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        Row row;
        for (std::size_t c = 0; c < columns; ++c)
            row.push_back(Player::listCellText(list, static_cast<int>(i), static_cast<int>(c)));
        rows.push_back(row);
    }
    return rows;
}

// The only visible page's list, or null when not exactly one page shows.
HWND visibleList(HWND dialog)
{
    const std::vector<HWND> visible = pagesOf(dialog, true);
    return visible.size() == 1 ? GetWindow(visible.front(), GW_CHILD) : nullptr;
}

void chooseTab(HWND dialog, int index)
{
    Player::clickTab(dialog, IDC_SYSINFO_TABS, index);
}

std::size_t countRows(const std::vector<Row>& rows, const std::wstring& first)
{
    std::size_t count = 0;
    for (const Row& row : rows)
        count += row.front() == first ? 1 : 0;
    return count;
}

// The page text of a page whose every row is one line.
std::wstring pageText(const std::wstring& header, const std::vector<Row>& rows)
{
    std::wstring text = header;
    for (const Row& row : rows) {
        for (std::size_t c = 0; c < row.size(); ++c)
            text += (c ? L"\t" : L"") + row[c];
        text += L"\r\n";
    }
    return text;
}

} // namespace

TEST(SystemInformationWindow, ShowsFourTabsAndOnePageAtATime)
{
    useEnglishTexts();
    const TestUninstallEntries uninstall;
    const TestApplicationWindows applications;
    Player::Script script;
    script
        .then("opened on the system tab",
              [] {
                  const HWND dialog = sysinfoDialog();
                  if (!dialog)
                      return false;
                  EXPECT_EQ(0, SendMessageW(tabsOf(dialog), TCM_GETCURSEL, 0, 0));
                  EXPECT_EQ(4u, pagesOf(dialog, false).size());
                  const HWND list = visibleList(dialog);
                  EXPECT_EQ(SystemColumns, columnWidths(list));
                  // Operating system to DirectX version, but the BIOS: Wine
                  // does not report one. Under Wine the layer follows the
                  // system, named with its version.
                  const std::vector<Row> rows = rowsOf(list);
                  const wchar_t* const items[] = {L"Operating System",
                                                  L"Compatibility Layer",
                                                  L"Processor",
                                                  L"Number of Processors",
                                                  L"BIOS",
                                                  L"Language",
                                                  L"Physical Memory",
                                                  L"Virtual Memory",
                                                  L"Page File",
                                                  L"Storage"};
                  EXPECT_LE(11u, rows.size());
                  for (std::size_t i = 0; i < std::size(items) && i < rows.size(); ++i) {
                      EXPECT_EQ(items[i], rows[i][0]);
                      EXPECT_TRUE(i == 4 || !rows[i][1].empty()) << "row " << i;
                  }
                  EXPECT_TRUE(rows[0][1].starts_with(L"Microsoft Windows")) << narrowWide(rows[0][1]);
                  EXPECT_TRUE(rows[1][1].starts_with(L"Wine ") && iswdigit(rows[1][1][5]))
                      << narrowWide(rows[1][1]);
                  // The first drive, whatever its letter and kind.
                  EXPECT_EQ(L":\\    ", rows[9][1].substr(1, 6)) << narrowWide(rows[9][1]);
                  EXPECT_NE(std::wstring::npos, rows[9][1].find(L" Drive")) << narrowWide(rows[9][1]);
                  return true;
              })
        .then("the process tab lists this test",
              [] {
                  const HWND dialog = sysinfoDialog();
                  chooseTab(dialog, 2);
                  const HWND list = visibleList(dialog);
                  EXPECT_EQ(ProcessColumns, columnWidths(list));
                  wchar_t path[MAX_PATH] = {};
                  GetModuleFileNameW(nullptr, path, MAX_PATH);
                  wchar_t id[16];
                  swprintf(id, 16, L"%08X", static_cast<unsigned>(GetCurrentProcessId()));
                  const std::vector<Row> rows = rowsOf(list);
                  EXPECT_EQ(1u, countRows(rows, path));
                  for (const Row& row : rows) {
                      if (row[0] == path) {
                          EXPECT_EQ(id, row[1]);
                      }
                  }
                  return true;
              })
        .then("the application tab lists the test's window once",
              [] {
                  const HWND dialog = sysinfoDialog();
                  chooseTab(dialog, 1);
                  const HWND list = visibleList(dialog);
                  EXPECT_EQ(ApplicationColumns, columnWidths(list));
                  const std::vector<Row> rows = rowsOf(list);
                  EXPECT_EQ(1u, countRows(rows, wide(TestApplicationWindows::Title)));
                  EXPECT_EQ(0u, countRows(rows, wide(TestApplicationWindows::HiddenTitle)));
                  // Opened without an owner, the window lists itself as it was
                  // captioned while it gathered.
                  EXPECT_EQ(1u, countRows(rows, L"Retrieving system information..."));
                  EXPECT_EQ(0u, countRows(rows, L"System Information"));
                  return true;
              })
        .then("the installation tab lists the test's application once",
              [] {
                  const HWND dialog = sysinfoDialog();
                  chooseTab(dialog, 3);
                  const HWND list = visibleList(dialog);
                  EXPECT_EQ(InstallationColumns, columnWidths(list));
                  const std::vector<Row> rows = rowsOf(list);
                  EXPECT_EQ(1u, countRows(rows, wide(TestUninstallEntries::DisplayName)));
                  EXPECT_EQ(0u, countRows(rows, wide(TestUninstallEntries::NamelessKey)));
                  return true;
              })
        .then("back to the system tab",
              [] {
                  const HWND dialog = sysinfoDialog();
                  chooseTab(dialog, 0);
                  EXPECT_EQ(SystemColumns, columnWidths(visibleList(dialog)));
                  return true;
              })
        .then("OK", [] {
            Player::click(sysinfoDialog(), IDOK);
            return true;
        });
    const INT_PTR result = script.run([] { return openSystemInformation(nullptr); });
    EXPECT_TRUE(script.finished()) << script.pendingStep();
    EXPECT_FALSE(script.timedOut());
    EXPECT_EQ(IDOK, result);
}

// Both clipboard forms are the clipboard test's; here, Copy puts the report
// the window shows there.
TEST(SystemInformationWindow, CopyPutsTheWholeReportOnTheClipboard)
{
    useEnglishTexts();
    putOnClipboard(L"old content");
    std::wstring copied;
    DWORD sequence = 0;
    Player::Script script;
    script
        .then("press Copy to Clipboard",
              [&] {
                  const HWND dialog = sysinfoDialog();
                  if (!dialog)
                      return false;
                  sequence = GetClipboardSequenceNumber();
                  Player::click(dialog, IDC_SYSINFO_COPY);
                  return true;
              })
        .then("the report is on the clipboard",
              [&] {
                  if (GetClipboardSequenceNumber() == sequence)
                      return false;
                  const HWND dialog = sysinfoDialog();
                  copied = unicodeOnClipboard();

                  // System, Application, Installation, Process: the texts of
                  // the three inventory pages follow from their lists exactly.
                  std::vector<Row> rows[4];
                  for (int tab = 0; tab < 4; ++tab) {
                      chooseTab(dialog, tab);
                      rows[tab] = rowsOf(visibleList(dialog));
                  }
                  chooseTab(dialog, 0);
                  const std::wstring tail = pageText(ApplicationHeader, rows[1]) +
                                            pageText(InstallHeader, rows[3]) +
                                            pageText(ProcessHeader, rows[2]);
                  EXPECT_TRUE(copied.ends_with(tail)) << narrowWide(copied);
                  EXPECT_FALSE(rows[2].empty());

                  // The system page follows its list too (how its lines are
                  // made is the native table's).
                  EXPECT_TRUE(
                      copied.starts_with(SystemHeader + rows[0][0][0] + L"\t" + rows[0][0][1] + L"\r\n"));
                  sequence = GetClipboardSequenceNumber();
                  Player::click(dialog, IDC_SYSINFO_COPY);
                  return true;
              })
        .then("a second press copies the same report", [&] {
            if (GetClipboardSequenceNumber() == sequence)
                return false;
            EXPECT_EQ(copied, unicodeOnClipboard());
            Player::escape(sysinfoDialog());
            return true;
        });
    const INT_PTR result = script.run([] { return openSystemInformation(nullptr); });
    EXPECT_TRUE(script.finished()) << script.pendingStep();
    EXPECT_EQ(IDCANCEL, result);
}

// The texts, read in two languages; Escape and the close box end the window.
TEST(SystemInformationWindow, TextsReadAsThePlayerExpectsAndEscapeOrTheCloseBoxEndTheWindow)
{
    const struct {
        std::uint8_t language;
        std::vector<std::wstring> texts; // caption, OK, copy, then the four tabs
        void (*leave)(HWND);
    } cases[] = {
        {English,
         {L"System Information", L"OK", L"Copy to Clipboard", L"System Information", L"Application Details",
          L"Process Details", L"Installation Details"},
         Player::escape},
        {German,
         {L"Systeminformationen", L"OK", L"Bericht kopieren", L"Systeminformationen", L"Anwendungsdetails",
          L"Prozessdetails", L"Installationsdetails"},
         Player::closeBox},
    };
    ScopedLanguage language(English);
    for (const auto& c : cases) {
        SCOPED_TRACE(int{c.language});
        language.use(c.language);
        std::vector<std::wstring> shown;
        Player::Script script;
        script.then("read the window and leave", [&] {
            const HWND dialog = sysinfoDialog();
            if (!dialog)
                return false;
            shown = {Player::windowText(dialog), Player::controlText(dialog, IDOK),
                     Player::controlText(dialog, IDC_SYSINFO_COPY)};
            for (const std::wstring& tab : Player::tabTexts(dialog, IDC_SYSINFO_TABS))
                shown.push_back(tab);
            c.leave(dialog);
            return true;
        });
        EXPECT_EQ(IDCANCEL, script.run([] { return openSystemInformation(nullptr); }));
        EXPECT_TRUE(script.finished()) << script.pendingStep();
        EXPECT_EQ(c.texts, shown);
    }
}
