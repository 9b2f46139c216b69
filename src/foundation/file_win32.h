// The foundation library's plain file: a thin object over a file handle that
// its owner opens with CreateFileW and stores.
#pragma once

#include <windows.h>

#include <cstdint>

class File {
public:
    File() = default;
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    virtual ~File();

    virtual bool isOpen() const;
    virtual std::uint32_t write(const void* buffer, std::uint32_t count);
    virtual std::uint32_t writeU32(std::uint32_t value);
    virtual std::uint32_t read(void* buffer, std::uint32_t count);
    virtual std::uint32_t size() const;
    virtual std::uint32_t tell();
    virtual std::uint32_t seekBegin(std::int32_t offset);
    virtual std::uint32_t seekEnd(std::int32_t offset);
    virtual std::uint32_t seekCurrent(std::int32_t offset);

    HANDLE handle = INVALID_HANDLE_VALUE;
    // 2 while no file is open, 0 once the owner has stored a handle.
    std::uint32_t status = 2;

private:
    std::uint32_t seek(std::int32_t offset, DWORD method);
};
