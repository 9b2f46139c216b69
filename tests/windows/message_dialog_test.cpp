// The three message dialogs answer with the button the player presses.
#include "shell/message_dialog_win32.h"

#include <gtest/gtest.h>

#include <string>

#include "resources/resource.h"
#include "shell/app_state_win32.h"
#include "shell/text_table_win32.h"
#include "support/app_fixture.h"
#include "support/dialog_driver.h"

namespace {

// Presses Enter where the keyboard focus is, as a player would.
void enter(HWND dialog)
{
    HWND focus = GetFocus();
    if (!focus || (focus != dialog && !IsChild(dialog, focus)))
        focus = dialog;
    PostMessageW(focus, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    PostMessageW(focus, WM_KEYUP, VK_RETURN, static_cast<LPARAM>(0xC01C0001u));
}

struct Answer {
    const char* name;
    int dialog;
    void (*press)(HWND);
    INT_PTR expected;
};

const Answer Answers[] = {
    {"yes of yes/no", IDD_MESSAGE_YESNO, [](HWND d) { Player::click(d, IDYES); }, IDYES},
    {"no of yes/no", IDD_MESSAGE_YESNO, [](HWND d) { Player::click(d, IDNO); }, IDNO},
    {"escape in yes/no", IDD_MESSAGE_YESNO, Player::escape, IDCANCEL},
    {"close box of yes/no", IDD_MESSAGE_YESNO, Player::closeBox, IDCANCEL},
    {"enter in yes/no", IDD_MESSAGE_YESNO, enter, IDYES},
    {"ok of ok", IDD_MESSAGE_OK, [](HWND d) { Player::click(d, IDOK); }, IDOK},
    {"enter in ok", IDD_MESSAGE_OK, enter, IDOK},
    {"escape in ok", IDD_MESSAGE_OK, Player::escape, IDCANCEL},
    {"close box of ok", IDD_MESSAGE_OK, Player::closeBox, IDCANCEL},
    {"yes of yes/no/cancel", IDD_MESSAGE_YESNOCANCEL, [](HWND d) { Player::click(d, IDYES); }, IDYES},
    {"no of yes/no/cancel", IDD_MESSAGE_YESNOCANCEL, [](HWND d) { Player::click(d, IDNO); }, IDNO},
    {"cancel of yes/no/cancel", IDD_MESSAGE_YESNOCANCEL, [](HWND d) { Player::click(d, IDCANCEL); },
     IDCANCEL},
    {"close box of yes/no/cancel", IDD_MESSAGE_YESNOCANCEL, Player::closeBox, IDCANCEL},
    {"escape in yes/no/cancel", IDD_MESSAGE_YESNOCANCEL, Player::escape, IDCANCEL},
    // The player asked to leave; Enter confirms rather than discards.
    {"enter in yes/no/cancel", IDD_MESSAGE_YESNOCANCEL, enter, IDYES},
};

} // namespace

TEST(MessageDialog, ReturnsTheButtonThePlayerPressed)
{
    for (const Answer& answer : Answers) {
        SCOPED_TRACE(answer.name);
        Player::Script script;
        script.then("answer", [&] {
            const HWND dialog = Player::activeDialogWithControl(IDC_MESSAGE_TEXT);
            if (!dialog)
                return false;
            answer.press(dialog);
            return true;
        });
        const INT_PTR result =
            script.run([&] { return ShowMessageDialog(nullptr, answer.dialog, 109, 110); });
        EXPECT_FALSE(script.timedOut()) << script.pendingStep();
        EXPECT_EQ(answer.expected, result);
    }
}

namespace {

struct Labels {
    std::wstring caption, message, ok, yes, no, cancel;
};

Labels labelsOf(HWND dialog)
{
    return {Player::windowText(dialog),        Player::controlText(dialog, IDC_MESSAGE_TEXT),
            Player::controlText(dialog, IDOK), Player::controlText(dialog, IDYES),
            Player::controlText(dialog, IDNO), Player::controlText(dialog, IDCANCEL)};
}

// Shows `dialog` with `title` and `text` and returns what it showed.
Labels shownLabels(int dialog, std::uint32_t title, std::uint32_t text)
{
    Labels shown;
    Player::Script script;
    script.then("read and close", [&] {
        const HWND window = Player::activeDialogWithControl(IDC_MESSAGE_TEXT);
        if (!window)
            return false;
        shown = labelsOf(window);
        Player::closeBox(window);
        return true;
    });
    script.run([&] { return ShowMessageDialog(nullptr, dialog, title, text); });
    EXPECT_TRUE(script.finished()) << script.pendingStep();
    return shown;
}

void expectSame(const Labels& expected, const Labels& shown)
{
    EXPECT_EQ(expected.caption, shown.caption);
    EXPECT_EQ(expected.message, shown.message);
    EXPECT_EQ(expected.ok, shown.ok);
    EXPECT_EQ(expected.yes, shown.yes);
    EXPECT_EQ(expected.no, shown.no);
    EXPECT_EQ(expected.cancel, shown.cancel);
}

} // namespace

TEST(MessageDialog, SpeaksTheLanguageOfTheTextTable)
{
    ScopedLanguage language(English);
    expectSame({L"Accept", L"Save these settings?", L"", L"Yes", L"No", L"Cancel"},
               shownLabels(IDD_MESSAGE_YESNOCANCEL, 109, 110));
    expectSame({L"Accept", L"Exit without saving changes?", L"", L"Yes", L"No", L""},
               shownLabels(IDD_MESSAGE_YESNO, 109, 145));
    expectSame({L"Error", L"The settings could not be saved.", L"OK", L"", L"", L""},
               shownLabels(IDD_MESSAGE_OK, 148, 249));
    language.use(German);
    expectSame({L"Fehler", L"Diese Einstellungen speichern?", L"", L"Ja", L"Nein", L"Abbrechen"},
               shownLabels(IDD_MESSAGE_YESNOCANCEL, 148, 110));
    language.use(French);
    expectSame({L"Erreur", L"Port non valide.", L"OK", L"", L"", L""}, shownLabels(IDD_MESSAGE_OK, 148, 146));
    language.use(Japanese);
    expectSame({L"エラー", L"ゲームパッドが検出されませんでした。", L"", L"はい", L"いいえ", L""},
               shownLabels(IDD_MESSAGE_YESNO, 148, 147));
}
