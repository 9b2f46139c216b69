// The four pages of the general settings window. Each page is a child dialog
// over the working record: attached to the record before its dialog is
// created, filled from it when created, and written back into it only when
// the window collects the pages.
#pragma once

#include <windows.h>

#include "settings/general_settings.h"

// Network (dialog 112): UPnP port mapping and the port.
void attachNetworkPage(GeneralSettings& working);
INT_PTR CALLBACK networkPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
void collectNetworkPage();

// Video settings (dialog 126): adapter, display mode, window size,
// multisampling, buffer size and the two shadow details, from Direct3D 9.
// Attaching also empties the adapter tables.
void attachVideoPage(GeneralSettings& working);
INT_PTR CALLBACK videoPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
void collectVideoPage();

// Graphics (dialog 127): ambient occlusion and depth of field.
void attachEffectsPage(GeneralSettings& working);
INT_PTR CALLBACK effectsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
void collectEffectsPage();

// Sound (dialog 128): whether the game does without the sound device.
void attachSoundPage(GeneralSettings& working);
INT_PTR CALLBACK soundPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
void collectSoundPage();
