#include "gamepad/pad_settings_file_win32.h"

#include <windows.h>

#include "foundation/replace_file_win32.h"
#include "gamepad/pad_settings.h"
#include "shell/app_state_win32.h"

namespace {

const wchar_t PadFileName[] = L"config.pad";

} // namespace

void loadPadSettings()
{
    std::uint8_t bytes[PadSettingsSize] = {};
    std::size_t got = 0;
    wchar_t path[SettingsPathCapacity];
    if (SettingsFilePath(PadFileName, path))
        got = ReadSettingsFileStart(path, bytes, sizeof bytes);
    applyPadFileToSettings(bytes, got);
}

bool savePadSettings()
{
    wchar_t path[SettingsPathCapacity];
    if (!SettingsFilePath(PadFileName, path))
        return false;
    return writeFileReplacing(path, &workingPadSettings(), sizeof(PadSettings));
}
