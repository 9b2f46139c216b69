// A stand-in for a system DLL, built under each name the planting test lays
// beside the tool. Loading it leaves "<its own path>.loaded", holding the
// path of the program that loaded it, and then refuses to load, as a planted
// DLL that had run its code would already have done its harm.
#include <windows.h>

#include <cwchar>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID)
{
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    wchar_t mark[MAX_PATH + 8];
    const DWORD length = GetModuleFileNameW(self, mark, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return FALSE;
    std::wcscpy(mark + length, L".loaded");
    const HANDLE file =
        CreateFileW(mark, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        wchar_t program[MAX_PATH];
        const DWORD programLength = GetModuleFileNameW(nullptr, program, MAX_PATH);
        DWORD written = 0;
        // Best effort: the mark's existence is what counts.
        WriteFile(file, program, programLength * sizeof(wchar_t), &written, nullptr);
        CloseHandle(file);
    }
    return FALSE;
}
