// What the system report tests put on the machine to find again: entries of
// the Uninstall key and application windows. Both are removed again when the
// holder goes.
#pragma once

#include <windows.h>

#include <string>

// UTF-16 text as UTF-8, for messages.
std::string narrow(const std::u16string& text);

// The program's state set up as at start-up, with the English texts loaded.
void useEnglishTexts();

// The clipboard's text in either form; empty when it holds none.
std::wstring unicodeOnClipboard();
std::string ansiOnClipboard();
// Replaces the clipboard's content by `text`, as another program would.
void putOnClipboard(const std::wstring& text);

class TestUninstallEntries {
public:
    static constexpr const char16_t* DisplayName = u"ORVANTE Report Test Application";
    static constexpr const char16_t* NamelessKey = u"OrvanteReportTestNameless";
    // Registered in the 32-bit view of the registry only.
    static constexpr const char16_t* ThirtyTwoBitName = u"ORVANTE Report Test 32-bit Application";

    TestUninstallEntries();
    ~TestUninstallEntries();
    TestUninstallEntries(const TestUninstallEntries&) = delete;
    TestUninstallEntries& operator=(const TestUninstallEntries&) = delete;
};

class TestApplicationWindows {
public:
    static constexpr const char16_t* Title = u"ORVANTE Report Test Window";
    static constexpr const char16_t* HiddenTitle = u"ORVANTE Report Hidden Window";
    static constexpr const char16_t* OwnedTitle = u"ORVANTE Report Owned Window";
    static constexpr const char16_t* DisabledTitle = u"ORVANTE Report Disabled Window";

    TestApplicationWindows();
    ~TestApplicationWindows();
    TestApplicationWindows(const TestApplicationWindows&) = delete;
    TestApplicationWindows& operator=(const TestApplicationWindows&) = delete;

private:
    HWND windows_[4] = {};
};
