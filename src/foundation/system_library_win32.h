// DLLs come from the system folder only, never from the program's own folder
// or the current directory: the tool is often run from a Downloads folder,
// where a DLL of a system name left beside it would otherwise be loaded.
#pragma once

#include <windows.h>

// Restricts the process's default DLL search to the system folder. Called
// first thing in the entry, before anything can load a DLL. False when
// neither SetDefaultDllDirectories nor SetDllDirectoryW took effect.
bool RestrictDllSearchToSystemFolder();

// Loads a DLL, given by its bare file name ("d3d9.dll"), from the system
// folder only, whatever the default search is. Null when it is not there, or
// when the name is not a bare file name; GetLastError tells why.
HMODULE LoadSystemLibrary(const wchar_t* name);

// The same load through the full path in the system folder, for systems whose
// loader lacks LOAD_LIBRARY_SEARCH_SYSTEM32 (Windows 7 without KB2533623).
// LoadSystemLibrary takes this road by itself where it must.
HMODULE LoadSystemLibraryByPath(const wchar_t* name);

// The entry `name` of a loaded module as a function pointer of type Function;
// null when the module is null or lacks the entry.
template <typename Function> Function LibraryEntry(HMODULE module, const char* name)
{
    return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                  : nullptr;
}
