// The gamepad test window (dialog 102): the menu, movement and camera
// directions of the current assignments drawn live from the chosen controller.
#pragma once

#include <windows.h>

// Runs the window modally over `parent`; returns its dialog result.
INT_PTR openGamepadTest(HWND parent);
