// Small binary records exchanged between processes of this program: each
// starts with a number that names its kind and format version, then little-
// endian fields: a number as 4 (or 8) bytes, a text as its count of UTF-16
// units and the units, a list as its count and its entries. Records come
// from another process and are read as untrusted bytes: a read past the end,
// a flag that is neither 0 nor 1 or a count larger than the bytes left makes
// the whole record unreadable.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class RecordWriter {
public:
    explicit RecordWriter(std::uint32_t kind) { number(kind); }

    void number(std::uint32_t value)
    {
        for (int shift = 0; shift < 32; shift += 8)
            bytes_.push_back(static_cast<char>((value >> shift) & 0xff));
    }
    void wide(std::uint64_t value)
    {
        number(static_cast<std::uint32_t>(value));
        number(static_cast<std::uint32_t>(value >> 32));
    }
    void flag(bool value) { number(value ? 1 : 0); }
    void text(const std::u16string& value)
    {
        number(static_cast<std::uint32_t>(value.size()));
        for (const char16_t unit : value) {
            bytes_.push_back(static_cast<char>(unit & 0xff));
            bytes_.push_back(static_cast<char>(unit >> 8));
        }
    }
    std::string take() { return std::move(bytes_); }

private:
    std::string bytes_;
};

// Reads fields off the front of a record. Once a read fails, every later
// one fails too and the record is not whole.
class RecordReader {
public:
    RecordReader(std::string_view bytes, std::uint32_t kind) : bytes_(bytes)
    {
        std::uint32_t found = 0;
        if (number(found) && found != kind)
            ok_ = false;
    }

    bool number(std::uint32_t& value)
    {
        if (!take(4))
            return false;
        value = 0;
        for (int i = 3; i >= 0; --i)
            value = value << 8 | byteAt(i);
        bytes_.remove_prefix(4);
        return true;
    }
    bool wide(std::uint64_t& value)
    {
        std::uint32_t low = 0, high = 0;
        if (!number(low) || !number(high))
            return false;
        value = std::uint64_t{high} << 32 | low;
        return true;
    }
    bool flag(bool& value)
    {
        std::uint32_t number = 0;
        if (!this->number(number) || number > 1)
            return ok_ = false;
        value = number == 1;
        return true;
    }
    bool text(std::u16string& value)
    {
        std::uint32_t units = 0;
        // Compared before multiplying, so that no count can overflow.
        if (!number(units) || units > bytes_.size() / 2 || !take(std::size_t{units} * 2))
            return ok_ = false;
        value.resize(units);
        for (std::uint32_t i = 0; i < units; ++i)
            value[i] = static_cast<char16_t>(byteAt(2 * i) | byteAt(2 * i + 1) << 8);
        bytes_.remove_prefix(std::size_t{units} * 2);
        return true;
    }
    // A list's count; it can never exceed the bytes left, as every entry
    // takes at least one.
    bool count(std::uint32_t& value)
    {
        if (number(value) && value > bytes_.size())
            ok_ = false;
        return ok_;
    }

    bool ok() const { return ok_; }
    bool whole() const { return ok_ && bytes_.empty(); }

private:
    bool take(std::size_t size)
    {
        if (ok_ && bytes_.size() < size)
            ok_ = false;
        return ok_;
    }
    std::uint32_t byteAt(std::size_t i) const { return static_cast<unsigned char>(bytes_[i]); }

    std::string_view bytes_;
    bool ok_ = true;
};
