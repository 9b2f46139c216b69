// The general settings window (dialog 111).
#pragma once

#include <windows.h>

// Runs the window modally over `owner`; returns its dialog result.
INT_PTR openGeneralSettings(HWND owner);
