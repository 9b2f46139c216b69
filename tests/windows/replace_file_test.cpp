// Whole-file saves replace the old file in one step or leave it untouched.
#include "foundation/replace_file_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "support/temp_folder.h"

TEST(ReplaceFile, WritesANewFileAndReplacesAnOldOne)
{
    TempFolder temp;
    const std::wstring path = temp.file(L"config.sys");
    EXPECT_TRUE(writeFileReplacing(path.c_str(), "first", 5));
    EXPECT_EQ("first", readWholeFile(path));
    EXPECT_TRUE(writeFileReplacing(path.c_str(), "2nd", 3));
    EXPECT_EQ("2nd", readWholeFile(path));
    EXPECT_EQ("<missing>", readWholeFile(path + L".tmp")) << "no temporary file is left behind";
}

TEST(ReplaceFile, FailureLeavesTheOldFileAsItWas)
{
    TempFolder temp;
    const std::wstring path = temp.write(L"config.sys", "old bytes");

    CreateDirectoryW((path + L".tmp").c_str(), nullptr);
    EXPECT_FALSE(writeFileReplacing(path.c_str(), "new", 3)) << "temporary file cannot be made";
    EXPECT_EQ("old bytes", readWholeFile(path));
    RemoveDirectoryW((path + L".tmp").c_str());

    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(writeFileReplacing(path.c_str(), "new", 3)) << "read-only file";
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ("old bytes", readWholeFile(path));

    EXPECT_FALSE(writeFileReplacing(temp.file(L"no such folder\\config.sys").c_str(), "new", 3));
}
