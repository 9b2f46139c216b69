#include "sysinfo/fact_text.h"

#include <charconv>
#include <cstdio>

namespace {

constexpr char16_t IdeographicSpace = u'\u3000';
constexpr double Kibi = 1.0 / 1024.0;

// Fixed notation with three decimals, independent of any locale.
std::u16string fixed3(double value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 3);
    return Widen(std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer)));
}

std::u16string decimal(std::uint32_t value)
{
    return Widen(std::to_string(value));
}

std::u16string labelled(TextLookup text, std::uint32_t number, std::uint32_t value)
{
    std::u16string result = text(number);
    result += u' ';
    result += decimal(value);
    return result;
}

const char16_t* editionName(std::uint32_t productKind)
{
    switch (productKind) {
    case 1: return u"Ultimate Edition";
    case 2: return u"Home Basic Edition";
    case 3: return u"Home Premium Edition";
    case 4: return u"Enterprise Edition";
    case 6: return u"Business Edition";
    case 7: return u"Standard Edition";
    case 8: return u"Datacenter Edition";
    case 9: return u"Small Business Server";
    case 10: return u"Enterprise Edition";
    case 11: return u"Starter Edition";
    case 12: return u"Datacenter Edition (core installation)";
    case 13: return u"Standard Edition (core installation)";
    case 14: return u"Enterprise Edition (core installation)";
    case 15: return u"Enterprise Edition for Itanium-based Systems";
    case 17: return u"Web Server Edition";
    case 18: return u"Cluster Server Edition";
    case 25: return u"Small Business Server Premium Edition";
    default: return u"";
    }
}

// Windows 8 and later name their editions the way the system itself does
// ("Windows 10 Pro"); the older names above stay as they were for the older
// systems, where some of these values meant nothing or something else.
const char16_t* laterEditionName(std::uint32_t productKind)
{
    switch (productKind) {
    case 0x04: return u"Enterprise";
    case 0x07: return u"Standard";
    case 0x08: return u"Datacenter";
    case 0x0C: return u"Datacenter (core installation)";
    case 0x0D: return u"Standard (core installation)";
    case 0x1B: return u"Enterprise N";
    case 0x30: return u"Pro";
    case 0x31: return u"Pro N";
    case 0x48: return u"Enterprise Evaluation";
    case 0x62: return u"Home N";
    case 0x63: return u"Home China";
    case 0x64: return u"Home Single Language";
    case 0x65: return u"Home";
    case 0x79: return u"Education";
    case 0x7A: return u"Education N";
    case 0x7D: return u"Enterprise LTSC";
    case 0x7E: return u"Enterprise LTSC N";
    case 0xA1: return u"Pro for Workstations";
    case 0xA2: return u"Pro for Workstations N";
    case 0xA4: return u"Pro Education";
    case 0xA5: return u"Pro Education N";
    default: return u"";
    }
}

// Windows 10, 11 and the servers of version 10.0 share the version number;
// the build tells them apart. Servers between the released builds (the
// semi-annual channel) are named after the release they follow.
const char16_t* versionTenName(bool workstation, std::uint32_t build)
{
    if (workstation)
        return build < 22000 ? u"Windows 10" : u"Windows 11";
    return build < 17763   ? u"Windows Server 2016"
           : build < 20348 ? u"Windows Server 2019"
           : build < 26100 ? u"Windows Server 2022"
                           : u"Windows Server 2025";
}

// The product of version 6.x or 10.0, or null for a version without one.
const char16_t* ntSixProductName(const OsVersionValues& v, bool workstation)
{
    if (v.majorVersion == 10)
        return v.minorVersion == 0 ? versionTenName(workstation, v.buildNumber) : nullptr;
    switch (v.minorVersion) {
    case 0: return workstation ? u"Windows Vista" : u"Windows Server 2008";
    case 1: return workstation ? u"Windows 7" : u"Windows Server 2008 R2";
    case 2: return workstation ? u"Windows 8" : u"Windows Server 2012";
    case 3: return workstation ? u"Windows 8.1" : u"Windows Server 2012 R2";
    default: return nullptr;
    }
}

constexpr std::uint8_t Workstation = 1;
constexpr std::uint16_t ArchitectureX86 = 0;
constexpr std::uint16_t ArchitectureItanium = 6;
constexpr std::uint16_t ArchitectureX64 = 9;

// Versions 5.2: the product of the suite, then for servers the edition by
// architecture (bit tests, first match wins).
void appendServer2003(std::u16string& name, const OsVersionValues& v)
{
    const bool workstation = v.productType == Workstation;
    if (v.serverR2)
        name += u"Windows Server 2003 R2";
    else if (v.suiteMask == 0x2000)
        name += u"Windows Storage Server 2003";
    else if (v.suiteMask == 0x8000)
        name += u"Windows Home Server";
    else if (workstation && v.architecture == ArchitectureX64)
        name += u"Windows XP Professional x64 Edition";
    else
        name += u"Windows Server 2003";
    name += IdeographicSpace;
    if (workstation)
        return;
    const auto has = [&](std::uint16_t bit) { return (v.suiteMask & bit) != 0; };
    if (v.architecture == ArchitectureItanium) {
        if (has(0x80))
            name += u"Datacenter Edition for Itanium-based Systems";
        else if (has(0x2))
            name += u"Enterprise Edition for Itanium-based Systems";
    } else if (v.architecture == ArchitectureX64) {
        name += has(0x80)  ? u"Datacenter x64 Edition"
                : has(0x2) ? u"Enterprise x64 Edition"
                           : u"Standard x64 Edition";
    } else {
        name += has(0x4000)  ? u"Compute Cluster Edition"
                : has(0x80)  ? u"Datacenter Edition"
                : has(0x2)   ? u"Enterprise Edition"
                : has(0x400) ? u"Web Edition"
                             : u"Standard Edition";
    }
}

} // namespace

std::u16string FormatCompatibilityLayer(const CompatibilityLayerValues& values)
{
    const auto printable = [](std::string_view bytes) {
        std::u16string text;
        for (char c : bytes)
            text += c >= 0x20 && c < 0x7F ? static_cast<char16_t>(c) : u'?';
        return text;
    };
    std::u16string layer = u"Wine";
    if (!values.version.empty())
        layer += u" " + printable(values.version);
    std::u16string host = printable(values.hostSystem);
    if (!values.hostRelease.empty())
        host += (host.empty() ? u"" : u" ") + printable(values.hostRelease);
    if (!host.empty())
        layer += u"  " + host;
    if (values.steamDeck)
        layer += u"  Steam Deck";
    return layer;
}

std::u16string CleanDxDiagValue(std::u16string_view value)
{
    constexpr std::u16string_view Opening = u"= \"";
    if (!value.starts_with(Opening))
        return std::u16string(value);
    value.remove_prefix(Opening.size());
    if (value.ends_with(u'"'))
        value.remove_suffix(1);
    return std::u16string(value);
}

std::u16string Widen(std::string_view ascii)
{
    return std::u16string(ascii.begin(), ascii.end());
}

std::u16string BuildOsName(const OsVersionValues& v, TextLookup text)
{
    constexpr std::uint32_t PlatformNt = 2;
    if (!v.versionRead || v.platformId != PlatformNt || v.majorVersion <= 4)
        return text(TextUnknown);

    const bool workstation = v.productType == Workstation;
    std::u16string name = u"Microsoft ";
    const bool later = v.majorVersion == 10 || (v.majorVersion == 6 && v.minorVersion >= 2);
    if (v.majorVersion == 6 || v.majorVersion == 10) {
        if (const char16_t* product = ntSixProductName(v, workstation)) {
            name += product;
            name += IdeographicSpace;
        }
        if (v.productKind)
            name += later ? laterEditionName(*v.productKind) : editionName(*v.productKind);
    } else if (v.majorVersion == 5 && v.minorVersion == 2) {
        appendServer2003(name, v);
    } else if (v.majorVersion == 5 && v.minorVersion == 1) {
        name += u"Windows XP ";
        name += (v.suiteMask & 0x200) ? u"Home Edition" : u"Professional";
    } else if (v.majorVersion == 5 && v.minorVersion == 0) {
        name += u"Windows 2000 ";
        name += workstation            ? u"Professional"
                : (v.suiteMask & 0x80) ? u"Datacenter Server"
                : (v.suiteMask & 0x2)  ? u"Advanced Server"
                                       : u"Server";
    }
    if (!v.servicePack.empty())
        name += u" " + v.servicePack;
    if (v.majorVersion >= 6) {
        if (v.architecture == ArchitectureX64)
            name += u"\u300064bit";
        else if (v.architecture == ArchitectureX86)
            name += u"\u300032bit";
    }
    name += IdeographicSpace;
    name += u"(build " + Widen(std::to_string(static_cast<std::int32_t>(v.buildNumber))) + u")";
    return name;
}

std::u16string FormatProcessorCounts(std::uint32_t logical, std::optional<std::uint32_t> physical,
                                     TextLookup text)
{
    constexpr std::uint32_t LogicalCoreCount = 226, PhysicalCoreCount = 227;
    std::u16string counts = labelled(text, LogicalCoreCount, logical == 0 ? 1 : logical) + u"  ";
    if (physical && *physical > 0)
        return counts + labelled(text, PhysicalCoreCount, *physical);
    // This word stands in every language.
    return counts + text(PhysicalCoreCount) + u" 不明";
}

std::u16string FormatMemorySize(std::uint64_t bytes)
{
    return fixed3(static_cast<double>(bytes) * Kibi * Kibi) + u"MB";
}

std::optional<std::u16string> DriveKindText(std::uint32_t driveType, TextLookup text)
{
    switch (driveType) {
    case 3: return std::u16string(text(219)); // fixed
    case 4: return std::u16string(text(220)); // remote
    case 6: return std::u16string(text(222)); // RAM disk
    default: return std::nullopt;
    }
}

std::u16string FormatDiskSpace(std::u16string_view label, std::uint64_t bytes)
{
    return std::u16string(label) + u" " + fixed3(static_cast<double>(bytes) * Kibi * Kibi * Kibi) + u"GB";
}

std::u16string BuildDriveText(const DriveRecord& drive)
{
    std::u16string line;
    for (const std::u16string* field : {&drive.rootPath, &drive.kind, &drive.totalSpace}) {
        if (!field->empty())
            line += *field + u"    ";
    }
    line += drive.freeSpace;
    return line;
}

std::u16string FormatGuid(const GuidValue& g)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "{%08X-%04X-%04X-%02X%02X%02X%02X%02X%02X%02X%02X}", g.data1,
                  g.data2, g.data3, g.data4[0], g.data4[1], g.data4[2], g.data4[3], g.data4[4], g.data4[5],
                  g.data4[6], g.data4[7]);
    return Widen(buffer);
}

std::u16string FormatInputNotes(std::uint32_t axes, std::uint32_t buttons, std::uint32_t povs,
                                TextLookup text)
{
    return labelled(text, 230, axes) + u"  " + labelled(text, 231, buttons) + u"  " +
           labelled(text, 232, povs);
}

std::u16string FormatShaderVersion(std::uint32_t version)
{
    return decimal((version >> 8) & 0xFF) + u"." + decimal(version & 0xFF);
}

std::u16string FormatVideoMemory(std::uint64_t bytes)
{
    return fixed3(static_cast<double>(bytes) * Kibi * Kibi) + u" MB";
}

std::u16string FormatProcessId(std::uint32_t id)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%08X", id);
    return Widen(buffer);
}

std::string ProcessorBrandBytes(const std::array<std::uint32_t, 12>& registers)
{
    std::string bytes;
    for (std::uint32_t value : registers) {
        for (int shift = 0; shift < 32; shift += 8)
            bytes += static_cast<char>((value >> shift) & 0xFF);
    }
    bytes.resize(bytes.find('\0') == std::string::npos ? bytes.size() : bytes.find('\0'));
    const std::size_t start = bytes.find_first_not_of(' ');
    return start == std::string::npos ? std::string() : bytes.substr(start);
}
