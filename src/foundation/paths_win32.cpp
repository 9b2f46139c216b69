#include "foundation/paths_win32.h"

#include <shlobj.h>

bool GetDocumentsFolder(Utf8String& out)
{
    if (out.ByteLength() != 0)
        return false;
    IMalloc* shellAllocator = nullptr;
    if (FAILED(SHGetMalloc(&shellAllocator)))
        return false;
    LPITEMIDLIST location = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_PERSONAL, &location))) {
        shellAllocator->Release();
        return false;
    }
    wchar_t path[MAX_PATH] = {};
    // A location that has no file-system path leaves the buffer empty.
    SHGetPathFromIDListW(location, path);
    shellAllocator->Free(location);
    out = utf16Text(path);
    shellAllocator->Release();
    return true;
}

bool createDirectory(const Utf8String& path)
{
    if (path.ByteLength() == 0)
        return false;
    Utf16String wide;
    path.ToUtf16(wide);
    // Bytes that decode to nothing (an encoded surrogate alone) name no
    // directory.
    if (wide.empty())
        return false;
    if (CreateDirectoryW(wideText(wide), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS)
        return true;

    // Make each level in turn; position 3 onward skips a drive prefix "C:\".
    if (wide.back() != u'\\' && wide.back() != u'/')
        wide.push_back(u'\\');
    for (std::size_t i = 3; i < wide.size(); ++i) {
        if (wide[i] != u'\\' && wide[i] != u'/')
            continue;
        wide[i] = 0;
        const BOOL made = CreateDirectoryW(wideText(wide), nullptr);
        const DWORD error = made ? ERROR_SUCCESS : GetLastError();
        wide[i] = u'\\';
        if (!made && error != ERROR_ALREADY_EXISTS)
            return false;
    }
    return true;
}

bool fileExists(const Utf8String& path)
{
    Utf16String wide;
    path.ToUtf16(wide);
    const DWORD attributes = GetFileAttributesW(wideText(wide));
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}
