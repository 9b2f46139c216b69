// Directory operations of the foundation library: a walker over one
// directory level driven by function objects, and the remove, find and copy
// operations built on it. Failures answer false and are recorded in the
// calling thread's error record; nothing here throws.
#pragma once

#include <vector>

#include "foundation/utf8_string.h"

namespace Qorm::File {

class LocalDir {
public:
    // What a walk does with each entry; a false answer stops the walk.
    class ExecuteFunctionInterface {
    public:
        virtual ~ExecuteFunctionInterface() = default;
        virtual bool onFile(const Utf8String& path) = 0;
        virtual bool onDirectory(const Utf8String& path) = 0;
    };

    // Deletes files (read-only ones too) and removes directories with all
    // they hold.
    class ExecuteFunctionRemove : public ExecuteFunctionInterface {
    public:
        bool onFile(const Utf8String& path) override;
        bool onDirectory(const Utf8String& path) override;
    };

    // Collects the files and directories whose names match the pattern,
    // in every level below the walked directory.
    class ExecuteFunctionFind : public ExecuteFunctionInterface {
    public:
        ExecuteFunctionFind(const Utf8String& pattern, std::vector<Utf8String>& results);
        bool onFile(const Utf8String& path) override;
        bool onDirectory(const Utf8String& path) override;

    private:
        bool matches(const Utf8String& path) const;

        Utf16String foldedPattern_;
        std::vector<Utf8String>& results_;
    };

    // Copies every file of the walked tree to the same place below the
    // destination, making directories as needed.
    class ExecuteFunctionCopy : public ExecuteFunctionInterface {
    public:
        ExecuteFunctionCopy(const Utf8String& source, const Utf8String& destination);
        bool onFile(const Utf8String& path) override;
        bool onDirectory(const Utf8String& path) override;

    private:
        Utf8String destinationOf(const Utf8String& path) const;

        Utf8String source_;
        Utf8String destination_;
    };

    // Calls the function for each entry of the directory that matches the
    // pattern ("*" or empty: all), "." and ".." left out, with its full path.
    // True when every call succeeded (also when nothing matched).
    static bool walk(const Utf8String& directory, const Utf8String& pattern,
                     ExecuteFunctionInterface& function);

    // With `recursive`, everything inside goes first, read-only entries
    // included. A link to another directory is removed itself; what it
    // points to is left alone.
    static bool removeDirectory(const Utf8String& path, bool recursive);
    // Removes everything inside the directory and keeps the directory.
    static bool emptyDirectory(const Utf8String& path);
    // Replaces `results` by the paths of the matching entries at any depth.
    static bool find(const Utf8String& directory, const Utf8String& pattern,
                     std::vector<Utf8String>& results);
    // Copies the tree below `source` into `destination`, which is made when
    // missing. A destination inside the source is refused.
    static bool copyDirectory(const Utf8String& source, const Utf8String& destination);
};

} // namespace Qorm::File
