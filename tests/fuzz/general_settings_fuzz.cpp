// config.sys reader: any bytes give either the file's own record or the
// defaults. A file of at least 256 bytes with the magic is never refused,
// and the record written back is byte for byte the file's first 256 bytes.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "settings/general_settings.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const GeneralSettings settings = decodeGeneralSettings(data, size);
    const GeneralSettings defaults = defaultGeneralSettings();
    std::uint32_t magic = 0;
    if (size >= sizeof magic)
        std::memcpy(&magic, data, sizeof magic);
    const bool valid = size >= GeneralSettingsSize && magic == GeneralSettingsMagic;
    if (valid)
        check(std::memcmp(&settings, data, GeneralSettingsSize) == 0);
    else
        check(std::memcmp(&settings, &defaults, sizeof settings) == 0);

    // The same record through a window that changes nothing: nothing to save.
    resetGeneralSettings(settings);
    check(!generalSettingsChanged());
    return 0;
}
