// The clipboard report reaches support intact, and a busy clipboard is left
// as it was.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "sysinfo/probes_win32.h"
#include "support/sysinfo_fixture.h"
#include "sysinfo/system_report_win32.h"

namespace {

SystemReport sampleReport()
{
    SystemReport report = CreateSystemReport();
    AddRow(report.page(PageKind::System), {u"  ├Device", u"\\\\.\\DISPLAY1"});
    AddRow(report.page(PageKind::Application), {u"ゲーム設定 - メモ帳"});
    AddRow(report.page(PageKind::Installation), {u"Café Runtime"});
    AddRow(report.page(PageKind::Process), {u"C:\\ゲーム\\game.exe", u"000004D2"});
    return report;
}

// Keeps the clipboard open from another thread while it lives.
class ClipboardHolder {
public:
    ClipboardHolder()
        : opened_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          release_(CreateEventW(nullptr, TRUE, FALSE, nullptr))
    {
        thread_ = CreateThread(nullptr, 0, hold, this, 0, nullptr);
        WaitForSingleObject(opened_, 5000);
    }
    ~ClipboardHolder()
    {
        SetEvent(release_);
        WaitForSingleObject(thread_, 5000);
        CloseHandle(thread_);
        CloseHandle(opened_);
        CloseHandle(release_);
    }
    ClipboardHolder(const ClipboardHolder&) = delete;
    ClipboardHolder& operator=(const ClipboardHolder&) = delete;

    bool held() const { return held_; }

private:
    static DWORD WINAPI hold(void* parameter)
    {
        auto& self = *static_cast<ClipboardHolder*>(parameter);
        // Opened for a window of its own: Wine lets every opener without a
        // window share the clipboard.
        const HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                            GetModuleHandleW(nullptr), nullptr);
        self.held_ = window && OpenClipboard(window) != FALSE;
        SetEvent(self.opened_);
        WaitForSingleObject(self.release_, 10000);
        if (self.held_)
            CloseClipboard();
        if (window)
            DestroyWindow(window);
        return 0;
    }

    HANDLE opened_;
    HANDLE release_;
    HANDLE thread_ = nullptr;
    bool held_ = false;
};

} // namespace

TEST(SysinfoClipboard, UnicodeReportKeepsEveryCharacterAndAnsiIsTheCodePageForm)
{
    const SystemReport report = sampleReport();
    const std::u16string expected = AssembleReport(report);
    ASSERT_TRUE(CopyReportToClipboard(report, nullptr));

    EXPECT_EQ(asWide(expected), unicodeOnClipboard());
    // The session's Western code page (1252) has é, shows the box drawing
    // character as its nearest "+", and has no place for Japanese.
    ASSERT_EQ(1252u, GetACP()) << "the Wine session runs with LANG=C.UTF-8";
    const std::string ansi = ansiOnClipboard();
    EXPECT_EQ(expected.size(), ansi.size()) << "one byte per character in a Western code page";
    EXPECT_NE(std::string::npos, ansi.find("\r\n  +Device\t\\\\.\\DISPLAY1\r\n")) << ansi;
    EXPECT_NE(std::string::npos, ansi.find("\r\n????? - ???\r\n")) << ansi;
    EXPECT_NE(std::string::npos, ansi.find("\r\nCaf\xE9 Runtime\r\n")) << ansi;
    EXPECT_TRUE(ansi.ends_with("\r\nC:\\???\\game.exe\t000004D2\r\n")) << ansi;
}

TEST(SysinfoClipboard, BusyClipboardKeepsItsContent)
{
    putOnClipboard(L"what the player copied before");
    {
        const ClipboardHolder holder;
        ASSERT_TRUE(holder.held());
        EXPECT_FALSE(CopyReportToClipboard(sampleReport(), nullptr));
    }
    EXPECT_EQ(L"what the player copied before", unicodeOnClipboard());
}

TEST(SysinfoClipboard, CodePageConversionsRoundTripPlainText)
{
    const char brand[] = "Intel(R) Core(TM) i7";
    EXPECT_EQ("Intel(R) Core(TM) i7", ToSystemCodePage(u"Intel(R) Core(TM) i7"));
    EXPECT_EQ(u"Intel(R) Core(TM) i7", FromSystemCodePage(brand, sizeof brand));
    EXPECT_EQ("", ToSystemCodePage(u""));
    EXPECT_EQ(u"", FromSystemCodePage("", 1));
    // A fixed-size field filled to its end has no terminator to stop at.
    const char field[4] = {'A', 'B', 'C', 'D'};
    EXPECT_EQ(u"ABCD", FromSystemCodePage(field, sizeof field));
}
