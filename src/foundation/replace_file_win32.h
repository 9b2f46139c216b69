// Whole-file saves that never leave a short or empty file behind.
#pragma once

#include <cstdint>
#include <string>

// How long a save waits for a file that another program holds open for a
// moment (virus scanners, search indexers and cloud-sync clients open
// freshly written files without letting them be replaced).
struct ReplaceRetries {
    unsigned attempts = 10;
    unsigned pauseMilliseconds = 100;
};

// The temporary file a save of `path` writes first, in the same folder: "~",
// the first three characters of the target's extension and ".tmp" (so
// "~lng.tmp" for config.lng). Each settings file has its own, never longer
// than the name of any settings file, so that its path fits wherever the
// settings file's path does.
std::wstring temporaryPathFor(const wchar_t* path);

// Writes `count` bytes to the temporary file beside `path`, then replaces
// `path` with it in one step, trying again while another program holds
// either file. A temporary file left by an earlier save that never finished
// is removed first. On any failure the old file is left as it was, the
// temporary file is removed and the result is false.
//
// Saves into one folder take turns, across threads and across copies of the
// tool: a save owns its temporary file from writing it to moving it, and no
// other save removes or moves it meanwhile. A save that cannot have its turn
// within `FolderTurnMilliseconds` fails rather than wait on.
inline constexpr std::uint32_t FolderTurnMilliseconds = 5000;
bool writeFileReplacing(const wchar_t* path, const void* bytes, std::uint32_t count,
                        const ReplaceRetries& retries = {});
