// Control handling the general settings pages share: labels from the text
// tables, fixed lists, and switches over fields of the working record.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

#include "settings/general_settings.h"
#include "shell/dialog_texts_win32.h"

// A check box over a 0-or-1 field of the record.
struct SwitchControl {
    int control;
    std::uint32_t text;
    std::uint32_t GeneralSettings::*field;
};

// Fills a drop-down list with `count` consecutive texts from `firstText` and
// selects `selection`; a selection outside the list leaves none.
void fillFixedList(HWND page, int control, std::uint32_t firstText, int count, int selection);
// Empties a drop-down list.
void clearList(HWND page, int control);
void insertListLine(HWND page, int control, int position, const wchar_t* text);
void selectListPosition(HWND page, int control, int position);
// The selected position, -1 when there is none.
int listSelection(HWND page, int control);

// A switch is shown checked when its field is not 0, and stored as exactly
// 0 or 1.
void showSwitches(HWND page, std::span<const SwitchControl> switches, const GeneralSettings& settings);
void collectSwitches(HWND page, std::span<const SwitchControl> switches, GeneralSettings& settings);

// A page made only of switches (the effects and sound pages): its state and
// its message handling.
struct SwitchPage {
    std::span<const SwitchControl> switches;
    GeneralSettings* working = nullptr;
    HWND window = nullptr;

    void attach(GeneralSettings& record);
    // WM_INITDIALOG shows the switches, WM_COMMAND needs nothing (check boxes
    // keep their own state until collected); both are answered 1, others 0.
    INT_PTR handle(HWND page, UINT message);
    void collect();
};
