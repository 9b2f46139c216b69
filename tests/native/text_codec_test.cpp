// The PEX bit stream: what the decoder makes of hand-built streams, how it
// treats hostile blocks, and that the packer's output decodes to its input.
#include "shell/text_codec.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Builds a stream field by field, least significant bit first, independently
// of the packer's own bit writer.
class Stream {
public:
    Stream& literal(std::uint8_t byte) { return field(1, 0).field(8, byte); }
    // A copy of count + 2 bytes from 4096 - position bytes back.
    Stream& copy(unsigned position, unsigned count)
    {
        return field(1, 1).field(12, position).field(4, count);
    }

    Bytes block(std::uint32_t unpackedSize) const
    {
        Bytes out = {'P', 'E', 'X', 0};
        for (int i = 0; i < 4; ++i)
            out.push_back(static_cast<std::uint8_t>(unpackedSize >> (8 * i)));
        out.resize(16, 0);
        out.insert(out.end(), bytes_.begin(), bytes_.end());
        return out;
    }

private:
    Stream& field(unsigned count, unsigned value)
    {
        for (unsigned i = 0; i < count; ++i, ++bits_) {
            if (bits_ % 8 == 0)
                bytes_.push_back(0);
            if ((value >> i) & 1u)
                bytes_.back() |= static_cast<std::uint8_t>(1u << (bits_ % 8));
        }
        return *this;
    }

    Bytes bytes_;
    std::size_t bits_ = 0;
};

Bytes bytesOf(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

std::optional<Bytes> unpack(const Bytes& block)
{
    return unpackTextBlock(block);
}

} // namespace

TEST(PexDecoder, ReadsBitsLeastSignificantFirst)
{
    // Flag 0 in bit 0, then 'A' (0x41) in bits 1..8.
    const Bytes block = {'P', 'E', 'X', 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x82, 0x00};
    EXPECT_EQ(bytesOf("A"), unpack(block));
}

TEST(PexDecoder, DecodesHandBuiltStreams)
{
    struct Case {
        const char* name;
        Stream stream;
        std::uint32_t size;
        Bytes expected;
    };
    const Case cases[] = {
        {"a stream that starts with a copy yields zeros from the history", Stream().copy(0, 3), 5,
         Bytes(5, 0)},
        {"a copy from 4096 back in mid-stream reaches the zero history",
         Stream().literal('x').copy(0, 0),
         3,
         {'x', 0, 0}},
        {"position 4095 repeats the last byte count + 2 times", Stream().literal('A').copy(4095, 4), 7,
         bytesOf("AAAAAAA")},
        {"an overlapping copy repeats a pattern", Stream().literal('a').literal('b').copy(4094, 3), 7,
         bytesOf("abababa")},
        {"the last copy may run past the end", Stream().literal('x').copy(4095, 15), 3, bytesOf("xxx")},
        {"a 17-byte copy at the end of a 16-byte table stays inside the area",
         Stream().literal('q').copy(4095, 15), 16, Bytes(16, 'q')},
        {"an empty table needs no stream", Stream(), 0, Bytes()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.expected, unpack(c.stream.block(c.size)));
    }
}

TEST(PexDecoder, StopsAtTheUnpackedSizeAndIgnoresTheRest)
{
    // Items after the unpacked size are never read, and a stream's padding
    // bits do not matter.
    EXPECT_EQ(bytesOf("ab"), unpack(Stream().literal('a').literal('b').literal('c').block(2)));
}

TEST(PexDecoder, RefusesBlocksThatAreNotPex)
{
    const Bytes good = Stream().literal('a').block(1);
    Bytes wrongMagic = good;
    wrongMagic[3] = ' ';
    const Bytes cases[] = {{}, {'P', 'E', 'X'}, {'P', 'E', 'X', 0, 1, 0, 0}, wrongMagic};
    for (const Bytes& block : cases)
        EXPECT_FALSE(unpack(block));
}

TEST(PexDecoder, RefusesAStreamThatEndsBeforeTheUnpackedSize)
{
    Stream stream;
    for (char c : std::string("Save these settings?"))
        stream.literal(static_cast<std::uint8_t>(c));
    const Bytes block = stream.block(20);
    ASSERT_TRUE(unpack(block));
    for (std::size_t size = 0; size < block.size(); ++size) {
        SCOPED_TRACE(size);
        EXPECT_FALSE(unpack(Bytes(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(size))));
    }
    // Cut inside a copy's fields.
    EXPECT_FALSE(unpack(Bytes{'P', 'E', 'X', 0, 9, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF}));
}

TEST(PexDecoder, RefusesAnUnpackedSizeTheStreamCannotProduce)
{
    // All ones: 17-bit copies of 17 bytes each, the most a stream can yield.
    Bytes block = Stream().block(0);
    block.resize(16 + 34, 0xFF); // 272 bits: 16 copies, 272 bytes
    const auto setSize = [&](std::uint32_t size) {
        std::memcpy(block.data() + 4, &size, 4); // the hosts here are little-endian
        return unpack(block);
    };
    EXPECT_EQ(Bytes(272, 0), setSize(272));
    EXPECT_FALSE(setSize(273));
    EXPECT_FALSE(setSize(0xFFFFFFFFu));
    EXPECT_FALSE(setSize(0x80000000u));
}

TEST(PexPacker, RoundTripsAssortedData)
{
    std::mt19937 random(20091023);
    std::vector<Bytes> inputs = {
        {},
        {0},
        bytesOf("x"),
        Bytes(5000, 0),
        Bytes(100, 'z'),
        bytesOf("STRT\x00\x01\xFF\xFE  "),
        bytesOf("Lowest Low Standard High Highest Lowest Low Standard High Highest"),
    };
    for (std::size_t size : {3u, 17u, 18u, 300u, 4097u, 9000u}) {
        Bytes noise(size), narrow(size);
        for (std::size_t i = 0; i < size; ++i) {
            noise[i] = static_cast<std::uint8_t>(random());
            narrow[i] = static_cast<std::uint8_t>('a' + random() % 3);
        }
        inputs.push_back(noise);
        inputs.push_back(narrow);
    }
    // A repeat just out of reach (4097 back) and one just in reach (4096 back).
    Bytes far = bytesOf("abcdefgh");
    far.resize(4097 + 8, '.');
    std::memcpy(far.data() + 4097, "abcdefgh", 8);
    inputs.push_back(far);
    far.erase(far.begin() + 8);
    inputs.push_back(far);

    for (const Bytes& input : inputs) {
        for (PexParse parse : {PexParse::Optimal, PexParse::Greedy}) {
            SCOPED_TRACE(testing::Message() << input.size() << " bytes, parse " << static_cast<int>(parse));
            EXPECT_EQ(input, unpack(packTextBlock(input, parse)));
        }
    }
}

TEST(PexPacker, OptimalParseIsTheShortestAndBeatsGreedy)
{
    // Fewest bits over every item choice, trying every distance at every
    // position, against the packer's output size; greedy must never win.
    const auto fewestBytes = [](const Bytes& data) {
        const std::size_t n = data.size();
        std::vector<std::size_t> bits(n + 1, 0);
        for (std::size_t i = n; i-- > 0;) {
            bits[i] = bits[i + 1] + 9;
            for (std::size_t distance = 1; distance <= 4096; ++distance) {
                for (std::size_t length = 1; length <= 17 && i + length <= n; ++length) {
                    const std::size_t from = i + length - 1;
                    if ((from >= distance ? data[from - distance] : 0) != data[from])
                        break;
                    if (length >= 2)
                        bits[i] = std::min(bits[i], bits[i + length] + 17);
                }
            }
        }
        return 16 + (bits[0] + 7) / 8;
    };
    std::mt19937 random(4096);
    std::size_t beatsGreedy = 0;
    for (int round = 0; round < 60; ++round) {
        Bytes input(1 + random() % 160);
        for (auto& byte : input)
            byte = static_cast<std::uint8_t>(round % 2 ? random() % 3 : 'a' + random() % 4);
        const std::size_t optimal = packTextBlock(input).size();
        const std::size_t greedy = packTextBlock(input, PexParse::Greedy).size();
        EXPECT_EQ(fewestBytes(input), optimal) << round;
        EXPECT_LE(optimal, greedy) << round;
        beatsGreedy += optimal < greedy;
    }
    EXPECT_GT(beatsGreedy, 0u);
}

TEST(PexPacker, WritesTheHeader)
{
    const Bytes block = packTextBlock(bytesOf("OK"));
    ASSERT_GE(block.size(), 16u);
    EXPECT_EQ((Bytes{'P', 'E', 'X', 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}),
              Bytes(block.begin(), block.begin() + 16));
}

TEST(PexPacker, UsesTheZeroHistory)
{
    // Ten zero bytes are one copy from the zero history: 17 bits in 3 bytes.
    EXPECT_EQ(16u + 3u, packTextBlock(Bytes(10, 0)).size());
}
