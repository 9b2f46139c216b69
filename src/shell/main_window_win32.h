// The main window: the program's one top-level window (dialog 103).
#pragma once

// Runs the main window modally until the player leaves it.
void runMainWindow();
