#include "settings/page_controls_win32.h"

#include "shell/text_table_win32.h"

void fillFixedList(HWND page, int control, std::uint32_t firstText, int count, int selection)
{
    clearList(page, control);
    for (int i = 0; i < count; ++i)
        insertListLine(page, control, i, GetText(firstText + static_cast<std::uint32_t>(i)));
    selectListPosition(page, control, selection);
}

void clearList(HWND page, int control)
{
    SendDlgItemMessageW(page, control, CB_RESETCONTENT, 0, 0);
}

void insertListLine(HWND page, int control, int position, const wchar_t* text)
{
    SendDlgItemMessageW(page, control, CB_INSERTSTRING, static_cast<WPARAM>(position),
                        reinterpret_cast<LPARAM>(text));
}

void selectListPosition(HWND page, int control, int position)
{
    // A position outside the list (-1 included) clears the selection.
    SendDlgItemMessageW(page, control, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
}

int listSelection(HWND page, int control)
{
    return static_cast<int>(SendDlgItemMessageW(page, control, CB_GETCURSEL, 0, 0));
}

void showSwitches(HWND page, std::span<const SwitchControl> switches, const GeneralSettings& settings)
{
    for (const SwitchControl& item : switches) {
        SetDlgItemTextW(page, item.control, GetText(item.text));
        CheckDlgButton(page, item.control, settings.*item.field != 0 ? BST_CHECKED : BST_UNCHECKED);
    }
}

void collectSwitches(HWND page, std::span<const SwitchControl> switches, GeneralSettings& settings)
{
    for (const SwitchControl& item : switches)
        settings.*item.field = IsDlgButtonChecked(page, item.control) == BST_CHECKED ? 1 : 0;
}

void SwitchPage::attach(GeneralSettings& record)
{
    working = &record;
    window = nullptr;
}

INT_PTR SwitchPage::handle(HWND page, UINT message)
{
    switch (message) {
    case WM_INITDIALOG:
        window = page;
        showSwitches(page, switches, *working);
        return TRUE;
    case WM_COMMAND: return TRUE;
    default: return FALSE;
    }
}

void SwitchPage::collect()
{
    if (window)
        collectSwitches(window, switches, *working);
}
