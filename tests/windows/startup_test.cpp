// What start-up makes of config.lng, the registry value "Language" and the
// user's language, and how the LATEST variant shows.
#include "shell/app_state_win32.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "support/app_fixture.h"
#include "support/temp_folder.h"

namespace {

const wchar_t RegistryKey[] = L"SOFTWARE\\Tallowin\\ORVANTE Beta Version";

// Sets the registry value "Language" in one registry view (the program's
// own, or KEY_WOW64_32KEY / KEY_WOW64_64KEY) for the duration of a test.
class RegistryLanguage {
public:
    RegistryLanguage(DWORD type, const void* data, DWORD size, REGSAM view = 0) : view_(view)
    {
        HKEY key = nullptr;
        EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, RegistryKey, 0, nullptr, 0,
                                                 KEY_WRITE | view, nullptr, &key, nullptr));
        EXPECT_EQ(ERROR_SUCCESS,
                  RegSetValueExW(key, L"Language", 0, type, static_cast<const BYTE*>(data), size));
        RegCloseKey(key);
    }
    ~RegistryLanguage()
    {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, RegistryKey, 0, KEY_SET_VALUE | view_, &key) == ERROR_SUCCESS) {
            RegDeleteValueW(key, L"Language");
            RegCloseKey(key);
        }
    }
    RegistryLanguage(const RegistryLanguage&) = delete;
    RegistryLanguage& operator=(const RegistryLanguage&) = delete;

private:
    REGSAM view_;
};

std::string languageFile(unsigned languageWord, unsigned magic = 0x20090423)
{
    std::string bytes(8, '\0');
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<char>(magic >> (8 * i));
        bytes[4 + i] = static_cast<char>(languageWord >> (8 * i));
    }
    return bytes;
}

LanguageSettings readFrom(const std::wstring& path)
{
    LanguageSettings asRead{};
    return ReadLanguageSettings(path.c_str(), asRead);
}

// The test session runs Wine with LANG=C.UTF-8, which Wine reports as an
// English (United States) user; a run for another user language names the
// language it expects in ORVANTE_EXPECT_LANGUAGE.
std::uint8_t userLanguage()
{
    const char* expected = std::getenv("ORVANTE_EXPECT_LANGUAGE");
    return static_cast<std::uint8_t>(expected ? std::atoi(expected) : int{English});
}

} // namespace

TEST(StartUp, LanguageComesFromAValidConfigLng)
{
    initializeApplicationOnce();
    TempFolder temp;
    struct Case {
        const char* name;
        std::string bytes;
        std::uint32_t languageWord;
    };
    const Case cases[] = {
        {"8 bytes, German with upper bytes", languageFile(0x00000102), 0x00000102},
        {"longer file: only 8 bytes count", languageFile(0x00000003) + "trailing bytes", 0x00000003},
    };
    for (const Case& c : cases) {
        const LanguageSettings settings = readFrom(temp.write(L"config.lng", c.bytes));
        EXPECT_EQ(0x20090423u, settings.magic) << c.name;
        EXPECT_EQ(c.languageWord, settings.languageWord) << c.name;
    }
}

TEST(StartUp, ShortOrForeignFileFallsBackToItsByteFourThenTheUser)
{
    initializeApplicationOnce();
    TempFolder temp;
    const std::uint8_t fromUser = userLanguage();
    struct Case {
        const char* name;
        std::string bytes;
        std::uint8_t expected;
    };
    const Case cases[] = {
        {"6 bytes, byte 4 French", std::string("\x01\x02\x03\x04\x03\x00", 6), French},
        {"foreign magic, byte 4 German", languageFile(0x02, 0x12345678), German},
        {"6 bytes, byte 4 out of range", std::string("\x01\x02\x03\x04\x04\x00", 6), fromUser},
        {"valid magic, language out of range", languageFile(0x07), fromUser},
        {"4 bytes", std::string("\x23\x04\x09\x20", 4), fromUser},
    };
    for (const Case& c : cases) {
        const LanguageSettings settings = readFrom(temp.write(L"config.lng", c.bytes));
        EXPECT_EQ(0x20090423u, settings.magic) << c.name;
        EXPECT_EQ(c.expected, settings.languageWord) << c.name << ": upper bytes stay zero";
    }
    EXPECT_EQ(fromUser, readFrom(temp.file(L"missing.lng")).languageWord);
}

TEST(StartUp, RegistryValueDecidesWhenTheFileDoesNot)
{
    initializeApplicationOnce();
    TempFolder temp;
    const std::wstring missing = temp.file(L"config.lng");
    const std::uint8_t fromUser = userLanguage();
    const std::uint8_t other = German;
    {
        const DWORD value = other;
        RegistryLanguage registry(REG_DWORD, &value, sizeof value);
        EXPECT_EQ(other, readFrom(missing).languageWord);
    }
    {
        const DWORD value = 9;
        RegistryLanguage registry(REG_DWORD, &value, sizeof value);
        EXPECT_EQ(fromUser, readFrom(missing).languageWord) << "a language the tool lacks is ignored";
    }
    {
        const wchar_t text[] = L"3";
        RegistryLanguage registry(REG_SZ, text, sizeof text);
        EXPECT_EQ(fromUser, readFrom(missing).languageWord) << "only a DWORD counts";
    }
}

// The game's 32-bit installer writes "Language" into the 32-bit registry
// view; a 64-bit tool must find it there before it looks at its own view.
TEST(StartUp, InstallersLanguageInThe32BitViewComesFirst)
{
    initializeApplicationOnce();
    TempFolder temp;
    const std::wstring missing = temp.file(L"config.lng");
    const std::uint8_t fromUser = userLanguage();
    const std::uint8_t first = fromUser == German ? French : German;
    const std::uint8_t second = fromUser == English ? Japanese : English;
    struct Value {
        DWORD type = REG_NONE; // REG_NONE: no value in this view
        DWORD number = 0;
    };
    struct Case {
        const char* name;
        Value view32, view64;
        std::uint8_t expected;
    };
    const Case cases[] = {
        {"only the 32-bit view", {REG_DWORD, first}, {}, first},
        {"only the 64-bit view", {}, {REG_DWORD, second}, second},
        {"both views: the 32-bit one wins", {REG_DWORD, first}, {REG_DWORD, second}, first},
        {"32-bit language the tool lacks", {REG_DWORD, 4}, {REG_DWORD, second}, second},
        {"32-bit value not a DWORD", {REG_BINARY, first}, {REG_DWORD, second}, second},
        {"neither view usable", {REG_DWORD, 9}, {REG_SZ, 0}, fromUser},
    };
    for (const Case& c : cases) {
        std::vector<std::unique_ptr<RegistryLanguage>> values;
        for (const auto& [value, view] :
             {std::pair{c.view32, KEY_WOW64_32KEY}, std::pair{c.view64, KEY_WOW64_64KEY}}) {
            if (value.type != REG_NONE)
                values.push_back(
                    std::make_unique<RegistryLanguage>(value.type, &value.number, sizeof value.number, view));
        }
        EXPECT_EQ(c.expected, readFrom(missing).languageWord) << c.name;
    }
}

// Also run by a test of its own with a French (Canada) user.
TEST(StartUp, UserLanguageDecidesWhenNothingElseDoes)
{
    initializeApplicationOnce();
    TempFolder temp;
    EXPECT_EQ(userLanguage(), readFrom(temp.file(L"config.lng")).languageWord);
}

TEST(StartUp, SettingsFolderIsCreatedUnderMyGamesInDocuments)
{
    initializeApplicationOnce();
    const std::wstring folder = UserSettingsFolder();
    const std::wstring tail = L"\\My Games\\ORVANTE Beta Version";
    ASSERT_GE(folder.size(), tail.size());
    EXPECT_EQ(tail, folder.substr(folder.size() - tail.size()));
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(folder + L"\\config.sys", settingsFile(L"config.sys"));
}

TEST(StartUp, LatestVariantAnswersTheSameOnEveryThread)
{
    initializeApplicationOnce();
    const bool first = IsLatestVariant();
    std::vector<std::thread> threads;
    std::vector<int> answers(8, -1);
    for (std::size_t i = 0; i < answers.size(); ++i)
        threads.emplace_back([&answers, i] { answers[i] = IsLatestVariant() ? 1 : 0; });
    for (std::thread& thread : threads)
        thread.join();
    for (int answer : answers)
        EXPECT_EQ(first ? 1 : 0, answer);
}
