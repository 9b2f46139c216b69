// The tool copied beside a latest.txt runs as the LATEST variant: its own
// settings folder and " LATEST" in the caption. A folder of that name does
// not count.
#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

#include "support/temp_folder.h"

namespace {

struct Search {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK considerWindow(HWND window, LPARAM parameter)
{
    auto& search = *reinterpret_cast<Search*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search.processId && IsWindowVisible(window) && GetWindow(window, GW_OWNER) == nullptr) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

std::wstring moduleFolder()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.rfind(L'\\'));
}

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
    EXPECT_TRUE(CopyFileW((moduleFolder() + L"\\orvante-config.exe").c_str(), exe.c_str(), FALSE));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &process)) {
        ADD_FAILURE() << "could not start the tool: " << GetLastError();
        return {};
    }
    WaitForInputIdle(process.hProcess, 10000);
    Search search{process.dwProcessId, nullptr};
    for (int attempt = 0; attempt < 200 && !search.found; ++attempt) {
        EnumWindows(considerWindow, reinterpret_cast<LPARAM>(&search));
        if (!search.found)
            Sleep(50);
    }
    wchar_t caption[256] = {};
    if (search.found)
        GetWindowTextW(search.found, caption, 256);
    else
        ADD_FAILURE() << "the tool showed no window";
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
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
