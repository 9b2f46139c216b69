// The localized texts of the current language, looked up by text number.
#pragma once

#include <cstdint>

#include "shell/text_table.h"

// Replaces the table by the texts of language `languageIndex`; false when the
// table could not be loaded (it is then empty).
bool LoadStringTable(std::uint8_t languageIndex);
// The text of `number`; an empty text, never null, when there is none. Valid
// until the next LoadStringTable.
const wchar_t* GetText(std::uint32_t number);
// The whole table of the current language, for code that takes a copy to
// read on another thread. Valid until the next LoadStringTable.
const TextTable& CurrentTextTable();
