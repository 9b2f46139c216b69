#include "support/app_fixture.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "shell/app_state_win32.h"
#include "shell/text_table_win32.h"
#include "support/dialog_driver.h"
#include "sysinfo/system_gathering_win32.h"

void initializeApplicationOnce()
{
    static const bool initialized = InitializeApplication(GetModuleHandleW(nullptr));
    ASSERT_TRUE(initialized);
}

std::wstring settingsFile(const wchar_t* name)
{
    initializeApplicationOnce();
    wchar_t path[SettingsPathCapacity];
    EXPECT_TRUE(SettingsFilePath(name, path));
    return path;
}

void removeSettingsFile(const wchar_t* name)
{
    DeleteFileW(settingsFile(name).c_str());
}

ScopedLanguage::ScopedLanguage(std::uint8_t language)
{
    initializeApplicationOnce();
    previous_ = LanguageIndex();
    use(language);
}

ScopedLanguage::~ScopedLanguage()
{
    SetLanguageIndex(previous_);
    LoadStringTable(previous_);
}

void ScopedLanguage::use(std::uint8_t language)
{
    SetLanguageIndex(language);
    EXPECT_TRUE(LoadStringTable(language)) << "language " << int{language};
}

namespace {

const wchar_t* const SettingsFiles[] = {L"config.lng", L"config.sys", L"config.pad"};

// What the process looks like between tests.
struct ProcessState {
    std::uint8_t language;
    std::wstring caption; // text 100 of the loaded table
    std::wstring lastText;
    std::optional<std::vector<char>> files[3];

    static ProcessState now()
    {
        ProcessState state{LanguageIndex(), GetText(100), GetText(248), {}};
        for (int i = 0; i < 3; ++i)
            state.files[i] = fileBytes(settingsFile(SettingsFiles[i]));
        return state;
    }
};

class ProcessStateGuard : public testing::EmptyTestEventListener {
public:
    explicit ProcessStateGuard(ProcessState start) : start_(std::move(start)) {}

    void OnTestEnd(const testing::TestInfo& test) override
    {
        const std::string name = std::string(test.test_suite_name()) + "." + test.name();
        EXPECT_TRUE(gatheringEnded()) << name << " left a system information gathering running";
        const ProcessState end = ProcessState::now();
        EXPECT_EQ(int{start_.language}, int{end.language}) << name << " left LanguageIndex changed";
        EXPECT_TRUE(start_.caption == end.caption && start_.lastText == end.lastText)
            << name << " left another text table loaded";
        for (int i = 0; i < 3; ++i) {
            EXPECT_TRUE(start_.files[i] == end.files[i])
                << name << " left " << (start_.files[i] ? "a changed " : "a new ") << "settings file, "
                << testing::PrintToString(std::wstring(SettingsFiles[i]));
            start_.files[i] = end.files[i];
        }
        // Put the language back, so that one test's leak fails only that test.
        SetLanguageIndex(start_.language);
        LoadStringTable(start_.language);
    }

private:
    ProcessState start_;
};

} // namespace

std::optional<std::vector<char>> fileBytes(const std::wstring& path)
{
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    std::vector<char> bytes(GetFileSize(file, nullptr));
    DWORD got = 0;
    if (!bytes.empty() && !ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr))
        got = 0;
    bytes.resize(got);
    CloseHandle(file);
    return bytes;
}

bool gatheringEnded()
{
    for (int i = 0; i < 3000 && RunningGatheringWorkers() > 0; ++i) {
        Player::pumpUntilIdle();
        Sleep(10);
    }
    return RunningGatheringWorkers() == 0;
}

void guardProcessState()
{
    initializeApplicationOnce();
    LoadStringTable(LanguageIndex());
    testing::UnitTest::GetInstance()->listeners().Append(new ProcessStateGuard(ProcessState::now()));
}
