// Whole-file saves replace the old file in one step or leave it untouched,
// wait a moment for files that another program holds, and clean up after
// themselves.
#include "foundation/replace_file_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cwchar>
#include <thread>

#include "support/file_tree.h"
#include "support/temp_folder.h"

namespace {

// A short window keeps the suite fast: 10 tries, 30 ms apart.
constexpr ReplaceRetries ShortWindow{10, 30};
// For saves that must succeed once a holder lets go: 3 s, so that a test
// thread held up by a loaded machine still releases within the window.
// It costs nothing when the release comes on time.
constexpr ReplaceRetries PatientWindow{100, 30};

bool exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

TEST(WholeFileSave, WritesANewFileAndReplacesAnOldOne)
{
    TempFolder temp;
    const std::wstring path = temp.file(L"config.sys");
    EXPECT_TRUE(writeFileReplacing(path.c_str(), "first", 5));
    EXPECT_EQ("first", readWholeFile(path));
    EXPECT_TRUE(writeFileReplacing(path.c_str(), "2nd", 3));
    EXPECT_EQ("2nd", readWholeFile(path));
    EXPECT_FALSE(exists(temporaryPathFor(path.c_str()))) << "no temporary file is left behind";
}

TEST(WholeFileSave, TheTemporaryFileLiesBesideTheTargetAndIsNoLonger)
{
    for (const wchar_t* path :
         {L"C:\\users\\me\\config.sys", L"C:/users/me/config.pad", L"C:\\a/b\\config.lng", L"config.sys"}) {
        const std::wstring temporary = temporaryPathFor(path);
        const std::size_t folder = temporary.find_last_of(L"\\/") + 1;
        EXPECT_EQ(std::wstring(path).substr(0, folder), temporary.substr(0, folder)) << path;
        EXPECT_LE(temporary.size(), std::wcslen(path)) << path;
    }
    // Each settings file its own, so that no save can move another's.
    EXPECT_EQ(L"C:\\me\\~lng.tmp", temporaryPathFor(L"C:\\me\\config.lng"));
    EXPECT_NE(temporaryPathFor(L"config.sys"), temporaryPathFor(L"config.pad"));
}

// A settings folder so deep that config.sys just fits in MAX_PATH.
TEST(WholeFileSave, SavesWhenTheTargetPathIsAtTheLimit)
{
    TempFolder temp;
    std::wstring folder = temp.path();
    const std::size_t wanted = MAX_PATH - 1 - std::wcslen(L"\\config.sys");
    while (folder.size() < wanted) {
        const std::size_t remaining = wanted - folder.size();
        folder += L"\\" + std::wstring(remaining > 101 ? 50 : remaining - 1, L'd');
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr)) << folder.size();
    }
    ASSERT_EQ(wanted, folder.size());
    const std::wstring path = folder + L"\\config.sys";
    ASSERT_EQ(std::size_t{MAX_PATH - 1}, path.size());

    EXPECT_TRUE(writeFileReplacing(path.c_str(), "old", 3));
    EXPECT_TRUE(writeFileReplacing(path.c_str(), "new bytes", 9));
    EXPECT_EQ("new bytes", readWholeFile(path));
    EXPECT_FALSE(exists(temporaryPathFor(path.c_str())));
}

TEST(WholeFileSave, FailureLeavesTheOldFileAsItWasAndNoTemporaryFile)
{
    struct Case {
        const char* name;
        void (*block)(const std::wstring& path);
        void (*unblock)(const std::wstring& path);
    };
    const Case cases[] = {
        {"a folder where the temporary file goes",
         [](const std::wstring& path) { CreateDirectoryW(temporaryPathFor(path.c_str()).c_str(), nullptr); },
         [](const std::wstring& path) { RemoveDirectoryW(temporaryPathFor(path.c_str()).c_str()); }},
        {"a read-only file",
         [](const std::wstring& path) { SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY); },
         [](const std::wstring& path) { SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder temp;
        const std::wstring path = temp.write(L"config.sys", "old bytes");
        c.block(path);
        EXPECT_FALSE(writeFileReplacing(path.c_str(), "new", 3, ShortWindow));
        c.unblock(path);
        EXPECT_EQ("old bytes", readWholeFile(path));
        EXPECT_FALSE(exists(temporaryPathFor(path.c_str())));
    }

    TempFolder temp;
    EXPECT_FALSE(writeFileReplacing(temp.file(L"no such folder\\config.sys").c_str(), "new", 3));
}

// Virus scanners and sync clients open a freshly written file for a moment;
// the save waits for them within its window and gives up after it.
TEST(WholeFileSave, ATargetHeldOpenBrieflyIsReplacedOnceReleased)
{
    TempFolder temp;
    const std::wstring path = temp.write(L"config.sys", "old bytes");
    FileHolder holder(path);
    ASSERT_TRUE(holder.holding());
    std::thread releaser([&holder] {
        Sleep(60);
        holder.release();
    });
    const bool saved = writeFileReplacing(path.c_str(), "new", 3, PatientWindow);
    releaser.join();
    EXPECT_TRUE(saved);
    EXPECT_EQ("new", readWholeFile(path));
    EXPECT_FALSE(exists(temporaryPathFor(path.c_str())));
}

TEST(WholeFileSave, ATargetHeldPastTheWindowKeepsItsBytes)
{
    TempFolder temp;
    const std::wstring path = temp.write(L"config.sys", "old bytes");
    {
        FileHolder holder(path);
        ASSERT_TRUE(holder.holding());
        EXPECT_FALSE(writeFileReplacing(path.c_str(), "new", 3, ShortWindow));
    }
    EXPECT_EQ("old bytes", readWholeFile(path));
    EXPECT_FALSE(exists(temporaryPathFor(path.c_str())));
}

// Two copies of the tool save different files of one folder while another
// program holds both for a moment: each file ends with its own bytes. The
// first save is waiting to replace its file when the second one starts.
TEST(WholeFileSave, SavesOfTwoFilesAtOnceNeverTradeContents)
{
    TempFolder temp;
    const std::wstring language = temp.write(L"config.lng", "old language");
    const std::wstring general = temp.write(L"config.sys", "old general");
    FileHolder heldLanguage(language), heldGeneral(general);
    ASSERT_TRUE(heldLanguage.holding() && heldGeneral.holding());
    bool languageSaved = false, generalSaved = false;
    std::thread first(
        [&] { languageSaved = writeFileReplacing(language.c_str(), "language", 8, PatientWindow); });
    Sleep(50);
    std::thread second(
        [&] { generalSaved = writeFileReplacing(general.c_str(), "general", 7, PatientWindow); });
    Sleep(50);
    heldLanguage.release();
    Sleep(50);
    heldGeneral.release();
    first.join();
    second.join();
    EXPECT_TRUE(languageSaved);
    EXPECT_TRUE(generalSaved);
    EXPECT_EQ("language", readWholeFile(language));
    EXPECT_EQ("general", readWholeFile(general));
}

// A save cut off by a crash leaves its temporary file; the next save
// removes it, whether or not it succeeds, and touches nothing else.
TEST(WholeFileSave, ALeftoverTemporaryFileIsRemovedAtTheNextSave)
{
    for (const bool targetWritable : {true, false}) {
        SCOPED_TRACE(targetWritable ? "save succeeds" : "save fails");
        TempFolder temp;
        const std::wstring path = temp.write(L"config.sys", "old bytes");
        const std::wstring leftover = temporaryPathFor(path.c_str());
        temp.write(leftover.substr(leftover.find_last_of(L'\\') + 1), "half a record");
        temp.write(L"config.sys.tmp", "someone else's");
        temp.write(L"notes.txt", "the player's");
        if (!targetWritable)
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);

        EXPECT_EQ(targetWritable, writeFileReplacing(path.c_str(), "new", 3, ShortWindow));
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_FALSE(exists(leftover));
        EXPECT_EQ(targetWritable ? "new" : "old bytes", readWholeFile(path));
        EXPECT_EQ("someone else's", readWholeFile(temp.file(L"config.sys.tmp")));
        EXPECT_EQ("the player's", readWholeFile(temp.file(L"notes.txt")));
    }
}
