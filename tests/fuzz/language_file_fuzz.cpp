// Any bytes as config.lng: a language the tool has, or no choice at all. A
// file of 8 bytes with the magic and one of the four languages is never
// refused, and writing its record back gives the same 8 bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "shell/language_settings.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const bool valid = size == 8 && data[0] == 0x23 && data[1] == 0x04 && data[2] == 0x09 &&
                       data[3] == 0x20 && data[4] < LanguageCount;
    const auto settings = decodeLanguageFile(data, size);
    check(settings.has_value() == valid);
    if (settings) {
        check(languageIndexOf(*settings) == data[4]);
        unsigned char written[8];
        encodeLanguageFile(*settings, written);
        check(std::memcmp(written, data, 8) == 0);
    }
    // The first fallback: byte 4 of a file of 5 bytes or more, when it names
    // a language; nothing otherwise.
    const auto fromBytes = languageFromFileBytes(data, size);
    const bool byteFour = size >= 5 && data[4] < LanguageCount;
    check(fromBytes.has_value() == byteFour);
    if (fromBytes)
        check(*fromBytes == data[4]);
    return 0;
}
