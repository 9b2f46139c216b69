#include "shell/dialog_texts_win32.h"

#include "shell/text_table_win32.h"

void setControlTexts(HWND dialog, std::span<const ControlText> controls)
{
    for (const ControlText& control : controls)
        SetDlgItemTextW(dialog, control.id, GetText(control.text));
}

void setDialogTexts(HWND dialog, std::uint32_t caption, std::span<const ControlText> controls)
{
    SetWindowTextW(dialog, GetText(caption));
    setControlTexts(dialog, controls);
}
