// The foundation library's string for paths: UTF-8 bytes, indexed and counted
// by character, with a 64-byte inline area and its own UTF-16 conversions.
#pragma once

#include <cstdint>

#include "foundation/memory_pool.h"

class Utf8String {
public:
    static constexpr std::uint32_t npos = 0xFFFFFFFFu;
    static constexpr std::uint32_t InlineCapacity = 64;

    Utf8String();
    // Bytes taken as UTF-8; `byteLength` npos means up to the first zero byte.
    Utf8String(const char* text, std::uint32_t byteLength = npos);
    explicit Utf8String(const char16_t* text);
    explicit Utf8String(const Utf16String& text);
    Utf8String(const Utf8String& other);
    Utf8String(Utf8String&& other) noexcept;
    Utf8String& operator=(const Utf8String& other);
    Utf8String& operator=(Utf8String&& other) noexcept;
    Utf8String& operator=(const char16_t* text);
    ~Utf8String();

    std::uint32_t Length() const;
    std::uint32_t ByteLength() const { return size_ - 1; }
    const char* Data() const { return reinterpret_cast<const char*>(data_); }
    std::uint32_t Capacity() const { return capacity_; }
    bool IsInline() const { return isInline_ != 0; }

    std::uint32_t FindLastOf(const Utf8String& set, std::uint32_t from = npos) const;
    void ToUtf16(Utf16String& out) const;
    const char16_t* ToUtf16Text(Utf16String& out) const;

    void Clear();
    Utf8String& Append(const char* text);
    Utf8String& Append(const Utf8String& text);
    Utf8String& Append(char byte);
    Utf8String& Erase(std::uint32_t index, std::uint32_t count = npos);
    Utf8String Substring(std::uint32_t index, std::uint32_t count = npos) const;

    static Utf8String Concat(const Utf8String& a, const char* b);
    static Utf8String Concat(const Utf8String& a, const Utf8String& b);

    friend bool operator==(const Utf8String& a, const Utf8String& b);

private:
    void assignBytes(const unsigned char* bytes, std::uint32_t byteLength);
    void assignUtf16(const char16_t* text);
    void appendBytes(const unsigned char* bytes, std::uint32_t byteLength);
    void resize(std::uint32_t newSize);
    void releaseBlock();
    std::uint32_t byteOffsetOf(std::uint32_t characterIndex) const;

    mutable std::uint32_t count_ = 0;
    mutable std::uint8_t countValid_ = 1;
    std::uint8_t isInline_ = 1;
    unsigned char* data_;
    std::uint32_t capacity_ = InlineCapacity;
    std::uint32_t size_ = 1;
    unsigned char inline_[InlineCapacity] = {};
};

// Path helpers; both slash and backslash separate path levels.
Utf8String FileNameOf(const Utf8String& path);
void RemoveTrailingSeparator(Utf8String& path);
