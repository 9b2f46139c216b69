#include "shell/text_codec.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

const std::uint8_t PexMagic[4] = {'P', 'E', 'X', 0};
constexpr unsigned LiteralBits = 1 + 8;
constexpr unsigned CopyBits = 1 + 12 + 4;

std::uint32_t readU32(const std::uint8_t* bytes)
{
    return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
}

void writeU32(std::uint8_t* bytes, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// Least significant bit first, within each byte and within each field.
class BitReader {
public:
    explicit BitReader(std::span<const std::uint8_t> stream) : stream_(stream) {}

    // False when the stream holds fewer than `count` further bits.
    bool read(unsigned count, unsigned& value)
    {
        if (stream_.size() * 8 - position_ < count)
            return false;
        value = 0;
        for (unsigned i = 0; i < count; ++i, ++position_)
            value |= ((stream_[position_ / 8] >> (position_ % 8)) & 1u) << i;
        return true;
    }

private:
    std::span<const std::uint8_t> stream_;
    std::size_t position_ = 0;
};

class BitWriter {
public:
    explicit BitWriter(std::vector<std::uint8_t>& out) : out_(out) {}

    void write(unsigned count, unsigned value)
    {
        for (unsigned i = 0; i < count; ++i, ++used_) {
            if (used_ % 8 == 0)
                out_.push_back(0);
            out_.back() |= static_cast<std::uint8_t>(((value >> i) & 1u) << (used_ % 8));
        }
    }

private:
    std::vector<std::uint8_t>& out_;
    std::size_t used_ = 0;
};

struct Match {
    std::size_t length = 0;
    std::size_t distance = 0;
};

// How many bytes (up to `limit`) a copy from `distance` back reproduces at
// `position`; the bytes before the data are the zero history, and a copy may
// overlap its own output.
std::size_t matchLength(std::span<const std::uint8_t> data, std::size_t position, std::size_t distance,
                        std::size_t limit)
{
    std::size_t length = 0;
    while (length < limit) {
        const std::size_t from = position + length;
        const std::uint8_t source = from >= distance ? data[from - distance] : 0;
        if (source != data[from])
            break;
        ++length;
    }
    return length;
}

// The longest copy (up to PexMaxCopy bytes, not past the end) at every
// position. Candidates in the data are found through chains of earlier
// positions with the same two bytes; in the zero history only the sources
// near its end differ from one another.
std::vector<Match> longestMatches(std::span<const std::uint8_t> data)
{
    constexpr std::size_t None = std::numeric_limits<std::size_t>::max();
    const std::size_t n = data.size();
    std::vector<std::size_t> head(1 << 16, None);
    std::vector<std::size_t> previous(n, None);
    std::vector<Match> longest(n);

    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t limit = std::min(PexMaxCopy, n - i);
        Match& best = longest[i];
        const auto consider = [&](std::size_t distance) {
            const std::size_t length = matchLength(data, i, distance, limit);
            if (length > best.length)
                best = {length, distance};
        };
        if (limit >= PexMinCopy) {
            const unsigned key = data[i] << 8 | data[i + 1];
            for (std::size_t j = head[key]; j != None && i - j <= PexHistorySize && best.length < limit;
                 j = previous[j])
                consider(i - j);
            if (i < PexHistorySize && data[i] == 0) {
                // Sources 1 to PexMaxCopy bytes before the data run into it;
                // any source further back yields zeros only.
                for (std::size_t distance = i + 1; distance <= std::min(i + PexMaxCopy, PexHistorySize);
                     ++distance)
                    consider(distance);
                consider(PexHistorySize);
            }
        }
        if (i + 1 < n) {
            const unsigned key = data[i] << 8 | data[i + 1];
            previous[i] = head[key];
            head[key] = i;
        }
    }
    return longest;
}

// Items from the start: a length below PexMinCopy stands for a literal.
std::vector<Match> parseItems(std::span<const std::uint8_t> data, PexParse parse)
{
    const std::size_t n = data.size();
    const std::vector<Match> longest = longestMatches(data);

    std::vector<Match> items;
    if (parse == PexParse::Greedy) {
        for (std::size_t i = 0; i < n;) {
            const Match m = longest[i];
            items.push_back(m.length >= PexMinCopy ? m : Match{});
            i += m.length >= PexMinCopy ? m.length : 1;
        }
        return items;
    }

    // A copy costs the same whatever its length, so from each position only
    // the longest copy's distance is needed: every shorter length of it
    // reproduces the data as well. cost[i] is the fewest bits for data[i..].
    std::vector<std::size_t> cost(n + 1, 0);
    std::vector<std::size_t> step(n, 1);
    for (std::size_t i = n; i-- > 0;) {
        cost[i] = cost[i + 1] + LiteralBits;
        step[i] = 1;
        for (std::size_t length = PexMinCopy; length <= longest[i].length; ++length) {
            if (cost[i + length] + CopyBits < cost[i]) {
                cost[i] = cost[i + length] + CopyBits;
                step[i] = length;
            }
        }
    }
    for (std::size_t i = 0; i < n; i += step[i])
        items.push_back(step[i] >= PexMinCopy ? Match{step[i], longest[i].distance} : Match{});
    return items;
}

} // namespace

std::optional<std::vector<std::uint8_t>> unpackTextBlock(std::span<const std::uint8_t> block)
{
    if (block.size() < 8 || std::memcmp(block.data(), PexMagic, sizeof PexMagic) != 0)
        return std::nullopt;
    const std::uint32_t unpackedSize = readU32(block.data() + 4);
    const std::span<const std::uint8_t> stream =
        block.size() > PexHeaderSize ? block.subspan(PexHeaderSize) : std::span<const std::uint8_t>();
    // Every item takes at least one bit per byte it yields (17 bits for 17
    // bytes), so a larger size can only end in a truncated stream; refusing
    // it up front also keeps a hostile size from claiming gigabytes.
    if (unpackedSize > static_cast<std::uint64_t>(stream.size()) * 8)
        return std::nullopt;

    const std::size_t end = PexHistorySize + unpackedSize;
    // The item that reaches the end is finished, so a copy may write up to
    // PexMaxCopy - 1 bytes past it.
    std::vector<std::uint8_t> area(end + PexMaxCopy - 1, 0);
    std::size_t out = PexHistorySize;
    BitReader bits(stream);
    while (out < end) {
        unsigned flag = 0;
        if (!bits.read(1, flag))
            return std::nullopt;
        if (flag == 0) {
            unsigned literal = 0;
            if (!bits.read(8, literal))
                return std::nullopt;
            area[out++] = static_cast<std::uint8_t>(literal);
            continue;
        }
        unsigned position = 0;
        unsigned count = 0;
        if (!bits.read(12, position) || !bits.read(4, count))
            return std::nullopt;
        // Byte by byte: a source that overlaps the output repeats bytes.
        std::size_t from = out - (PexHistorySize - position);
        for (unsigned i = 0; i < count + PexMinCopy; ++i)
            area[out++] = area[from++];
    }
    return std::vector<std::uint8_t>(area.begin() + PexHistorySize, area.begin() + end);
}

std::vector<std::uint8_t> packTextBlock(std::span<const std::uint8_t> data, PexParse parse)
{
    std::vector<std::uint8_t> block(PexHeaderSize, 0);
    std::memcpy(block.data(), PexMagic, sizeof PexMagic);
    writeU32(block.data() + 4, static_cast<std::uint32_t>(data.size()));

    BitWriter bits(block);
    std::size_t position = 0;
    for (const Match& item : parseItems(data, parse)) {
        if (item.length < PexMinCopy) {
            bits.write(1, 0);
            bits.write(8, data[position++]);
            continue;
        }
        bits.write(1, 1);
        bits.write(12, static_cast<unsigned>(PexHistorySize - item.distance));
        bits.write(4, static_cast<unsigned>(item.length - PexMinCopy));
        position += item.length;
    }
    return block;
}
