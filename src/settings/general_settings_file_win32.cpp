#include "settings/general_settings_file_win32.h"

#include <windows.h>

#include "foundation/replace_file_win32.h"
#include "settings/general_settings.h"
#include "shell/app_state_win32.h"

namespace {

// Rebuilt at each opening; empty when the path does not fit, and then the
// file is neither read nor written.
wchar_t generalSettingsPath[SettingsPathCapacity];

} // namespace

void loadGeneralSettings()
{
    unsigned char bytes[GeneralSettingsSize] = {};
    std::size_t count = 0;
    if (SettingsFilePath(L"config.sys", generalSettingsPath))
        count = ReadSettingsFileStart(generalSettingsPath, bytes, sizeof bytes);
    resetGeneralSettings(decodeGeneralSettings(bytes, count));
}

bool saveGeneralSettings()
{
    if (generalSettingsPath[0] == 0)
        return false;
    return writeFileReplacing(generalSettingsPath, &workingGeneralSettings(), sizeof(GeneralSettings));
}
