// The gamepad settings window, driven as a player would with a scripted
// controller: pressing inputs fills the rows, leaving asks and saves.
#include "gamepad/gamepad_window_win32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <iterator>
#include <utility>
#include <vector>

#include "gamepad/input_table.h"
#include "gamepad/pad_settings.h"
#include "foundation/replace_file_win32.h"
#include "resources/resource.h"
#include "shell/app_state_win32.h"
#include "shell/text_table_win32.h"
#include "support/app_fixture.h"
#include "support/dialog_driver.h"
#include "support/messages.h"
#include "support/pad_file.h"
#include "support/scripted_gamepad.h"
#include "support/timer_log.h"

namespace {

const wchar_t PadFile[] = L"config.pad";

constexpr int RowBoxes[AssignmentRowCount] = {1044, 1046, 1047, 1048, 1049, 1050, 1051, 1052,
                                              1053, 1054, 1055, 1056, 1057, 1058, 1059, 1060,
                                              1061, 1062, 1063, 1064, 1065, 1066, 1067, 1068};

// A record as the game would have left it: a scripted controller chosen,
// the defaults, and the game's own bytes from offset 72.
PadSettings seededRecord(unsigned controller = 0)
{
    PadSettings record = recordForScriptedController(controller);
    for (std::size_t i = 0; i < sizeof record.reserved; ++i)
        record.reserved[i] = static_cast<std::uint8_t>(i * 3 + 1);
    return record;
}

// How an English-speaking player sees input `input`: buttons count from 1,
// each axis slot from 1 with its half.
std::wstring expectedName(unsigned input)
{
    wchar_t name[64];
    if (input < ButtonCount)
        std::swprintf(name, 64, L"Button %02u", input + 1);
    else
        std::swprintf(name, 64, L"Axis %02u / %lc", (input - ButtonCount) / 2 + 1,
                      (input - ButtonCount) % 2 == 0 ? L'-' : L'+');
    return name;
}

HWND gamepadWindow()
{
    return Player::activeDialogWithControl(IDC_GAMEPAD_DEVICE);
}

int focusedRow()
{
    const int id = GetDlgCtrlID(GetFocus());
    for (unsigned row = 0; row < AssignmentRowCount; ++row) {
        if (RowBoxes[row] == id)
            return static_cast<int>(row);
    }
    return -1;
}

std::wstring rowText(unsigned row)
{
    return Player::controlText(gamepadWindow(), RowBoxes[row]);
}

// The message dialog `dialog` (117, 118 or 119), told apart by its buttons.
HWND messageDialog(int dialog)
{
    const HWND found = Player::activeDialogWithControl(IDC_MESSAGE_TEXT);
    if (!found)
        return nullptr;
    const bool hasOk = GetDlgItem(found, IDOK) != nullptr;
    const bool hasCancel = GetDlgItem(found, IDCANCEL) != nullptr;
    const int kind = hasOk ? IDD_MESSAGE_OK : hasCancel ? IDD_MESSAGE_YESNOCANCEL : IDD_MESSAGE_YESNO;
    return kind == dialog ? found : nullptr;
}

// Presses `button` in the message dialog `dialog`: OK asks to save, the
// close box asks to leave without saving.
std::function<bool()> answer(int dialog, int button)
{
    return [=] {
        const HWND found = messageDialog(dialog);
        if (!found)
            return false;
        // The window's only OK message is the save error: "Gamepad not
        // detected." comes before it opens.
        const MessageTexts::Message expected = dialog == IDD_MESSAGE_YESNO ? MessageTexts::DiscardQuestion
                                               : dialog == IDD_MESSAGE_OK  ? MessageTexts::NotSaved
                                                                           : MessageTexts::SaveQuestion;
        EXPECT_EQ(expected.title, Player::windowText(found));
        EXPECT_EQ(expected.text, Player::controlText(found, IDC_MESSAGE_TEXT));
        Player::click(found, button);
        return true;
    };
}

// Reads the title and message of the error box, then presses its OK.
std::function<bool()> acknowledgeError(std::wstring& title, std::wstring& message)
{
    return [&title, &message] {
        const HWND error = messageDialog(IDD_MESSAGE_OK);
        if (!error)
            return false;
        title = Player::windowText(error);
        message = Player::controlText(error, IDC_MESSAGE_TEXT);
        Player::click(error, IDOK);
        return true;
    };
}

std::function<bool()> rowShows(unsigned row, unsigned input)
{
    return [=] { return gamepadWindow() && rowText(row) == expectedName(input); };
}

std::function<bool()> doInWindow(std::function<void(HWND)> action)
{
    return [=] {
        const HWND window = gamepadWindow();
        if (!window)
            return false;
        action(window);
        return true;
    };
}

LRESULT chosenEntry(HWND window)
{
    return SendDlgItemMessageW(window, IDC_GAMEPAD_DEVICE, CB_GETCURSEL, 0, 0);
}

LRESULT listedControllers(HWND window)
{
    return SendDlgItemMessageW(window, IDC_GAMEPAD_DEVICE, CB_GETCOUNT, 0, 0);
}

std::function<bool()> holdingAxis(unsigned slot, std::int32_t raw, unsigned controller = 0)
{
    return [=] {
        ScriptedGamepad::setAxis(slot, raw, controller);
        return true;
    };
}

std::function<bool()> releasing(unsigned controller = 0)
{
    return [=] {
        ScriptedGamepad::releaseAll(controller);
        return true;
    };
}

std::function<bool()> readRow(unsigned row, std::wstring& text)
{
    return [row, &text] {
        text = rowText(row);
        return true;
    };
}

// Waits until the list shows `count` controllers.
std::function<bool()> listShows(LRESULT count)
{
    return [=] { return gamepadWindow() && listedControllers(gamepadWindow()) == count; };
}

std::function<bool()> leaving()
{
    return doInWindow(Player::closeBox);
}

INT_PTR openWindow()
{
    return openGamepadSettings(nullptr);
}

class GamepadWindow : public testing::Test {
protected:
    void SetUp() override { resetPadRecords(); }
    void TearDown() override { resetPadRecords(); }

    ScopedLanguage language_{English};
    INT_PTR run(Player::Script& script)
    {
        const INT_PTR result = script.run(openWindow);
        EXPECT_FALSE(script.timedOut()) << "stuck at: " << script.pendingStep();
        return result;
    }

    ScriptedGamepad::Installation pad;
};

} // namespace

// The capture rules are the native table's; here, the window's wiring: a
// held input fills the current row and moves the focus on, and a question of
// the window holds the capture back until the input is released.
TEST_F(GamepadWindow, PressesFillTheRowsInTurnButNotWhileAQuestionIsOpen)
{
    writePadRecord(seededRecord());
    ScriptedGamepad::press(3);
    HWND window = nullptr;
    int focusAfterFirst = -2;
    std::wstring rowOneWhileHeld, rowOneWhileAsked, rowOneAfterQuestion;
    Player::Script script;
    script.then("row 0 takes the held button", rowShows(0, 3))
        .then("focus moved on",
              [&] {
                  window = gamepadWindow();
                  return (focusAfterFirst = focusedRow()) == 1;
              })
        .then("still held for a while", ScriptedGamepad::afterPolls(4))
        .then("row 1 untouched", readRow(1, rowOneWhileHeld))
        .then("let go", releasing())
        .then("released", ScriptedGamepad::afterPolls(2))
        .then("close: the capture asks", leaving())
        .then("the question is open, press a button",
              [] {
                  if (!messageDialog(IDD_MESSAGE_YESNO))
                      return false;
                  ScriptedGamepad::press(5);
                  return true;
              })
        .then("held a while", ScriptedGamepad::afterPolls(5))
        .then("row 1 unchanged",
              [&] {
                  rowOneWhileAsked = Player::controlText(window, RowBoxes[1]);
                  return true;
              })
        .then("stay, the button still held", answer(IDD_MESSAGE_YESNO, IDNO))
        .then("held a while after", ScriptedGamepad::afterPolls(5))
        .then("row 1 still unchanged", readRow(1, rowOneAfterQuestion))
        .then("let go again", releasing())
        .then("released again", ScriptedGamepad::afterPolls(2))
        .then("press another", ScriptedGamepad::pressing(1))
        .then("row 1 takes it", rowShows(1, 1))
        .then("focus on row 2", [] { return focusedRow() == 2; })
        .then("close", leaving())
        .then("leave without saving", answer(IDD_MESSAGE_YESNO, IDYES));
    EXPECT_EQ(IDCANCEL, run(script));
    EXPECT_EQ(1, focusAfterFirst);
    for (const std::wstring& row : {rowOneWhileHeld, rowOneWhileAsked, rowOneAfterQuestion})
        EXPECT_EQ(expectedName(35), row);
    EXPECT_EQ(bytesOf(seededRecord()), readPadFile());
}

// A file longer than the record (the game may append) is saved back as the
// record alone.
TEST_F(GamepadWindow, OkAndYesWriteThe196BytesOfTheRecordKeepingTheGamesBytes)
{
    PadSettings seeded = seededRecord();
    std::memset(&seeded.controllerInstance, 0x77, sizeof seeded.controllerInstance); // another controller
    PadBytes file = bytesOf(seeded);
    file.resize(200, 0xEE);
    writePadFile(file.data(), file.size());
    ScriptedGamepad::press(7);
    Player::Script script;
    script.then("row 0 takes button 8", rowShows(0, 7))
        .then("released", releasing())
        .then("choices", doInWindow([](HWND window) {
                  Player::chooseComboEntry(window, IDC_GAMEPAD_CALIBRATION, 5);
                  SendDlgItemMessageW(window, IDC_GAMEPAD_BACKGROUND, BM_CLICK, 0, 0);
                  SendDlgItemMessageW(window, IDC_GAMEPAD_VIBRATION, BM_CLICK, 0, 0);
              }))
        .then("ok", doInWindow([](HWND window) { Player::click(window, IDOK); }))
        .then("save", answer(IDD_MESSAGE_YESNOCANCEL, IDYES));
    EXPECT_EQ(IDOK, run(script));

    PadSettings expected = seededRecord(); // the scripted controller is chosen
    expected.assignments[0] = 7;
    expected.calibrationStep = 5;
    expected.background = 1;
    expected.vibration = 0;
    EXPECT_EQ(bytesOf(expected), readPadFile());
}

TEST_F(GamepadWindow, LeavingWithoutSavingLeavesTheFileAlone)
{
    struct Case {
        const char* name;
        void (*play)(Player::Script&);
        INT_PTR result;
        bool withFile = true;
    };
    const Case cases[] = {
        {"calibration changed, OK, then No",
         [](Player::Script& script) {
             script
                 .then("calibration only", doInWindow([](HWND window) {
                           Player::chooseComboEntry(window, IDC_GAMEPAD_CALIBRATION, 4);
                       }))
                 .then("ok", doInWindow([](HWND window) { Player::click(window, IDOK); }))
                 .then("do not save", answer(IDD_MESSAGE_YESNOCANCEL, IDNO));
         },
         IDOK},
        {"nothing changed, OK asks nothing",
         [](Player::Script& script) {
             script.then("ok", doInWindow([](HWND window) { Player::click(window, IDOK); }));
         },
         IDOK},
        {"a capture, close, No keeps the window, close, Yes",
         [](Player::Script& script) {
             script.then("hold", ScriptedGamepad::pressing(0))
                 .then("capture", rowShows(0, 0))
                 .then("close", doInWindow(Player::closeBox))
                 .then("stay", answer(IDD_MESSAGE_YESNO, IDNO))
                 .then("still open", doInWindow([](HWND) {}))
                 .then("close again", doInWindow(Player::closeBox))
                 .then("leave", answer(IDD_MESSAGE_YESNO, IDYES));
         },
         IDCANCEL},
        {"check box and calibration changed, the close box asks nothing",
         [](Player::Script& script) {
             script.then("tick and close", doInWindow([](HWND window) {
                             SendDlgItemMessageW(window, IDC_GAMEPAD_BACKGROUND, BM_CLICK, 0, 0);
                             Player::chooseComboEntry(window, IDC_GAMEPAD_CALIBRATION, 0);
                             Player::closeBox(window);
                         }));
         },
         IDCANCEL},
        {"Escape does not close",
         [](Player::Script& script) {
             script.then("escape", doInWindow(Player::escape))
                 .then("a while later", ScriptedGamepad::afterPolls(3))
                 .then("still open", doInWindow(Player::closeBox));
         },
         IDCANCEL},
        {"without a file, OK and the close box ask",
         [](Player::Script& script) {
             script.then("ok", doInWindow([](HWND window) { Player::click(window, IDOK); }))
                 .then("cancel the save question", answer(IDD_MESSAGE_YESNOCANCEL, IDCANCEL))
                 .then("close", leaving())
                 .then("leave", answer(IDD_MESSAGE_YESNO, IDYES));
         },
         IDCANCEL, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedGamepad::releaseAll();
        resetPadRecords();
        if (c.withFile)
            writePadRecord(seededRecord());
        Player::Script script;
        c.play(script);
        EXPECT_EQ(c.result, run(script));
        if (c.withFile)
            EXPECT_EQ(bytesOf(seededRecord()), readPadFile());
        else
            EXPECT_FALSE(padFileExists());
    }
}

// Bytes the lists do not hold show nothing and are saved back as read.
TEST_F(GamepadWindow, ValuesBeyondTheListsShowNothingAndAreKept)
{
    PadSettings seeded = seededRecord();
    seeded.assignments[0] = 92;
    seeded.assignments[1] = 255;
    seeded.calibrationStep = 9;
    writePadRecord(seeded);
    std::wstring first, second;
    LRESULT selection = 0;
    Player::Script script;
    script
        .then("read, change a switch and ok", doInWindow([&](HWND window) {
                  first = rowText(0);
                  second = rowText(1);
                  selection = SendDlgItemMessageW(window, IDC_GAMEPAD_CALIBRATION, CB_GETCURSEL, 0, 0);
                  SendDlgItemMessageW(window, IDC_GAMEPAD_BACKGROUND, BM_CLICK, 0, 0);
                  Player::click(window, IDOK);
              }))
        .then("save", answer(IDD_MESSAGE_YESNOCANCEL, IDYES));
    EXPECT_EQ(IDOK, run(script));
    EXPECT_EQ(L"", first);
    EXPECT_EQ(L"", second);
    EXPECT_EQ(CB_ERR, selection);
    seeded.background = 1;
    EXPECT_EQ(bytesOf(seeded), readPadFile());
}

// How a save fails is the whole-file save's table; here, the window reports
// it and stays open.
TEST_F(GamepadWindow, AFailedSaveIsReportedAndTheWindowStaysOpen)
{
    const std::wstring path = settingsFile(PadFile);
    writePadRecord(seededRecord());
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    std::wstring title, message;
    Player::Script script;
    script
        .then("change and ok", doInWindow([](HWND window) {
                  SendDlgItemMessageW(window, IDC_GAMEPAD_BACKGROUND, BM_CLICK, 0, 0);
                  Player::click(window, IDOK);
              }))
        .then("save", answer(IDD_MESSAGE_YESNOCANCEL, IDYES))
        .then("error shown", acknowledgeError(title, message))
        .then("still open", leaving())
        .then("leave", answer(IDD_MESSAGE_YESNO, IDYES));
    EXPECT_EQ(IDCANCEL, run(script));
    EXPECT_EQ(L"Error", title);
    EXPECT_EQ(L"The settings could not be saved.", message);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(temporaryPathFor(path.c_str()).c_str()));
    EXPECT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(bytesOf(seededRecord()), readPadFile());
}

TEST(GamepadWindowWithoutController, SaysGamepadNotDetectedAndEnds)
{
    const ScopedLanguage english(English);
    const ScriptedGamepad::Installation none(0);
    removeSettingsFile(PadFile);
    std::wstring title, message;
    Player::Script script;
    script.then("error shown", acknowledgeError(title, message));
    const INT_PTR result = script.run(openWindow);
    EXPECT_FALSE(script.timedOut()) << script.pendingStep();
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ(L"Error", title);
    EXPECT_EQ(L"Gamepad not detected.", message);
    EXPECT_FALSE(padFileExists());
}

TEST_F(GamepadWindow, LongControllerNamesAreCutToFitTheList)
{
    struct Case {
        const char* name;
        std::wstring controllerName;
        std::wstring shown;
    };
    const std::wstring longName(200, L'N');
    const std::wstring straddling = std::wstring(126, L'N') + L"\xD83C\xDFAE" + L"tail"; // a pair at 126..127
    const Case cases[] = {
        {"127 characters fit", longName.substr(0, 127), longName.substr(0, 127)},
        {"longer names are cut", longName, longName.substr(0, 127)},
        {"a character is not split", straddling, straddling.substr(0, 126)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedGamepad::setName(c.controllerName);
        std::wstring shown;
        Player::Script script;
        script
            .then("read", doInWindow([&](HWND window) {
                      wchar_t text[300] = {};
                      SendDlgItemMessageW(window, IDC_GAMEPAD_DEVICE, CB_GETLBTEXT, 0,
                                          reinterpret_cast<LPARAM>(text));
                      shown = text;
                  }))
            .then("close", doInWindow(Player::closeBox))
            .then("leave", answer(IDD_MESSAGE_YESNO, IDYES));
        EXPECT_EQ(IDCANCEL, run(script));
        EXPECT_EQ(c.shown, shown);
    }
}

// How the painting helper places a picture, also after a partial repaint, is
// the main window's test; here, this window paints its own picture, also
// for a themed control that asks for it with WM_PRINTCLIENT.
TEST_F(GamepadWindow, TheBackgroundPictureMeetsTheWindowsBottomRightCornerAlsoWhenPrinted)
{
    const auto picture = static_cast<HBITMAP>(LoadImageW(
        GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_GAMEPAD_BACKGROUND), IMAGE_BITMAP, 0, 0, 0));
    ASSERT_TRUE(picture);
    writePadRecord(seededRecord());
    std::vector<std::pair<COLORREF, COLORREF>> samples; // shown, expected
    // The pixels of `shown` at `points` and the picture's there, its
    // bottom-right corner (845, 652) at the client area's.
    const auto sample = [&](HDC shown, const RECT& client, std::initializer_list<POINT> points) {
        const HDC source = CreateCompatibleDC(shown);
        const HGDIOBJ previous = SelectObject(source, picture);
        for (const POINT& point : points)
            samples.emplace_back(
                GetPixel(shown, point.x, point.y),
                GetPixel(source, 845 - client.right + point.x, 652 - client.bottom + point.y));
        SelectObject(source, previous);
        DeleteDC(source);
    };
    Player::Script script;
    script.then(
        "painted and printed", doInWindow([&](HWND window) {
            RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
            RECT client{};
            GetClientRect(window, &client);
            const HDC screen = GetDC(window);
            sample(screen, client, {{1, 1}, {1, client.bottom - 2}, {client.right - 2, client.bottom - 2}});
            // What a themed check box asks for to draw behind itself.
            const HDC printed = CreateCompatibleDC(screen);
            const HBITMAP canvas = CreateCompatibleBitmap(screen, client.right, client.bottom);
            const HGDIOBJ previousCanvas = SelectObject(printed, canvas);
            SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(printed), PRF_CLIENT);
            sample(printed, client, {{client.right / 2, client.bottom - 2}});
            SelectObject(printed, previousCanvas);
            DeleteObject(canvas);
            DeleteDC(printed);
            ReleaseDC(window, screen);
            Player::closeBox(window);
        }));
    EXPECT_EQ(IDCANCEL, run(script));
    DeleteObject(picture);
    ASSERT_EQ(4u, samples.size());
    for (const auto& [shown, expected] : samples)
        EXPECT_EQ(expected, shown);
}

TEST_F(GamepadWindow, JapaneseInputNamesAreDrawnWithRealGlyphs)
{
    language_.use(Japanese);
    writePadRecord(seededRecord());
    std::vector<WORD> glyphs;
    std::wstring caption, firstRow;
    Player::Script script;
    script
        .then("read the glyphs of the first row", doInWindow([&](HWND window) {
                  caption = Player::windowText(window);
                  const HWND box = GetDlgItem(window, RowBoxes[0]);
                  const std::wstring text = Player::windowText(box);
                  firstRow = text;
                  const HDC dc = GetDC(box);
                  const HGDIOBJ previous =
                      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(box, WM_GETFONT, 0, 0)));
                  glyphs.resize(text.size());
                  GetGlyphIndicesW(dc, text.c_str(), static_cast<int>(text.size()), glyphs.data(),
                                   GGI_MARK_NONEXISTING_GLYPHS);
                  SelectObject(dc, previous);
                  ReleaseDC(box, dc);
              }))
        .then("close", doInWindow(Player::closeBox));
    run(script);
    EXPECT_EQ(L"ORVANTE ゲームパッド設定", caption);
    EXPECT_EQ(L"軸 02 / -", firstRow);
    ASSERT_FALSE(glyphs.empty());
    for (const WORD glyph : glyphs)
        EXPECT_NE(0xFFFF, glyph) << "a character of the row's name has no glyph in its font";
}

namespace {

std::wstring gamepadWindowName(HWND window)
{
    if (GetDlgItem(window, IDC_GAMEPAD_DEVICE))
        return L"settings";
    if (GetDlgItem(window, IDC_PADTEST_MENU_PANEL))
        return L"test";
    return L"other";
}

} // namespace

TEST_F(GamepadWindow, PollsEvery100MsThenEvery30MsAfterTheTestWindowAndNotWhileItIsOpen)
{
    const TimerLog timers;
    TimerLog::setNamer(gamepadWindowName);
    std::vector<std::wstring> beforeTest, whileTestOpen;
    Player::Script script;
    script
        .then("open the test window", doInWindow([&](HWND window) {
                  beforeTest = TimerLog::lines();
                  Player::click(window, IDC_GAMEPAD_TEST);
              }))
        .then("the test window runs",
              [] { return Player::activeDialogWithControl(IDC_PADTEST_MENU_PANEL) != nullptr; })
        .then("a few frames", ScriptedGamepad::afterPolls(3))
        .then("close the test window",
              [&] {
                  whileTestOpen = TimerLog::lines();
                  Player::click(Player::activeDialogWithControl(IDC_PADTEST_MENU_PANEL), IDOK);
                  return true;
              })
        .then("back in the settings window", doInWindow([](HWND) {}))
        .then("polling again", ScriptedGamepad::afterPolls(2))
        .then("close", doInWindow(Player::closeBox))
        .then("leave", answer(IDD_MESSAGE_YESNO, IDYES));
    EXPECT_EQ(IDCANCEL, run(script));
    EXPECT_EQ(std::vector<std::wstring>{L"settings: timer 1 every 100 ms"}, beforeTest);
    EXPECT_EQ((std::vector<std::wstring>{L"settings: timer 1 every 100 ms", L"settings: timer 1 stopped",
                                         L"test: timer 2 every 30 ms"}),
              whileTestOpen);
    const auto all = TimerLog::lines();
    const auto back = std::find(all.begin(), all.end(), L"settings: timer 1 every 30 ms");
    ASSERT_NE(all.end(), back) << "the settings window never polled every 30 ms again";
    for (auto later = back + 1; later != all.end(); ++later)
        EXPECT_NE(std::wstring::npos, later->find(L"stopped"))
            << "after returning: " << std::string(later->begin(), later->end());
}

// Opened without a file: the texts in English and the defaults.
TEST_F(GamepadWindow, WithoutAFileTheEnglishTextsAndTheDefaultsAreShown)
{
    const std::pair<int, const wchar_t*> labels[] = {
        {IDC_GAMEPAD_ACTIVE_LABEL, L"Active Gamepad"},
        {IDC_GAMEPAD_MENU_TITLE, L"Target/Open Menu"},
        {IDC_GAMEPAD_MOVEMENT_TITLE, L"Movement"},
        {IDC_GAMEPAD_CAMERA_TITLE, L"Camera"},
        {IDC_GAMEPAD_OTHER_TITLE, L"Other"},
        {IDC_GAMEPAD_ACTION_MENU_LABEL, L"Action Menu\r\nStack Battle Commands"},
        {IDC_GAMEPAD_CONFIRM_LABEL, L"Select/Confirm"},
        {IDC_GAMEPAD_CANCEL_LABEL, L"Cancel"},
        {IDC_GAMEPAD_MAIN_MENU_LABEL, L"Main Menu"},
        {IDC_GAMEPAD_AUTORUN_LABEL, L"Autorun"},
        {IDC_GAMEPAD_CHAT_LABEL, L"Open Chat"},
        {IDC_GAMEPAD_TARGET_LOCK_LABEL, L"Target Lock"},
        {IDC_GAMEPAD_MODE_LABEL, L"Passive/Active Mode"},
        {IDC_GAMEPAD_EMOTES_LABEL, L"Emote List"},
        {IDC_GAMEPAD_VIEW_LABEL, L"Change View"},
        {IDC_GAMEPAD_MAP_LABEL, L"Display Map"},
        {IDC_GAMEPAD_STATUS_LABEL, L"Status Effect List"},
        {IDC_GAMEPAD_CALIBRATION_LABEL, L"Calibrate"},
        {IDC_GAMEPAD_VIBRATION, L"Activate Gamepad Vibration"},
        {IDC_GAMEPAD_BACKGROUND, L"Enable in Background"},
        {IDC_GAMEPAD_TEST, L"Test Gamepad"},
        {IDOK, L"OK"},
    };
    std::wstring caption;
    std::vector<std::wstring> shown, steps, rows;
    UINT background = 9, vibration = 9;
    LRESULT calibration = -9, device = -9;
    Player::Script script;
    script
        .then("read the window", doInWindow([&](HWND window) {
                  caption = Player::windowText(window);
                  for (const auto& [control, text] : labels)
                      shown.push_back(Player::controlText(window, control));
                  const HWND list = GetDlgItem(window, IDC_GAMEPAD_CALIBRATION);
                  for (LRESULT i = 0; i < SendMessageW(list, CB_GETCOUNT, 0, 0); ++i) {
                      wchar_t step[16] = {};
                      SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(i),
                                   reinterpret_cast<LPARAM>(step));
                      steps.emplace_back(step);
                  }
                  for (unsigned row = 0; row < AssignmentRowCount; ++row)
                      rows.push_back(rowText(row));
                  calibration = SendDlgItemMessageW(window, IDC_GAMEPAD_CALIBRATION, CB_GETCURSEL, 0, 0);
                  background = IsDlgButtonChecked(window, IDC_GAMEPAD_BACKGROUND);
                  vibration = IsDlgButtonChecked(window, IDC_GAMEPAD_VIBRATION);
                  device = SendDlgItemMessageW(window, IDC_GAMEPAD_DEVICE, CB_GETCURSEL, 0, 0);
                  Player::closeBox(window);
              }))
        .then("leave", answer(IDD_MESSAGE_YESNO, IDYES));
    EXPECT_EQ(IDCANCEL, run(script));
    EXPECT_EQ(L"ORVANTE Gamepad Settings", caption);
    ASSERT_EQ(std::size(labels), shown.size());
    for (std::size_t i = 0; i < shown.size(); ++i)
        EXPECT_EQ(labels[i].second, shown[i]) << labels[i].first;
    EXPECT_EQ((std::vector<std::wstring>{L"0.0", L"0.1", L"0.2", L"0.3", L"0.4", L"0.5"}), steps);
    ASSERT_EQ(AssignmentRowCount, rows.size());
    for (unsigned row = 0; row < AssignmentRowCount; ++row)
        EXPECT_EQ(expectedName(DefaultAssignments[row]), rows[row]) << row;
    EXPECT_EQ(L"Axis 02 / -", rows[0]);
    EXPECT_EQ(L"Axis 07 / +", rows[17]);
    EXPECT_EQ(L"Button 10", rows[12]);
    EXPECT_EQ(L"Button 01", rows[22]);
    EXPECT_EQ(2, calibration);
    EXPECT_EQ(static_cast<UINT>(BST_UNCHECKED), background);
    EXPECT_EQ(static_cast<UINT>(BST_CHECKED), vibration);
    EXPECT_EQ(0, device);
}

// The saved controller is read at opening; choosing another in the list
// reads that one, whose resting triggers are taken anew.
TEST_F(GamepadWindow, TheSavedControllerIsReadAndAnotherCanBeChosen)
{
    ScriptedGamepad::Installation two(2);
    ScriptedGamepad::setRest(ScriptedGamepad::Rest::TriggersAtMinimum, 0);
    const PadSettings seeded = seededRecord(1);
    writePadRecord(seeded);
    const unsigned trigger = ScriptedGamepad::RightTriggerSlot;
    LRESULT chosenAtOpening = -9;
    std::wstring rowOneAfterChoice;
    Player::Script script;
    script.then("chosen", doInWindow([&](HWND window) { chosenAtOpening = chosenEntry(window); }))
        .then("the other one is pressed",
              [] {
                  ScriptedGamepad::press(4, 0);
                  return true;
              })
        .then("a while", ScriptedGamepad::afterPolls(4))
        .then("press on the chosen one",
              [] {
                  ScriptedGamepad::releaseAll(0);
                  ScriptedGamepad::press(6, 1);
                  return true;
              })
        .then("row 0 takes it", rowShows(0, 6))
        .then("let go", releasing(1))
        .then("choose the first",
              doInWindow([](HWND window) { Player::chooseComboEntry(window, IDC_GAMEPAD_DEVICE, 0); }))
        .then("read it a while", ScriptedGamepad::afterPolls(6))
        .then("row 1 as it was", readRow(1, rowOneAfterChoice))
        .then("pull its right trigger", holdingAxis(trigger, ScriptedGamepad::AxisRange, 0))
        .then("row 1 takes the rising half", rowShows(1, positiveHalfInput(trigger)))
        .then("close", leaving())
        .then("leave", answer(IDD_MESSAGE_YESNO, IDYES));
    EXPECT_EQ(IDCANCEL, run(script));
    EXPECT_EQ(1, chosenAtOpening);
    EXPECT_EQ(expectedName(seeded.assignments[1]), rowOneAfterChoice);
}

TEST_F(GamepadWindow, ControllersArriveAndLeaveWhileTheWindowIsOpen)
{
    ScriptedGamepad::Installation two(2);
    const PadSettings seeded = seededRecord(1);
    writePadRecord(seeded);
    LRESULT chosenAtOpening = -9, chosenAfterArrival = -9, chosenAfterLeaving = -9, chosenWhenEmpty = -9,
            chosenOnReturn = -9;
    std::wstring firstAfterLeaving, rowTwoWhileUnlisted;
    const auto pressOnSecond = [](unsigned button) {
        return [=] {
            ScriptedGamepad::press(button, 1);
            return true;
        };
    };
    const auto note = [](LRESULT& chosen) {
        return doInWindow([&chosen](HWND window) { chosen = chosenEntry(window); });
    };
    Player::Script script;
    script.then("opened on the second", note(chosenAtOpening))
        .then("press on it", pressOnSecond(3))
        .then("row 0 takes it", rowShows(0, 3))
        .then("let go", releasing(1))
        .then("a third is plugged in", ScriptedGamepad::pluggingIn(2))
        .then("three listed", listShows(3))
        .then("still the second", note(chosenAfterArrival))
        .then("the first is pulled out", ScriptedGamepad::pullingOut({0}))
        .then("two listed", listShows(2))
        .then("the chosen one moved up", doInWindow([&](HWND window) {
                  chosenAfterLeaving = chosenEntry(window);
                  wchar_t name[128] = {};
                  SendDlgItemMessageW(window, IDC_GAMEPAD_DEVICE, CB_GETLBTEXT, 0,
                                      reinterpret_cast<LPARAM>(name));
                  firstAfterLeaving = name;
              }))
        .then("press on it again", pressOnSecond(4))
        .then("row 1 takes it", rowShows(1, 4))
        .then("let go", releasing(1))
        .then("pulled out before the list knows, a button still down",
              [] {
                  ScriptedGamepad::press(7, 1);
                  ScriptedGamepad::unplug(1);
                  return true;
              })
        .then("polled a while", ScriptedGamepad::afterPolls(5))
        .then("row 2 as it was", readRow(2, rowTwoWhileUnlisted))
        .then("every controller is pulled out", ScriptedGamepad::pullingOut({1, 2}))
        .then("none listed", listShows(0))
        .then("the window stays", note(chosenWhenEmpty))
        .then("a while without any", [ticks = 0]() mutable { return ++ticks > 20; })
        .then("the second comes back", ScriptedGamepad::pluggingIn(1))
        .then("one listed", listShows(1))
        .then("it is chosen", note(chosenOnReturn))
        .then("press on it once more", pressOnSecond(5))
        .then("row 2 takes it", rowShows(2, 5))
        .then("ok", doInWindow([](HWND window) { Player::click(window, IDOK); }))
        .then("save", answer(IDD_MESSAGE_YESNOCANCEL, IDYES));
    EXPECT_EQ(IDOK, run(script));
    EXPECT_EQ(1, chosenAtOpening);
    EXPECT_EQ(1, chosenAfterArrival);
    EXPECT_EQ(0, chosenAfterLeaving);
    EXPECT_EQ(L"Scripted Pad 2", firstAfterLeaving);
    EXPECT_EQ(expectedName(seeded.assignments[2]), rowTwoWhileUnlisted);
    EXPECT_EQ(CB_ERR, chosenWhenEmpty);
    EXPECT_EQ(0, chosenOnReturn);
    PadSettings expected = seeded;
    expected.assignments[0] = 3;
    expected.assignments[1] = 4;
    expected.assignments[2] = 5;
    EXPECT_EQ(bytesOf(expected), readPadFile());
}

// Device messages, one during the first enumeration or a storm of them,
// rebuild the list once after they end, and capture goes on.
TEST_F(GamepadWindow, DeviceMessagesRebuildTheListOnceAfterThem)
{
    const struct {
        const char* name;
        bool duringFirstEnumeration;
        int messages;
    } cases[] = {{"one during the first enumeration", true, 0}, {"fifty at once", false, 50}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ScriptedGamepad::Installation one;
        writePadRecord(seededRecord());
        if (c.duringFirstEnumeration)
            ScriptedGamepad::interruptNextEnumeration();
        const std::uint32_t opening = c.duringFirstEnumeration ? 2 : 1;
        Player::Script script;
        script.then("opened", ScriptedGamepad::afterPolls(2))
            .then("listed", [=] { return ScriptedGamepad::enumerationCount() == opening; })
            .then("the messages",
                  [&] {
                      for (int i = 0; i < c.messages; ++i)
                          ScriptedGamepad::announceDeviceChange();
                      return true;
                  })
            .then("settled", ScriptedGamepad::afterPolls(10))
            .then("one listed", listShows(1))
            .then("still capturing", ScriptedGamepad::pressing(9))
            .then("row 0 takes it", rowShows(0, 9))
            .then("close", leaving())
            .then("leave", answer(IDD_MESSAGE_YESNO, IDYES));
        EXPECT_EQ(IDCANCEL, run(script));
        EXPECT_EQ(2u, ScriptedGamepad::enumerationCount());
    }
}
