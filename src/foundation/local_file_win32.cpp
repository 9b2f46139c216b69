#include "foundation/local_file_win32.h"

#include <windows.h>

#include <io.h>
#include <sys/stat.h>
#include <sys/utime.h>

#include <cerrno>
#include <cstdarg>
#include <iterator>

#include "foundation/error_record.h"
#include "foundation/memory_pool.h"
#include "foundation/wide_path_win32.h"

namespace Qorm::File {
namespace {

constexpr std::size_t DigestPieceSize = 2048;

// The attributes that SetFileAttributesW accepts.
constexpr DWORD SettableAttributes = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_NORMAL |
                                     FILE_ATTRIBUTE_NOT_CONTENT_INDEXED | FILE_ATTRIBUTE_OFFLINE |
                                     FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM |
                                     FILE_ATTRIBUTE_TEMPORARY;

bool isFile(DWORD attributes)
{
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool isDirectory(DWORD attributes)
{
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool writeAttributes(const wchar_t* path, DWORD attributes)
{
    attributes &= SettableAttributes;
    if (SetFileAttributesW(path, attributes ? attributes : FILE_ATTRIBUTE_NORMAL))
        return true;
    Error::setSystemError(GetLastError());
    return false;
}

// Sets or clears the read-only flag of a file or directory whose kind is
// told by `wantDirectory`.
bool changeReadOnly(const Utf8String& path, bool on, bool wantDirectory)
{
    const WidePath wide(path);
    const DWORD attributes = GetFileAttributesW(wide.get());
    if (!(wantDirectory ? isDirectory(attributes) : isFile(attributes)))
        return false;
    const DWORD changed = on ? attributes | FILE_ATTRIBUTE_READONLY : attributes & ~FILE_ATTRIBUTE_READONLY;
    return changed == attributes || writeAttributes(wide.get(), changed);
}

// Clears the read-only flag of a file; true when there was one to clear.
bool clearReadOnlyFlag(const wchar_t* path)
{
    const DWORD attributes = GetFileAttributesW(path);
    if (!isFile(attributes) || !(attributes & FILE_ATTRIBUTE_READONLY))
        return false;
    const DWORD cleared = attributes & ~FILE_ATTRIBUTE_READONLY & SettableAttributes;
    return SetFileAttributesW(path, cleared ? cleared : FILE_ATTRIBUTE_NORMAL) != 0;
}

void restoreReadOnlyFlag(const wchar_t* path)
{
    const DWORD attributes = GetFileAttributesW(path);
    if (isFile(attributes))
        SetFileAttributesW(path, (attributes | FILE_ATTRIBUTE_READONLY) & SettableAttributes);
}

// Runs a platform operation on a file with the retry scheme of moveFile and
// deleteFile. `operation` answers whether it succeeded; `result` names the
// file it leaves behind (the moved file), whose read-only flag is put back
// when it was cleared on the way, or is null when nothing is left.
template <typename Operation>
bool retryFileOperation(const wchar_t* path, const wchar_t* result, bool clearReadOnly, unsigned retries,
                        Operation operation)
{
    if (!isFile(GetFileAttributesW(path))) {
        Error::set(Error::FileMissing);
        return false;
    }
    bool clearedReadOnly = false;
    const auto succeeded = [&] {
        if (clearedReadOnly && result)
            restoreReadOnlyFlag(result);
        return true;
    };
    DWORD error = ERROR_SUCCESS;
    for (unsigned attempt = 0;; ++attempt) {
        if (operation())
            return succeeded();
        error = GetLastError();
        if (clearReadOnly && clearReadOnlyFlag(path)) {
            clearedReadOnly = true;
            if (operation())
                return succeeded();
            error = GetLastError();
        }
        if (!isFile(GetFileAttributesW(path))) {
            Error::set(Error::FileMissing);
            return false;
        }
        if (attempt >= retries)
            break;
        Sleep(LocalFile::RetryPauseMilliseconds);
    }
    if (clearedReadOnly)
        restoreReadOnlyFlag(path);
    Error::setSystemError(error);
    return false;
}

// Identity of an open file: the same file reached by two names (letter
// case, short names, hard links) has one identity.
struct FileIdentity {
    DWORD volume;
    DWORD indexHigh;
    DWORD indexLow;
};

bool identityOf(HANDLE handle, FileIdentity& identity)
{
    BY_HANDLE_FILE_INFORMATION information;
    if (handle == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(handle, &information))
        return false;
    identity = {information.dwVolumeSerialNumber, information.nFileIndexHigh, information.nFileIndexLow};
    return true;
}

bool sameFile(std::FILE* stream, const wchar_t* otherPath)
{
    FileIdentity mine, other;
    if (!identityOf(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream))), mine))
        return false;
    const HANDLE handle = CreateFileW(otherPath, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    const bool known = identityOf(handle, other);
    CloseHandle(handle);
    return known && mine.volume == other.volume && mine.indexHigh == other.indexHigh &&
           mine.indexLow == other.indexLow;
}

// The runtime's mode letters: r, w or a, then any of + b t.
bool validMode(const char* mode, wchar_t (&wide)[8])
{
    if (!mode || (mode[0] != 'r' && mode[0] != 'w' && mode[0] != 'a'))
        return false;
    std::size_t i = 0;
    for (; mode[i]; ++i) {
        if (i + 1 >= std::size(wide) || (i > 0 && mode[i] != '+' && mode[i] != 'b' && mode[i] != 't'))
            return false;
        wide[i] = static_cast<wchar_t>(mode[i]);
    }
    wide[i] = 0;
    return true;
}

bool hasLetter(const char* mode, char letter)
{
    for (; *mode; ++mode) {
        if (*mode == letter)
            return true;
    }
    return false;
}

} // namespace

LocalFile::~LocalFile()
{
    close();
}

bool LocalFile::open(const Utf8String& path, const char* mode, unsigned retries)
{
    close();
    wchar_t wideMode[8];
    if (!validMode(mode, wideMode)) {
        Error::setRuntimeError(EINVAL);
        return false;
    }
    const WidePath wide(path);
    for (unsigned attempt = 0;; ++attempt) {
        stream_ = _wfopen(wide.get(), wideMode);
        if (stream_)
            break;
        const int error = errno;
        const DWORD attributes = GetFileAttributesW(wide.get());
        if (attempt >= retries || !isFile(attributes) || (attributes & FILE_ATTRIBUTE_READONLY)) {
            Error::setRuntimeError(error);
            return false;
        }
        Sleep(RetryPauseMilliseconds);
    }

    reading_ = hasLetter(mode, 'r');
    text_ = hasLetter(mode, 't');
    size_ = 0;
    if (reading_ && _fseeki64(stream_, 0, SEEK_END) == 0) {
        const __int64 end = _ftelli64(stream_);
        size_ = end > 0 ? static_cast<std::uint64_t>(end) : 0;
        _fseeki64(stream_, 0, SEEK_SET);
    }
    return true;
}

bool LocalFile::close()
{
    if (!stream_)
        return true;
    const bool flushed = std::fclose(stream_) == 0;
    stream_ = nullptr;
    size_ = 0;
    reading_ = 0;
    text_ = 0;
    return flushed;
}

std::size_t LocalFile::read(void* buffer, std::size_t count)
{
    if (!stream_) {
        Error::add(Error::StreamNotOpen);
        return 0;
    }
    return std::fread(buffer, 1, count, stream_);
}

std::size_t LocalFile::write(const void* buffer, std::size_t count)
{
    if (!stream_) {
        Error::add(Error::StreamNotOpen);
        return 0;
    }
    return std::fwrite(buffer, 1, count, stream_);
}

bool LocalFile::writeFormatted(const char* format, ...)
{
    if (!stream_) {
        Error::add(Error::StreamNotOpen);
        return false;
    }
    if (!text_ || !format)
        return false;

    va_list arguments;
    va_start(arguments, format);
    va_list again;
    va_copy(again, arguments);
    const int length = std::vsnprintf(buffer_, sizeof buffer_, format, arguments);
    va_end(arguments);

    bool written = false;
    if (length >= 0 && static_cast<std::size_t>(length) < sizeof buffer_) {
        written = std::fwrite(buffer_, 1, length, stream_) == static_cast<std::size_t>(length);
    } else if (length > 0) {
        const std::size_t blockSize = static_cast<std::size_t>(length) + 1;
        if (auto* block = static_cast<char*>(Memory::allocate(blockSize, 0, LocalFileCategory))) {
            std::vsnprintf(block, blockSize, format, again);
            written = std::fwrite(block, 1, length, stream_) == static_cast<std::size_t>(length);
            Memory::release(block, blockSize, LocalFileCategory);
        }
    }
    va_end(again);
    return written;
}

bool LocalFile::copyTo(LocalFile& other)
{
    if (!stream_ || !other.stream_) {
        Error::add(Error::StreamNotOpen);
        return false;
    }
    for (;;) {
        const std::size_t got = std::fread(buffer_, 1, sizeof buffer_, stream_);
        if (got > 0 && std::fwrite(buffer_, 1, got, other.stream_) != got)
            return false;
        if (got < sizeof buffer_)
            return !std::ferror(stream_);
    }
}

bool LocalFile::fileDigest(const Utf8String& path, std::uint8_t (&digest)[Sha1::DigestSize])
{
    LocalFile file;
    if (!file.open(path, "rb"))
        return false;
    Sha1::Context context;
    Sha1::reset(context);
    std::uint8_t piece[DigestPieceSize];
    for (;;) {
        const std::size_t got = file.read(piece, sizeof piece);
        if (Sha1::input(context, piece, got) != Sha1::Status::Success)
            return false;
        if (got < sizeof piece)
            break;
    }
    if (std::ferror(file.stream_))
        return false;
    return Sha1::result(context, digest) == Sha1::Status::Success;
}

bool LocalFile::copyFile(const Utf8String& source, const Utf8String& destination)
{
    LocalFile in;
    if (!in.open(source, "rb"))
        return false;
    const WidePath wideDestination(destination);
    if (sameFile(in.stream_, wideDestination.get())) {
        Error::setSystemError(ERROR_INVALID_PARAMETER);
        return false;
    }
    LocalFile out;
    if (!out.open(destination, "wb"))
        return false;
    bool copied = in.copyTo(out);
    copied = out.close() && copied;
    if (!copied)
        DeleteFileW(wideDestination.get()); // best effort: a half copy must not pass for the file
    return copied;
}

bool LocalFile::isReadOnly(const Utf8String& path)
{
    const DWORD attributes = GetFileAttributesW(WidePath(path).get());
    return isFile(attributes) && (attributes & FILE_ATTRIBUTE_READONLY);
}

bool LocalFile::setReadOnly(const Utf8String& path, bool on)
{
    return changeReadOnly(path, on, false);
}

std::uint32_t LocalFile::getAttributes(const Utf8String& path)
{
    const DWORD attributes = GetFileAttributesW(WidePath(path).get());
    return isFile(attributes) ? attributes : 0;
}

bool LocalFile::setAttributes(const Utf8String& path, std::uint32_t value)
{
    const WidePath wide(path);
    return isFile(GetFileAttributesW(wide.get())) && writeAttributes(wide.get(), value);
}

bool LocalFile::isExecutable(const Utf8String& path)
{
    if (!fileExists(path))
        return false;
    const char* text = path.Data();
    const char* dot = nullptr;
    for (const char* at = text; *at; ++at) {
        if (*at == '.')
            dot = at;
    }
    if (!dot)
        return false;
    const char* extension = dot + 1;
    const char* expected = "exe";
    for (; *extension && *expected; ++extension, ++expected) {
        if ((*extension | 0x20) != *expected)
            return false;
    }
    return *extension == 0 && *expected == 0;
}

std::uint64_t LocalFile::fileSize(const Utf8String& path)
{
    struct _stat64 status;
    if (_wstat64(WidePath(path).get(), &status) != 0)
        return 0;
    return static_cast<std::uint64_t>(status.st_size);
}

bool LocalFile::setFileTime(const Utf8String& path, std::int64_t time)
{
    __utimbuf64 times;
    times.actime = time;
    times.modtime = time;
    if (_wutime64(WidePath(path).get(), &times) == 0)
        return true;
    Error::setRuntimeError(errno);
    return false;
}

bool LocalFile::moveFile(const Utf8String& source, const Utf8String& destination, bool clearReadOnly,
                         unsigned retries)
{
    const WidePath from(source);
    const WidePath to(destination);
    return retryFileOperation(from.get(), to.get(), clearReadOnly, retries,
                              [&] { return MoveFileW(from.get(), to.get()) != 0; });
}

bool LocalFile::deleteFile(const Utf8String& path, bool clearReadOnly, unsigned retries)
{
    const WidePath wide(path);
    return retryFileOperation(wide.get(), nullptr, clearReadOnly, retries,
                              [&] { return DeleteFileW(wide.get()) != 0; });
}

bool LocalFile::directoryExists(const Utf8String& path)
{
    return isDirectory(GetFileAttributesW(WidePath(path).get()));
}

bool LocalFile::setDirectoryReadOnly(const Utf8String& path, bool on)
{
    return changeReadOnly(path, on, true);
}

std::uint64_t LocalFile::freeSpace(const Utf8String& path)
{
    ULARGE_INTEGER available;
    if (GetDiskFreeSpaceExW(WidePath(path).get(), &available, nullptr, nullptr))
        return available.QuadPart;
    Error::setSystemError(GetLastError());
    return 0;
}

} // namespace Qorm::File
