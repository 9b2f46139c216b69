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
    DWORD got = 0;
    wchar_t path[SettingsPathCapacity];
    if (SettingsFilePath(PadFileName, path)) {
        const HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            // A read that fails part-way counts as a short file.
            if (!ReadFile(file, bytes, sizeof bytes, &got, nullptr))
                got = 0;
            CloseHandle(file);
        }
    }
    applyPadFileToSettings(bytes, got);
}

bool savePadSettings()
{
    wchar_t path[SettingsPathCapacity];
    if (!SettingsFilePath(PadFileName, path))
        return false;
    return writeFileReplacing(path, &workingPadSettings(), sizeof(PadSettings));
}
