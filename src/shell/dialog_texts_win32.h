// The localized texts of a dialog's caption and controls, set from a table.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

// Control `id` shows text number `text`.
struct ControlText {
    int id;
    std::uint32_t text;
};

void setControlTexts(HWND dialog, std::span<const ControlText> controls);
void setDialogTexts(HWND dialog, std::uint32_t caption, std::span<const ControlText> controls);
