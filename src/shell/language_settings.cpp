#include "shell/language_settings.h"

namespace {
std::uint32_t readU32(const unsigned char* bytes)
{
    return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
}
} // namespace

std::uint8_t LanguageIdToIndex(std::uint16_t languageId)
{
    switch (languageId) {
    case 0x0409:
    case 0x0809:
    case 0x0C09:
    case 0x1009:
    case 0x1409:
    case 0x1809:
    case 0x1C09:
    case 0x2009:
    case 0x2409:
    case 0x2809:
    case 0x2C09:
    case 0x3009:
    case 0x3409: return English;
    case 0x0407:
    case 0x0807:
    case 0x0C07:
    case 0x1007:
    case 0x1407: return German;
    case 0x040C:
    case 0x080C:
    case 0x0C0C:
    case 0x100C:
    case 0x140C:
    case 0x180C: return French;
    default: return Japanese;
    }
}

std::optional<LanguageSettings> decodeLanguageFile(const unsigned char* bytes, std::size_t count)
{
    if (count != 8 || readU32(bytes) != LanguageFileMagic || bytes[4] >= LanguageCount)
        return std::nullopt;
    return LanguageSettings{readU32(bytes), readU32(bytes + 4)};
}

std::optional<std::uint8_t> languageFromFileBytes(const unsigned char* bytes, std::size_t count)
{
    if (count < 5 || bytes[4] >= LanguageCount)
        return std::nullopt;
    return bytes[4];
}

std::optional<std::uint8_t> languageFromRegistryValue(std::uint32_t value)
{
    if (value >= LanguageCount)
        return std::nullopt;
    return static_cast<std::uint8_t>(value);
}

void encodeLanguageFile(const LanguageSettings& settings, unsigned char (&bytes)[8])
{
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<unsigned char>(settings.magic >> (8 * i));
        bytes[4 + i] = static_cast<unsigned char>(settings.languageWord >> (8 * i));
    }
}
