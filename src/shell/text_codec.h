// The "PEX" block the text tables are stored in: a 16-byte header and an LZ
// bit stream whose copies reach back into a 4096-byte window that starts out
// zero-filled.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

inline constexpr std::size_t PexHeaderSize = 16;
inline constexpr std::size_t PexHistorySize = 4096;
inline constexpr std::size_t PexMinCopy = 2;
inline constexpr std::size_t PexMaxCopy = 17;

// The unpacked bytes, or nothing when the block is not a PEX block, its
// stream ends before the unpacked size is reached, or the unpacked size is
// more than its stream could ever produce.
std::optional<std::vector<std::uint8_t>> unpackTextBlock(std::span<const std::uint8_t> block);

enum class PexParse {
    Optimal, // fewest bits over all ways to cut the data into items
    Greedy,  // longest copy at each position; kept to measure the optimal parse against
};

// The PEX block for `data`.
std::vector<std::uint8_t> packTextBlock(std::span<const std::uint8_t> data,
                                        PexParse parse = PexParse::Optimal);
