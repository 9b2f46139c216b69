#include "foundation/local_dir_win32.h"

#include <windows.h>

#include "foundation/error_record.h"
#include "foundation/local_file_win32.h"
#include "foundation/name_pattern.h"
#include "foundation/wide_path_win32.h"

namespace Qorm::File {
namespace {

bool isSeparator(char c)
{
    return c == '\\' || c == '/';
}

Utf8String joinPath(const Utf8String& directory, const Utf8String& name)
{
    Utf8String path = directory;
    const std::uint32_t bytes = directory.ByteLength();
    if (bytes > 0 && !isSeparator(directory.Data()[bytes - 1]))
        path.Append('\\');
    path.Append(name);
    return path;
}

bool isDotEntry(const wchar_t* name)
{
    return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0));
}

// A directory that is a junction or symbolic link: its contents belong to
// another place and are neither removed, searched nor copied through it.
bool isLinkedDirectory(const Utf8String& path)
{
    const DWORD attributes = GetFileAttributesW(WidePath(path).get());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Upper case as the file system compares names.
void foldCase(Utf16String& text)
{
    if (!text.empty())
        CharUpperBuffW(reinterpret_cast<wchar_t*>(text.data()), static_cast<DWORD>(text.size()));
}

bool fullPathOf(const Utf8String& path, Utf16String& full)
{
    const WidePath wide(path);
    const DWORD needed = GetFullPathNameW(wide.get(), 0, nullptr, nullptr);
    if (needed == 0)
        return false;
    full.assign(needed, u'\0');
    const DWORD written =
        GetFullPathNameW(wide.get(), needed, reinterpret_cast<wchar_t*>(full.data()), nullptr);
    if (written == 0 || written >= needed)
        return false;
    full.resize(written);
    while (!full.empty() && (full.back() == u'\\' || full.back() == u'/'))
        full.pop_back();
    foldCase(full);
    return true;
}

// True when `inner` is `outer` itself or lies somewhere below it.
bool isSameOrInside(const Utf8String& inner, const Utf8String& outer)
{
    Utf16String innerFull, outerFull;
    if (!fullPathOf(inner, innerFull) || !fullPathOf(outer, outerFull))
        return false;
    if (innerFull.compare(0, outerFull.size(), outerFull) != 0)
        return false;
    return innerFull.size() == outerFull.size() || innerFull[outerFull.size()] == u'\\' ||
           innerFull[outerFull.size()] == u'/';
}

bool isReadOnlyDirectory(const Utf8String& path)
{
    const DWORD attributes = GetFileAttributesW(WidePath(path).get());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           (attributes & FILE_ATTRIBUTE_READONLY);
}

// Sets or clears a directory's read-only flag on the way to its removal
// without recording anything: the removal reports its own outcome. True
// when the flag was changed.
bool changeReadOnlyQuietly(const Utf8String& path, bool on)
{
    Error::CodeQueue held;
    Error::copyTo(held, false);
    if (LocalFile::setDirectoryReadOnly(path, on))
        return true;
    Error::restoreFrom(held);
    return false;
}

} // namespace

bool LocalDir::ExecuteFunctionRemove::onFile(const Utf8String& path)
{
    return LocalFile::deleteFile(path, true, 0);
}

bool LocalDir::ExecuteFunctionRemove::onDirectory(const Utf8String& path)
{
    return removeDirectory(path, true);
}

LocalDir::ExecuteFunctionFind::ExecuteFunctionFind(const Utf8String& pattern,
                                                   std::vector<Utf8String>& results)
    : results_(results)
{
    if (pattern.ByteLength() == 0)
        foldedPattern_.push_back(u'*');
    else
        pattern.ToUtf16(foldedPattern_);
    foldCase(foldedPattern_);
}

bool LocalDir::ExecuteFunctionFind::matches(const Utf8String& path) const
{
    Utf16String name;
    FileNameOf(path).ToUtf16(name);
    foldCase(name);
    return matchesNamePattern({name.data(), name.size()}, {foldedPattern_.data(), foldedPattern_.size()});
}

bool LocalDir::ExecuteFunctionFind::onFile(const Utf8String& path)
{
    if (matches(path))
        results_.push_back(path);
    return true;
}

bool LocalDir::ExecuteFunctionFind::onDirectory(const Utf8String& path)
{
    if (matches(path))
        results_.push_back(path);
    return isLinkedDirectory(path) || walk(path, "*", *this);
}

LocalDir::ExecuteFunctionCopy::ExecuteFunctionCopy(const Utf8String& source, const Utf8String& destination)
    : source_(source), destination_(destination)
{
}

Utf8String LocalDir::ExecuteFunctionCopy::destinationOf(const Utf8String& path) const
{
    // Walks below the source build every path on the source's own text.
    const char* rest = path.Data() + source_.ByteLength();
    while (isSeparator(*rest))
        ++rest;
    return joinPath(destination_, rest);
}

bool LocalDir::ExecuteFunctionCopy::onFile(const Utf8String& path)
{
    return LocalFile::copyFile(path, destinationOf(path));
}

bool LocalDir::ExecuteFunctionCopy::onDirectory(const Utf8String& path)
{
    const Utf8String target = destinationOf(path);
    if (!createDirectory(target)) {
        Error::setSystemError(GetLastError());
        return false;
    }
    return isLinkedDirectory(path) || walk(path, "*", *this);
}

bool LocalDir::walk(const Utf8String& directory, const Utf8String& pattern,
                    ExecuteFunctionInterface& function)
{
    const Utf8String query = joinPath(directory, pattern.ByteLength() ? pattern : Utf8String("*"));
    WIN32_FIND_DATAW entry;
    const HANDLE search = FindFirstFileW(WidePath(query).get(), &entry);
    if (search == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES)
            return true;
        Error::setSystemError(error);
        return false;
    }
    bool succeeded = true;
    do {
        if (isDotEntry(entry.cFileName))
            continue;
        const Utf8String path = joinPath(directory, Utf8String(utf16Text(entry.cFileName)));
        succeeded = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? function.onDirectory(path)
                                                                        : function.onFile(path);
    } while (succeeded && FindNextFileW(search, &entry));
    if (succeeded) {
        const DWORD error = GetLastError();
        if (error != ERROR_NO_MORE_FILES) {
            Error::setSystemError(error);
            succeeded = false;
        }
    }
    FindClose(search);
    return succeeded;
}

bool LocalDir::removeDirectory(const Utf8String& path, bool recursive)
{
    // A read-only directory cannot be removed, and on some file systems its
    // entries cannot either: the flag is cleared for the removal and put
    // back when the directory stays.
    const bool clearedReadOnly = recursive && isReadOnlyDirectory(path) && changeReadOnlyQuietly(path, false);
    bool removed = true;
    if (recursive && LocalFile::directoryExists(path)) {
        ExecuteFunctionRemove remove;
        removed = isLinkedDirectory(path) || walk(path, "*", remove);
    }
    if (removed) {
        removed = RemoveDirectoryW(WidePath(path).get()) != 0;
        if (!removed)
            Error::setSystemError(GetLastError());
    }
    if (!removed && clearedReadOnly)
        changeReadOnlyQuietly(path, true);
    return removed;
}

bool LocalDir::emptyDirectory(const Utf8String& path)
{
    if (!LocalFile::directoryExists(path)) {
        Error::set(Error::DirectoryToEmptyMissing);
        return false;
    }
    ExecuteFunctionRemove remove;
    return walk(path, "*", remove);
}

bool LocalDir::find(const Utf8String& directory, const Utf8String& pattern, std::vector<Utf8String>& results)
{
    results.clear();
    if (!LocalFile::directoryExists(directory)) {
        Error::set(Error::DirectoryToSearchMissing);
        return false;
    }
    ExecuteFunctionFind finder(pattern, results);
    return walk(directory, "*", finder);
}

bool LocalDir::copyDirectory(const Utf8String& source, const Utf8String& destination)
{
    if (!LocalFile::directoryExists(source)) {
        Error::set(Error::CopySourceMissing);
        return false;
    }
    if (destination.ByteLength() == 0) {
        Error::set(Error::CopyDestinationEmpty);
        return false;
    }
    // Copying into itself would feed the walk its own output without end.
    if (isSameOrInside(destination, source)) {
        Error::setSystemError(ERROR_INVALID_PARAMETER);
        return false;
    }
    if (!createDirectory(destination)) {
        Error::setSystemError(GetLastError());
        return false;
    }
    ExecuteFunctionCopy copy(source, destination);
    return walk(source, "*", copy);
}

} // namespace Qorm::File
