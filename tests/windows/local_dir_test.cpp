#include "foundation/local_dir_win32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "foundation/error_record.h"
#include "foundation/local_file_win32.h"
#include "support/file_tree.h"

using Qorm::File::LocalDir;
using Qorm::File::LocalFile;

namespace {

// Paths below the folder, with "\" separators, sorted.
std::set<std::string> relativePaths(const FileTree& folder, const std::vector<Utf8String>& paths)
{
    const std::string root = std::string(folder.path().Data()) + "\\";
    std::set<std::string> relative;
    for (const Utf8String& path : paths) {
        const std::string text = path.Data();
        relative.insert(text.compare(0, root.size(), root) == 0 ? text.substr(root.size())
                                                                : "outside:" + text);
    }
    return relative;
}

class LocalDirTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Qorm::Error::clear();
        // tree\a.txt, tree\b.dat, tree\sub\c.txt, tree\sub\deeper\d.TXT,
        // tree\sub\empty, tree\notes.txt.d (a directory)
        for (const wchar_t* dir :
             {L"tree", L"tree\\sub", L"tree\\sub\\deeper", L"tree\\sub\\empty", L"tree\\notes.txt.d"})
            folder.makeDirectory(dir);
        folder.writeFile(L"tree\\a.txt", "alpha");
        folder.writeFile(L"tree\\b.dat", std::string(20000, 'b'));
        folder.writeFile(L"tree\\sub\\c.txt", "gamma");
        folder.writeFile(L"tree\\sub\\deeper\\d.TXT", "delta");
    }

    FileTree folder;
};

const std::set<std::string> TreeFiles = {"a.txt", "b.dat", "sub\\c.txt", "sub\\deeper\\d.TXT"};

} // namespace

TEST_F(LocalDirTest, FindCollectsMatchingNamesAtEveryDepth)
{
    std::vector<Utf8String> found{Utf8String("stale")};
    ASSERT_TRUE(LocalDir::find(folder.path(L"tree"), "*.txt", found));
    EXPECT_EQ((std::set<std::string>{"tree\\a.txt", "tree\\sub\\c.txt", "tree\\sub\\deeper\\d.TXT"}),
              relativePaths(folder, found));

    ASSERT_TRUE(LocalDir::find(folder.path(L"tree"), "*", found));
    EXPECT_EQ(8u, found.size());
    ASSERT_TRUE(LocalDir::find(folder.path(L"tree"), "none*", found));
    EXPECT_TRUE(found.empty());
    EXPECT_TRUE(Qorm::Error::isEmpty());
}

TEST_F(LocalDirTest, FindInAMissingDirectoryRecordsItAndFindsNothing)
{
    std::vector<Utf8String> found{Utf8String("stale")};
    EXPECT_FALSE(LocalDir::find(folder.path(L"missing"), "*", found));
    EXPECT_TRUE(found.empty());
    EXPECT_EQ(Qorm::Error::DirectoryToSearchMissing, Qorm::Error::newest());
}

TEST_F(LocalDirTest, CopyDirectoryCopiesTheWholeTree)
{
    ASSERT_TRUE(LocalDir::copyDirectory(folder.path(L"tree"), folder.path(L"copy\\of\\tree")));
    for (const std::string& file : TreeFiles) {
        const std::wstring name(file.begin(), file.end());
        EXPECT_EQ(folder.readFile(L"tree\\" + name), folder.readFile(L"copy\\of\\tree\\" + name)) << file;
    }
    EXPECT_TRUE(LocalFile::directoryExists(folder.path(L"copy\\of\\tree\\sub\\empty")));
    EXPECT_TRUE(LocalFile::directoryExists(folder.path(L"copy\\of\\tree\\notes.txt.d")));

    std::vector<Utf8String> copied;
    ASSERT_TRUE(LocalDir::find(folder.path(L"copy\\of\\tree"), "*", copied));
    EXPECT_EQ(8u, copied.size());
}

TEST_F(LocalDirTest, CopyDirectoryRecordsAMissingSourceOrDestination)
{
    EXPECT_FALSE(LocalDir::copyDirectory(folder.path(L"missing"), folder.path(L"copy")));
    EXPECT_EQ(Qorm::Error::CopySourceMissing, Qorm::Error::newest());
    EXPECT_FALSE(folder.exists(L"copy"));

    EXPECT_FALSE(LocalDir::copyDirectory(folder.path(L"tree"), Utf8String()));
    EXPECT_EQ(Qorm::Error::CopyDestinationEmpty, Qorm::Error::newest());
}

TEST_F(LocalDirTest, CopyDirectoryIntoItselfIsRefused)
{
    EXPECT_FALSE(LocalDir::copyDirectory(folder.path(L"tree"), folder.path(L"tree\\sub\\backup")));
    EXPECT_FALSE(folder.exists(L"tree\\sub\\backup"));
    EXPECT_FALSE(LocalDir::copyDirectory(folder.path(L"tree"), folder.path(L"TREE\\")));
    EXPECT_EQ(Qorm::Error::SystemErrorMark, Qorm::Error::newest());

    ASSERT_TRUE(LocalDir::copyDirectory(folder.path(L"tree\\sub"), folder.path(L"tree\\sub2")));
    EXPECT_EQ("gamma", folder.readFile(L"tree\\sub2\\c.txt"));
}

// Windows refuses to remove a read-only directory, so a recursive removal
// clears the flag first; a directory that then stays is read-only again.
TEST_F(LocalDirTest, ARemovalThatFailsLeavesAReadOnlyDirectoryReadOnly)
{
    ASSERT_TRUE(LocalFile::setDirectoryReadOnly(folder.path(L"tree\\sub"), true));
    if (!(folder.attributes(L"tree\\sub") & FILE_ATTRIBUTE_READONLY))
        GTEST_SKIP() << "this file system keeps no read-only flag on directories (Wine)";
    {
        FileHolder holder(folder.wide(L"tree\\sub\\c.txt"));
        ASSERT_TRUE(holder.holding());
        EXPECT_FALSE(LocalDir::removeDirectory(folder.path(L"tree\\sub"), true));
    }
    EXPECT_TRUE(folder.attributes(L"tree\\sub") & FILE_ATTRIBUTE_READONLY);

    Qorm::Error::clear();
    EXPECT_TRUE(LocalDir::removeDirectory(folder.path(L"tree\\sub"), true));
    EXPECT_FALSE(folder.exists(L"tree\\sub"));
    EXPECT_TRUE(Qorm::Error::isEmpty());
}

TEST_F(LocalDirTest, RemoveDirectoryRecursiveRemovesReadOnlyFilesToo)
{
    ASSERT_TRUE(LocalFile::setReadOnly(folder.path(L"tree\\sub\\c.txt"), true));
    EXPECT_FALSE(LocalDir::removeDirectory(folder.path(L"tree"), false));
    EXPECT_EQ(Qorm::Error::SystemErrorMark, Qorm::Error::newest());
    EXPECT_EQ("alpha", folder.readFile(L"tree\\a.txt"));

    EXPECT_TRUE(LocalDir::removeDirectory(folder.path(L"tree"), true));
    EXPECT_FALSE(folder.exists(L"tree"));

    EXPECT_FALSE(LocalDir::removeDirectory(folder.path(L"tree"), true));
    EXPECT_EQ(Qorm::Error::SystemErrorMark, Qorm::Error::newest());
}

TEST_F(LocalDirTest, EmptyDirectoryKeepsTheDirectoryItself)
{
    ASSERT_TRUE(LocalDir::emptyDirectory(folder.path(L"tree")));
    EXPECT_TRUE(LocalFile::directoryExists(folder.path(L"tree")));
    std::vector<Utf8String> left;
    ASSERT_TRUE(LocalDir::find(folder.path(L"tree"), "*", left));
    EXPECT_TRUE(left.empty());

    EXPECT_FALSE(LocalDir::emptyDirectory(folder.path(L"missing")));
    EXPECT_EQ(Qorm::Error::DirectoryToEmptyMissing, Qorm::Error::newest());
}

TEST_F(LocalDirTest, WalkStopsAtTheFirstRefusal)
{
    struct Counter : LocalDir::ExecuteFunctionInterface {
        int calls = 0;
        bool onFile(const Utf8String&) override { return ++calls < 2; }
        bool onDirectory(const Utf8String&) override { return ++calls < 2; }
    } counter;
    EXPECT_FALSE(LocalDir::walk(folder.path(L"tree"), "*", counter));
    EXPECT_EQ(2, counter.calls);

    struct Collector : LocalDir::ExecuteFunctionInterface {
        std::vector<Utf8String> files, directories;
        bool onFile(const Utf8String& path) override { return files.push_back(path), true; }
        bool onDirectory(const Utf8String& path) override { return directories.push_back(path), true; }
    } collector;
    ASSERT_TRUE(LocalDir::walk(folder.path(L"tree\\"), "*.txt", collector));
    EXPECT_EQ(std::set<std::string>{"tree\\a.txt"}, relativePaths(folder, collector.files));
    ASSERT_TRUE(LocalDir::walk(folder.path(L"tree"), "", collector));
    EXPECT_EQ((std::set<std::string>{"tree\\sub", "tree\\notes.txt.d"}),
              relativePaths(folder, collector.directories));
    EXPECT_TRUE(LocalDir::walk(folder.path(L"tree"), "nothing*", collector));
    EXPECT_FALSE(LocalDir::walk(folder.path(L"missing"), "*", collector));
    EXPECT_EQ(Qorm::Error::SystemErrorMark, Qorm::Error::newest());
}

TEST_F(LocalDirTest, RemovingATreeLeavesTheTargetOfALinkInsideIt)
{
    folder.makeDirectory(L"elsewhere");
    folder.writeFile(L"elsewhere\\precious.txt", "precious");
    // Wine 8 makes a link that does not resolve; Windows makes a real one.
    const DWORD linkKind = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    if (!CreateSymbolicLinkW(folder.wide(L"tree\\link").c_str(), folder.wide(L"elsewhere").c_str(),
                             SYMBOLIC_LINK_FLAG_DIRECTORY) ||
        folder.attributes(L"tree\\link") == INVALID_FILE_ATTRIBUTES ||
        (folder.attributes(L"tree\\link") & linkKind) != linkKind)
        GTEST_SKIP() << "directory links are not available here";

    std::vector<Utf8String> found;
    ASSERT_TRUE(LocalDir::find(folder.path(L"tree"), "precious.txt", found));
    EXPECT_TRUE(found.empty()) << "the search went through the link";

    EXPECT_TRUE(LocalDir::removeDirectory(folder.path(L"tree"), true));
    EXPECT_FALSE(folder.exists(L"tree"));
    EXPECT_EQ("precious", folder.readFile(L"elsewhere\\precious.txt"));
}
