// Conversions between UTF-16 and the system's ANSI code page (no flags, as
// the platform converts), used only at its 8-bit edges: adapter names, the
// processor brand and the clipboard's plain-text report.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The text up to its first zero byte, or all `capacity` bytes when a
// fixed-size field holds none.
std::u16string FromSystemCodePage(const char* text, std::size_t capacity);
std::string ToSystemCodePage(std::u16string_view text);
