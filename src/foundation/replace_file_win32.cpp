#include "foundation/replace_file_win32.h"

#include <windows.h>

#include <cwchar>

#include "foundation/file_win32.h"

namespace {

// Shorter than "config.sys", "config.pad" and "config.lng".
const wchar_t TemporaryName[] = L"~cfg.tmp";

// Errors of a file that someone else holds open for a moment.
bool isBusyError(DWORD error)
{
    return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED || error == ERROR_LOCK_VIOLATION;
}

bool writeTemporaryFile(const wchar_t* temporary, const void* bytes, std::uint32_t count)
{
    File file;
    file.handle =
        CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (!file.isOpen())
        return false;
    file.status = 0;
    return file.write(bytes, count) == count && FlushFileBuffers(file.handle);
}

bool replaceWithRetries(const wchar_t* temporary, const wchar_t* path, const ReplaceRetries& retries)
{
    for (unsigned attempt = 1;; ++attempt) {
        if (MoveFileExW(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        if (attempt >= retries.attempts || !isBusyError(GetLastError()))
            return false;
        Sleep(retries.pauseMilliseconds);
    }
}

} // namespace

std::wstring temporaryPathFor(const wchar_t* path)
{
    const wchar_t* backslash = std::wcsrchr(path, L'\\');
    const wchar_t* slash = std::wcsrchr(path, L'/');
    const wchar_t* separator = backslash > slash ? backslash : slash;
    std::wstring temporary(path, separator ? separator + 1 - path : 0);
    return temporary + TemporaryName;
}

bool writeFileReplacing(const wchar_t* path, const void* bytes, std::uint32_t count,
                        const ReplaceRetries& retries)
{
    // The temporary path is checked against the platform's limit rather than
    // failing somewhere inside the platform calls.
    const std::wstring temporary = temporaryPathFor(path);
    if (temporary.size() >= MAX_PATH)
        return false;
    // Left by a save that was cut off (a crash, a power cut); a file still
    // held by another save is not removed.
    DeleteFileW(temporary.c_str());

    // A read-only file is someone's decision to keep it as it is; Windows
    // refuses to replace it, and so does this save everywhere.
    const DWORD attributes = GetFileAttributesW(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return false;

    // The temporary file lies in the same folder, so the replacing move is a
    // rename within one volume.
    if (writeTemporaryFile(temporary.c_str(), bytes, count) &&
        replaceWithRetries(temporary.c_str(), path, retries))
        return true;
    DeleteFileW(temporary.c_str());
    return false;
}
