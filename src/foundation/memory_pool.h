// The foundation library's allocator: fixed-size block pools in front of the
// general heap, with byte counters per memory category.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <new>
#include <string>

namespace Qorm::Memory {

// Memory categories the system uses.
inline constexpr unsigned KeepAliveCategory = 0;
inline constexpr unsigned Utf8StringCategory = 11;
inline constexpr unsigned Utf16StringCategory = 12;
inline constexpr unsigned CategoryCount = 100;

inline constexpr unsigned PoolCount = 6;

struct PoolShape {
    std::uint32_t blockSize;
    std::uint32_t blockCount;
};
inline constexpr PoolShape PoolTable[PoolCount] = {
    {64, 12768}, {128, 1024}, {256, 1024}, {512, 256}, {1024, 128}, {2048, 32},
};

// Returns a block of at least `size` bytes aligned for any object, or null when
// the heap is exhausted. `reserved` is not used.
void* allocate(std::size_t size, std::uint32_t reserved, unsigned category);
// Returns a block; `size` only adjusts the category's counter. Null does nothing.
void release(void* block, std::size_t size, unsigned category);
// Returns the keep-alive block taken at start-up (category 0, 1 byte).
void releaseKeepAlive(void*& keepAlive);

// The 4-byte header in front of every block handed out.
struct BlockHeader {
    unsigned pool;      // 1..6, or 0 for a block from the general heap
    std::uint32_t size; // the pool's block size, or the size requested
};
BlockHeader headerOf(const void* block);

struct Statistics {
    std::uint32_t liveCount;
    bool poolsBuilt;
    std::uint32_t freeBlocks[PoolCount];
};
Statistics statistics();
std::uint32_t usage(unsigned category);
// One "Memory[%d] Used %d byte" line per category, for diagnostics.
std::string usageReport();

// Standard allocator over the pools, for the library's containers and strings.
template <typename T, unsigned Category> struct PoolAllocator {
    using value_type = T;
    template <typename U> struct rebind {
        using other = PoolAllocator<U, Category>;
    };

    PoolAllocator() noexcept = default;
    template <typename U> PoolAllocator(const PoolAllocator<U, Category>&) noexcept {}

    T* allocate(std::size_t n)
    {
        if (n > std::numeric_limits<std::size_t>::max() / sizeof(T))
            throw std::bad_array_new_length();
        void* block = Memory::allocate(n * sizeof(T), 0, Category);
        if (!block)
            throw std::bad_alloc();
        return static_cast<T*>(block);
    }
    void deallocate(T* block, std::size_t n) noexcept { Memory::release(block, n * sizeof(T), Category); }

    template <typename U> bool operator==(const PoolAllocator<U, Category>&) const noexcept { return true; }
};

} // namespace Qorm::Memory

// UTF-16 text as the library keeps it: its memory is charged to category 12.
using Utf16String =
    std::basic_string<char16_t, std::char_traits<char16_t>,
                      Qorm::Memory::PoolAllocator<char16_t, Qorm::Memory::Utf16StringCategory>>;
