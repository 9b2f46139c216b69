// The system information window (dialog 110).
#pragma once

#include <windows.h>

// Runs the window modally over `owner`; returns its dialog result.
INT_PTR openSystemInformation(HWND owner);
