// The four pages of the general settings window. Each page is a child dialog
// over the working record: attached to the record before its dialog is
// created, filled from it when created, and written back into it only when
// the window collects the pages.
#pragma once

#include <windows.h>

#include "settings/general_settings.h"

// What the general window does with a page: attach it to the working record,
// run its dialog, collect it.
struct PageFunctions {
    void (*attach)(GeneralSettings& working);
    DLGPROC procedure;
    void (*collect)();
};

// Network (dialog 112): UPnP port mapping and the port.
extern const PageFunctions NetworkPage;

// Video settings (dialog 126): adapter, display mode, window size,
// multisampling, buffer size and the two shadow details, from Direct3D 9.
// Attaching also empties the adapter tables.
extern const PageFunctions VideoPage;

// Pages made only of switches. Graphics (dialog 127): ambient occlusion and
// depth of field; sound (dialog 128): whether the game does without the
// sound device.
extern const PageFunctions EffectsPage;
extern const PageFunctions SoundPage;
