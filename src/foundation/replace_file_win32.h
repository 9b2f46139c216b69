// Whole-file saves that never leave a short or empty file behind.
#pragma once

#include <cstdint>

// Writes `count` bytes to a temporary file beside `path`, then replaces
// `path` with it in one step. On any failure the old file is left as it was,
// the temporary file is removed and the result is false.
bool writeFileReplacing(const wchar_t* path, const void* bytes, std::uint32_t count);
