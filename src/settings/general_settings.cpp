#include "settings/general_settings.h"

#include <cstring>
#include <limits>

namespace {

// Both start all zero; loading fills them at each opening of the window.
GeneralSettings loaded;
GeneralSettings working;

bool isSpace(wchar_t c)
{
    return c == L' ' || (c >= L'\t' && c <= L'\r');
}

} // namespace

GeneralSettings defaultGeneralSettings()
{
    GeneralSettings settings{};
    settings.magic = GeneralSettingsMagic;
    settings.port = LowestPort;
    settings.width = 1280;
    settings.height = 720;
    settings.shadowDetail = 2;
    settings.projectionShadowDetail = 2;
    return settings;
}

GeneralSettings decodeGeneralSettings(const unsigned char* bytes, std::size_t count)
{
    GeneralSettings settings;
    if (count < GeneralSettingsSize)
        return defaultGeneralSettings();
    std::memcpy(&settings, bytes, GeneralSettingsSize);
    if (settings.magic != GeneralSettingsMagic)
        return defaultGeneralSettings();
    return settings;
}

const GeneralSettings& loadedGeneralSettings()
{
    return loaded;
}
GeneralSettings& workingGeneralSettings()
{
    return working;
}

void resetGeneralSettings(const GeneralSettings& settings)
{
    loaded = settings;
    working = settings;
}

bool generalSettingsChanged()
{
    return std::memcmp(&loaded, &working, sizeof working) != 0;
}

std::int32_t portFromText(const wchar_t* text)
{
    while (isSpace(*text))
        ++text;
    bool negative = false;
    if (*text == L'+' || *text == L'-')
        negative = *text++ == L'-';
    // Accumulate the magnitude in 64 bits and stop growing once it is past
    // either bound, so any number of digits is safe.
    constexpr std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    for (; *text >= L'0' && *text <= L'9'; ++text) {
        if (magnitude <= limit)
            magnitude = magnitude * 10 + (*text - L'0');
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (value < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}
