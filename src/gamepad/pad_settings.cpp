#include "gamepad/pad_settings.h"

#include <algorithm>
#include <cstring>

namespace {

PadSettings working{};
PadSettings savedImage{};

} // namespace

void setPadDefaults(PadSettings& settings)
{
    settings.magic = PadSettingsMagic;
    settings.calibrationStep = 2;
    settings.background = 0;
    settings.vibration = 1;
    std::memcpy(settings.assignments, DefaultAssignments, sizeof settings.assignments);
}

void applyPadFile(const std::uint8_t* bytes, std::size_t count, PadSettings& image, PadSettings& record)
{
    const std::size_t taken = std::min(count, PadSettingsSize);
    if (taken > 0)
        std::memcpy(&image, bytes, taken);
    if (taken == PadSettingsSize && image.magic == PadSettingsMagic)
        record = image;
    else
        setPadDefaults(record);
}

PadSettings& workingPadSettings()
{
    return working;
}
const PadSettings& savedPadImage()
{
    return savedImage;
}

void applyPadFileToSettings(const std::uint8_t* bytes, std::size_t count)
{
    applyPadFile(bytes, count, savedImage, working);
}

bool padSettingsChanged()
{
    return std::memcmp(&working, &savedImage, sizeof working) != 0;
}
