#include "shell/app_state_win32.h"

#include <cstring>
#include <cwchar>
#include <string>

#include "foundation/paths_win32.h"
#include "foundation/replace_file_win32.h"

namespace {

struct ApplicationState {
    HINSTANCE instance = nullptr;
    Utf8String programFolder;
    wchar_t userSettingsFolder[SettingsPathCapacity] = {};
    // False when the settings folder path does not fit its buffer.
    bool settingsPathUsable = true;
    wchar_t languageFilePath[SettingsPathCapacity] = {};
    LanguageSettings languageAsRead = {};
    LanguageSettings language = {LanguageFileMagic, 0};
    HBRUSH transparentStaticBrush = nullptr;
};
ApplicationState app;

// Progress: 0 not started, 1 running, 2 done. Result: -1 not yet tested.
volatile LONG latestProgress = 0;
volatile LONG latestResult = -1;

const wchar_t LanguageFileName[] = L"config.lng";

// The registry views "Language" is looked for in, in order. The game's
// installer is a 32-bit program, so on a 64-bit system the value it wrote
// lies in the 32-bit view; a value in the 64-bit view still counts after it.
// A 32-bit build reads its own view, which is that same 32-bit view.
#ifdef _WIN64
constexpr REGSAM LanguageViews[] = {KEY_WOW64_32KEY, KEY_WOW64_64KEY};
#else
constexpr REGSAM LanguageViews[] = {0};
#endif

// The language of one view: a REG_DWORD of a language the tool has.
std::optional<std::uint8_t> languageFromRegistryView(const std::wstring& keyName, REGSAM view)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyName.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS)
        return std::nullopt;
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    const LSTATUS status =
        RegQueryValueExW(key, L"Language", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_DWORD)
        return std::nullopt;
    return languageFromRegistryValue(value);
}

std::optional<std::uint8_t> languageFromRegistry()
{
    std::wstring keyName = L"SOFTWARE\\Tallowin\\";
    Utf16String productName;
    Utf8String(ProductFolderName()).ToUtf16(productName);
    keyName += wideText(productName);
    for (const REGSAM view : LanguageViews) {
        if (const auto language = languageFromRegistryView(keyName, view))
            return language;
    }
    return std::nullopt;
}

bool copyInto(wchar_t (&out)[SettingsPathCapacity], const wchar_t* first, const wchar_t* second = L"")
{
    const std::size_t firstLength = std::wcslen(first);
    const std::size_t secondLength = std::wcslen(second);
    if (firstLength + secondLength >= SettingsPathCapacity)
        return false;
    std::wmemcpy(out, first, firstLength);
    std::wmemcpy(out + firstLength, second, secondLength + 1);
    return true;
}

} // namespace

bool IsLatestVariant()
{
    if (InterlockedCompareExchange(&latestProgress, 0, 0) != 2 &&
        InterlockedCompareExchange(&latestProgress, 1, 0) == 0) {
        const bool exists = fileExists(Utf8String::Concat(app.programFolder, "\\latest.txt"));
        InterlockedCompareExchange(&latestResult, exists ? 1 : 0, -1);
        InterlockedCompareExchange(&latestProgress, 2, 1);
    }
    while (InterlockedExchangeAdd(&latestProgress, 0) != 2)
        Sleep(1);
    return InterlockedExchangeAdd(&latestResult, 0) != 0;
}

const char* ProductFolderName()
{
    return IsLatestVariant() ? "ORVANTE Beta Version LATEST" : "ORVANTE Beta Version";
}

std::uint8_t DefaultLanguageIndex(const wchar_t* languageFilePath)
{
    if (languageFilePath[0] != 0) {
        unsigned char bytes[5] = {};
        const std::size_t got = ReadSettingsFileStart(languageFilePath, bytes, sizeof bytes);
        if (const auto fromFile = languageFromFileBytes(bytes, got))
            return *fromFile;
    }
    if (const auto fromRegistry = languageFromRegistry())
        return *fromRegistry;
    return LanguageIdToIndex(GetUserDefaultLangID());
}

LanguageSettings ReadLanguageSettings(const wchar_t* languageFilePath, LanguageSettings& asRead)
{
    unsigned char bytes[8] = {};
    const std::size_t got =
        languageFilePath[0] ? ReadSettingsFileStart(languageFilePath, bytes, sizeof bytes) : 0;
    std::memcpy(&asRead, bytes, sizeof bytes);
    if (const auto settings = decodeLanguageFile(bytes, got))
        return *settings;
    LanguageSettings settings{LanguageFileMagic, 0};
    storeLanguageIndex(settings, DefaultLanguageIndex(languageFilePath));
    return settings;
}

bool InitializeApplication(HINSTANCE instance)
{
    wchar_t modulePath[MAX_PATH] = {};
    if (GetModuleFileNameW(nullptr, modulePath, MAX_PATH) == 0)
        return false;
    if (wchar_t* lastSeparator = std::wcsrchr(modulePath, L'\\'))
        *lastSeparator = 0;
    app.programFolder = utf16Text(modulePath);
    RemoveTrailingSeparator(app.programFolder);

    Utf8String folder;
    if (GetDocumentsFolder(folder)) {
        folder.Append("\\My Games\\");
        folder.Append(ProductFolderName());
    }
    Utf16String wideFolder;
    folder.ToUtf16(wideFolder);

    // A folder that does not fit the settings paths is neither created nor
    // used: the tool then runs with its defaults and leaves its files alone.
    std::wstring languagePath = std::wstring(wideText(wideFolder)) + L"\\" + LanguageFileName;
    app.settingsPathUsable = languagePath.size() < SettingsPathCapacity;
    if (app.settingsPathUsable) {
        createDirectory(folder); // failure shows later as defaults and unsaved files
        copyInto(app.userSettingsFolder, wideText(wideFolder));
        copyInto(app.languageFilePath, languagePath.c_str());
    }
    LoadLanguageSettings();

    app.instance = instance;
    app.transparentStaticBrush = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    return true;
}

void ShutdownApplication()
{
    DeleteObject(app.transparentStaticBrush);
    app.transparentStaticBrush = nullptr;
}

HINSTANCE AppInstance()
{
    return app.instance;
}
const Utf8String& ProgramFolder()
{
    return app.programFolder;
}
const wchar_t* UserSettingsFolder()
{
    return app.userSettingsFolder;
}

std::size_t ReadSettingsFileStart(const wchar_t* path, void* bytes, std::uint32_t count)
{
    const HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    DWORD got = 0;
    if (!ReadFile(file, bytes, count, &got, nullptr))
        got = 0;
    CloseHandle(file);
    return got;
}

bool SettingsFilePath(const wchar_t* fileName, wchar_t (&out)[SettingsPathCapacity])
{
    out[0] = 0;
    if (!app.settingsPathUsable)
        return false;
    std::wstring path = std::wstring(app.userSettingsFolder) + L"\\" + fileName;
    return copyInto(out, path.c_str());
}

std::uint8_t LanguageIndex()
{
    return languageIndexOf(app.language);
}
void SetLanguageIndex(std::uint8_t index)
{
    storeLanguageIndex(app.language, index);
}
const LanguageSettings& CurrentLanguageSettings()
{
    return app.language;
}
const LanguageSettings& LanguageSettingsAsRead()
{
    return app.languageAsRead;
}

void LoadLanguageSettings()
{
    app.language = ReadLanguageSettings(app.languageFilePath, app.languageAsRead);
}

bool SaveLanguageSettings()
{
    if (app.languageFilePath[0] == 0)
        return false;
    unsigned char bytes[8];
    encodeLanguageFile(app.language, bytes);
    return writeFileReplacing(app.languageFilePath, bytes, sizeof bytes);
}

HBRUSH TransparentStaticBrush()
{
    return app.transparentStaticBrush;
}
