// The program's process-wide state: its module, folders and language choice,
// set up once at start-up and read by every window.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "foundation/utf8_string.h"
#include "shell/language_settings.h"

inline constexpr std::size_t SettingsPathCapacity = 260; // UTF-16 units, terminator included

// Start-up steps before the main window: module path, program folder,
// settings folder (created), language choice, instance handle and brush.
// False when the module path is not available: the program then ends at once.
bool InitializeApplication(HINSTANCE instance);
// Releases what InitializeApplication took.
void ShutdownApplication();

HINSTANCE AppInstance();
const Utf8String& ProgramFolder();
// The settings folder (no trailing backslash); empty when the Documents folder
// was not available.
const wchar_t* UserSettingsFolder();
// UserSettingsFolder + "\" + fileName into `out`. False when the path does not
// fit: the caller then neither reads nor writes the file.
bool SettingsFilePath(const wchar_t* fileName, wchar_t (&out)[SettingsPathCapacity]);
// Reads up to `count` bytes from the start of a settings file, sharing it
// with readers only; the number read. A file that cannot be opened, or whose
// read fails part-way, reads as 0 bytes: the caller then takes its defaults.
std::size_t ReadSettingsFileStart(const wchar_t* path, void* bytes, std::uint32_t count);

// True when latest.txt is a file beside the program; tested once per process.
bool IsLatestVariant();
// "ORVANTE Beta Version", with " LATEST" for the latest variant.
const char* ProductFolderName();

std::uint8_t LanguageIndex();
void SetLanguageIndex(std::uint8_t index);
const LanguageSettings& CurrentLanguageSettings();
const LanguageSettings& LanguageSettingsAsRead();
// Writes the current language to config.lng; false when it could not be saved.
bool SaveLanguageSettings();
// Reads config.lng (or derives the language) as start-up does, replacing the
// current and the as-read language settings.
void LoadLanguageSettings();

// The language when config.lng gives none: the file's byte 4, the registry
// value "Language", then the user's language.
std::uint8_t DefaultLanguageIndex(const wchar_t* languageFilePath);
// The choice start-up makes from the file at `languageFilePath`.
LanguageSettings ReadLanguageSettings(const wchar_t* languageFilePath, LanguageSettings& asRead);

// The hollow stock brush static controls return so backgrounds show through.
HBRUSH TransparentStaticBrush();
