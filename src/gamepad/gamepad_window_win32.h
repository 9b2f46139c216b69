// The gamepad settings window (dialog 101).
#pragma once

#include <windows.h>

// Runs the window modally over `parent`; returns its dialog result.
INT_PTR openGamepadSettings(HWND parent);
