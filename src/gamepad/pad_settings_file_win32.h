// config.pad in the settings folder, read into and written from the records
// of gamepad/pad_settings.h.
#pragma once

// Reads config.pad into the saved image and sets the working record from it
// or from the defaults. A missing, short or foreign file gives the defaults.
void loadPadSettings();
// Writes the working record, replacing the file in one step; false when it
// could not be written (the old file is then left as it was).
bool savePadSettings();
