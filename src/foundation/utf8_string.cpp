#include "foundation/utf8_string.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

namespace {

using Qorm::Memory::Utf8StringCategory;

// Byte length of the character that starts with `lead`.
std::uint32_t characterStep(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if (lead < 0xE0)
        return 2;
    if (lead < 0xF0)
        return 3;
    if (lead < 0xF8)
        return 4;
    if (lead < 0xFC)
        return 5;
    if (lead < 0xFE)
        return 6;
    return 1;
}

std::uint32_t utf8Length(std::uint32_t codePoint)
{
    if (codePoint < 0x80)
        return 1;
    if (codePoint < 0x800)
        return 2;
    if (codePoint < 0x10000)
        return 3;
    if (codePoint < 0x200000)
        return 4;
    if (codePoint < 0x4000000)
        return 5;
    if (codePoint < 0x80000000)
        return 6;
    return 0;
}

unsigned char* writeUtf8(unsigned char* out, std::uint32_t codePoint)
{
    const std::uint32_t length = utf8Length(codePoint);
    if (length == 1) {
        *out++ = static_cast<unsigned char>(codePoint);
        return out;
    }
    static constexpr unsigned char leadMarks[7] = {0, 0, 0xC0, 0xE0, 0xF0, 0xF8, 0xFC};
    for (std::uint32_t i = length - 1; i > 0; --i) {
        out[i] = static_cast<unsigned char>(0x80 | (codePoint & 0x3F));
        codePoint >>= 6;
    }
    out[0] = static_cast<unsigned char>(leadMarks[length] | codePoint);
    return out + length;
}

// Walks UTF-16 units as code points: a high surrogate pairs with a following
// low one; followed by anything else, both units are dropped. A high
// surrogate right before the terminator is dropped alone, so the walk never
// passes the terminator.
template <typename Sink> void forEachCodePoint(const char16_t* text, Sink sink)
{
    for (const char16_t* p = text; *p != 0;) {
        const std::uint32_t unit = *p++;
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            const std::uint32_t next = *p;
            if (next == 0)
                break;
            ++p;
            if (next >= 0xDC00 && next <= 0xDFFF)
                sink(0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
            continue;
        }
        sink(unit);
    }
}

bool sameCharacter(const unsigned char* a, std::uint32_t aLength, const unsigned char* b,
                   std::uint32_t bLength)
{
    return aLength == bLength && std::memcmp(a, b, aLength) == 0;
}

} // namespace

Utf8String::Utf8String() : data_(inline_) {}

Utf8String::Utf8String(const char* text, std::uint32_t byteLength) : data_(inline_)
{
    if (!text)
        return;
    if (byteLength == npos)
        byteLength = static_cast<std::uint32_t>(std::strlen(text));
    assignBytes(reinterpret_cast<const unsigned char*>(text), byteLength);
}

Utf8String::Utf8String(const char16_t* text) : data_(inline_)
{
    assignUtf16(text);
}

Utf8String::Utf8String(const Utf16String& text) : data_(inline_)
{
    assignUtf16(text.c_str());
}

Utf8String::Utf8String(const Utf8String& other) : data_(inline_)
{
    assignBytes(other.data_, other.ByteLength());
    count_ = other.count_;
    countValid_ = other.countValid_;
}

Utf8String::Utf8String(Utf8String&& other) noexcept : data_(inline_)
{
    *this = std::move(other);
}

// The inline area is written through data_ when the bytes live there.
// cppcheck-suppress operatorEqVarError
Utf8String& Utf8String::operator=(const Utf8String& other)
{
    if (this == &other)
        return *this;
    assignBytes(other.data_, other.ByteLength());
    count_ = other.count_;
    countValid_ = other.countValid_;
    return *this;
}

// cppcheck-suppress operatorEqVarError
Utf8String& Utf8String::operator=(Utf8String&& other) noexcept
{
    if (this == &other)
        return *this;
    if (other.isInline_) {
        // Fits our own block (inline area or larger): copy without allocating.
        std::memcpy(data_, other.data_, other.size_);
        size_ = other.size_;
    } else {
        releaseBlock();
        data_ = other.data_;
        capacity_ = other.capacity_;
        size_ = other.size_;
        isInline_ = 0;
        other.data_ = other.inline_;
        other.capacity_ = InlineCapacity;
        other.isInline_ = 1;
    }
    count_ = other.count_;
    countValid_ = other.countValid_;
    other.Clear();
    return *this;
}

Utf8String& Utf8String::operator=(const char16_t* text)
{
    assignUtf16(text);
    return *this;
}

Utf8String::~Utf8String()
{
    releaseBlock();
}

void Utf8String::releaseBlock()
{
    if (!isInline_)
        Qorm::Memory::release(data_, capacity_, Utf8StringCategory);
}

void Utf8String::resize(std::uint32_t newSize)
{
    if (newSize > capacity_) {
        const std::uint32_t newCapacity = (newSize + 31) & ~31u;
        auto* block = static_cast<unsigned char*>(Qorm::Memory::allocate(newCapacity, 0, Utf8StringCategory));
        if (!block)
            throw std::bad_alloc();
        std::memcpy(block, data_, size_);
        releaseBlock();
        data_ = block;
        capacity_ = newCapacity;
        isInline_ = 0;
    }
    size_ = newSize;
}

void Utf8String::assignBytes(const unsigned char* bytes, std::uint32_t byteLength)
{
    Clear();
    appendBytes(bytes, byteLength);
}

void Utf8String::appendBytes(const unsigned char* bytes, std::uint32_t byteLength)
{
    // Appending a string to itself reads from our own block, which the
    // growth below may move.
    const bool fromSelf = bytes >= data_ && bytes < data_ + capacity_;
    const std::size_t selfOffset = fromSelf ? static_cast<std::size_t>(bytes - data_) : 0;
    const std::uint32_t oldLength = ByteLength();
    resize(size_ + byteLength);
    std::memmove(data_ + oldLength, fromSelf ? data_ + selfOffset : bytes, byteLength);
    data_[size_ - 1] = 0;
    countValid_ = 0;
}

void Utf8String::assignUtf16(const char16_t* text)
{
    Clear();
    if (!text)
        return;
    std::uint32_t byteLength = 0;
    forEachCodePoint(text, [&](std::uint32_t codePoint) { byteLength += utf8Length(codePoint); });
    resize(byteLength + 1);
    unsigned char* out = data_;
    forEachCodePoint(text, [&](std::uint32_t codePoint) { out = writeUtf8(out, codePoint); });
    *out = 0;
    countValid_ = 0;
}

std::uint32_t Utf8String::Length() const
{
    if (!countValid_) {
        std::uint32_t characters = 0;
        for (std::uint32_t at = 0; at < ByteLength(); at += characterStep(data_[at]))
            ++characters;
        count_ = characters;
        countValid_ = 1;
    }
    return count_;
}

// Byte offset where character `characterIndex` starts; the text's end for
// an index at or past its last character. A character cut short by the end
// of the text ends there.
std::uint32_t Utf8String::byteOffsetOf(std::uint32_t characterIndex) const
{
    std::uint32_t at = 0;
    for (std::uint32_t i = 0; i < characterIndex && at < ByteLength(); ++i)
        at += characterStep(data_[at]);
    return at < ByteLength() ? at : ByteLength();
}

std::uint32_t Utf8String::FindLastOf(const Utf8String& set, std::uint32_t from) const
{
    const std::uint32_t length = Length();
    if (length == 0 || set.ByteLength() == 0)
        return npos;
    if (from >= length)
        from = length - 1;

    std::uint32_t at = byteOffsetOf(from);
    for (std::uint32_t index = from;; --index) {
        const std::uint32_t step = std::min(characterStep(data_[at]), ByteLength() - at);
        for (std::uint32_t s = 0; s < set.ByteLength();) {
            const std::uint32_t setStep = std::min(characterStep(set.data_[s]), set.ByteLength() - s);
            if (sameCharacter(data_ + at, step, set.data_ + s, setStep))
                return index;
            s += setStep;
        }
        if (index == 0 || at == 0)
            return npos;
        // One byte back, then back over continuation bytes.
        --at;
        while (at > 0 && (data_[at] & 0xC0) == 0x80)
            --at;
    }
}

void Utf8String::ToUtf16(Utf16String& out) const
{
    out.clear();
    out.reserve(2 * static_cast<std::size_t>(Length()));
    const unsigned char* p = data_;
    // The text ends at its first zero byte, even when bytes were stored
    // behind one.
    const auto* zero = static_cast<const unsigned char*>(std::memchr(data_, 0, ByteLength()));
    const unsigned char* end = zero ? zero : data_ + ByteLength();
    while (p < end) {
        const unsigned char lead = *p;
        std::uint32_t extra;
        std::uint32_t value;
        if (lead < 0x80) {
            extra = 0;
            value = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            extra = 1;
            value = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2;
            value = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3;
            value = lead & 0x07;
        } else if ((lead & 0xFC) == 0xF8) {
            extra = 4;
            value = lead & 0x03;
        } else if ((lead & 0xFE) == 0xFC) {
            extra = 5;
            value = lead & 0x01;
        } else {
            extra = 0;
            value = 0;
        }
        ++p;
        if (static_cast<std::uint32_t>(end - p) < extra) {
            // A sequence cut short by the end of the text: marked, and the
            // walk stops at the terminator.
            out.push_back(u'*');
            break;
        }
        for (std::uint32_t i = 0; i < extra; ++i)
            value = (value << 6) | (*p++ & 0x3F);

        if (value == 0)
            out.push_back(u'*');
        else if (value >= 0xD800 && value <= 0xDFFF)
            continue;
        else if (value >= 0x10000 && value <= 0x10FFFF) {
            out.push_back(static_cast<char16_t>(0xD800 + ((value - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((value - 0x10000) & 0x3FF)));
        } else if (value < 0x10000)
            out.push_back(static_cast<char16_t>(value));
    }
}

const char16_t* Utf8String::ToUtf16Text(Utf16String& out) const
{
    ToUtf16(out);
    return out.c_str();
}

void Utf8String::Clear()
{
    count_ = 0;
    countValid_ = 1;
    size_ = 1;
    data_[0] = 0;
}

Utf8String& Utf8String::Append(const char* text)
{
    if (text)
        appendBytes(reinterpret_cast<const unsigned char*>(text),
                    static_cast<std::uint32_t>(std::strlen(text)));
    return *this;
}

Utf8String& Utf8String::Append(const Utf8String& text)
{
    appendBytes(text.data_, text.ByteLength());
    return *this;
}

Utf8String& Utf8String::Append(char byte)
{
    const auto value = static_cast<unsigned char>(byte);
    appendBytes(&value, 1);
    return *this;
}

Utf8String& Utf8String::Erase(std::uint32_t index, std::uint32_t count)
{
    if (index > Length())
        return *this;
    const std::uint32_t first = byteOffsetOf(index);
    const std::uint32_t last =
        (count == npos || count > Length() - index) ? ByteLength() : byteOffsetOf(index + count);
    std::memmove(data_ + first, data_ + last, size_ - last);
    size_ -= last - first;
    countValid_ = 0;
    return *this;
}

Utf8String Utf8String::Substring(std::uint32_t index, std::uint32_t count) const
{
    if (count == 0 || index >= Length())
        return Utf8String();
    const std::uint32_t first = byteOffsetOf(index);
    const std::uint32_t last =
        (count == npos || count > Length() - index) ? ByteLength() : byteOffsetOf(index + count);
    return Utf8String(Data() + first, last - first);
}

Utf8String Utf8String::Concat(const Utf8String& a, const char* b)
{
    Utf8String result(a);
    result.Append(b);
    return result;
}

Utf8String Utf8String::Concat(const Utf8String& a, const Utf8String& b)
{
    Utf8String result(a);
    result.Append(b);
    return result;
}

bool operator==(const Utf8String& a, const Utf8String& b)
{
    return a.size_ == b.size_ && std::memcmp(a.data_, b.data_, a.size_) == 0;
}

namespace {
const Utf8String& pathSeparators()
{
    static const Utf8String separators("/\\");
    return separators;
}
} // namespace

Utf8String FileNameOf(const Utf8String& path)
{
    const std::uint32_t at = path.FindLastOf(pathSeparators());
    if (at == Utf8String::npos)
        return path;
    return path.Substring(at + 1);
}

void RemoveTrailingSeparator(Utf8String& path)
{
    if (path.Length() == 0)
        return;
    const std::uint32_t last = path.Length() - 1;
    if (path.FindLastOf(pathSeparators()) == last)
        path.Erase(last, 1);
}
