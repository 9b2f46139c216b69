// A fresh folder under the Wine user's temporary folder, removed with its
// contents when the test ends.
#pragma once

#include <string>

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& path() const { return path_; }
    std::wstring file(const std::wstring& name) const { return path_ + L"\\" + name; }
    // Writes `bytes` as the whole file `name`; returns its full path.
    std::wstring write(const std::wstring& name, const std::string& bytes) const;

private:
    std::wstring path_;
};

// The whole content of a file, or "<missing>" when it cannot be read.
std::string readWholeFile(const std::wstring& path);
