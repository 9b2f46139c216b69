// The language choice as config.lng stores it, and the rules that derive a
// language when the file does not give one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

inline constexpr std::uint32_t LanguageFileMagic = 0x20090423;

// config.lng: 8 bytes, little-endian. The low byte of the language word is
// the LanguageIndex; its upper three bytes are carried as read.
struct LanguageSettings {
    std::uint32_t magic;
    std::uint32_t languageWord;
};
static_assert(sizeof(LanguageSettings) == 8);
static_assert(offsetof(LanguageSettings, languageWord) == 4);

enum : std::uint8_t { Japanese = 0, English = 1, German = 2, French = 3 };
inline constexpr std::uint8_t LanguageCount = 4;

// Resource number of each language's text table, by LanguageIndex.
inline constexpr std::uint16_t LanguageResourceIds[LanguageCount] = {116, 113, 115, 114};

inline std::uint8_t languageIndexOf(const LanguageSettings& settings)
{
    return static_cast<std::uint8_t>(settings.languageWord & 0xFF);
}
inline void storeLanguageIndex(LanguageSettings& settings, std::uint8_t index)
{
    settings.languageWord = (settings.languageWord & ~0xFFu) | index;
}

// The user's default language id (LANGID) to a LanguageIndex; every language
// that is not English, German or French reads as Japanese.
std::uint8_t LanguageIdToIndex(std::uint16_t languageId);

// The record from the bytes read at start-up: exactly 8 bytes with the magic
// and a language this tool has. A language of 4 or more counts as not given.
std::optional<LanguageSettings> decodeLanguageFile(const unsigned char* bytes, std::size_t count);

// The first fallback: a file of at least 5 bytes whose byte 4 is a language.
std::optional<std::uint8_t> languageFromFileBytes(const unsigned char* bytes, std::size_t count);

// The registry value "Language" counts only when it names one of the four.
std::optional<std::uint8_t> languageFromRegistryValue(std::uint32_t value);

// The 8 bytes written back.
void encodeLanguageFile(const LanguageSettings& settings, unsigned char (&bytes)[8]);
