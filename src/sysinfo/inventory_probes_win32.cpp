#include "sysinfo/probes_win32.h"

#include <psapi.h>

#include "foundation/probe_process_win32.h"

namespace {

constexpr int NameCapacity = 260; // at most 259 characters and the terminator
const wchar_t UninstallKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

BOOL CALLBACK addApplicationTitle(HWND window, LPARAM parameter)
{
    wchar_t className[NameCapacity] = {};
    wchar_t title[NameCapacity] = {};
    GetClassNameW(window, className, NameCapacity);
    // The title the system keeps, read without a message: GetWindowText asks
    // a window of this process itself, and the thread behind it may be busy
    // in a graphics runtime or hung, which would hold this step with it.
    InternalGetWindowText(window, title, NameCapacity);
    // GetParent names the owner of pop-up windows only; GW_OWNER also finds
    // the owner of an owned overlapped window.
    const bool childOrOwned = GetParent(window) != nullptr || GetWindow(window, GW_OWNER) != nullptr;
    if (IsListedApplicationWindow(IsWindowVisible(window), IsWindowEnabled(window), childOrOwned,
                                  reinterpret_cast<const char16_t*>(className),
                                  reinterpret_cast<const char16_t*>(title)))
        reinterpret_cast<TitleSet*>(parameter)->insert(fromWide(title));
    return TRUE;
}

// The display names of one registry view of the Uninstall key. The key is
// only opened, never created: the report changes nothing on the machine.
void addDisplayNames(REGSAM view, TitleSet& names)
{
    HKEY uninstall = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, UninstallKey, 0, KEY_READ | view, &uninstall) != ERROR_SUCCESS)
        return;
    for (DWORD index = 0;; ++index) {
        wchar_t subkeyName[NameCapacity] = {};
        DWORD nameLength = NameCapacity;
        if (RegEnumKeyExW(uninstall, index, subkeyName, &nameLength, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        HKEY subkey = nullptr;
        if (RegOpenKeyExW(uninstall, subkeyName, 0, KEY_READ | view, &subkey) != ERROR_SUCCESS)
            continue;
        // One unit more than the value may fill, so an unterminated value
        // still ends inside the buffer.
        wchar_t displayName[NameCapacity + 1] = {};
        DWORD size = NameCapacity * sizeof(wchar_t);
        if (RegQueryValueExW(subkey, L"DisplayName", nullptr, nullptr, reinterpret_cast<BYTE*>(displayName),
                             &size) == ERROR_SUCCESS)
            names.insert(fromWide(displayName));
        RegCloseKey(subkey);
    }
    RegCloseKey(uninstall);
}

} // namespace

TitleSet ReadApplicationTitles()
{
    TitleSet titles;
    EnumWindows(addApplicationTitle, reinterpret_cast<LPARAM>(&titles));
    return titles;
}

TitleSet ReadInstalledApplications()
{
    // Both views, so that a 64-bit build also lists 32-bit applications and
    // the other way round; the set lists a name found in both once.
    TitleSet names;
    addDisplayNames(KEY_WOW64_64KEY, names);
    addDisplayNames(KEY_WOW64_32KEY, names);
    return names;
}

ProcessMap ReadProcesses()
{
    DWORD ids[1024] = {};
    DWORD bytes = 0;
    ProcessMap processes;
    if (!EnumProcesses(ids, sizeof ids, &bytes))
        return processes;
    for (DWORD i = 0; i < bytes / sizeof(DWORD); ++i) {
        // The tool's own probe processes run its program too, but are no
        // more than a part of its work.
        if (IsProbeProcessOfThisOne(ids[i]))
            continue;
        const HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, ids[i]);
        if (!process)
            continue;
        // Room for the first module only: the program itself.
        HMODULE modules[1] = {};
        DWORD needed = 0;
        wchar_t path[MAX_PATH] = {};
        if (EnumProcessModules(process, modules, sizeof modules, &needed) &&
            GetModuleFileNameExW(process, modules[0], path, MAX_PATH) > 0)
            processes[fromWide(path)] = ids[i];
        CloseHandle(process);
    }
    return processes;
}
