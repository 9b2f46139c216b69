#include "support/pad_file.h"

#include <windows.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "gamepad/pad_settings_file_win32.h"
#include "support/app_fixture.h"
#include "support/scripted_gamepad.h"

namespace {

const wchar_t PadFile[] = L"config.pad";

} // namespace

PadSettings recordForScriptedController(unsigned controller)
{
    PadSettings record{};
    setPadDefaults(record);
    const GUID instance = ScriptedGamepad::instanceGuid(controller);
    const GUID product = ScriptedGamepad::productGuid(controller);
    std::memcpy(&record.controllerInstance, &instance, sizeof instance);
    std::memcpy(&record.controllerProduct, &product, sizeof product);
    return record;
}

PadBytes bytesOf(const PadSettings& record)
{
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&record);
    return PadBytes(bytes, bytes + sizeof record);
}

void writePadFile(const void* bytes, std::size_t size)
{
    std::ofstream file(std::filesystem::path(settingsFile(PadFile)), std::ios::binary | std::ios::trunc);
    file.write(static_cast<const char*>(bytes), static_cast<std::streamsize>(size));
}

void writePadRecord(const PadSettings& record)
{
    writePadFile(&record, sizeof record);
}

PadBytes readPadFile()
{
    std::ifstream file(std::filesystem::path(settingsFile(PadFile)), std::ios::binary);
    return PadBytes(std::istreambuf_iterator<char>(file), {});
}

bool padFileExists()
{
    return GetFileAttributesW(settingsFile(PadFile).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void resetPadRecords()
{
    // A whole file of zeros fills the saved image and is refused, so the
    // working record only takes the defaults; it is then cleared as well.
    const PadBytes zeros(PadSettingsSize, 0);
    writePadFile(zeros.data(), zeros.size());
    loadPadSettings();
    workingPadSettings() = PadSettings{};
    removeSettingsFile(L"config.pad");
}
