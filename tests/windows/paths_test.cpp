// Directory creation, file tests and the Documents folder on the real file
// system.
#include "foundation/paths_win32.h"

#include <gtest/gtest.h>

#include <string>

#include "support/temp_folder.h"

namespace {

Utf8String utf8(const std::wstring& text)
{
    return Utf8String(utf16Text(text.c_str()));
}

bool isDirectory(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

TEST(DirectoryCreation, MakesEveryMissingLevelWithEitherSeparator)
{
    TempFolder temp;
    EXPECT_TRUE(createDirectory(utf8(temp.path() + L"\\a\\b\\c")));
    EXPECT_TRUE(isDirectory(temp.path() + L"\\a\\b\\c"));

    std::wstring slashed = temp.path() + L"/x/y/z";
    EXPECT_TRUE(createDirectory(utf8(slashed)));
    EXPECT_TRUE(isDirectory(temp.path() + L"\\x\\y\\z"));

    EXPECT_TRUE(createDirectory(utf8(temp.path() + L"\\\x65E5\x672C\\\x00FC")));
    EXPECT_TRUE(isDirectory(temp.path() + L"\\\x65E5\x672C\\\x00FC"));
}

TEST(DirectoryCreation, ExistingDirectoryIsSuccessAndEmptyPathIsNot)
{
    TempFolder temp;
    EXPECT_TRUE(createDirectory(utf8(temp.path())));
    EXPECT_FALSE(createDirectory(Utf8String()));
}

TEST(DirectoryCreation, BytesThatDecodeToNothingNameNoDirectory)
{
    const std::string paths[] = {"\xED\xA0\x80", std::string("\0", 1), "\xED\xB0\x80\xED\xA0\x80"};
    for (const std::string& path : paths)
        EXPECT_FALSE(createDirectory(Utf8String(path.data(), static_cast<std::uint32_t>(path.size()))))
            << path.size() << " bytes";
}

TEST(DirectoryCreation, StopsAtALevelThatIsAFile)
{
    TempFolder temp;
    temp.write(L"blocker", "x");
    EXPECT_FALSE(createDirectory(utf8(temp.path() + L"\\blocker\\inner")));
    EXPECT_FALSE(isDirectory(temp.path() + L"\\blocker\\inner"));
}

TEST(FileExists, TrueOnlyForAnExistingFile)
{
    TempFolder temp;
    temp.write(L"present.txt", "1");
    CreateDirectoryW(temp.file(L"folder.txt").c_str(), nullptr);
    EXPECT_TRUE(fileExists(utf8(temp.file(L"present.txt"))));
    EXPECT_FALSE(fileExists(utf8(temp.file(L"folder.txt"))));
    EXPECT_FALSE(fileExists(utf8(temp.file(L"missing.txt"))));
}

TEST(DocumentsFolder, IsFoundAndOnlyIntoAnEmptyString)
{
    Utf8String documents;
    ASSERT_TRUE(GetDocumentsFolder(documents));
    EXPECT_GT(documents.Length(), 3u);
    Utf16String wide;
    EXPECT_TRUE(isDirectory(reinterpret_cast<const wchar_t*>(documents.ToUtf16Text(wide))));

    Utf8String notEmpty("x");
    EXPECT_FALSE(GetDocumentsFolder(notEmpty));
    EXPECT_EQ(1u, notEmpty.ByteLength());
}
