// The tool's file properties as Windows reads them for Explorer's Details tab
// and Task Manager: the system's version API on the built executable.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "orvante_version.h"

namespace {

std::wstring toolPath()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.rfind(L'\\')) + L"\\orvante-config.exe";
}

std::vector<BYTE> versionBlock(const std::wstring& file)
{
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
    std::vector<BYTE> block(size);
    if (size == 0 || !GetFileVersionInfoW(file.c_str(), 0, size, block.data()))
        block.clear();
    return block;
}

// The value under `path` in the block, or nullptr when there is none.
const void* query(const std::vector<BYTE>& block, const std::wstring& path, UINT* length)
{
    void* value = nullptr;
    if (!VerQueryValueW(block.data(), path.c_str(), &value, length))
        return nullptr;
    return value;
}

class VersionResource : public ::testing::Test {
protected:
    void SetUp() override
    {
        block = versionBlock(toolPath());
        ASSERT_FALSE(block.empty()) << "orvante-config.exe carries no version resource";
    }

    std::vector<BYTE> block;
};

TEST_F(VersionResource, NumbersComeFromTheVersionFile)
{
    UINT length = 0;
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(query(block, L"\\", &length));
    ASSERT_NE(nullptr, fixed);
    ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(VS_FFI_SIGNATURE, fixed->dwSignature);
    const DWORD major = MAKELONG(ORVANTE_VERSION_MINOR, ORVANTE_VERSION_MAJOR);
    const DWORD minor = MAKELONG(0, ORVANTE_VERSION_PATCH);
    EXPECT_EQ(major, fixed->dwFileVersionMS);
    EXPECT_EQ(minor, fixed->dwFileVersionLS);
    EXPECT_EQ(major, fixed->dwProductVersionMS);
    EXPECT_EQ(minor, fixed->dwProductVersionLS);
    EXPECT_EQ(static_cast<DWORD>(VFT_APP), fixed->dwFileType);
}

TEST_F(VersionResource, PropertiesNameTheProductAndTheCompany)
{
    // Explorer finds the strings through the translation the block declares.
    UINT length = 0;
    const auto* translation = static_cast<const WORD*>(query(block, L"\\VarFileInfo\\Translation", &length));
    ASSERT_NE(nullptr, translation);
    ASSERT_GE(length, 4u);
    EXPECT_EQ(0x0409, translation[0]);
    EXPECT_EQ(1200, translation[1]);

    const std::wstring version = L"" ORVANTE_VERSION_TEXT;
    const struct {
        const wchar_t* name;
        std::wstring expected;
    } cases[] = {
        // The company is the name under which the game keeps its registry key.
        {L"CompanyName", L"Tallowin"},
        {L"ProductName", L"ORVANTE Config"},
        {L"FileDescription", L"ORVANTE Config"},
        {L"FileVersion", version},
        {L"ProductVersion", version},
        {L"OriginalFilename", L"orvante-config.exe"},
        {L"LegalCopyright", L"Copyright \u00a9 2026 Tallowin"},
    };
    for (const auto& c : cases) {
        const auto* value = static_cast<const wchar_t*>(
            query(block, std::wstring(L"\\StringFileInfo\\040904B0\\") + c.name, &length));
        ASSERT_NE(nullptr, value) << "no " << std::string(c.name, c.name + wcslen(c.name));
        EXPECT_EQ(c.expected, std::wstring(value)) << std::string(c.name, c.name + wcslen(c.name));
    }
}

} // namespace
