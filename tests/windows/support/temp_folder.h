// A fresh folder under the system's temporary folder for one test, removed
// with everything in it when the test ends. Files are arranged and read back
// with the platform's own calls, not with the library under test.
#pragma once

#include <windows.h>

#include <string>

#include "foundation/local_dir_win32.h"
#include "foundation/paths_win32.h"

class TempFolder {
public:
    TempFolder()
    {
        static unsigned serial = 0;
        wchar_t base[MAX_PATH];
        GetTempPathW(MAX_PATH, base);
        root_ = base;
        root_ += L"orvante-foundation-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                 std::to_wstring(++serial);
        CreateDirectoryW(root_.c_str(), nullptr);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() { Qorm::File::LocalDir::removeDirectory(path(), true); }

    std::wstring wide(const std::wstring& relative = L"") const
    {
        return relative.empty() ? root_ : root_ + L"\\" + relative;
    }
    Utf8String path(const std::wstring& relative = L"") const
    {
        return Utf8String(utf16Text(wide(relative).c_str()));
    }

    void makeDirectory(const std::wstring& relative) const
    {
        CreateDirectoryW(wide(relative).c_str(), nullptr);
    }

    void writeFile(const std::wstring& relative, const std::string& bytes) const
    {
        const HANDLE file = CreateFileW(wide(relative).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }

    // The file's bytes; "<missing>" when it cannot be opened.
    std::string readFile(const std::wstring& relative) const
    {
        const HANDLE file = CreateFileW(wide(relative).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return "<missing>";
        std::string bytes;
        char piece[4096];
        DWORD got = 0;
        while (ReadFile(file, piece, sizeof piece, &got, nullptr) && got > 0)
            bytes.append(piece, got);
        CloseHandle(file);
        return bytes;
    }

    bool exists(const std::wstring& relative) const
    {
        return GetFileAttributesW(wide(relative).c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    DWORD attributes(const std::wstring& relative) const
    {
        return GetFileAttributesW(wide(relative).c_str());
    }

private:
    std::wstring root_;
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
