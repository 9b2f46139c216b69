// Text builders of the system report: pure functions of the values the
// platform reports. Numbers are formatted the same in every language.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "sysinfo/report_page.h"
#include "sysinfo/system_facts.h"

inline constexpr std::uint32_t TextUnknown = 225;

// The version values BuildOsName reads from the platform.
struct OsVersionValues {
    bool versionRead = false; // false: the version query failed
    std::uint32_t platformId = 0;
    std::uint32_t majorVersion = 0;
    std::uint32_t minorVersion = 0;
    std::uint32_t buildNumber = 0;
    std::u16string servicePack;
    std::uint16_t suiteMask = 0;
    std::uint8_t productType = 0;             // 1 workstation
    std::uint16_t architecture = 0;           // 0 x86, 6 Itanium, 9 x64
    bool serverR2 = false;                    // SM_SERVERR2
    std::optional<std::uint32_t> productKind; // GetProductInfo, when available
};

std::u16string BuildOsName(const OsVersionValues& values, TextLookup text);

// "Logical Core Count 8  Physical Core Count 4"; without a physical count
// (or a count of 0) the physical count reads "不明".
std::u16string FormatProcessorCounts(std::uint32_t logical, std::optional<std::uint32_t> physical,
                                     TextLookup text);

// Bytes as mebibytes: "4096.000MB".
std::u16string FormatMemorySize(std::uint64_t bytes);

// The report's name of a drive type (GetDriveType), or nothing for the types
// that are not listed (removable, CD-ROM, undetermined, no root).
std::optional<std::u16string> DriveKindText(std::uint32_t driveType, TextLookup text);
// "<label> 465.762GB": bytes as gibibytes after a label.
std::u16string FormatDiskSpace(std::u16string_view label, std::uint64_t bytes);
// The drive's non-empty fields, each but the free space followed by four spaces.
std::u16string BuildDriveText(const DriveRecord& drive);

struct GuidValue {
    std::uint32_t data1;
    std::uint16_t data2;
    std::uint16_t data3;
    std::array<std::uint8_t, 8> data4;
};
// "{6F1D2B61-D5A0-11CF-BFC7444553540000}": the last eight bytes form one group.
std::u16string FormatGuid(const GuidValue& guid);

// "Axis 4  Button 12  Field of View 1".
std::u16string FormatInputNotes(std::uint32_t axes, std::uint32_t buttons, std::uint32_t povs,
                                TextLookup text);

// Major.minor of a Direct3D shader version value: 0xFFFE0300 reads "3.0".
std::u16string FormatShaderVersion(std::uint32_t version);

// Bytes as mebibytes with a space: "1024.000 MB".
std::u16string FormatVideoMemory(std::uint64_t bytes);

// Eight upper-case hexadecimal digits: 1234 reads "000004D2".
std::u16string FormatProcessId(std::uint32_t id);

// The brand bytes of CPUID leaves 0x80000002 to 0x80000004 (EAX, EBX, ECX,
// EDX of each), without leading spaces, up to the first zero byte.
std::string ProcessorBrandBytes(const std::array<std::uint32_t, 12>& registers);

// What Wine says about itself and the system it runs on, and whether the
// environment says the machine is a Steam Deck.
struct CompatibilityLayerValues {
    std::string version;     // wine_get_version: "8.0"
    std::string hostSystem;  // wine_get_host_version's sysname: "Linux", "Darwin"
    std::string hostRelease; // and its release: "6.1.0-18-amd64"
    bool steamDeck = false;  // SteamDeck=1
};
// "Wine 8.0  Linux 6.1.0-18-amd64  Steam Deck": the parts that are there, two
// spaces apart; "Wine" alone when Wine names neither version nor host. Bytes
// outside printable ASCII read "?", so that a stray tab or line break cannot
// split the report's line.
std::u16string FormatCompatibilityLayer(const CompatibilityLayerValues& values);

// Wine's DxDiag gives some values as `= "value` (Wine 8 leaves out the
// closing quote, which a later Wine may add): such a value is returned
// without the `= "` and without one closing quote if there is one; `= "`
// alone gives the empty text. Every other value is returned as it is.
std::u16string CleanDxDiagValue(std::u16string_view value);

// ASCII text as UTF-16.
std::u16string Widen(std::string_view ascii);
