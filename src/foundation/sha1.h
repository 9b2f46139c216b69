// SHA-1 message digests (FIPS 180-1).
#pragma once

#include <cstddef>
#include <cstdint>

namespace Qorm::Sha1 {

inline constexpr std::size_t DigestSize = 20;
inline constexpr std::size_t BlockSize = 64;

enum class Status {
    Success,
    // The message would exceed 2^64 - 1 bits.
    InputTooLong,
    // Input arrived after the digest was taken, or a null pointer was given
    // with a non-zero length.
    StateError,
};

struct Context {
    std::uint32_t hash[5];
    std::uint64_t bitCount;
    std::uint8_t block[BlockSize];
    std::uint32_t blockUsed;
    bool computed;
    // Once not Success, stays so until reset.
    Status status;
};

void reset(Context& context);
// Adds message bytes; nothing is taken once the status is not Success.
Status input(Context& context, const void* bytes, std::size_t length);
// Pads the message and writes the digest, most significant byte of each word
// first. May be asked again; further input is then refused.
Status result(Context& context, std::uint8_t (&digest)[DigestSize]);

} // namespace Qorm::Sha1
