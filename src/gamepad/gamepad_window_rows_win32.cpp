#include "gamepad/gamepad_window_rows_win32.h"

#include <cwchar>

#include "gamepad/input_table.h"
#include "resources/resource.h"
#include "shell/app_state_win32.h"
#include "shell/text_table_win32.h"

namespace {

constexpr std::uint32_t ButtonText = 153;
constexpr std::uint32_t AxisText = 152;
constexpr std::size_t InputNameCapacity = 64;

// The assignment boxes in row order: up, down, left, right of the menu,
// movement and camera groups, then the twelve single functions.
constexpr int RowBoxes[AssignmentRowCount] = {
    IDC_GAMEPAD_MENU_UP,     IDC_GAMEPAD_MENU_DOWN,     IDC_GAMEPAD_MENU_LEFT,     IDC_GAMEPAD_MENU_RIGHT,
    IDC_GAMEPAD_MOVEMENT_UP, IDC_GAMEPAD_MOVEMENT_DOWN, IDC_GAMEPAD_MOVEMENT_LEFT, IDC_GAMEPAD_MOVEMENT_RIGHT,
    IDC_GAMEPAD_CAMERA_UP,   IDC_GAMEPAD_CAMERA_DOWN,   IDC_GAMEPAD_CAMERA_LEFT,   IDC_GAMEPAD_CAMERA_RIGHT,
    IDC_GAMEPAD_ACTION_MENU, IDC_GAMEPAD_CONFIRM,       IDC_GAMEPAD_CANCEL,        IDC_GAMEPAD_MAIN_MENU,
    IDC_GAMEPAD_AUTORUN,     IDC_GAMEPAD_CHAT,          IDC_GAMEPAD_TARGET_LOCK,   IDC_GAMEPAD_MODE,
    IDC_GAMEPAD_EMOTES,      IDC_GAMEPAD_VIEW,          IDC_GAMEPAD_MAP,           IDC_GAMEPAD_STATUS,
};

wchar_t inputNames[InputCount][InputNameCapacity]; // InputNameTable
HFONT rowFont;                                     // Japanese names in the boxes; null otherwise

void buildInputNameTable()
{
    for (unsigned input = 0; input < InputCount; ++input) {
        const InputNameParts parts = describeInput(input);
        const wchar_t* format = parts.kind == InputNameParts::Button         ? L"%ls %02u"
                                : parts.kind == InputNameParts::AxisNegative ? L"%ls %02u / -"
                                                                             : L"%ls %02u / +";
        const wchar_t* word = GetText(parts.kind == InputNameParts::Button ? ButtonText : AxisText);
        // A name too long for its slot is cut; the table keeps its terminator.
        std::swprintf(inputNames[input], InputNameCapacity, format, word, parts.number);
        inputNames[input][InputNameCapacity - 1] = 0;
    }
}

// Edit controls do not borrow glyphs from other fonts everywhere (Wine's do
// not), so Japanese input names get a Japanese font. It is a twelfth larger
// than the dialog's: Japanese fonts draw digits and Latin capitals smaller
// than the dialog's font does at the same size, and the names are mostly
// those ("軸 02 / -").
void useJapaneseFontForRows(HWND window)
{
    if (LanguageIndex() != Japanese)
        return;
    LOGFONTW font{};
    const auto dialogFont = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    if (!dialogFont || !GetObjectW(dialogFont, sizeof font, &font))
        return;
    font.lfHeight = MulDiv(font.lfHeight, 13, 12);
    lstrcpynW(font.lfFaceName, L"MS UI Gothic", LF_FACESIZE);
    font.lfCharSet = SHIFTJIS_CHARSET;
    rowFont = CreateFontIndirectW(&font);
    for (const int box : RowBoxes)
        SendDlgItemMessageW(window, box, WM_SETFONT, reinterpret_cast<WPARAM>(rowFont), FALSE);
}

} // namespace

int rowOfBox(int id)
{
    for (unsigned row = 0; row < AssignmentRowCount; ++row) {
        if (RowBoxes[row] == id)
            return static_cast<int>(row);
    }
    return -1;
}

void showAssignmentRows(HWND window, const std::uint8_t (&assignments)[AssignmentRowCount])
{
    buildInputNameTable();
    useJapaneseFontForRows(window);
    for (unsigned row = 0; row < AssignmentRowCount; ++row)
        showAssignmentRow(window, row, assignments[row]);
}

void showAssignmentRow(HWND window, unsigned row, std::uint8_t input)
{
    // A byte of 92 or more read from a file names nothing.
    SetDlgItemTextW(window, RowBoxes[row], input < InputCount ? inputNames[input] : L"");
}

void focusAssignmentRow(HWND window, unsigned row)
{
    SetFocus(GetDlgItem(window, RowBoxes[row]));
}

void selectAssignmentRow(HWND window, unsigned row)
{
    if (row < AssignmentRowCount)
        SendDlgItemMessageW(window, RowBoxes[row], EM_SETSEL, 0, -1);
}

void releaseAssignmentRowFont()
{
    if (rowFont) {
        DeleteObject(rowFont);
        rowFont = nullptr;
    }
}
