#include "foundation/local_file_win32.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <thread>

#include "foundation/error_record.h"
#include "support/file_tree.h"

using Qorm::File::LocalFile;

namespace {

std::string patternBytes(std::size_t length)
{
    std::string bytes(length, '\0');
    for (std::size_t i = 0; i < length; ++i)
        bytes[i] = static_cast<char>(i * 31 + 7);
    return bytes;
}

// Releases the holder's file after a short while, on another thread, while
// the test's thread keeps trying.
std::thread releaseSoon(FileHolder& holder)
{
    return std::thread([&holder] {
        Sleep(150);
        holder.release();
    });
}

class LocalFileTest : public ::testing::Test {
protected:
    void SetUp() override { Qorm::Error::clear(); }
    FileTree folder;
};

} // namespace

TEST_F(LocalFileTest, WrittenBytesReadBackWithTheirSize)
{
    const std::string bytes = patternBytes(20000);
    LocalFile file;
    ASSERT_TRUE(file.open(folder.path(L"data.bin"), "wb"));
    EXPECT_EQ(bytes.size(), file.write(bytes.data(), bytes.size()));
    EXPECT_TRUE(file.close());

    ASSERT_TRUE(file.open(folder.path(L"data.bin"), "rb"));
    EXPECT_EQ(bytes.size(), file.size());
    EXPECT_FALSE(file.isText());
    std::string back(bytes.size() + 10, '\0');
    EXPECT_EQ(bytes.size(), file.read(back.data(), back.size()));
    back.resize(bytes.size());
    EXPECT_EQ(bytes, back);
    EXPECT_FALSE(file.writeFormatted("%d", 1)) << "formatted writing needs text mode";
    EXPECT_TRUE(Qorm::Error::isEmpty());
}

TEST_F(LocalFileTest, FormattedTextIsWrittenWholeEvenBeyondTheWorkBuffer)
{
    const std::string longText(LocalFile::WorkBufferSize * 2 + 100, 'x');
    LocalFile file;
    ASSERT_TRUE(file.open(folder.path(L"report.txt"), "wt"));
    EXPECT_TRUE(file.isText());
    EXPECT_TRUE(file.writeFormatted("%s=%d\n", "port", 55296));
    EXPECT_TRUE(file.writeFormatted("%s|", longText.c_str()));
    EXPECT_TRUE(file.writeFormatted("%.3lfMB\n", 1.5));
    file.close();
    EXPECT_EQ("port=55296\r\n" + longText + "|1.500MB\r\n", folder.readFile(L"report.txt"));
}

TEST_F(LocalFileTest, StreamOperationsOnAClosedFileRecordNotOpen)
{
    LocalFile closed, other;
    char one = 0;
    EXPECT_EQ(0u, closed.read(&one, 1));
    EXPECT_EQ(Qorm::Error::StreamNotOpen, Qorm::Error::pop());
    EXPECT_EQ(0u, closed.write(&one, 1));
    EXPECT_EQ(Qorm::Error::StreamNotOpen, Qorm::Error::pop());
    EXPECT_FALSE(closed.writeFormatted("%d", 1));
    EXPECT_EQ(Qorm::Error::StreamNotOpen, Qorm::Error::pop());
    EXPECT_FALSE(closed.copyTo(other));
    EXPECT_EQ(Qorm::Error::StreamNotOpen, Qorm::Error::pop());
    EXPECT_TRUE(Qorm::Error::isEmpty());
}

TEST_F(LocalFileTest, OpenRetriesUntilAnotherHolderReleasesTheFile)
{
    folder.writeFile(L"busy.bin", "saved");
    FileHolder holder(folder.wide(L"busy.bin"));
    ASSERT_TRUE(holder.holding());

    LocalFile file;
    EXPECT_FALSE(file.open(folder.path(L"busy.bin"), "rb"));
    EXPECT_EQ(Qorm::Error::RuntimeErrorMark, Qorm::Error::newest());

    std::thread releaser = releaseSoon(holder);
    const bool opened = file.open(folder.path(L"busy.bin"), "rb", 100);
    releaser.join();
    ASSERT_TRUE(opened);
    char bytes[8] = {};
    EXPECT_EQ(5u, file.read(bytes, sizeof bytes));
    EXPECT_STREQ("saved", bytes);
}

TEST_F(LocalFileTest, OpenDoesNotRetryAMissingFile)
{
    LocalFile file;
    EXPECT_FALSE(file.open(folder.path(L"missing.bin"), "rb", 1000000));
    Qorm::Error::CodeQueue codes;
    Qorm::Error::copyTo(codes, false);
    EXPECT_EQ((Qorm::Error::CodeQueue{ENOENT, Qorm::Error::RuntimeErrorMark}), codes);

    EXPECT_FALSE(file.open(folder.path(L"x.bin"), "q"));
    EXPECT_FALSE(file.open(folder.path(L"x.bin"), "w+z"));
    EXPECT_FALSE(folder.exists(L"x.bin"));
}

TEST_F(LocalFileTest, FileDigestIsTheSha1OfTheFilesBytes)
{
    const std::string bytes = patternBytes(5000);
    folder.writeFile(L"data.bin", bytes);
    Qorm::Sha1::Context context;
    Qorm::Sha1::reset(context);
    Qorm::Sha1::input(context, bytes.data(), bytes.size());
    std::uint8_t expected[Qorm::Sha1::DigestSize];
    Qorm::Sha1::result(context, expected);

    std::uint8_t digest[Qorm::Sha1::DigestSize] = {};
    ASSERT_TRUE(LocalFile::fileDigest(folder.path(L"data.bin"), digest));
    EXPECT_EQ(0, std::memcmp(expected, digest, sizeof digest));

    folder.writeFile(L"abc.txt", "abc");
    ASSERT_TRUE(LocalFile::fileDigest(folder.path(L"abc.txt"), digest));
    const std::uint8_t abc[] = {0xa9, 0x99, 0x3e, 0x36, 0x47, 0x06, 0x81, 0x6a, 0xba, 0x3e,
                                0x25, 0x71, 0x78, 0x50, 0xc2, 0x6c, 0x9c, 0xd0, 0xd8, 0x9d};
    EXPECT_EQ(0, std::memcmp(abc, digest, sizeof digest));

    EXPECT_FALSE(LocalFile::fileDigest(folder.path(L"missing.bin"), digest));
}

TEST_F(LocalFileTest, CopyFileCopiesEveryByteAndNeverOntoItself)
{
    const std::string bytes = patternBytes(3 * LocalFile::WorkBufferSize + 17);
    folder.writeFile(L"source.bin", bytes);
    folder.writeFile(L"old.bin", "an older, longer destination text");
    ASSERT_TRUE(LocalFile::copyFile(folder.path(L"source.bin"), folder.path(L"copy.bin")));
    EXPECT_EQ(bytes, folder.readFile(L"copy.bin"));
    ASSERT_TRUE(LocalFile::copyFile(folder.path(L"source.bin"), folder.path(L"old.bin")));
    EXPECT_EQ(bytes, folder.readFile(L"old.bin"));

    EXPECT_FALSE(LocalFile::copyFile(folder.path(L"source.bin"), folder.path(L"SOURCE.BIN")));
    EXPECT_EQ(bytes, folder.readFile(L"source.bin")) << "a copy onto itself emptied the file";

    EXPECT_FALSE(LocalFile::copyFile(folder.path(L"missing.bin"), folder.path(L"copy2.bin")));
    EXPECT_FALSE(folder.exists(L"copy2.bin"));
    EXPECT_FALSE(LocalFile::copyFile(folder.path(L"source.bin"), folder.path(L"no\\such\\dir.bin")));
}

TEST_F(LocalFileTest, AttributesOfFilesButNotOfDirectories)
{
    folder.writeFile(L"file.txt", "x");
    folder.makeDirectory(L"dir");
    const Utf8String file = folder.path(L"file.txt");
    const Utf8String dir = folder.path(L"dir");

    EXPECT_FALSE(LocalFile::isReadOnly(file));
    EXPECT_TRUE(LocalFile::setReadOnly(file, true));
    EXPECT_TRUE(LocalFile::isReadOnly(file));
    EXPECT_TRUE(folder.attributes(L"file.txt") & FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(LocalFile::setReadOnly(file, false));
    EXPECT_FALSE(LocalFile::isReadOnly(file));

    EXPECT_TRUE(LocalFile::setAttributes(file, FILE_ATTRIBUTE_HIDDEN));
    EXPECT_TRUE(LocalFile::getAttributes(file) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(LocalFile::setAttributes(file, FILE_ATTRIBUTE_NORMAL));
    EXPECT_FALSE(LocalFile::getAttributes(file) & FILE_ATTRIBUTE_HIDDEN);

    EXPECT_FALSE(LocalFile::setReadOnly(dir, true));
    EXPECT_FALSE(LocalFile::isReadOnly(dir));
    EXPECT_EQ(0u, LocalFile::getAttributes(dir));
    EXPECT_FALSE(LocalFile::setAttributes(dir, FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(0u, LocalFile::getAttributes(folder.path(L"missing.txt")));

    EXPECT_TRUE(LocalFile::directoryExists(dir));
    EXPECT_FALSE(LocalFile::directoryExists(file));
    // Wine accepts the flag for a directory but does not keep it.
    EXPECT_TRUE(LocalFile::setDirectoryReadOnly(dir, true));
    EXPECT_TRUE(LocalFile::setDirectoryReadOnly(dir, false));
    EXPECT_FALSE(folder.attributes(L"dir") & FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(LocalFile::setDirectoryReadOnly(file, true));
}

TEST_F(LocalFileTest, ExecutablesAreExistingFilesEndingInExe)
{
    for (const wchar_t* name : {L"game.exe", L"GAME2.EXE", L"game.exe.txt", L"gameexe", L"game."})
        folder.writeFile(name, "MZ");
    folder.makeDirectory(L"folder.exe");
    const struct {
        const wchar_t* name;
        bool executable;
    } cases[] = {
        {L"game.exe", true}, {L"GAME2.EXE", true},   {L"game.exe.txt", false}, {L"gameexe", false},
        {L"game.", false},   {L"folder.exe", false}, {L"missing.exe", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.executable, LocalFile::isExecutable(folder.path(c.name)))
            << std::string(folder.path(c.name).Data());
}

TEST_F(LocalFileTest, SizeTimeAndFreeSpaceOfPaths)
{
    folder.writeFile(L"data.bin", patternBytes(12345));
    EXPECT_EQ(12345u, LocalFile::fileSize(folder.path(L"data.bin")));
    EXPECT_EQ(0u, LocalFile::fileSize(folder.path(L"missing.bin")));

    const std::int64_t time = 1700000000; // 2023-11-14
    ASSERT_TRUE(LocalFile::setFileTime(folder.path(L"data.bin"), time));
    struct _stat64 status;
    ASSERT_EQ(0, _wstat64(folder.wide(L"data.bin").c_str(), &status));
    EXPECT_EQ(time, status.st_mtime);
    EXPECT_EQ(time, status.st_atime);
    EXPECT_FALSE(LocalFile::setFileTime(folder.path(L"missing.bin"), time));

    EXPECT_GT(LocalFile::freeSpace(folder.path()), 0u);
    EXPECT_EQ(0u, LocalFile::freeSpace(folder.path(L"missing\\deeper")));
    EXPECT_EQ(Qorm::Error::SystemErrorMark, Qorm::Error::newest());
}

TEST_F(LocalFileTest, MoveFileRecordsAMissingSourceAndAnOccupiedDestination)
{
    EXPECT_FALSE(LocalFile::moveFile(folder.path(L"missing.bin"), folder.path(L"to.bin"), false, 0));
    EXPECT_EQ(Qorm::Error::FileMissing, Qorm::Error::newest());

    folder.writeFile(L"from.bin", "from");
    folder.writeFile(L"taken.bin", "taken");
    EXPECT_FALSE(LocalFile::moveFile(folder.path(L"from.bin"), folder.path(L"taken.bin"), true, 1));
    Qorm::Error::CodeQueue codes;
    Qorm::Error::copyTo(codes, false);
    EXPECT_EQ((Qorm::Error::CodeQueue{ERROR_ALREADY_EXISTS, Qorm::Error::SystemErrorMark}), codes);
    EXPECT_EQ("taken", folder.readFile(L"taken.bin"));

    ASSERT_TRUE(LocalFile::moveFile(folder.path(L"from.bin"), folder.path(L"moved.bin"), false, 0));
    EXPECT_EQ("from", folder.readFile(L"moved.bin"));
    EXPECT_FALSE(folder.exists(L"from.bin"));
}

TEST_F(LocalFileTest, DeleteFileRemovesAReadOnlyFileOnlyWhenAskedTo)
{
    EXPECT_FALSE(LocalFile::deleteFile(folder.path(L"missing.bin"), true, 0));
    EXPECT_EQ(Qorm::Error::FileMissing, Qorm::Error::newest());

    folder.writeFile(L"locked.bin", "keep");
    ASSERT_TRUE(LocalFile::setReadOnly(folder.path(L"locked.bin"), true));
    EXPECT_FALSE(LocalFile::deleteFile(folder.path(L"locked.bin"), false, 0));
    EXPECT_EQ(Qorm::Error::SystemErrorMark, Qorm::Error::newest());
    EXPECT_EQ("keep", folder.readFile(L"locked.bin"));
    EXPECT_TRUE(LocalFile::isReadOnly(folder.path(L"locked.bin")));

    EXPECT_TRUE(LocalFile::deleteFile(folder.path(L"locked.bin"), true, 0));
    EXPECT_FALSE(folder.exists(L"locked.bin"));
}

// Renaming a read-only file is allowed, so the flag matters to a move only
// when the move fails for another reason: it must then be as it was.
TEST_F(LocalFileTest, MoveFileKeepsTheReadOnlyFlagOfAFileWhetherTheMoveFailsOrNot)
{
    folder.writeFile(L"locked.bin", "keep");
    folder.writeFile(L"taken.bin", "taken");
    ASSERT_TRUE(LocalFile::setReadOnly(folder.path(L"locked.bin"), true));
    EXPECT_FALSE(LocalFile::moveFile(folder.path(L"locked.bin"), folder.path(L"taken.bin"), true, 0));
    EXPECT_TRUE(LocalFile::isReadOnly(folder.path(L"locked.bin"))) << "the cleared flag was not put back";
    EXPECT_EQ("taken", folder.readFile(L"taken.bin"));

    EXPECT_TRUE(LocalFile::moveFile(folder.path(L"locked.bin"), folder.path(L"moved.bin"), false, 0));
    EXPECT_EQ("keep", folder.readFile(L"moved.bin"));
    EXPECT_TRUE(LocalFile::isReadOnly(folder.path(L"moved.bin")));
    EXPECT_FALSE(folder.exists(L"locked.bin"));
}

// The first try fails on the occupied destination, the flag is cleared for
// the second, and a later try succeeds once the destination is gone: the
// moved file is read-only again.
TEST_F(LocalFileTest, MoveFilePutsBackTheReadOnlyFlagWhenALaterTrySucceeds)
{
    folder.writeFile(L"locked.bin", "keep");
    folder.writeFile(L"taken.bin", "taken");
    ASSERT_TRUE(LocalFile::setReadOnly(folder.path(L"locked.bin"), true));
    std::thread remover([this] {
        Sleep(150);
        DeleteFileW(folder.wide(L"taken.bin").c_str());
    });
    const bool moved = LocalFile::moveFile(folder.path(L"locked.bin"), folder.path(L"taken.bin"), true, 100);
    remover.join();
    ASSERT_TRUE(moved);
    EXPECT_EQ("keep", folder.readFile(L"taken.bin"));
    EXPECT_TRUE(LocalFile::isReadOnly(folder.path(L"taken.bin")));
    EXPECT_FALSE(folder.exists(L"locked.bin"));
}

TEST_F(LocalFileTest, DeleteFileRetriesUntilAnotherHolderReleasesTheFile)
{
    folder.writeFile(L"busy.bin", "busy");
    FileHolder holder(folder.wide(L"busy.bin"));
    ASSERT_TRUE(holder.holding());
    EXPECT_FALSE(LocalFile::deleteFile(folder.path(L"busy.bin"), false, 0));
    EXPECT_EQ(Qorm::Error::SystemErrorMark, Qorm::Error::newest());

    std::thread releaser = releaseSoon(holder);
    const bool deleted = LocalFile::deleteFile(folder.path(L"busy.bin"), false, 100);
    releaser.join();
    EXPECT_TRUE(deleted);
    EXPECT_FALSE(folder.exists(L"busy.bin"));
}
