#include "foundation/file_win32.h"

#include <gtest/gtest.h>

TEST(File, OperationsOnAClosedFileReturnZero)
{
    File file;
    unsigned char value = 0;
    EXPECT_FALSE(file.isOpen());
    EXPECT_EQ(0u, file.write(&value, 1));
    EXPECT_EQ(0u, file.read(&value, 1));
    EXPECT_EQ(0u, file.size());
    EXPECT_EQ(0u, file.seekEnd(0));
}

// A handle that is not a file makes every platform call fail.
TEST(File, FailedPlatformCallsReturnZero)
{
    File file;
    file.handle = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(nullptr, file.handle);
    file.status = 0;
    unsigned char value = 0;
    EXPECT_EQ(0u, file.size());
    EXPECT_EQ(0u, file.write(&value, 1));
    EXPECT_EQ(0u, file.read(&value, 1));
    EXPECT_EQ(0u, file.seekEnd(0));
}
