// dll-probe MODE NAME...: loads each named DLL one way and exits with the
// number of loads that succeeded. The planting test runs it beside the
// stand-in DLLs.
//   bare    LoadLibraryW(name), the search the tool must not use: it springs
//           the trap, which proves the stand-ins and Wine's overrides work;
//   restricted  LoadLibraryW(name) after RestrictDllSearchToSystemFolder(),
//           as the tool's entry does first;
//   system  LoadSystemLibrary(name), whatever the default search;
//   path    LoadSystemLibraryByPath(name), the road for loaders without
//           LOAD_LIBRARY_SEARCH_SYSTEM32, which Wine never takes by itself.
#include <windows.h>

#include <cwchar>

#include "foundation/system_library_win32.h"

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
        return -1;
    HMODULE (*load)(const wchar_t*) = nullptr;
    if (std::wcscmp(argv[1], L"bare") == 0)
        load = [](const wchar_t* name) { return LoadLibraryW(name); };
    else if (std::wcscmp(argv[1], L"restricted") == 0 && RestrictDllSearchToSystemFolder())
        load = [](const wchar_t* name) { return LoadLibraryW(name); };
    else if (std::wcscmp(argv[1], L"system") == 0)
        load = LoadSystemLibrary;
    else if (std::wcscmp(argv[1], L"path") == 0)
        load = LoadSystemLibraryByPath;
    else
        return -1;
    int loaded = 0;
    for (int i = 2; i < argc; ++i) {
        if (load(argv[i]))
            ++loaded;
    }
    return loaded;
}
