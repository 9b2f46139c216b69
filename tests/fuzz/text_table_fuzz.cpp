// Hostile bytes as a packed block, as an unpacked table, and through the
// packer: nothing may read or write out of bounds, a loaded table answers
// every lookup, and whatever the packer writes unpacks to its input.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <span>

#include "shell/text_codec.h"
#include "shell/text_table.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);

    TextTable table;
    const auto answersEveryLookup = [&] {
        for (std::uint32_t number = 0; number <= 0x10000; number += 97) {
            if (table.find(number) == nullptr)
                std::abort();
        }
    };
    if (!loadTextTable(bytes, table) && table.size() != 0)
        std::abort();
    answersEveryLookup();
    if (!readStringTable(bytes, table) && table.size() != 0)
        std::abort();
    answersEveryLookup();

    // The packer tries every distance at every position; keep it to inputs
    // the size of a text table.
    if (size <= 8192) {
        const auto unpacked = unpackTextBlock(packTextBlock(bytes));
        if (!unpacked || !std::equal(unpacked->begin(), unpacked->end(), bytes.begin(), bytes.end()))
            std::abort();
    }
    return 0;
}
