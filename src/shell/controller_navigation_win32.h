// Driving the tool's windows with a controller. A thread timer on the user-
// interface thread (every modal loop of the tool dispatches it) reads the
// controller while a window that accepts it is in the foreground, and turns
// the actions of shell/controller_navigation.h into what the keyboard does
// there: focus moves, button presses, drop-down lists, tab pages, Escape.
// Windows that keep the controller's presses for themselves (the gamepad
// windows) simply do not accept it; nothing is read while they are in front.
#pragma once

#include <windows.h>

#include "shell/controller_navigation.h"

// Reads the controllers into one reading; false when none is connected.
using NavigationPadReader = bool (*)(NavigationPad& pad);

// Starts reading with `reader` on the calling thread; does nothing while
// reading has already started.
void startControllerNavigation(NavigationPadReader reader);
void stopControllerNavigation();

// The reader used in place of the one given at start (a test's scripted
// controller); null restores that one.
void setNavigationPadReader(NavigationPadReader reader);

// Lets the controller drive `window`, a top-level dialog of the tool, while
// it is the foreground window. Called when the window initialises.
void acceptControllerNavigation(HWND window);
