// The three message dialogs answer with the button the player presses.
#include "shell/message_dialog_win32.h"

#include <gtest/gtest.h>

#include "resources/resource.h"
#include "support/dialog_driver.h"

namespace {

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
    {"ok of ok", IDD_MESSAGE_OK, [](HWND d) { Player::click(d, IDOK); }, IDOK},
    {"escape in ok", IDD_MESSAGE_OK, Player::escape, IDCANCEL},
    {"yes of yes/no/cancel", IDD_MESSAGE_YESNOCANCEL, [](HWND d) { Player::click(d, IDYES); }, IDYES},
    {"no of yes/no/cancel", IDD_MESSAGE_YESNOCANCEL, [](HWND d) { Player::click(d, IDNO); }, IDNO},
    {"cancel of yes/no/cancel", IDD_MESSAGE_YESNOCANCEL, [](HWND d) { Player::click(d, IDCANCEL); },
     IDCANCEL},
    {"close box of yes/no/cancel", IDD_MESSAGE_YESNOCANCEL, Player::closeBox, IDCANCEL},
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
