#include "foundation/memory_pool.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#if defined(__SANITIZE_ADDRESS__)
#define ORVANTE_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ORVANTE_ASAN 1
#endif
#endif
#if defined(ORVANTE_ASAN)
#include <sanitizer/asan_interface.h>
#else
#define ASAN_POISON_MEMORY_REGION(address, size) ((void)(address), (void)(size))
#define ASAN_UNPOISON_MEMORY_REGION(address, size) ((void)(address), (void)(size))
#endif

namespace Qorm::Memory {
namespace {

// Every block starts on this boundary (malloc's own guarantee, kept by
// strides that are multiples of it). The 4-byte header sits in the last
// bytes of the padding in front of the block, so it keeps its place (just
// before the address handed out) without costing the block its alignment.
constexpr std::size_t BlockAlign = alignof(std::max_align_t);
constexpr std::size_t HeaderRoom = BlockAlign;
static_assert(HeaderRoom >= sizeof(std::uint32_t));

struct Pool {
    unsigned char* area = nullptr;
    void** freeStack = nullptr;
    std::uint32_t freeCount = 0;
};

struct Allocator {
    Pool pools[PoolCount];
    std::uint32_t usage[CategoryCount] = {};
    std::uint32_t liveCount = 0;
    bool poolsBuilt = false;
    std::atomic<std::int32_t> lockWord{0};
};

Allocator state;

// Sizes beyond the header's 24 bits are recorded as the largest it holds;
// only the pool number is read back when a block is released.
std::uint32_t packHeader(unsigned pool, std::size_t size)
{
    const std::size_t recorded = size < 0xFFFFFF ? size : 0xFFFFFF;
    return static_cast<std::uint32_t>(pool & 0xFF) | (static_cast<std::uint32_t>(recorded) << 8);
}

void writeHeader(unsigned char* block, unsigned pool, std::size_t size)
{
    const std::uint32_t header = packHeader(pool, size);
    std::memcpy(block - sizeof header, &header, sizeof header);
}

std::uint32_t readHeader(const void* block)
{
    std::uint32_t header;
    std::memcpy(&header, static_cast<const unsigned char*>(block) - sizeof header, sizeof header);
    return header;
}

std::size_t strideOf(const PoolShape& shape)
{
    return HeaderRoom + shape.blockSize;
}

// Spin lock: the first to raise the counter to 1 holds it; the others back
// off for a millisecond and try again.
void lock()
{
    while (state.lockWord.fetch_add(1, std::memory_order_acquire) + 1 != 1) {
        state.lockWord.fetch_sub(1, std::memory_order_relaxed);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void unlock()
{
    state.lockWord.fetch_sub(1, std::memory_order_release);
}

unsigned clampCategory(unsigned category)
{
    return category < CategoryCount ? category : CategoryCount - 1;
}

void releasePools()
{
    for (unsigned i = 0; i < PoolCount; ++i) {
        Pool& pool = state.pools[i];
        ASAN_UNPOISON_MEMORY_REGION(pool.area, pool.area ? PoolTable[i].blockCount * strideOf(PoolTable[i]) : 0);
        std::free(pool.area);
        std::free(pool.freeStack);
        pool = Pool{};
    }
    state.poolsBuilt = false;
}

bool buildPools()
{
    for (unsigned i = 0; i < PoolCount; ++i) {
        const PoolShape& shape = PoolTable[i];
        Pool& pool = state.pools[i];
        pool.area = static_cast<unsigned char*>(std::malloc(shape.blockCount * strideOf(shape)));
        pool.freeStack = static_cast<void**>(std::malloc(shape.blockCount * sizeof(void*)));
        if (!pool.area || !pool.freeStack) {
            releasePools();
            return false;
        }
        // Under AddressSanitizer only the headers and the bytes asked for are
        // addressable, so an overrun inside a pool block is caught too.
        ASAN_POISON_MEMORY_REGION(pool.area, shape.blockCount * strideOf(shape));
        for (std::uint32_t n = 0; n < shape.blockCount; ++n) {
            unsigned char* block = pool.area + n * strideOf(shape) + HeaderRoom;
            ASAN_UNPOISON_MEMORY_REGION(block - 8, 8);
            writeHeader(block, i + 1, shape.blockSize);
            pool.freeStack[n] = block;
        }
        pool.freeCount = shape.blockCount;
    }
    state.poolsBuilt = true;
    return true;
}

void* allocateLocked(std::size_t size, unsigned category)
{
    state.usage[clampCategory(category)] += static_cast<std::uint32_t>(size);
    if (!state.poolsBuilt)
        buildPools(); // when the heap cannot hold them, every block comes from the heap
    ++state.liveCount;

    // The first pool whose blocks are strictly larger; an exhausted pool
    // never falls through to a larger one.
    for (unsigned i = 0; i < PoolCount; ++i) {
        if (PoolTable[i].blockSize <= size)
            continue;
        Pool& pool = state.pools[i];
        if (state.poolsBuilt && pool.freeCount > 0) {
            void* block = pool.freeStack[--pool.freeCount];
            ASAN_UNPOISON_MEMORY_REGION(block, size);
            return block;
        }
        break;
    }

    if (size > SIZE_MAX - HeaderRoom)
        return nullptr;
    auto* raw = static_cast<unsigned char*>(std::malloc(HeaderRoom + size));
    if (!raw)
        return nullptr;
    unsigned char* block = raw + HeaderRoom;
    writeHeader(block, 0, size);
    return block;
}

void releaseLocked(void* block, std::size_t size, unsigned category)
{
    state.usage[clampCategory(category)] -= static_cast<std::uint32_t>(size);
    --state.liveCount;
    const std::uint32_t header = readHeader(block);
    const unsigned poolNumber = header & 0xFF;
    if (poolNumber == 0) {
        std::free(static_cast<unsigned char*>(block) - HeaderRoom);
    } else {
        Pool& pool = state.pools[poolNumber - 1];
        ASAN_POISON_MEMORY_REGION(block, PoolTable[poolNumber - 1].blockSize);
        pool.freeStack[pool.freeCount++] = block;
    }
    if (state.liveCount == 0)
        releasePools();
}

// Taken before any other static object of the program is built and returned
// after all of them are gone, so the pools are built once and stay.
struct KeepAlive {
    void* block;
    KeepAlive() : block(allocate(1, 0, KeepAliveCategory)) {}
    ~KeepAlive() { releaseKeepAlive(block); }
};
#if defined(__GNUC__)
__attribute__((init_priority(101)))
#endif
KeepAlive keepAlive;

} // namespace

void* allocate(std::size_t size, std::uint32_t /*reserved*/, unsigned category)
{
    lock();
    void* block = allocateLocked(size, category);
    unlock();
    return block;
}

void release(void* block, std::size_t size, unsigned category)
{
    if (!block)
        return;
    lock();
    releaseLocked(block, size, category);
    unlock();
}

void releaseKeepAlive(void*& keepAliveBlock)
{
    release(keepAliveBlock, 1, KeepAliveCategory);
    keepAliveBlock = nullptr;
}

BlockHeader headerOf(const void* block)
{
    const std::uint32_t header = readHeader(block);
    return {header & 0xFF, header >> 8};
}

Statistics statistics()
{
    lock();
    Statistics result{state.liveCount, state.poolsBuilt, {}};
    for (unsigned i = 0; i < PoolCount; ++i)
        result.freeBlocks[i] = state.pools[i].freeCount;
    unlock();
    return result;
}

std::uint32_t usage(unsigned category)
{
    lock();
    const std::uint32_t bytes = state.usage[clampCategory(category)];
    unlock();
    return bytes;
}

std::string usageReport()
{
    std::string report;
    char line[64];
    for (unsigned category = 0; category < CategoryCount; ++category) {
        std::snprintf(line, sizeof line, "Memory[%d] Used %d byte\n", static_cast<int>(category),
                      static_cast<int>(usage(category)));
        report += line;
    }
    return report;
}

} // namespace Qorm::Memory
