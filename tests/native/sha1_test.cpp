#include "foundation/sha1.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using Qorm::Sha1::Status;

std::string hex(const std::uint8_t (&digest)[Qorm::Sha1::DigestSize])
{
    std::string text;
    char pair[3];
    for (std::uint8_t byte : digest) {
        std::snprintf(pair, sizeof pair, "%02x", byte);
        text += pair;
    }
    return text;
}

// Feeds the message in pieces of the given size (0: all at once).
std::string digestOf(const std::vector<std::uint8_t>& message, std::size_t pieceSize)
{
    Qorm::Sha1::Context context;
    Qorm::Sha1::reset(context);
    const std::size_t step = pieceSize ? pieceSize : message.size();
    for (std::size_t at = 0; at < message.size(); at += step) {
        const std::size_t length = std::min(step, message.size() - at);
        EXPECT_EQ(Status::Success, Qorm::Sha1::input(context, message.data() + at, length));
    }
    std::uint8_t digest[Qorm::Sha1::DigestSize];
    EXPECT_EQ(Status::Success, Qorm::Sha1::result(context, digest));
    return hex(digest);
}

std::vector<std::uint8_t> bytesOf(const std::string& text)
{
    return {text.begin(), text.end()};
}

std::vector<std::uint8_t> pattern(std::size_t length)
{
    std::vector<std::uint8_t> bytes(length);
    for (std::size_t i = 0; i < length; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7 + 3);
    return bytes;
}

} // namespace

TEST(Sha1, MatchesTheStandardTestVectors)
{
    EXPECT_EQ("a9993e364706816aba3e25717850c26c9cd0d89d", digestOf(bytesOf("abc"), 0));
    EXPECT_EQ("84983e441c3bd26ebaae4aa1f95129e5e54670f1",
              digestOf(bytesOf("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"), 0));
    EXPECT_EQ("da39a3ee5e6b4b0d3255bfef95601890afd80709", digestOf({}, 0));

    const std::vector<std::uint8_t> millionA(1000000, 'a');
    EXPECT_EQ("34aa973cd4c4daa4f61eeb2bdbad27316534016f", digestOf(millionA, 0));
    EXPECT_EQ("34aa973cd4c4daa4f61eeb2bdbad27316534016f", digestOf(millionA, 2048));
}

TEST(Sha1, MessagesAroundBlockBoundariesGiveTheSameDigestInAnyPieces)
{
    const struct {
        std::size_t length;
        const char* digest;
    } cases[] = {
        {1, "9842926af7ca0a8cca12604f945414f07b01e13d"},    {55, "ddf57317ef34bfee3b6df83d359098930eb278bc"},
        {56, "a0d492bb0fc889d0eca3bc137066ab6f4f74f369"},   {57, "11a02dcf95859677a62e75024067c22b165d890f"},
        {63, "c55856749bef509bdfe6bfebfc7bf4e793e82132"},   {64, "bede92be29c3874e1b54ddc77988d606fc857a8e"},
        {65, "b05a80522b053d6dc7e0a517d0e70212c7dad11f"},   {119, "504e27376a6e0f0dba8295b85cb25dc4dfa17d23"},
        {120, "82134b02fb3f702491be9bed581eeab59334acb2"},  {128, "a09133e6730ffe899efb70204cb5646cd5dc24ee"},
        {1000, "4231a8a50a10fa9758db8ec71fdef855b751048a"},
    };
    for (const auto& c : cases) {
        const std::vector<std::uint8_t> message = pattern(c.length);
        for (std::size_t piece : {0, 1, 3, 55, 56, 63, 64, 65})
            EXPECT_EQ(c.digest, digestOf(message, piece)) << c.length << " bytes in pieces of " << piece;
    }
}

TEST(Sha1, InputAfterTheDigestIsRefusedForGood)
{
    Qorm::Sha1::Context context;
    Qorm::Sha1::reset(context);
    std::uint8_t digest[Qorm::Sha1::DigestSize];
    ASSERT_EQ(Status::Success, Qorm::Sha1::input(context, "abc", 3));
    ASSERT_EQ(Status::Success, Qorm::Sha1::result(context, digest));
    ASSERT_EQ(Status::Success, Qorm::Sha1::result(context, digest));
    EXPECT_EQ("a9993e364706816aba3e25717850c26c9cd0d89d", hex(digest));

    EXPECT_EQ(Status::StateError, Qorm::Sha1::input(context, "d", 1));
    EXPECT_EQ(Status::StateError, Qorm::Sha1::result(context, digest));

    Qorm::Sha1::reset(context);
    EXPECT_EQ(Status::StateError, Qorm::Sha1::input(context, nullptr, 1));
    Qorm::Sha1::reset(context);
    EXPECT_EQ(Status::Success, Qorm::Sha1::input(context, nullptr, 0));
    EXPECT_EQ(Status::Success, Qorm::Sha1::result(context, digest));
    EXPECT_EQ("da39a3ee5e6b4b0d3255bfef95601890afd80709", hex(digest));
}

TEST(Sha1, InputPastTwoToTheSixtyFourBitsIsRefused)
{
    Qorm::Sha1::Context context;
    Qorm::Sha1::reset(context);
    // As if 2^61 - 2 bytes had been hashed already: room for one more byte.
    context.bitCount = UINT64_MAX - 15;
    EXPECT_EQ(Status::Success, Qorm::Sha1::input(context, "a", 1));
    EXPECT_EQ(Status::InputTooLong, Qorm::Sha1::input(context, "a", 1));
    EXPECT_EQ(Status::InputTooLong, Qorm::Sha1::input(context, "", 0));
    std::uint8_t digest[Qorm::Sha1::DigestSize];
    EXPECT_EQ(Status::InputTooLong, Qorm::Sha1::result(context, digest));
}
