// The foundation library's path operations on the real file system.
#pragma once

#include <windows.h>

#include "foundation/utf8_string.h"

// Library UTF-16 text as the platform's wide characters (both are 16-bit here).
inline const wchar_t* wideText(const Utf16String& text)
{
    return reinterpret_cast<const wchar_t*>(text.c_str());
}
inline const char16_t* utf16Text(const wchar_t* text)
{
    return reinterpret_cast<const char16_t*>(text);
}

// The user's Documents folder into `out`, which must be empty.
bool GetDocumentsFolder(Utf8String& out);
// Makes the directory and every missing parent; true also when it exists.
bool createDirectory(const Utf8String& path);
// True when the path names an existing file that is not a directory.
bool fileExists(const Utf8String& path);
