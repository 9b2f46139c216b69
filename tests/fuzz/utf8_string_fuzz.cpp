// Arbitrary bytes through Utf8String: conversions both ways, character
// indexing and editing must stay inside the string.
#include <cstddef>
#include <cstdint>
#include <string>

#include "foundation/utf8_string.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const std::uint32_t a = data[0];
    const std::uint32_t b = data[1];
    data += 2;
    size -= 2;

    const std::string bytes(reinterpret_cast<const char*>(data), size);
    Utf8String text(bytes.c_str(), static_cast<std::uint32_t>(bytes.size()));
    Utf16String wide;
    text.ToUtf16(wide);
    Utf8String back(wide);
    (void)back.Length();

    Utf16String units(size / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    for (char16_t& unit : units)
        if (unit == 0)
            unit = 0xD800; // keep the input one string: zeros would end it early
    Utf8String fromUnits(units);
    fromUnits.ToUtf16(wide);

    (void)text.Length();
    (void)text.Substring(a, b);
    (void)text.FindLastOf(Utf8String("/\\"), a);
    (void)FileNameOf(text);
    text.Append(text);
    text.Erase(a, b);
    RemoveTrailingSeparator(text);
    return 0;
}
