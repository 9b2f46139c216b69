// The main window: the program's one top-level window (dialog 103).
#pragma once

#include <windows.h>

// Runs the main window modally until the player leaves it; returns the dialog
// result (1, or 0 and -1 when the window could not be created).
INT_PTR runMainWindow();
