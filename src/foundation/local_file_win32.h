// Stream files on the C runtime's wide-path streams, and the library's
// operations on file paths. Failures answer false or 0 and are recorded in
// the calling thread's error record; nothing here throws.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "foundation/sha1.h"
#include "foundation/utf8_string.h"

namespace Qorm::File {

// Memory category of the occasional formatting block too large for the
// work buffer.
inline constexpr unsigned LocalFileCategory = 14;

class LocalFile {
public:
    static constexpr std::size_t WorkBufferSize = 8192;
    // Pause between two attempts on a busy file.
    static constexpr unsigned RetryPauseMilliseconds = 100;

    LocalFile() = default;
    LocalFile(const LocalFile&) = delete;
    LocalFile& operator=(const LocalFile&) = delete;
    virtual ~LocalFile();

    // Opens with the C runtime's mode letters ("rb", "wt", "a+b", ...): 'r'
    // measures the size, 't' allows formatted writing. When the open fails
    // while the file exists and is not read-only (another program holds
    // it), tries again up to `retries` times, 100 ms apart. A stream already
    // open is closed first.
    bool open(const Utf8String& path, const char* mode, unsigned retries = 0);
    // False when buffered data could not be written.
    bool close();
    bool isOpen() const { return stream_ != nullptr; }
    bool isText() const { return text_ != 0; }
    // The length of a file opened for reading, measured when it was opened.
    std::uint64_t size() const { return size_; }

    std::size_t read(void* buffer, std::size_t count);
    std::size_t write(const void* buffer, std::size_t count);
    // printf-style text into a stream opened in text mode; texts longer than
    // the work buffer are written whole as well.
#if defined(__GNUC__)
    __attribute__((format(gnu_printf, 2, 3)))
#endif
    bool
    writeFormatted(const char* format, ...);
    // Copies the rest of this stream into `other` in pieces of the work
    // buffer's size.
    bool copyTo(LocalFile& other);

    // SHA-1 of the file's bytes.
    static bool fileDigest(const Utf8String& path, std::uint8_t (&digest)[Sha1::DigestSize]);
    // Copies a file's bytes over `destination` (made or replaced). A source
    // and destination naming the same file are refused; a copy that fails
    // part way leaves no destination behind.
    static bool copyFile(const Utf8String& source, const Utf8String& destination);

    static bool isReadOnly(const Utf8String& path);
    static bool setReadOnly(const Utf8String& path, bool on);
    // The attributes of an existing file (not a directory), else 0.
    static std::uint32_t getAttributes(const Utf8String& path);
    static bool setAttributes(const Utf8String& path, std::uint32_t value);
    // An existing file whose extension is "exe" (in any case).
    static bool isExecutable(const Utf8String& path);
    // 0 when the file cannot be examined.
    static std::uint64_t fileSize(const Utf8String& path);
    // Sets access and modification time (seconds since 1970, UTC).
    static bool setFileTime(const Utf8String& path, std::int64_t time);

    // Both try again up to `retries` times, 100 ms apart; with
    // clearReadOnly a read-only file has its flag cleared for a second try
    // (and set again when the operation still fails).
    static bool moveFile(const Utf8String& source, const Utf8String& destination, bool clearReadOnly,
                         unsigned retries);
    static bool deleteFile(const Utf8String& path, bool clearReadOnly, unsigned retries);

    static bool directoryExists(const Utf8String& path);
    static bool setDirectoryReadOnly(const Utf8String& path, bool on);
    // Bytes available to the caller on the volume holding the path; 0 when
    // unknown.
    static std::uint64_t freeSpace(const Utf8String& path);

private:
    std::FILE* stream_ = nullptr;
    std::uint64_t size_ = 0;
    std::uint8_t reading_ = 0;
    std::uint8_t text_ = 0;
    char buffer_[WorkBufferSize] = {};
};

} // namespace Qorm::File
