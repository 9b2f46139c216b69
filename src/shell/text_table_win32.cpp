#include "shell/text_table_win32.h"

#include <windows.h>

#include "shell/app_state_win32.h"
#include "shell/language_settings.h"
#include "shell/text_table.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "texts are handed to the platform as they are stored");

namespace {

TextTable Texts;

// The bytes of the packed table resource of `languageIndex`; empty when it
// cannot be found, loaded or locked.
std::span<const std::uint8_t> tableResource(HINSTANCE instance, std::uint8_t languageIndex)
{
    const HRSRC info =
        FindResourceW(instance, MAKEINTRESOURCEW(LanguageResourceIds[languageIndex]), L"BINARY");
    if (!info)
        return {};
    const HGLOBAL loaded = LoadResource(instance, info);
    const DWORD size = SizeofResource(instance, info);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes || size == 0)
        return {};
    return {static_cast<const std::uint8_t*>(bytes), size};
}

} // namespace

bool LoadStringTable(std::uint8_t languageIndex)
{
    const HINSTANCE instance = AppInstance();
    if (!instance)
        return false;
    Texts.clear();
    if (languageIndex >= LanguageCount)
        return false;
    const std::span<const std::uint8_t> block = tableResource(instance, languageIndex);
    return !block.empty() && loadTextTable(block, Texts);
}

const wchar_t* GetText(std::uint32_t number)
{
    return reinterpret_cast<const wchar_t*>(Texts.find(number));
}

const TextTable& CurrentTextTable()
{
    return Texts;
}
