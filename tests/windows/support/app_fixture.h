// Sets up the program's process-wide state inside the test executable, as
// the tool's entry does: settings folder in the private prefix's Documents,
// resources from the test executable itself.
#pragma once

#include <string>

void initializeApplicationOnce();
// Full path of a file in the settings folder.
std::wstring settingsFile(const wchar_t* name);
// Removes a file of the settings folder, if present.
void removeSettingsFile(const wchar_t* name);
