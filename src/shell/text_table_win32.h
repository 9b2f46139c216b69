// The localized texts of the current language, looked up by text number.
#pragma once

#include <cstdint>

// Replaces the table by the texts of language `languageIndex`; false when the
// table could not be loaded (it is then empty).
bool LoadStringTable(std::uint8_t languageIndex);
// The text of `number`; an empty text, never null, when there is none. Valid
// until the next LoadStringTable.
const wchar_t* GetText(std::uint32_t number);
