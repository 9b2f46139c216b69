#include "foundation/sha1.h"

#include <cstdint>
#include <cstring>

namespace Qorm::Sha1 {
namespace {

constexpr std::uint32_t InitialHash[5] = {0x67452301u, 0xEFCDAB89u, 0x98BADCFEu, 0x10325476u, 0xC3D2E1F0u};

std::uint32_t rotateLeft(std::uint32_t value, unsigned bits)
{
    return (value << bits) | (value >> (32 - bits));
}

void processBlock(Context& context)
{
    std::uint32_t w[80];
    for (int t = 0; t < 16; ++t) {
        const std::uint8_t* b = context.block + 4 * t;
        w[t] = (std::uint32_t{b[0]} << 24) | (std::uint32_t{b[1]} << 16) | (std::uint32_t{b[2]} << 8) | b[3];
    }
    for (int t = 16; t < 80; ++t)
        w[t] = rotateLeft(w[t - 3] ^ w[t - 8] ^ w[t - 14] ^ w[t - 16], 1);

    std::uint32_t a = context.hash[0], b = context.hash[1], c = context.hash[2], d = context.hash[3],
                  e = context.hash[4];
    for (int t = 0; t < 80; ++t) {
        std::uint32_t f, k;
        if (t < 20) {
            f = (b & c) | (~b & d);
            k = 0x5A827999u;
        } else if (t < 40) {
            f = b ^ c ^ d;
            k = 0x6ED9EBA1u;
        } else if (t < 60) {
            f = (b & c) | (b & d) | (c & d);
            k = 0x8F1BBCDCu;
        } else {
            f = b ^ c ^ d;
            k = 0xCA62C1D6u;
        }
        const std::uint32_t temp = rotateLeft(a, 5) + f + e + w[t] + k;
        e = d;
        d = c;
        c = rotateLeft(b, 30);
        b = a;
        a = temp;
    }
    context.hash[0] += a;
    context.hash[1] += b;
    context.hash[2] += c;
    context.hash[3] += d;
    context.hash[4] += e;
    context.blockUsed = 0;
}

// Appends the 0x80 marker, zeros and the 64-bit message length in bits.
void padMessage(Context& context)
{
    context.block[context.blockUsed++] = 0x80;
    if (context.blockUsed > BlockSize - 8) {
        std::memset(context.block + context.blockUsed, 0, BlockSize - context.blockUsed);
        processBlock(context);
    }
    std::memset(context.block + context.blockUsed, 0, BlockSize - 8 - context.blockUsed);
    for (int i = 0; i < 8; ++i)
        context.block[BlockSize - 1 - i] = static_cast<std::uint8_t>(context.bitCount >> (8 * i));
    processBlock(context);
}

} // namespace

void reset(Context& context)
{
    std::memcpy(context.hash, InitialHash, sizeof InitialHash);
    context.bitCount = 0;
    std::memset(context.block, 0, sizeof context.block);
    context.blockUsed = 0;
    context.computed = false;
    context.status = Status::Success;
}

Status input(Context& context, const void* bytes, std::size_t length)
{
    if (context.status != Status::Success)
        return context.status;
    if (context.computed || (bytes == nullptr && length != 0)) {
        context.status = Status::StateError;
        return context.status;
    }
    const std::uint64_t room = UINT64_MAX - context.bitCount;
    if (length > room / 8) {
        context.status = Status::InputTooLong;
        return context.status;
    }
    context.bitCount += std::uint64_t{length} * 8;

    const auto* in = static_cast<const std::uint8_t*>(bytes);
    while (length > 0) {
        const std::size_t piece =
            length < BlockSize - context.blockUsed ? length : BlockSize - context.blockUsed;
        std::memcpy(context.block + context.blockUsed, in, piece);
        context.blockUsed += static_cast<std::uint32_t>(piece);
        in += piece;
        length -= piece;
        if (context.blockUsed == BlockSize)
            processBlock(context);
    }
    return Status::Success;
}

Status result(Context& context, std::uint8_t (&digest)[DigestSize])
{
    if (context.status != Status::Success)
        return context.status;
    if (!context.computed) {
        padMessage(context);
        // The block held message bytes; the digest needs none of them.
        std::memset(context.block, 0, sizeof context.block);
        context.computed = true;
    }
    for (std::size_t i = 0; i < DigestSize; ++i)
        digest[i] = static_cast<std::uint8_t>(context.hash[i / 4] >> (8 * (3 - i % 4)));
    return Status::Success;
}

} // namespace Qorm::Sha1
