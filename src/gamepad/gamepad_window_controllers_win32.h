// The controller list of the gamepad settings window: the attached
// controllers by name and which of them is read, at opening and after the
// list was rebuilt.
#pragma once

#include <windows.h>

#include <cstdint>

#include "gamepad/assignment_capture.h"

// Lists the controllers by name, each cut to 127 characters.
void fillControllerList(HWND window);
// Makes `device` the one read and reads it (alone) at once for the axis
// halves it rests at.
void startReading(CaptureState& capture, std::uint32_t device);
// Reads the controller chooseController picks and shows it chosen.
void readChosenController(HWND window, CaptureState& capture, bool wasReading);
// The controller read; false when none is listed.
bool readControllerIdentity(ControllerIdentity& identity);
