#include "foundation/replace_file_win32.h"

#include <cwchar>
#include <string>

#include "foundation/file_win32.h"

bool writeFileReplacing(const wchar_t* path, const void* bytes, std::uint32_t count)
{
    // A read-only file is someone's decision to keep it as it is; Windows
    // refuses to replace it, and so does this save everywhere.
    const DWORD attributes = GetFileAttributesW(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return false;

    // The temporary file lies in the same folder, so the replacing move is a
    // rename within one volume.
    std::wstring temporary = path;
    temporary += L".tmp";
    {
        File file;
        file.handle = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (!file.isOpen())
            return false;
        file.status = 0;
        const bool written = file.write(bytes, count) == count && FlushFileBuffers(file.handle);
        if (!written) {
            CloseHandle(file.handle);
            file.handle = INVALID_HANDLE_VALUE;
            DeleteFileW(temporary.c_str());
            return false;
        }
    }
    if (!MoveFileExW(temporary.c_str(), path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}
