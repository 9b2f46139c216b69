#include "sysinfo/fact_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "sysinfo_english_texts.h"

namespace {

// Readable failure messages for UTF-16 texts (ASCII shown as is).
std::string show(const std::u16string& text)
{
    std::string out;
    for (char16_t c : text) {
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char buffer[12];
            std::snprintf(buffer, sizeof buffer, "<U+%04X>", static_cast<unsigned>(c));
            out += buffer;
        }
    }
    return out;
}

#define EXPECT_TEXT(expected, actual) EXPECT_EQ(show(expected), show(actual))

OsVersionValues windows(std::uint32_t major, std::uint32_t minor, std::uint8_t productType,
                        std::uint16_t arch, std::uint32_t build)
{
    OsVersionValues v;
    v.versionRead = true;
    v.platformId = 2;
    v.majorVersion = major;
    v.minorVersion = minor;
    v.productType = productType;
    v.architecture = arch;
    v.buildNumber = build;
    return v;
}

} // namespace

TEST(OsName, NamesWindowsSevenWithEditionServicePackAndBitness)
{
    OsVersionValues v = windows(6, 1, 1, 9, 7601);
    v.productKind = 1;
    v.servicePack = u"Service Pack 1";
    EXPECT_TEXT(u"Microsoft Windows 7\u3000Ultimate Edition Service Pack 1\u300064bit\u3000(build 7601)",
                BuildOsName(v, englishText));
}

TEST(OsName, NamesWindowsXpWithoutBitness)
{
    OsVersionValues v = windows(5, 1, 1, 0, 2600);
    v.servicePack = u"Service Pack 3";
    EXPECT_TEXT(u"Microsoft Windows XP Professional Service Pack 3\u3000(build 2600)",
                BuildOsName(v, englishText));
    v.suiteMask = 0x200;
    EXPECT_TEXT(u"Microsoft Windows XP Home Edition Service Pack 3\u3000(build 2600)",
                BuildOsName(v, englishText));
}

TEST(OsName, ServerTwoThousandThreeStorageSuiteMustBeTheWholeMask)
{
    OsVersionValues v = windows(5, 2, 3, 0, 3790);
    v.suiteMask = 0x2000 | 0x80;
    EXPECT_TEXT(u"Microsoft Windows Server 2003\u3000Datacenter Edition\u3000(build 3790)",
                BuildOsName(v, englishText));
    v.suiteMask = 0x2000;
    EXPECT_TEXT(u"Microsoft Windows Storage Server 2003\u3000Standard Edition\u3000(build 3790)",
                BuildOsName(v, englishText));
}

TEST(OsName, ServerTwoThousandThreeProductsAndEditions)
{
    struct Case {
        std::uint8_t productType;
        std::uint16_t arch;
        std::uint16_t suite;
        bool r2;
        const char16_t* expected;
    };
    const Case cases[] = {
        {3, 0, 0, true, u"Microsoft Windows Server 2003 R2\u3000Standard Edition\u3000(build 3790)"},
        {3, 0, 0x8000, false, u"Microsoft Windows Home Server\u3000Standard Edition\u3000(build 3790)"},
        {1, 9, 0, false, u"Microsoft Windows XP Professional x64 Edition\u3000\u3000(build 3790)"},
        {1, 0, 0, false, u"Microsoft Windows Server 2003\u3000\u3000(build 3790)"},
        {3, 6, 0x80, false,
         u"Microsoft Windows Server 2003\u3000Datacenter Edition for Itanium-based Systems\u3000(build "
         u"3790)"},
        {3, 6, 0x2, false,
         u"Microsoft Windows Server 2003\u3000Enterprise Edition for Itanium-based Systems\u3000(build "
         u"3790)"},
        {3, 6, 0, false, u"Microsoft Windows Server 2003\u3000\u3000(build 3790)"},
        {3, 9, 0x80, false, u"Microsoft Windows Server 2003\u3000Datacenter x64 Edition\u3000(build 3790)"},
        {3, 9, 0x2, false, u"Microsoft Windows Server 2003\u3000Enterprise x64 Edition\u3000(build 3790)"},
        {3, 9, 0, false, u"Microsoft Windows Server 2003\u3000Standard x64 Edition\u3000(build 3790)"},
        {3, 0, 0x4000 | 0x80, false,
         u"Microsoft Windows Server 2003\u3000Compute Cluster Edition\u3000(build 3790)"},
        {3, 0, 0x2, false, u"Microsoft Windows Server 2003\u3000Enterprise Edition\u3000(build 3790)"},
        {3, 0, 0x400, false, u"Microsoft Windows Server 2003\u3000Web Edition\u3000(build 3790)"},
    };
    for (const Case& c : cases) {
        OsVersionValues v = windows(5, 2, c.productType, c.arch, 3790);
        v.suiteMask = c.suite;
        v.serverR2 = c.r2;
        EXPECT_TEXT(c.expected, BuildOsName(v, englishText));
    }
}

TEST(OsName, WindowsTwoThousandEditions)
{
    struct Case {
        std::uint8_t productType;
        std::uint16_t suite;
        const char16_t* expected;
    };
    const Case cases[] = {
        {1, 0x80, u"Microsoft Windows 2000 Professional\u3000(build 2195)"},
        {3, 0x80 | 0x2, u"Microsoft Windows 2000 Datacenter Server\u3000(build 2195)"},
        {3, 0x2, u"Microsoft Windows 2000 Advanced Server\u3000(build 2195)"},
        {2, 0, u"Microsoft Windows 2000 Server\u3000(build 2195)"},
    };
    for (const Case& c : cases) {
        OsVersionValues v = windows(5, 0, c.productType, 0, 2195);
        v.suiteMask = c.suite;
        EXPECT_TEXT(c.expected, BuildOsName(v, englishText));
    }
}

TEST(OsName, VersionSixProductsAndEditionValues)
{
    struct Case {
        std::uint32_t minor;
        std::uint8_t productType;
        std::optional<std::uint32_t> productKind;
        std::uint16_t arch;
        const char16_t* expected;
    };
    const Case cases[] = {
        {0, 1, 3, 0, u"Microsoft Windows Vista\u3000Home Premium Edition\u300032bit\u3000(build 6002)"},
        {0, 3, 8, 9, u"Microsoft Windows Server 2008\u3000Datacenter Edition\u300064bit\u3000(build 6002)"},
        {1, 3, 10, 9,
         u"Microsoft Windows Server 2008 R2\u3000Enterprise Edition\u300064bit\u3000(build 6002)"},
        {1, 1, 4, 9, u"Microsoft Windows 7\u3000Enterprise Edition\u300064bit\u3000(build 6002)"},
        {1, 1, 5, 9, u"Microsoft Windows 7\u3000\u300064bit\u3000(build 6002)"},
        {1, 1, 16, 9, u"Microsoft Windows 7\u3000\u300064bit\u3000(build 6002)"},
        {1, 1, std::nullopt, 6, u"Microsoft Windows 7\u3000\u3000(build 6002)"},
        // Values the later systems added mean nothing on these.
        {1, 1, 0x30, 9, u"Microsoft Windows 7\u3000\u300064bit\u3000(build 6002)"},
        {0, 1, 0x65, 0, u"Microsoft Windows Vista\u3000\u300032bit\u3000(build 6002)"},
    };
    for (const Case& c : cases) {
        OsVersionValues v = windows(6, c.minor, c.productType, c.arch, 6002);
        v.productKind = c.productKind;
        EXPECT_TEXT(c.expected, BuildOsName(v, englishText));
    }
}

TEST(OsName, WindowsEightToElevenAndTheirServersByVersionAndBuild)
{
    struct Case {
        std::uint32_t major, minor;
        std::uint8_t productType; // 1 workstation, 2 domain controller, 3 server
        std::uint32_t build;
        const char16_t* product;
    };
    const Case cases[] = {
        {6, 2, 1, 9200, u"Windows 8"},
        {6, 2, 3, 9200, u"Windows Server 2012"},
        {6, 3, 1, 9600, u"Windows 8.1"},
        {6, 3, 3, 9600, u"Windows Server 2012 R2"},
        {6, 3, 2, 9600, u"Windows Server 2012 R2"},
        {10, 0, 1, 10240, u"Windows 10"},
        {10, 0, 1, 18362, u"Windows 10"},
        {10, 0, 1, 21999, u"Windows 10"},
        {10, 0, 1, 22000, u"Windows 11"},
        {10, 0, 1, 26100, u"Windows 11"},
        {10, 0, 3, 14393, u"Windows Server 2016"},
        {10, 0, 3, 17762, u"Windows Server 2016"},
        {10, 0, 3, 17763, u"Windows Server 2019"},
        {10, 0, 2, 17763, u"Windows Server 2019"},
        {10, 0, 3, 20347, u"Windows Server 2019"},
        {10, 0, 3, 20348, u"Windows Server 2022"},
        {10, 0, 3, 26099, u"Windows Server 2022"},
        {10, 0, 3, 26100, u"Windows Server 2025"},
        {10, 0, 3, 30000, u"Windows Server 2025"},
    };
    for (const Case& c : cases) {
        OsVersionValues v = windows(c.major, c.minor, c.productType, 9, c.build);
        v.productKind = 0;
        const std::u16string build = Widen(std::to_string(c.build));
        EXPECT_TEXT(u"Microsoft " + std::u16string(c.product) + u"\u3000\u300064bit\u3000(build " + build +
                        u")",
                    BuildOsName(v, englishText));
    }
}

TEST(OsName, WindowsEightAndLaterEditions)
{
    struct Case {
        std::uint32_t productKind;
        const char16_t* edition;
    };
    const Case cases[] = {
        {0x65, u"Home"},
        {0x64, u"Home Single Language"},
        {0x30, u"Pro"},
        {0xA1, u"Pro for Workstations"},
        {0x79, u"Education"},
        {0x04, u"Enterprise"},
        {0x7D, u"Enterprise LTSC"},
        {0x07, u"Standard"},
        {0x08, u"Datacenter"},
        {0x01, u""},
        {0x05, u""},
        {0xFFFFFFFFu, u""},
    };
    for (const Case& c : cases) {
        OsVersionValues v = windows(10, 0, 1, 9, 19045);
        v.productKind = c.productKind;
        EXPECT_TEXT(u"Microsoft Windows 10\u3000" + std::u16string(c.edition) +
                        u"\u300064bit\u3000(build 19045)",
                    BuildOsName(v, englishText));
    }
    // The same value names the edition of Windows 8.1 the same way.
    OsVersionValues v = windows(6, 3, 1, 0, 9600);
    v.productKind = 0x30;
    v.servicePack = u"Service Pack 9";
    EXPECT_TEXT(u"Microsoft Windows 8.1\u3000Pro Service Pack 9\u300032bit\u3000(build 9600)",
                BuildOsName(v, englishText));
}

TEST(OsName, VersionsWithoutAKnownProductKeepBitnessAndBuild)
{
    const std::pair<std::uint32_t, std::uint32_t> versions[] = {{6, 4}, {10, 1}, {11, 0}};
    for (const auto& [major, minor] : versions) {
        OsVersionValues v = windows(major, minor, 1, 9, 30000);
        EXPECT_TEXT(u"Microsoft \u300064bit\u3000(build 30000)", BuildOsName(v, englishText));
    }
}

TEST(OsName, UnknownForOldOrForeignPlatformsOrFailedQuery)
{
    OsVersionValues failed;
    EXPECT_TEXT(u"Unknown", BuildOsName(failed, englishText));
    OsVersionValues nt4 = windows(4, 0, 1, 0, 1381);
    EXPECT_TEXT(u"Unknown", BuildOsName(nt4, englishText));
    OsVersionValues win9x = windows(5, 1, 1, 0, 2600);
    win9x.platformId = 1;
    EXPECT_TEXT(u"Unknown", BuildOsName(win9x, englishText));
}

TEST(OsName, BuildNumberIsPrintedSigned)
{
    OsVersionValues v = windows(5, 1, 1, 0, 0xFFFFFFFFu);
    EXPECT_TEXT(u"Microsoft Windows XP Professional\u3000(build -1)", BuildOsName(v, englishText));
}

// Each fact as the player reads it: one row per formatter's case.
TEST(FactText, CountsSizesDrivesGuidsNotesShadersAndProcessIds)
{
    const DriveRecord drive{u"C:\\", u"Hard Disk Drive", u"Total Disk Space 465.762GB",
                            u"Free Disk Space 232.881GB"};
    const GuidValue guid{0x6F1D2B61, 0xD5A0, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
    const GuidValue lowGuid{0x1, 0x2, 0x3, {0, 1, 2, 3, 4, 5, 6, 0xAB}};
    const std::pair<std::u16string, std::u16string> cases[] = {
        {FormatProcessorCounts(8, 4, englishText), u"Logical Core Count 8  Physical Core Count 4"},
        {FormatProcessorCounts(0, 1, englishText), u"Logical Core Count 1  Physical Core Count 1"},
        // A missing or zero physical count reads "unknown", in Japanese.
        {FormatProcessorCounts(2, std::nullopt, englishText),
         u"Logical Core Count 2  Physical Core Count 不明"},
        {FormatProcessorCounts(2, 0, englishText), u"Logical Core Count 2  Physical Core Count 不明"},
        {FormatMemorySize(4294967296ull), u"4096.000MB"},
        {FormatMemorySize(2147352576ull), u"2047.875MB"},
        {FormatMemorySize(0), u"0.000MB"},
        {FormatVideoMemory(1073741824ull), u"1024.000 MB"},
        {FormatDiskSpace(u"Total Disk Space", 500107862016ull), u"Total Disk Space 465.762GB"},
        {FormatDiskSpace(u"Free Disk Space", 250053931008ull), u"Free Disk Space 232.881GB"},
        {FormatDiskSpace(u"", 0xFFFFFFFFFFFFFFFFull).substr(1), u"17179869184.000GB"},
        // A drive's fields joined by four spaces.
        {BuildDriveText(drive),
         u"C:\\    Hard Disk Drive    Total Disk Space 465.762GB    Free Disk Space 232.881GB"},
        {BuildDriveText({u"Z:\\", u"", u"", u""}), u"Z:\\    "},
        // A GUID as eight, four, four and sixteen digits.
        {FormatGuid(guid), u"{6F1D2B61-D5A0-11CF-BFC7444553540000}"},
        {FormatGuid(lowGuid), u"{00000001-0002-0003-00010203040506AB}"},
        {FormatInputNotes(4, 12, 1, englishText), u"Axis 4  Button 12  Field of View 1"},
        {FormatInputNotes(2, 5, 0, englishText), u"Axis 2  Button 5  Field of View 0"},
        {FormatShaderVersion(0xFFFE0300), u"3.0"},
        {FormatShaderVersion(0xFFFF0200), u"2.0"},
        {FormatShaderVersion(0xFFFF0104), u"1.4"},
        {FormatShaderVersion(0), u"0.0"},
        // A process identifier as eight upper-case hexadecimal digits.
        {FormatProcessId(1234), u"000004D2"},
        {FormatProcessId(0xFFFFFFFF), u"FFFFFFFF"},
        {FormatProcessId(0), u"00000000"},
    };
    for (const auto& [actual, expected] : cases)
        EXPECT_TEXT(expected, actual);
}

TEST(Drives, OnlyFixedNetworkAndRamDisksAreListed)
{
    const std::pair<std::uint32_t, const char16_t*> kinds[] = {
        {3, u"Hard Disk Drive"}, {4, u"Network Drive"}, {6, u"RAM Disk Drive"}};
    for (const auto& [type, text] : kinds)
        EXPECT_TEXT(text, DriveKindText(type, englishText).value_or(u"(none)"));
    for (std::uint32_t type : {0u, 1u, 2u, 5u, 7u})
        EXPECT_FALSE(DriveKindText(type, englishText)) << type;
}

TEST(CompatibilityLayer, NamesWineItsHostAndASteamDeck)
{
    struct Case {
        CompatibilityLayerValues values;
        const char16_t* expected;
    };
    const Case cases[] = {
        {{"8.0", "Linux", "6.1.0-18-amd64", false}, u"Wine 8.0  Linux 6.1.0-18-amd64"},
        {{"8.0-3", "Linux", "6.1.52-valve16-1-neptune-61", true},
         u"Wine 8.0-3  Linux 6.1.52-valve16-1-neptune-61  Steam Deck"},
        {{"9.0", "Darwin", "23.4.0", false}, u"Wine 9.0  Darwin 23.4.0"},
        {{"9.0", "Linux", "", false}, u"Wine 9.0  Linux"},
        {{"9.0", "", "6.1", false}, u"Wine 9.0  6.1"},
        {{"", "", "", false}, u"Wine"},
        {{"", "", "", true}, u"Wine  Steam Deck"},
        // Whatever the host says, the report's line stays one line.
        {{"9.0\t(Staging)", "Linux\r\n", "6.1 \xC3\xA9", false}, u"Wine 9.0?(Staging)  Linux?? 6.1 ??"},
    };
    for (const Case& c : cases)
        EXPECT_TEXT(c.expected, FormatCompatibilityLayer(c.values));
}

TEST(DxDiagValues, WineQuotedValuesLoseTheirWrapping)
{
    const std::pair<std::u16string_view, std::u16string_view> cases[] = {
        // As Wine 8 gives it, and with the closing quote a later Wine may add.
        {u"= \"DirectX 9.0c (4.09.0000.0904)", u"DirectX 9.0c (4.09.0000.0904)"},
        {u"= \"DirectX 9.0c (4.09.0000.0904)\"", u"DirectX 9.0c (4.09.0000.0904)"},
        {u"= \"x\"", u"x"},
        {u"= \"say \"hi\"\"", u"say \"hi\""},
        {u"= \"\"", u""},
        {u"= \"", u""},
        {u"= \"\"\"", u"\""},
        // Values of Windows and values that are not of that form stay.
        {u"DirectX 11", u"DirectX 11"},
        {u"\"quoted\"", u"\"quoted\""},
        {u"a = \"b\"", u"a = \"b\""},
        {u" = \"b", u" = \"b"},
        {u"=\"x\"", u"=\"x\""},
        {u"= ", u"= "},
        {u"", u""},
    };
    for (const auto& [value, expected] : cases)
        EXPECT_TEXT(std::u16string(expected), CleanDxDiagValue(value));
}

TEST(ProcessorBrand, LeadingSpacesAreDroppedOthersKept)
{
    const auto pack = [](const char* text) {
        std::array<std::uint32_t, 12> regs{};
        char bytes[48] = {};
        std::memcpy(bytes, text, std::min<std::size_t>(std::strlen(text), 48));
        for (std::size_t i = 0; i < 12; ++i)
            regs[i] = static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i * 4])) |
                      static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i * 4 + 1])) << 8 |
                      static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i * 4 + 2])) << 16 |
                      static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i * 4 + 3])) << 24;
        return regs;
    };
    EXPECT_EQ("Intel(R) Core(TM) i7 CPU  ", ProcessorBrandBytes(pack("        Intel(R) Core(TM) i7 CPU  ")));
    EXPECT_EQ("AMD Ryzen 7", ProcessorBrandBytes(pack("AMD Ryzen 7")));
    EXPECT_EQ("\tTabbed", ProcessorBrandBytes(pack("\tTabbed")));
    EXPECT_EQ("", ProcessorBrandBytes(pack("")));
    EXPECT_EQ("123456789012345678901234567890123456789012345678",
              ProcessorBrandBytes(pack("123456789012345678901234567890123456789012345678")));
}
