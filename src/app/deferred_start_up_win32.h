// The part of start-up that nothing on the main window needs: it waits until
// the main window is drawn, so the player sees the window that much sooner.
// - COM on the user-interface thread (DirectInput and WMI in the gamepad
//   window);
// - the 1 ms timer resolution (the gamepad window's polling);
// - the display-adapter preparation, on its own thread (the video page and
//   the system report).
#pragma once

// Runs that part once; later calls return at once. Called on the user-
// interface thread after the main window's first paint, and before any other
// window opens (a click that was queued before the first paint comes first).
void CompleteStartUp();

// Undoes what CompleteStartUp did, at the end of the run.
void EndDeferredStartUp();
