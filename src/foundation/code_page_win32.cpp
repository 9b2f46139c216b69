#include "foundation/code_page_win32.h"

#include <windows.h>

#include <cstring>

std::u16string FromSystemCodePage(const char* text, std::size_t capacity)
{
    const int length = static_cast<int>(strnlen(text, capacity));
    if (length == 0)
        return {};
    std::u16string wide(static_cast<std::size_t>(length), u'\0');
    const int converted =
        MultiByteToWideChar(CP_ACP, 0, text, length, reinterpret_cast<wchar_t*>(wide.data()), length);
    wide.resize(static_cast<std::size_t>(converted > 0 ? converted : 0));
    return wide;
}

std::string ToSystemCodePage(std::u16string_view text)
{
    if (text.empty())
        return {};
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int units = static_cast<int>(text.size());
    const int length = WideCharToMultiByte(CP_ACP, 0, wide, units, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return {};
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide, units, bytes.data(), length, nullptr, nullptr);
    return bytes;
}
