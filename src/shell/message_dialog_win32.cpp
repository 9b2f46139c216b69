#include "shell/message_dialog_win32.h"

#include <string>

#include "resources/resource.h"
#include "shell/controller_navigation_win32.h"
#include "shell/text_table_win32.h"
#include "shell/window_helpers_win32.h"

namespace {

// Carried from ShowMessageDialog to the dialog it opens; message dialogs are
// never nested, so one pair serves them all.
std::wstring MessageDialogTitle;
std::wstring MessageDialogText;

struct ButtonLabel {
    int id;
    std::uint32_t text;
};
constexpr ButtonLabel ButtonLabels[] = {{IDOK, 108}, {IDYES, 149}, {IDNO, 150}, {IDCANCEL, 151}};

// How each question of leaving a window is shown, in the order of
// LeavingQuestion.
struct Question {
    int dialog;
    std::uint32_t title;
    std::uint32_t message;
};
constexpr Question Questions[] = {
    {IDD_MESSAGE_YESNOCANCEL, AcceptTitle, SaveQuestion},
    {IDD_MESSAGE_YESNO, AcceptTitle, DiscardQuestion},
    {IDD_MESSAGE_OK, ErrorTitle, NotSavedMessage},
};

// Yes, or OK where there is no Yes, is the default button and takes the
// focus, so Enter answers the question the player has just asked for. Dialog
// 119 carries the default style on both Yes and No; only one keeps it.
void focusDefaultButton(HWND dialog)
{
    const int chosen = GetDlgItem(dialog, IDYES) ? IDYES : IDOK;
    for (const ButtonLabel& label : ButtonLabels) {
        if (const HWND button = GetDlgItem(dialog, label.id))
            SendMessageW(button, BM_SETSTYLE, label.id == chosen ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
    }
    SendMessageW(dialog, DM_SETDEFID, chosen, 0);
    SetFocus(GetDlgItem(dialog, chosen));
}

void onInitDialog(HWND dialog)
{
    SetDialogIcons(dialog);
    SetWindowTextW(dialog, MessageDialogTitle.c_str());
    SetDlgItemTextW(dialog, IDC_MESSAGE_TEXT, MessageDialogText.c_str());
    for (const ButtonLabel& label : ButtonLabels) {
        if (const HWND button = GetDlgItem(dialog, label.id))
            SetWindowTextW(button, GetText(label.text));
    }
    focusDefaultButton(dialog);
    CenterOnDesktop(dialog);
    acceptControllerNavigation(dialog);
}

INT_PTR CALLBACK messageDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: onInitDialog(dialog); return FALSE; // it has set the focus
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL:
        case IDYES:
        case IDNO: EndDialog(dialog, LOWORD(wParam)); break;
        }
        return TRUE;
    case WM_CLOSE: EndDialog(dialog, IDCANCEL); return TRUE;
    default: return FALSE;
    }
}

} // namespace

int ShowMessageDialog(HWND owner, int dialog, std::uint32_t titleNumber, std::uint32_t messageNumber)
{
    MessageDialogTitle = GetText(titleNumber);
    MessageDialogText = GetText(messageNumber);
    return static_cast<int>(
        DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(dialog), owner, messageDialogProc, 0));
}

bool askBeforeLeaving(HWND window, Leaving way, bool changed, bool (*save)(), AskPlayer ask)
{
    class Player final : public LeavingPlayer {
    public:
        Player(HWND owner, bool (*saveSettings)(), AskPlayer askPlayer)
            : owner_(owner), save_(saveSettings), ask_(askPlayer)
        {
        }
        PlayerAnswer ask(LeavingQuestion question) override
        {
            const Question& shown = Questions[static_cast<int>(question)];
            switch (ask_(owner_, shown.dialog, shown.title, shown.message)) {
            case IDYES: return PlayerAnswer::Yes;
            case IDNO: return PlayerAnswer::No;
            default: return PlayerAnswer::Cancel;
            }
        }
        bool save() override { return save_(); }

    private:
        HWND owner_;
        bool (*save_)();
        AskPlayer ask_;
    };
    Player player(window, save, ask);
    return decideLeaving(way, changed, player);
}
