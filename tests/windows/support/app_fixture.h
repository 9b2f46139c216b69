// Sets up the program's process-wide state inside the test executable, as
// the tool's entry does: settings folder in the private prefix's Documents,
// resources from the test executable itself.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

void initializeApplicationOnce();
// Full path of a file in the settings folder.
std::wstring settingsFile(const wchar_t* name);
// The bytes of a file; nothing when it cannot be opened.
std::optional<std::vector<char>> fileBytes(const std::wstring& path);
// Removes a file of the settings folder, if present.
void removeSettingsFile(const wchar_t* name);

// The program running in `language`: LanguageIndex and the text table are
// set for the holder's life; its destructor puts back the language the
// process had and that language's texts, also when the test failed.
class ScopedLanguage {
public:
    explicit ScopedLanguage(std::uint8_t language);
    ~ScopedLanguage();
    ScopedLanguage(const ScopedLanguage&) = delete;
    ScopedLanguage& operator=(const ScopedLanguage&) = delete;

    // Switches to another language within the same holder.
    void use(std::uint8_t language);

private:
    std::uint8_t previous_;
};

// True once no system information gathering runs (within 30 s), pumping this
// thread's messages meanwhile: a worker may ask a window of this thread for
// its title. A window closed while it gathers leaves its gathering to finish
// alone, and the next System Information window in the same language would
// take it over, with what it found before that test began.
bool gatheringEnded();

// Called once before the first test: sets the process up as the tool's entry
// does (the language of config.lng or of the user, and its texts) and fails
// any test that leaves the language, the text table or a settings file
// changed, or a system information gathering running past a while, so that
// tests pass alone, together and in any order.
void guardProcessState();
