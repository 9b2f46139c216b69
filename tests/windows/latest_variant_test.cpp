// The tool copied beside a latest.txt runs as the LATEST variant: its own
// settings folder and " LATEST" in the caption. A folder of that name does
// not count.
#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

#include "support/temp_folder.h"
#include "support/tool_process.h"

namespace {

std::wstring documentsFolder()
{
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, 0, path);
    return path;
}

// Starts the tool from `folder`, waits for its main window and returns the
// caption; the process is ended afterwards.
std::wstring captionOfToolStartedIn(const std::wstring& folder)
{
    const std::wstring exe = folder + L"\\orvante-config.exe";
    EXPECT_TRUE(CopyFileW(besideThisProgram(L"orvante-config.exe").c_str(), exe.c_str(), FALSE));
    const ToolProcess tool(exe, folder);
    if (!tool.started()) {
        ADD_FAILURE() << "could not start the tool: " << GetLastError();
        return {};
    }
    WaitForInputIdle(tool.handle(), 10000);
    HWND main = nullptr;
    for (int attempt = 0; attempt < 200 && !(main = visibleDialogOf(tool.id())); ++attempt)
        Sleep(50);
    wchar_t caption[256] = {};
    if (main)
        GetWindowTextW(main, caption, 256);
    else
        ADD_FAILURE() << "the tool showed no window";
    return caption;
}

bool endsWith(const std::wstring& text, const std::wstring& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

bool isDirectory(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

TEST(LatestVariant, LatestTxtFileBesideTheToolSelectsIt)
{
    const std::wstring latestFolder = documentsFolder() + L"\\My Games\\ORVANTE Beta Version LATEST";
    RemoveDirectoryW(latestFolder.c_str());
    TempFolder temp;
    temp.write(L"latest.txt", "");
    const std::wstring caption = captionOfToolStartedIn(temp.path());
    EXPECT_TRUE(endsWith(caption, L" LATEST")) << std::string(caption.begin(), caption.end());
    EXPECT_TRUE(isDirectory(latestFolder));
    RemoveDirectoryW(latestFolder.c_str());
}

TEST(LatestVariant, LatestTxtFolderDoesNotCount)
{
    const std::wstring latestFolder = documentsFolder() + L"\\My Games\\ORVANTE Beta Version LATEST";
    RemoveDirectoryW(latestFolder.c_str());
    TempFolder temp;
    CreateDirectoryW(temp.file(L"latest.txt").c_str(), nullptr);
    const std::wstring caption = captionOfToolStartedIn(temp.path());
    EXPECT_FALSE(caption.empty());
    EXPECT_FALSE(endsWith(caption, L" LATEST"));
    EXPECT_FALSE(isDirectory(latestFolder));
    EXPECT_TRUE(isDirectory(documentsFolder() + L"\\My Games\\ORVANTE Beta Version"));
}
