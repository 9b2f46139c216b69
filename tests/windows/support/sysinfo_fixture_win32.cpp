#include "support/sysinfo_fixture.h"

#include <gtest/gtest.h>

#include <cstring>

#include "shell/language_settings.h"
#include "shell/text_table_win32.h"
#include "support/app_fixture.h"

namespace {

const wchar_t UninstallKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
// Two keys with the same display name, and one without any.
const wchar_t* const NamedKeys[] = {L"OrvanteReportTestA", L"OrvanteReportTestB"};
const wchar_t ThirtyTwoBitKey[] = L"OrvanteReportTest32";

const wchar_t* wide(const char16_t* text)
{
    return reinterpret_cast<const wchar_t*>(text);
}

HKEY createKey(const std::wstring& name, REGSAM view = KEY_WOW64_64KEY)
{
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, name.c_str(), 0, nullptr, 0,
                                             KEY_WRITE | view, nullptr, &key, nullptr));
    return key;
}

void deleteKey(const std::wstring& name, REGSAM view = KEY_WOW64_64KEY)
{
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, name.c_str(), view, 0);
}

HWND createWindow(const char16_t* title, DWORD style, HWND owner)
{
    return CreateWindowExW(0, L"STATIC", wide(title), WS_OVERLAPPED | style, 10, 10, 200, 50, owner, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

template <typename Char> std::basic_string<Char> clipboardText(UINT format)
{
    std::basic_string<Char> text;
    if (!OpenClipboard(nullptr))
        return text;
    if (const HANDLE data = GetClipboardData(format)) {
        if (const auto* locked = static_cast<const Char*>(GlobalLock(data))) {
            text = locked;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

} // namespace

std::string narrow(const std::u16string& text)
{
    const auto* source = reinterpret_cast<const wchar_t*>(text.c_str());
    const int length = WideCharToMultiByte(CP_UTF8, 0, source, -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(length > 0 ? length : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, source, -1, bytes.data(), length, nullptr, nullptr);
    bytes.resize(bytes.size() - 1);
    return bytes;
}

std::wstring unicodeOnClipboard()
{
    return clipboardText<wchar_t>(CF_UNICODETEXT);
}
std::string ansiOnClipboard()
{
    return clipboardText<char>(CF_TEXT);
}

void putOnClipboard(const std::wstring& text)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    const std::size_t size = (text.size() + 1) * sizeof(wchar_t);
    const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(GlobalLock(block), text.c_str(), size);
    GlobalUnlock(block);
    SetClipboardData(CF_UNICODETEXT, block);
    CloseClipboard();
}

void useEnglishTexts()
{
    initializeApplicationOnce();
    ASSERT_TRUE(LoadStringTable(English));
}

TestUninstallEntries::TestUninstallEntries()
{
    for (const wchar_t* name : NamedKeys) {
        const HKEY key = createKey(UninstallKey + std::wstring(name));
        const std::wstring value = wide(DisplayName);
        RegSetValueExW(key, L"DisplayName", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
    RegCloseKey(createKey(UninstallKey + std::wstring(wide(NamelessKey))));
    // An application only a 32-bit installer registered.
    const HKEY key = createKey(UninstallKey + std::wstring(ThirtyTwoBitKey), KEY_WOW64_32KEY);
    const std::wstring value = wide(ThirtyTwoBitName);
    RegSetValueExW(key, L"DisplayName", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

TestUninstallEntries::~TestUninstallEntries()
{
    for (const wchar_t* name : NamedKeys)
        deleteKey(UninstallKey + std::wstring(name));
    deleteKey(UninstallKey + std::wstring(ThirtyTwoBitKey), KEY_WOW64_32KEY);
    deleteKey(UninstallKey + std::wstring(wide(NamelessKey)));
}

TestApplicationWindows::TestApplicationWindows()
{
    windows_[0] = createWindow(Title, WS_VISIBLE, nullptr);
    windows_[1] = createWindow(HiddenTitle, 0, nullptr);
    windows_[2] = createWindow(OwnedTitle, WS_VISIBLE, windows_[0]);
    windows_[3] = createWindow(DisabledTitle, WS_VISIBLE | WS_DISABLED, nullptr);
    for (HWND window : windows_)
        EXPECT_NE(nullptr, window);
}

TestApplicationWindows::~TestApplicationWindows()
{
    for (HWND window : windows_) {
        if (window)
            DestroyWindow(window);
    }
}
