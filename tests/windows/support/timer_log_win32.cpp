#include "support/timer_log.h"

#include <gtest/gtest.h>

#include <cstring>

#include "support/dialog_driver.h"

namespace {

using SetTimerFunction = UINT_PTR(WINAPI*)(HWND, UINT_PTR, UINT, TIMERPROC);
using KillTimerFunction = BOOL(WINAPI*)(HWND, UINT_PTR);

SetTimerFunction realSetTimer = nullptr;
KillTimerFunction realKillTimer = nullptr;
std::vector<std::wstring> logged;
std::wstring (*namer)(HWND) = nullptr;

std::wstring nameOf(HWND window)
{
    return namer ? namer(window) : L"window";
}

// The timers of the program's windows, not the one a test script ticks by.
bool logs(HWND window)
{
    wchar_t className[32] = {};
    return window &&
           !(GetClassNameW(window, className, 32) && lstrcmpW(className, Player::ScriptTickerClass) == 0);
}

UINT_PTR WINAPI loggedSetTimer(HWND window, UINT_PTR id, UINT period, TIMERPROC procedure)
{
    if (logs(window))
        logged.push_back(nameOf(window) + L": timer " + std::to_wstring(id) + L" every " +
                         std::to_wstring(period) + L" ms");
    return realSetTimer(window, id, period, procedure);
}

BOOL WINAPI loggedKillTimer(HWND window, UINT_PTR id)
{
    if (logs(window))
        logged.push_back(nameOf(window) + L": timer " + std::to_wstring(id) + L" stopped");
    return realKillTimer(window, id);
}

// The import address slot of `function` from `library` in this executable.
void** importSlot(const char* library, const char* function)
{
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); entry->Name;
         ++entry) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + entry->Name), library) != 0)
            continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(
            base + (entry->OriginalFirstThunk ? entry->OriginalFirstThunk : entry->FirstThunk));
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            const auto* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0)
                return reinterpret_cast<void**>(&slots->u1.Function);
        }
    }
    return nullptr;
}

void* replaceImport(const char* function, void* replacement)
{
    void** slot = importSlot("user32.dll", function);
    EXPECT_NE(nullptr, slot) << function << " is not imported from user32.dll";
    if (!slot)
        return nullptr;
    DWORD protection = 0;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection);
    void* previous = *slot;
    *slot = replacement;
    VirtualProtect(slot, sizeof *slot, protection, &protection);
    return previous;
}

} // namespace

TimerLog::TimerLog()
{
    logged.clear();
    realSetTimer = reinterpret_cast<SetTimerFunction>(
        replaceImport("SetTimer", reinterpret_cast<void*>(&loggedSetTimer)));
    realKillTimer = reinterpret_cast<KillTimerFunction>(
        replaceImport("KillTimer", reinterpret_cast<void*>(&loggedKillTimer)));
}

TimerLog::~TimerLog()
{
    if (realSetTimer)
        replaceImport("SetTimer", reinterpret_cast<void*>(realSetTimer));
    if (realKillTimer)
        replaceImport("KillTimer", reinterpret_cast<void*>(realKillTimer));
    namer = nullptr;
}

std::vector<std::wstring> TimerLog::lines()
{
    return logged;
}

void TimerLog::setNamer(std::wstring (*nameOf)(HWND))
{
    namer = nameOf;
}
