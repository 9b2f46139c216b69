// Any bytes as config.lng: a language the tool has, or no choice at all.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "shell/language_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (const auto settings = decodeLanguageFile(data, size)) {
        if (languageIndexOf(*settings) >= LanguageCount)
            std::abort();
    }
    if (const auto language = languageFromFileBytes(data, size)) {
        if (*language >= LanguageCount)
            std::abort();
    }
    return 0;
}
