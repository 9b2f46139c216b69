// A mode of the test executable that photographs the main window and the
// three message dialogs in each language, for looking at the tool's layout.
#pragma once

#include <string>

// Saves main_<lang>.bmp, yesno_<lang>.bmp, ok_<lang>.bmp and
// yesnocancel_<lang>.bmp into `folder`; 0 when every picture was saved.
int takeScreenshots(const std::wstring& folder);
