#include "foundation/memory_pool.h"

#include <gtest/gtest.h>

TEST(MemoryPool, Smoke)
{
    void* block = Qorm::Memory::allocate(10, 0, 11);
    ASSERT_NE(nullptr, block);
    Qorm::Memory::release(block, 10, 11);
}
