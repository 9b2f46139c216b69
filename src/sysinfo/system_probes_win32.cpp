#include "sysinfo/probes_win32.h"

#include <cpuid.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "foundation/system_library_win32.h"
#include "shell/text_table_win32.h"
#include "sysinfo/fact_text.h"

namespace {

template <typename Function> Function systemEntry(const wchar_t* module, const char* name)
{
    return LibraryEntry<Function>(GetModuleHandleW(module), name);
}

// A text Wine hands out, read no further than a version or a host name can
// reach; null reads empty.
std::string wineText(const char* text)
{
    return text ? std::string(text, strnlen(text, 100)) : std::string();
}

std::u16string driveSpace(std::uint32_t labelText, ULARGE_INTEGER bytes)
{
    return FormatDiskSpace(ReportText(labelText), bytes.QuadPart);
}

} // namespace

namespace {
thread_local const TextTable* threadTexts = nullptr;
}

const char16_t* ReportText(std::uint32_t number)
{
    return threadTexts ? threadTexts->find(number) : reinterpret_cast<const char16_t*>(GetText(number));
}

void UseReportTextsOnThisThread(const TextTable* texts)
{
    threadTexts = texts;
}

void ProbeDrives(SystemFacts& facts)
{
    const DWORD mask = GetLogicalDrives();
    for (int letter = 0; letter < 26; ++letter) {
        if (!(mask & (1u << letter)))
            continue;
        const wchar_t root[] = {static_cast<wchar_t>(L'A' + letter), L':', L'\\', L'\0'};
        const std::optional<std::u16string> kind = DriveKindText(GetDriveTypeW(root), ReportText);
        if (!kind)
            continue;
        DriveRecord drive{fromWide(root), *kind, {}, {}};
        // A volume that does not answer (a disconnected network drive) is
        // listed without its space.
        ULARGE_INTEGER total{}, totalFree{};
        if (GetDiskFreeSpaceExW(root, nullptr, &total, &totalFree)) {
            drive.totalSpace = driveSpace(223, total);
            drive.freeSpace = driveSpace(224, totalFree);
        }
        facts.drives.push_back(std::move(drive));
    }
}

std::u16string ReadOsName()
{
    OsVersionValues values;
    OSVERSIONINFOEXW version{};
    version.dwOSVersionInfoSize = sizeof version;
    values.versionRead = GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&version)) != FALSE;
    if (values.versionRead) {
        values.platformId = version.dwPlatformId;
        values.majorVersion = version.dwMajorVersion;
        values.minorVersion = version.dwMinorVersion;
        values.buildNumber = version.dwBuildNumber;
        values.servicePack = fromWideField(version.szCSDVersion);
        values.suiteMask = version.wSuiteMask;
        values.productType = version.wProductType;
    }

    using SystemInfoFunction = void(WINAPI*)(SYSTEM_INFO*);
    SYSTEM_INFO system{};
    if (const auto native = systemEntry<SystemInfoFunction>(L"kernel32.dll", "GetNativeSystemInfo"))
        native(&system);
    else
        GetSystemInfo(&system);
    values.architecture = system.wProcessorArchitecture;
    values.serverR2 = GetSystemMetrics(SM_SERVERR2) != 0;

    using ProductInfoFunction = BOOL(WINAPI*)(DWORD, DWORD, DWORD, DWORD, DWORD*);
    if (values.majorVersion == 6 || values.majorVersion == 10) {
        if (const auto productInfo = systemEntry<ProductInfoFunction>(L"kernel32.dll", "GetProductInfo")) {
            DWORD kind = 0; // stays 0, "undefined", when the call fails
            productInfo(values.majorVersion, values.minorVersion, 0, 0, &kind);
            values.productKind = kind;
        }
    }
    return BuildOsName(values, ReportText);
}

std::u16string ReadProcessorBrand()
{
    // Reading leaves the processor does not offer would return unrelated data.
    if (__get_cpuid_max(0x80000000u, nullptr) < 0x80000004u)
        return {};
    std::array<std::uint32_t, 12> registers{};
    for (unsigned leaf = 0; leaf < 3; ++leaf) {
        unsigned a = 0, b = 0, c = 0, d = 0;
        __cpuid(0x80000002u + leaf, a, b, c, d);
        registers[leaf * 4 + 0] = a;
        registers[leaf * 4 + 1] = b;
        registers[leaf * 4 + 2] = c;
        registers[leaf * 4 + 3] = d;
    }
    const std::string brand = ProcessorBrandBytes(registers);
    return FromSystemCodePage(brand.data(), brand.size());
}

std::u16string ReadProcessorCounts()
{
    SYSTEM_INFO system{};
    GetSystemInfo(&system);

    using ProcessorInformationFunction = BOOL(WINAPI*)(SYSTEM_LOGICAL_PROCESSOR_INFORMATION*, DWORD*);
    std::optional<std::uint32_t> cores;
    const auto query =
        systemEntry<ProcessorInformationFunction>(L"kernel32", "GetLogicalProcessorInformation");
    DWORD length = 0;
    if (query && (query(nullptr, &length), length >= sizeof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION))) {
        std::vector<SYSTEM_LOGICAL_PROCESSOR_INFORMATION> entries(
            length / sizeof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION));
        length = static_cast<DWORD>(entries.size() * sizeof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION));
        if (query(entries.data(), &length)) {
            // Only the entries the call filled: an unfilled, zeroed entry
            // would read as a core.
            entries.resize(length / sizeof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION));
            std::uint32_t count = 0;
            for (const auto& entry : entries)
                count += entry.Relationship == RelationProcessorCore ? 1 : 0;
            cores = count;
        }
    }
    return FormatProcessorCounts(system.dwNumberOfProcessors, cores, ReportText);
}

std::u16string ReadMemorySize(MemoryKind kind)
{
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status))
        return {};
    switch (kind) {
    case MemoryKind::Physical: return FormatMemorySize(status.ullTotalPhys);
    case MemoryKind::Virtual: return FormatMemorySize(status.ullTotalVirtual);
    case MemoryKind::PageFile: return FormatMemorySize(status.ullTotalPageFile);
    }
    return {};
}

std::u16string ReadCompatibilityLayer()
{
    // Only Wine's ntdll has these entries; Windows has neither.
    using VersionFunction = const char*(CDECL*)();
    using HostVersionFunction = void(CDECL*)(const char** sysname, const char** release);
    const auto version = systemEntry<VersionFunction>(L"ntdll.dll", "wine_get_version");
    if (!version)
        return {};
    CompatibilityLayerValues values;
    values.version = wineText(version());
    if (const auto hostVersion = systemEntry<HostVersionFunction>(L"ntdll.dll", "wine_get_host_version")) {
        const char* sysname = nullptr;
        const char* release = nullptr;
        hostVersion(&sysname, &release);
        values.hostSystem = wineText(sysname);
        values.hostRelease = wineText(release);
    }
    // Steam sets this on the Deck, and Proton passes it on to the program.
    const char* steamDeck = std::getenv("SteamDeck");
    values.steamDeck = steamDeck && std::strcmp(steamDeck, "1") == 0;
    return FormatCompatibilityLayer(values);
}
