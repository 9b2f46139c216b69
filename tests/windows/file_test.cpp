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
