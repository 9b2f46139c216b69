// A mode of the test executable that photographs the main window, the three
// message dialogs, the general settings window's pages and the two gamepad
// windows (with a scripted controller) in each language, for looking at the
// tool's layout.
#pragma once

#include <string>

// Saves main_<lang>.bmp, yesno_<lang>.bmp, ok_<lang>.bmp,
// yesnocancel_<lang>.bmp, general_<page>_<lang>.bmp, gamepad_<lang>.bmp and
// gamepad_test_<lang>.bmp into `folder`, and in English the windows after
// a scripted controller moved their focus (controller_*_en.bmp); 0 when every
// picture was saved.
int takeScreenshots(const std::wstring& folder);
