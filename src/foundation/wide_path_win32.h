// A library path as the temporary UTF-16 text that a platform call takes.
#pragma once

#include "foundation/paths_win32.h"

namespace Qorm::File {

class WidePath {
public:
    explicit WidePath(const Utf8String& path) { path.ToUtf16(text_); }
    const wchar_t* get() const { return wideText(text_); }

private:
    Utf16String text_;
};

} // namespace Qorm::File
