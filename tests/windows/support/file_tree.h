// A temporary folder for the foundation library's file tests, named both as
// the platform's wide text and as the library's Utf8String paths. Files are
// arranged and read back with the platform's own calls, not with the library
// under test.
#pragma once

#include <windows.h>

#include <string>

#include "foundation/local_dir_win32.h"
#include "foundation/paths_win32.h"
#include "support/temp_folder.h"

class FileTree : public TempFolder {
public:
    // Read-only entries left by a test would stay behind otherwise.
    ~FileTree() { Qorm::File::LocalDir::removeDirectory(path(L""), true); }

    std::wstring wide(const std::wstring& relative) const
    {
        return relative.empty() ? TempFolder::path() : file(relative);
    }
    Utf8String path(const std::wstring& relative = L"") const
    {
        return Utf8String(utf16Text(wide(relative).c_str()));
    }

    void makeDirectory(const std::wstring& relative) const
    {
        CreateDirectoryW(wide(relative).c_str(), nullptr);
    }
    void writeFile(const std::wstring& relative, const std::string& bytes) const { write(relative, bytes); }
    std::string readFile(const std::wstring& relative) const { return readWholeFile(wide(relative)); }
    DWORD attributes(const std::wstring& relative) const
    {
        return GetFileAttributesW(wide(relative).c_str());
    }
    bool exists(const std::wstring& relative) const
    {
        return attributes(relative) != INVALID_FILE_ATTRIBUTES;
    }
};

// Opens a file with no sharing, so that nobody else can open it, until
// release() or the end of the object.
class FileHolder {
public:
    explicit FileHolder(const std::wstring& path)
        : handle_(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr))
    {
    }
    FileHolder(const FileHolder&) = delete;
    FileHolder& operator=(const FileHolder&) = delete;
    ~FileHolder() { release(); }
    bool holding() const { return handle_ != INVALID_HANDLE_VALUE; }
    void release()
    {
        if (handle_ != INVALID_HANDLE_VALUE)
            CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE handle_;
};
