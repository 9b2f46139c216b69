// The allocator hands out pool blocks by size, falls back to the heap when a
// pool is exhausted (never to a larger pool) and reuses released blocks.
#include "foundation/memory_pool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <thread>
#include <utility>
#include <vector>

using namespace Qorm::Memory;

namespace {

constexpr unsigned TestCategory = 42;

unsigned poolOf(std::size_t size)
{
    void* block = allocate(size, 0, TestCategory);
    const unsigned pool = headerOf(block).pool;
    release(block, size, TestCategory);
    return pool;
}

} // namespace

TEST(MemoryPool, ChoosesTheFirstPoolWhoseBlocksAreStrictlyLarger)
{
    struct Case {
        std::size_t size;
        unsigned pool;
    };
    const Case cases[] = {{0, 1},    {1, 1},    {63, 1},   {64, 2},    {127, 2},  {128, 3},
                          {255, 3},  {256, 4},  {511, 4},  {512, 5},   {1023, 5}, {1024, 6},
                          {2047, 6}, {2048, 0}, {4096, 0}, {100000, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(c.pool, poolOf(c.size)) << "size " << c.size;
}

TEST(MemoryPool, HeaderRecordsPoolAndBlockSizeOrRequestedSize)
{
    void* pooled = allocate(63, 0, TestCategory);
    EXPECT_EQ(1u, headerOf(pooled).pool);
    EXPECT_EQ(64u, headerOf(pooled).size);
    void* heap = allocate(2048, 0, TestCategory);
    EXPECT_EQ(0u, headerOf(heap).pool);
    EXPECT_EQ(2048u, headerOf(heap).size);
    release(pooled, 63, TestCategory);
    release(heap, 2048, TestCategory);
}

TEST(MemoryPool, EveryBlockIsAlignedForAnyObject)
{
    for (std::size_t size : {1, 63, 64, 200, 700, 1500, 2048, 5000}) {
        std::vector<void*> blocks;
        for (int i = 0; i < 8; ++i)
            blocks.push_back(allocate(size, 0, TestCategory));
        for (void* block : blocks) {
            EXPECT_EQ(0u, reinterpret_cast<std::uintptr_t>(block) % alignof(std::max_align_t)) << size;
            release(block, size, TestCategory);
        }
    }
}

TEST(MemoryPool, ReleasedBlockIsTheNextOneHandedOut)
{
    void* first = allocate(100, 0, TestCategory);
    release(first, 100, TestCategory);
    void* second = allocate(100, 0, TestCategory);
    EXPECT_EQ(first, second);
    release(second, 100, TestCategory);
}

TEST(MemoryPool, ExhaustedPoolFallsBackToTheHeapNotToALargerPool)
{
    const Statistics before = statistics();
    const std::uint32_t free2048 = before.freeBlocks[5];
    std::vector<void*> blocks;
    for (std::uint32_t i = 0; i < free2048; ++i)
        blocks.push_back(allocate(1500, 0, TestCategory));
    EXPECT_EQ(0u, statistics().freeBlocks[5]);

    void* overflow = allocate(1500, 0, TestCategory);
    EXPECT_EQ(0u, headerOf(overflow).pool);
    EXPECT_EQ(1500u, headerOf(overflow).size);
    release(overflow, 1500, TestCategory);
    EXPECT_EQ(0u, statistics().freeBlocks[5]) << "a heap block must go back to the heap";

    for (void* block : blocks)
        release(block, 1500, TestCategory);
    EXPECT_EQ(free2048, statistics().freeBlocks[5]);
}

TEST(MemoryPool, SmallPoolOfTwelveThousandBlocksOverflowsToTheHeap)
{
    const std::uint32_t free64 = statistics().freeBlocks[0];
    std::vector<void*> blocks;
    for (std::uint32_t i = 0; i < free64; ++i)
        blocks.push_back(allocate(16, 0, TestCategory));
    void* overflow = allocate(16, 0, TestCategory);
    EXPECT_EQ(0u, headerOf(overflow).pool);
    release(overflow, 16, TestCategory);
    for (void* block : blocks)
        release(block, 16, TestCategory);
    EXPECT_EQ(free64, statistics().freeBlocks[0]);
}

TEST(MemoryPool, CountsBytesPerCategoryAndFoldsHighCategoriesInto99)
{
    const std::uint32_t before = usage(99);
    void* a = allocate(10, 0, 99);
    void* b = allocate(20, 0, 100);
    void* c = allocate(30, 0, 250);
    EXPECT_EQ(before + 60, usage(99));
    release(a, 10, 99);
    release(b, 20, 100);
    release(c, 30, 250);
    EXPECT_EQ(before, usage(99));
}

TEST(MemoryPool, KeepAliveBlockKeepsThePoolsBuiltForTheWholeRun)
{
    const Statistics stats = statistics();
    EXPECT_TRUE(stats.poolsBuilt);
    EXPECT_GE(stats.liveCount, 1u);
    EXPECT_GE(usage(KeepAliveCategory), 1u);
}

TEST(MemoryPool, ManyThreadsAllocatingAtOnceLoseNoBlock)
{
    const std::uint32_t liveBefore = statistics().liveCount;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([] {
            std::vector<std::pair<void*, std::size_t>> blocks;
            for (std::size_t i = 0; i < 2000; ++i) {
                blocks.emplace_back(allocate(i % 300, 0, TestCategory), i % 300);
                if (i % 3 == 0) {
                    release(blocks.back().first, blocks.back().second, TestCategory);
                    blocks.pop_back();
                }
            }
            for (const auto& [block, size] : blocks)
                release(block, size, TestCategory);
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(liveBefore, statistics().liveCount);
}

TEST(MemoryPool, UsageReportHasOneLinePerCategory)
{
    const std::string report = usageReport();
    EXPECT_NE(std::string::npos, report.find("Memory[0] Used "));
    EXPECT_NE(std::string::npos, report.find("Memory[99] Used "));
    EXPECT_EQ(100, std::count(report.begin(), report.end(), '\n'));
}

#if defined(__SANITIZE_ADDRESS__)
#define POOL_TEST_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define POOL_TEST_ASAN 1
#endif
#endif

#if defined(POOL_TEST_ASAN)
TEST(MemoryPoolDeathTest, AddressSanitizerCatchesAnOverrunInsideAPoolBlock)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            auto* block = static_cast<volatile char*>(allocate(40, 0, TestCategory));
            block[40] = 1;
        },
        "use-after-poison|heap-buffer-overflow");
}
#endif
