#include "foundation/replace_file_win32.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>

#include "foundation/file_win32.h"

namespace {

// "~" + three characters + ".tmp": shorter than "config.sys", "config.pad"
// and "config.lng". A target without an extension uses "cfg".
constexpr std::size_t TemporaryStemLength = 3;
const wchar_t TemporaryPrefix[] = L"~";
const wchar_t TemporarySuffix[] = L".tmp";
const wchar_t StemWithoutExtension[] = L"cfg";

const wchar_t* fileNameOf(const wchar_t* path)
{
    const wchar_t* backslash = std::wcsrchr(path, L'\\');
    const wchar_t* slash = std::wcsrchr(path, L'/');
    const wchar_t* separator = backslash > slash ? backslash : slash;
    return separator ? separator + 1 : path;
}

// The name of the mutex that gives saves into the folder of `path` their
// turns: the same for every spelling of the folder's full path that differs
// only in case, and within the object namespace's limits (no backslash).
std::wstring folderTurnName(const wchar_t* path)
{
    wchar_t full[MAX_PATH];
    wchar_t* name = nullptr;
    const DWORD length = GetFullPathNameW(path, MAX_PATH, full, &name);
    std::wstring folder = length > 0 && length < MAX_PATH ? std::wstring(full) : std::wstring(path);
    folder.resize(fileNameOf(folder.c_str()) - folder.c_str());
    if (!folder.empty())
        CharUpperBuffW(folder.data(), static_cast<DWORD>(folder.size()));
    // FNV-1a over the UTF-16 units.
    std::uint64_t hash = 14695981039346656037ull;
    for (const wchar_t unit : folder) {
        hash ^= static_cast<std::uint16_t>(unit);
        hash *= 1099511628211ull;
    }
    wchar_t text[64];
    std::swprintf(text, 64, L"Local\\ORVANTE Config saves %016llx", static_cast<unsigned long long>(hash));
    return text;
}

// Holds the folder's turn for its lifetime. A copy of the tool that ended in
// the middle of a save gives its turn up with its process (an abandoned
// mutex): its temporary file is then a leftover like any other.
class FolderTurn {
public:
    explicit FolderTurn(const wchar_t* path)
        : mutex_(CreateMutexW(nullptr, FALSE, folderTurnName(path).c_str()))
    {
        if (!mutex_)
            return;
        const DWORD waited = WaitForSingleObject(mutex_, FolderTurnMilliseconds);
        held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
        timedOut_ = waited == WAIT_TIMEOUT;
    }
    ~FolderTurn()
    {
        if (held_)
            ReleaseMutex(mutex_);
        if (mutex_)
            CloseHandle(mutex_);
    }
    FolderTurn(const FolderTurn&) = delete;
    FolderTurn& operator=(const FolderTurn&) = delete;

    // Another save kept the turn past the wait.
    bool timedOut() const { return timedOut_; }

private:
    HANDLE mutex_;
    bool held_ = false;
    bool timedOut_ = false;
};

// Errors of a file that someone else holds open for a moment.
bool isBusyError(DWORD error)
{
    return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED || error == ERROR_LOCK_VIOLATION;
}

bool writeTemporaryFile(const wchar_t* temporary, const void* bytes, std::uint32_t count)
{
    File file;
    file.handle =
        CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (!file.isOpen())
        return false;
    file.status = 0;
    return file.write(bytes, count) == count && FlushFileBuffers(file.handle);
}

bool replaceWithRetries(const wchar_t* temporary, const wchar_t* path, const ReplaceRetries& retries)
{
    for (unsigned attempt = 1;; ++attempt) {
        if (MoveFileExW(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        if (attempt >= retries.attempts || !isBusyError(GetLastError()))
            return false;
        Sleep(retries.pauseMilliseconds);
    }
}

} // namespace

std::wstring temporaryPathFor(const wchar_t* path)
{
    const wchar_t* name = fileNameOf(path);
    const wchar_t* dot = std::wcsrchr(name, L'.');
    std::wstring stem = dot && dot[1] ? std::wstring(dot + 1) : std::wstring(StemWithoutExtension);
    stem.resize(std::min(stem.size(), TemporaryStemLength));
    return std::wstring(path, name - path) + TemporaryPrefix + stem + TemporarySuffix;
}

bool writeFileReplacing(const wchar_t* path, const void* bytes, std::uint32_t count,
                        const ReplaceRetries& retries)
{
    // The temporary path is checked against the platform's limit rather than
    // failing somewhere inside the platform calls.
    const std::wstring temporary = temporaryPathFor(path);
    if (temporary.size() >= MAX_PATH)
        return false;
    // Without the mutex (the system is out of handles) the save still runs:
    // its temporary file is its target's own, so it cannot land elsewhere.
    const FolderTurn turn(path);
    if (turn.timedOut())
        return false;
    // Left by a save that was cut off (a crash, a power cut): no other save
    // holds it while this one has the folder's turn.
    DeleteFileW(temporary.c_str());

    // A read-only file is someone's decision to keep it as it is; Windows
    // refuses to replace it, and so does this save everywhere.
    const DWORD attributes = GetFileAttributesW(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return false;

    // The temporary file lies in the same folder, so the replacing move is a
    // rename within one volume.
    if (writeTemporaryFile(temporary.c_str(), bytes, count) &&
        replaceWithRetries(temporary.c_str(), path, retries))
        return true;
    DeleteFileW(temporary.c_str());
    return false;
}
