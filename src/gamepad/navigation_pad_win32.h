// The controller that drives the tool's windows: every XInput controller,
// read through the same XInput library as the gamepad windows use.
#pragma once

#include "shell/controller_navigation.h"

// Reads the XInput user slots as one controller: their buttons together and
// the left stick pushed furthest. False when none is connected or no XInput
// library loaded; the library is loaded at the first call.
bool readNavigationPad(NavigationPad& pad);
