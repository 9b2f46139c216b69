// config.sys in the settings folder: reading it into the loaded and working
// records, and writing the working record back.
#pragma once

// Builds the file path, reads the file (or takes the defaults when it is
// missing, short, foreign or its path does not fit) into the loaded record
// and copies that into the working record. Never fails visibly.
void loadGeneralSettings();

// Writes the 256 bytes of the working record in place of config.sys, through
// a temporary file so that a failed save leaves the old file whole. False
// when the file could not be written.
bool saveGeneralSettings();
