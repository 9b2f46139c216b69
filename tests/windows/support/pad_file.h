// config.pad as the gamepad tests seed and read it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "gamepad/pad_settings.h"

using PadBytes = std::vector<std::uint8_t>;

// The defaults with scripted controller `controller` chosen.
PadSettings recordForScriptedController(unsigned controller = 0);
PadBytes bytesOf(const PadSettings& record);

void writePadFile(const void* bytes, std::size_t size);
void writePadRecord(const PadSettings& record);
PadBytes readPadFile();
bool padFileExists();

// Puts the gamepad records back as a fresh process has them (both all
// zero), so that a window opened without config.pad does not compare with
// what an earlier test's window read. Removes config.pad.
void resetPadRecords();
