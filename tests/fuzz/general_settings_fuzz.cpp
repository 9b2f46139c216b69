// config.sys reader: any bytes give either the file's own record or the
// defaults, and a record taken from the file is its first 256 bytes.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "settings/general_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const GeneralSettings settings = decodeGeneralSettings(data, size);
    const GeneralSettings defaults = defaultGeneralSettings();
    const bool taken = size >= GeneralSettingsSize && std::memcmp(&settings, data, GeneralSettingsSize) == 0 &&
                       settings.magic == GeneralSettingsMagic;
    if (!taken && std::memcmp(&settings, &defaults, sizeof settings) != 0)
        std::abort();

    resetGeneralSettings(settings);
    if (generalSettingsChanged())
        std::abort();
    return 0;
}
