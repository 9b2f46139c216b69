#include "foundation/file_win32.h"

File::~File()
{
    if (handle != INVALID_HANDLE_VALUE)
        CloseHandle(handle);
}

bool File::isOpen() const
{
    return handle != INVALID_HANDLE_VALUE;
}

std::uint32_t File::write(const void* buffer, std::uint32_t count)
{
    DWORD written = 0;
    if (!isOpen() || !WriteFile(handle, buffer, count, &written, nullptr))
        return 0;
    return written;
}

std::uint32_t File::writeU32(std::uint32_t value)
{
    const unsigned char bytes[4] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
                                    static_cast<unsigned char>(value >> 16),
                                    static_cast<unsigned char>(value >> 24)};
    return write(bytes, sizeof bytes);
}

std::uint32_t File::read(void* buffer, std::uint32_t count)
{
    DWORD got = 0;
    if (!isOpen() || !ReadFile(handle, buffer, count, &got, nullptr))
        return 0;
    return got;
}

std::uint32_t File::size() const
{
    if (!isOpen())
        return 0;
    // With the high word asked for, all bits set is also a valid low word,
    // so only the error code tells a failure.
    DWORD high = 0;
    SetLastError(ERROR_SUCCESS);
    const DWORD low = GetFileSize(handle, &high);
    return low == INVALID_FILE_SIZE && GetLastError() != ERROR_SUCCESS ? 0 : low;
}

std::uint32_t File::tell()
{
    return seekCurrent(0);
}

std::uint32_t File::seekBegin(std::int32_t offset)
{
    return seek(offset, FILE_BEGIN);
}
std::uint32_t File::seekEnd(std::int32_t offset)
{
    return seek(offset, FILE_END);
}
std::uint32_t File::seekCurrent(std::int32_t offset)
{
    return seek(offset, FILE_CURRENT);
}

std::uint32_t File::seek(std::int32_t offset, DWORD method)
{
    if (!isOpen())
        return 0;
    const DWORD position = SetFilePointer(handle, offset, nullptr, method);
    return position == INVALID_SET_FILE_POINTER ? 0 : position;
}
