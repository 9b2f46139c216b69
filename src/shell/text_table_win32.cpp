#include "shell/text_table_win32.h"

// Placeholder until the packed text tables land: every text is empty.
bool LoadStringTable(std::uint8_t)
{
    return false;
}
const wchar_t* GetText(std::uint32_t)
{
    return L"";
}
