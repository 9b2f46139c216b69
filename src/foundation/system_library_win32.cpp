#include "foundation/system_library_win32.h"

#include <cwchar>

namespace {

// The search flags of LoadLibraryExW and SetDefaultDllDirectories arrived
// together with AddDllDirectory (Windows 8, and Windows 7 with KB2533623);
// where the loader lacks them, LoadLibraryExW fails with
// ERROR_INVALID_PARAMETER instead of searching.
bool loaderHasSearchFlags()
{
    static const bool present =
        LibraryEntry<FARPROC>(GetModuleHandleW(L"kernel32.dll"), "AddDllDirectory") != nullptr;
    return present;
}

bool isBareFileName(const wchar_t* name)
{
    return name && *name && !std::wcspbrk(name, L"\\/:");
}

} // namespace

bool RestrictDllSearchToSystemFolder()
{
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    const auto setDefault = LibraryEntry<SetDefaultDllDirectoriesFunction>(GetModuleHandleW(L"kernel32.dll"),
                                                                           "SetDefaultDllDirectories");
    if (setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32))
        return true;
    // Without it the program's folder is still searched first; this at least
    // takes the current directory out of the search.
    return SetDllDirectoryW(L"") != FALSE;
}

HMODULE LoadSystemLibrary(const wchar_t* name)
{
    if (!isBareFileName(name)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (loaderHasSearchFlags())
        return LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return LoadSystemLibraryByPath(name);
}

HMODULE LoadSystemLibraryByPath(const wchar_t* name)
{
    if (!isBareFileName(name)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    wchar_t path[MAX_PATH];
    const UINT folderLength = GetSystemDirectoryW(path, MAX_PATH);
    const std::size_t nameLength = std::wcslen(name);
    if (folderLength == 0)
        return nullptr;
    if (folderLength + 1 + nameLength >= MAX_PATH) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return nullptr;
    }
    path[folderLength] = L'\\';
    std::wmemcpy(path + folderLength + 1, name, nameLength + 1);
    // With a full path, the altered search looks for the DLL's own imports in
    // its folder (the system folder) before the program's.
    return LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}
