// The library's pools against the C runtime heap.
#include <cstdlib>
#include <vector>

#include "bench.h"
#include "foundation/memory_pool.h"

namespace Bench {

void poolBenchmarks(Table& table)
{
    using Qorm::Memory::allocate;
    using Qorm::Memory::release;
    for (std::size_t size : {32, 64, 1000}) {
        const std::string label = "alloc+free pair, " + std::to_string(size) + " bytes";
        table.compare(
            label, "pools",
            [size] {
                void* block = allocate(size, 0, 13);
                keep(block);
                release(block, size, 13);
            },
            "heap (malloc)",
            [size] {
                void* block = std::malloc(size);
                keep(block);
                std::free(block);
            },
            200000);
    }

    constexpr std::size_t Burst = 10000;
    std::vector<void*> blocks(Burst);
    for (std::size_t size : {32, 64, 1000}) {
        const std::string label = "burst of 10,000 live blocks, " + std::to_string(size) + " B";
        table.compare(
            label, "pools",
            [&blocks, size] {
                for (void*& block : blocks)
                    block = allocate(size, 0, 13);
                for (void* block : blocks)
                    release(block, size, 13);
            },
            "heap (malloc)",
            [&blocks, size] {
                for (void*& block : blocks)
                    block = std::malloc(size);
                for (void* block : blocks)
                    std::free(block);
            },
            20);
    }
}

} // namespace Bench
