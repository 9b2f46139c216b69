// The localized texts of a dialog's caption and controls, set from a table.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "shell/text_table_win32.h"

struct ControlText {
    int id;
    std::uint32_t text;
};

template <std::size_t Count>
void setDialogTexts(HWND dialog, std::uint32_t caption, const ControlText (&controls)[Count])
{
    SetWindowTextW(dialog, GetText(caption));
    for (const ControlText& control : controls)
        SetDlgItemTextW(dialog, control.id, GetText(control.text));
}
