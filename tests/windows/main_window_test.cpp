// The main window driven as a player would: the language shown, live
// relabelling, and what leaving it writes to config.lng.
#include "app/main_window_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <string>
#include <vector>

#include "foundation/replace_file_win32.h"
#include "resources/resource.h"
#include "shell/app_state_win32.h"
#include "shell/text_table_win32.h"
#include "support/app_fixture.h"
#include "support/dialog_driver.h"
#include "support/scripted_gamepad.h"
#include "support/general_window_driver.h"

namespace {

using Bytes = std::vector<unsigned char>;

constexpr int MainControls[] = {IDC_MAIN_LANGUAGE_LABEL, IDC_MAIN_GENERAL, IDC_MAIN_GAMEPAD,
                                IDC_MAIN_SYSTEM_INFORMATION, IDOK};

std::optional<Bytes> readFile(const std::wstring& path)
{
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    Bytes bytes(64);
    DWORD got = 0;
    const BOOL read = ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(file);
    if (!read)
        return std::nullopt;
    bytes.resize(got);
    return bytes;
}

void writeFile(const std::wstring& path, const Bytes& bytes)
{
    const HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_EQ(bytes.size(), written);
}

// config.lng holding `language` in its low byte and 0xAB, 0x00, 0x5C above it.
Bytes languageFile(std::uint8_t language)
{
    return {0x23, 0x04, 0x09, 0x20, language, 0xAB, 0x00, 0x5C};
}

HWND mainWindow()
{
    return Player::activeDialogWithControl(IDC_MAIN_LANGUAGE);
}

enum class Question { YesNo, Ok, YesNoCancel };

// The message dialog of this kind, when it is the one in front.
HWND messageDialog(Question kind)
{
    const HWND dialog = Player::activeDialogWithControl(IDC_MESSAGE_TEXT);
    if (!dialog)
        return nullptr;
    const bool yes = GetDlgItem(dialog, IDYES) != nullptr;
    const bool cancel = GetDlgItem(dialog, IDCANCEL) != nullptr;
    const Question found = !yes ? Question::Ok : cancel ? Question::YesNoCancel : Question::YesNo;
    return found == kind ? dialog : nullptr;
}

int selectedLanguage(HWND window)
{
    return static_cast<int>(SendDlgItemMessageW(window, IDC_MAIN_LANGUAGE, CB_GETCURSEL, 0, 0));
}

std::wstring comboEntry(HWND window, int index)
{
    wchar_t text[64] = {};
    if (SendDlgItemMessageW(window, IDC_MAIN_LANGUAGE, CB_GETLBTEXTLEN, index, 0) < 64)
        SendDlgItemMessageW(window, IDC_MAIN_LANGUAGE, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    return text;
}

// What the window shows: caption, label, buttons and the four entries.
std::vector<std::wstring> labelsOf(HWND window)
{
    std::vector<std::wstring> labels{Player::windowText(window)};
    for (const int id : MainControls)
        labels.push_back(Player::controlText(window, id));
    for (int index = 0; index < LanguageCount; ++index)
        labels.push_back(comboEntry(window, index));
    return labels;
}

// The same labels as a player of `language` reads them.
std::vector<std::wstring> expectedLabels(std::uint8_t language)
{
    static const std::vector<std::wstring> words[LanguageCount] = {
        {L"ORVANTE コンフィグ", L"言語", L"一般設定", L"ゲームパッド", L"システム情報", L"OK"},
        {L"ORVANTE Config", L"Language", L"General", L"Gamepad", L"System Information", L"OK"},
        {L"ORVANTE-Konfiguration", L"Sprache", L"Allgemein", L"Gamepad", L"Systeminformationen", L"OK"},
        {L"Configuration ORVANTE", L"Langue", L"Général", L"Manette", L"Informations système", L"OK"},
    };
    std::vector<std::wstring> labels = words[language];
    if (IsLatestVariant())
        labels[0] += L" LATEST";
    // The language names read the same in every language.
    for (const wchar_t* name : {L"日本語", L"English", L"Deutsch", L"Français"})
        labels.emplace_back(name);
    return labels;
}

class MainWindow : public testing::Test {
protected:
    void SetUp() override
    {
        initializeApplicationOnce();
        path_ = settingsFile(L"config.lng");
        original_ = readFile(path_);
    }

    // The next run starts as the program would with this config.lng (none
    // when `bytes` is empty).
    void startWith(const Bytes& bytes)
    {
        DeleteFileW(path_.c_str());
        if (!bytes.empty())
            writeFile(path_, bytes);
        LoadLanguageSettings();
    }

    void TearDown() override
    {
        RemoveDirectoryW(temporaryPathFor(path_.c_str()).c_str());
        RemoveDirectoryW(path_.c_str());
        if (original_)
            writeFile(path_, *original_);
        else
            DeleteFileW(path_.c_str());
        LoadLanguageSettings();
        LoadStringTable(LanguageIndex());
    }

    // Runs the main window with the player's steps; true when every step ran
    // and the window ended by itself.
    bool play(Player::Script& script, DWORD deadline = 20000)
    {
        result_ = script.run([] { return runMainWindow(); }, deadline);
        EXPECT_FALSE(script.timedOut()) << "stuck at: " << script.pendingStep();
        EXPECT_TRUE(script.finished()) << "stuck at: " << script.pendingStep();
        EXPECT_EQ(IDOK, result_);
        return script.finished() && !script.timedOut();
    }

    std::optional<Bytes> fileNow() const { return readFile(path_); }

    std::wstring path_;
    std::optional<Bytes> original_;
    INT_PTR result_ = 0;
};

// A step that waits for the main window and acts on it.
template <typename Action> std::function<bool()> onMain(Action action)
{
    return [action] {
        const HWND window = mainWindow();
        if (!window)
            return false;
        action(window);
        return true;
    };
}

// A step that waits for the message dialog of `kind` and acts on it.
template <typename Action> std::function<bool()> onQuestion(Question kind, Action action)
{
    return [kind, action] {
        const HWND dialog = messageDialog(kind);
        if (!dialog)
            return false;
        action(dialog);
        return true;
    };
}

auto press(int id)
{
    return [id](HWND window) { Player::click(window, id); };
}

auto chooseLanguage(int index)
{
    return [index](HWND window) { Player::chooseComboEntry(window, IDC_MAIN_LANGUAGE, index); };
}

// The window left open after a question: it is back in front, enabled, with
// `language` still chosen.
auto stillOpenWith(int language)
{
    return [language](HWND window) {
        EXPECT_TRUE(IsWindowVisible(window));
        EXPECT_EQ(language, selectedLanguage(window));
        EXPECT_EQ(language, LanguageIndex());
    };
}

} // namespace

TEST_F(MainWindow, ShowsTheLanguageOfConfigLngAndLeavesWithoutAskingWhenUnchanged)
{
    for (std::uint8_t language = 0; language < LanguageCount; ++language) {
        SCOPED_TRACE(language);
        startWith(languageFile(language));
        const auto expected = expectedLabels(language);
        Player::Script script;
        script.then("check the labels and leave", onMain([&](HWND window) {
                        EXPECT_EQ(language, selectedLanguage(window));
                        EXPECT_EQ(expected, labelsOf(window));
                        if (language % 2 == 0)
                            Player::click(window, IDOK);
                        else
                            Player::closeBox(window);
                    }));
        // A question would be left unanswered and end the run by the watchdog.
        play(script, 5000);
        EXPECT_EQ(languageFile(language), fileNow());
    }
}

TEST_F(MainWindow, EnglishLabelsReadAsThePlayerExpects)
{
    startWith(languageFile(English));
    Player::Script script;
    script.then("read the labels", onMain([](HWND window) {
                    const std::vector<std::wstring> expected{
                        L"ORVANTE Config", L"Language", L"General", L"Gamepad", L"System Information", L"OK",
                        L"日本語",         L"English",  L"Deutsch", L"Français"};
                    EXPECT_EQ(expected, labelsOf(window));
                    Player::click(window, IDOK);
                }));
    play(script, 5000);
}

TEST_F(MainWindow, ChangingTheLanguageRelabelsEverythingAtOnce)
{
    startWith(languageFile(German));
    const auto english = expectedLabels(English);
    const auto french = expectedLabels(French);
    Player::Script script;
    script.then("choose English", onMain(chooseLanguage(English)))
        .then("labels are English", onMain([&](HWND window) {
                  EXPECT_EQ(english, labelsOf(window));
                  EXPECT_EQ(English, selectedLanguage(window));
              }))
        .then("choose French", onMain(chooseLanguage(French)))
        .then("labels are French", onMain([&](HWND window) {
                  EXPECT_EQ(french, labelsOf(window));
                  EXPECT_EQ(French, selectedLanguage(window));
              }))
        .then("leave by the close box", onMain(Player::closeBox))
        .then("yes, leave without saving", onQuestion(Question::YesNo, press(IDYES)));
    play(script);
    EXPECT_EQ(languageFile(German), fileNow());
}

TEST_F(MainWindow, SavingANewLanguageKeepsTheUpperBytesOfTheLanguageWord)
{
    startWith(languageFile(German));
    Player::Script script;
    script.then("choose English", onMain(chooseLanguage(English)))
        .then("press OK", onMain(press(IDOK)))
        .then("yes, save", onQuestion(Question::YesNoCancel, [](HWND dialog) {
                  EXPECT_EQ(L"Save these settings?", Player::controlText(dialog, IDC_MESSAGE_TEXT));
                  EXPECT_EQ(L"Accept", Player::windowText(dialog));
                  Player::click(dialog, IDYES);
              }));
    play(script);
    EXPECT_EQ(languageFile(English), fileNow());
}

TEST_F(MainWindow, FirstRunAsksAndYesWritesExactlyEightBytes)
{
    startWith({});
    const std::uint8_t language = LanguageIndex();
    Player::Script script;
    script.then("press OK at once", onMain(press(IDOK)))
        .then("yes, save", onQuestion(Question::YesNoCancel, press(IDYES)));
    play(script);
    EXPECT_EQ((Bytes{0x23, 0x04, 0x09, 0x20, language, 0, 0, 0}), fileNow());
}

TEST_F(MainWindow, LeavingAsksInTheNewLanguageAndStaysOrLeavesAsAnswered)
{
    startWith(languageFile(English));
    Player::Script script;
    script.then("choose French", onMain(chooseLanguage(French)))
        .then("close box", onMain(Player::closeBox))
        .then("no, stay", onQuestion(Question::YesNo,
                                     [](HWND dialog) {
                                         EXPECT_EQ(L"Quitter sans enregistrer les modifications\u00A0?",
                                                   Player::controlText(dialog, IDC_MESSAGE_TEXT));
                                         Player::click(dialog, IDNO);
                                     }))
        .then("still open in French", onMain(stillOpenWith(French)))
        .then("press OK", onMain(press(IDOK)))
        .then("cancel", onQuestion(Question::YesNoCancel, press(IDCANCEL)))
        .then("still open", onMain(stillOpenWith(French)))
        .then("press OK again", onMain(press(IDOK)))
        .then("no, leave without saving", onQuestion(Question::YesNoCancel, press(IDNO)));
    play(script);
    EXPECT_EQ(languageFile(English), fileNow());
}

TEST_F(MainWindow, ChoosingTheOriginalLanguageAgainClosesWithoutAQuestion)
{
    startWith(languageFile(German));
    Player::Script script;
    script.then("choose English", onMain(chooseLanguage(English)))
        .then("choose German again", onMain(chooseLanguage(German)))
        .then("press OK", onMain(press(IDOK)));
    play(script, 5000);
    EXPECT_EQ(languageFile(German), fileNow());
}

TEST_F(MainWindow, AFailedSaveShowsAnErrorKeepsTheWindowAndTheOldFile)
{
    startWith(languageFile(German));
    // The save goes through a temporary file beside config.lng; a folder of
    // that name makes it fail.
    ASSERT_TRUE(CreateDirectoryW(temporaryPathFor(path_.c_str()).c_str(), nullptr));
    Player::Script script;
    script.then("choose English", onMain(chooseLanguage(English)))
        .then("press OK", onMain(press(IDOK)))
        .then("yes, save", onQuestion(Question::YesNoCancel, press(IDYES)))
        .then("the error", onQuestion(Question::Ok,
                                      [](HWND dialog) {
                                          EXPECT_EQ(L"Error", Player::windowText(dialog));
                                          EXPECT_EQ(L"The settings could not be saved.",
                                                    Player::controlText(dialog, IDC_MESSAGE_TEXT));
                                          Player::click(dialog, IDOK);
                                      }))
        .then("still open, nothing written", onMain([this](HWND window) {
                  stillOpenWith(English)(window);
                  EXPECT_EQ(languageFile(German), fileNow());
                  RemoveDirectoryW(temporaryPathFor(path_.c_str()).c_str());
                  Player::click(window, IDOK);
              }))
        .then("yes, save now that it can", onQuestion(Question::YesNoCancel, press(IDYES)));
    play(script);
    EXPECT_EQ(languageFile(English), fileNow());
}

TEST_F(MainWindow, AConfigLngThatCannotBeCreatedIsReported)
{
    startWith({});
    ASSERT_TRUE(CreateDirectoryW(path_.c_str(), nullptr));
    Player::Script script;
    script.then("press OK", onMain(press(IDOK)))
        .then("yes, save", onQuestion(Question::YesNoCancel, press(IDYES)))
        .then("the error", onQuestion(Question::Ok, press(IDOK)))
        .then("still open", onMain([](HWND window) { EXPECT_TRUE(IsWindowVisible(window)); }))
        .then("leave without saving", onMain(Player::closeBox))
        .then("yes, leave", onQuestion(Question::YesNo, press(IDYES)));
    play(script);
    EXPECT_TRUE(RemoveDirectoryW(path_.c_str()));
}

namespace {

// The colours of a column of the client area, 2 pixels in from the left edge,
// where no control stands.
std::vector<COLORREF> leftMargin(HWND window, int top, int bottom)
{
    std::vector<COLORREF> colours;
    const HDC dc = GetDC(window);
    for (int y = top; y < bottom; y += 3)
        colours.push_back(GetPixel(dc, 2, y));
    ReleaseDC(window, dc);
    return colours;
}

COLORREF pictureCorner(int bitmap, bool bottomRight)
{
    const auto picture = static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(bitmap),
                                                         IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    BITMAP info{};
    GetObjectW(picture, sizeof info, &info);
    const HDC memory = CreateCompatibleDC(nullptr);
    const HGDIOBJ previous = SelectObject(memory, picture);
    const COLORREF colour =
        bottomRight ? GetPixel(memory, info.bmWidth - 1, info.bmHeight - 1) : GetPixel(memory, 0, 0);
    SelectObject(memory, previous);
    DeleteDC(memory);
    DeleteObject(picture);
    return colour;
}

} // namespace

TEST_F(MainWindow, BackgroundMeetsTheBottomRightCornerAndStaysPutWhenPartlyRepainted)
{
    startWith(languageFile(English));
    Player::Script script;
    script.then("look at the painted window", onMain([](HWND window) {
                    UpdateWindow(window);
                    RECT client{};
                    GetClientRect(window, &client);
                    const HDC dc = GetDC(window);
                    // Compared as the display shows the picture's colours, at
                    // the banner's place for the display's scale.
                    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
                    EXPECT_EQ(GetNearestColor(dc, pictureCorner(IDB_MAIN_BACKGROUND, true)),
                              GetPixel(dc, client.right - 1, client.bottom - 1));
                    EXPECT_EQ(GetNearestColor(dc, pictureCorner(IDB_MAIN_BANNER, false)),
                              GetPixel(dc, MulDiv(12, dpi, 96), MulDiv(8, dpi, 96)));
                    ReleaseDC(window, dc);

                    // A repaint of a strip that does not reach the bottom-right
                    // corner shows the same picture there as before.
                    const auto before = leftMargin(window, 110, 300);
                    RECT strip = {0, 110, 8, 300};
                    InvalidateRect(window, &strip, FALSE);
                    UpdateWindow(window);
                    EXPECT_EQ(before, leftMargin(window, 110, 300));
                    Player::click(window, IDOK);
                }));
    play(script, 5000);
}

namespace {

// Which of the tool's windows a dialog is, told by the controls only it has
// (the general and the system information windows share the tab control's id).
std::wstring windowKind(HWND dialog)
{
    if (GetDlgItem(dialog, IDC_SYSINFO_COPY))
        return L"system information";
    if (GetDlgItem(dialog, IDC_GENERAL_TABS))
        return L"general settings";
    if (GetDlgItem(dialog, IDC_GAMEPAD_TEST) && GetDlgItem(dialog, IDC_GAMEPAD_DEVICE))
        return L"gamepad settings";
    if (GetDlgItem(dialog, IDC_MESSAGE_TEXT))
        return L"message";
    return L"unknown";
}

// Ends whatever window a main-window button opened, as a player would: the
// close box, or "Yes, leave without saving" when asked. True once the main
// window is back. `opened` lists the windows (not the questions they ask) that
// came to the front while the main window was hidden, and "main shown" if it
// was visible meanwhile.
bool leaveSubWindow(std::vector<std::wstring>& opened, HWND main)
{
    const HWND front = Player::activeDialog();
    if (front == main && IsWindowVisible(main))
        return true;
    if (front && front != main) {
        const std::wstring kind = IsWindowVisible(main) ? L"main shown" : windowKind(front);
        if (kind != L"message" && (opened.empty() || opened.back() != kind))
            opened.push_back(kind);
        const bool exitQuestion =
            GetDlgItem(front, IDC_MESSAGE_TEXT) && GetDlgItem(front, IDYES) && !GetDlgItem(front, IDCANCEL);
        if (exitQuestion)
            Player::click(front, IDYES);
        else
            Player::closeBox(front);
    }
    return false;
}

} // namespace

TEST_F(MainWindow, EachButtonOpensItsOwnWindowWhileTheMainWindowIsHidden)
{
    startWith(languageFile(English));
    // A controller is attached, so the gamepad button opens the window rather
    // than "Gamepad not detected.".
    ScriptedGamepad::Installation pad;
    const std::pair<int, const wchar_t*> buttons[] = {
        {IDC_MAIN_GENERAL, L"general settings"},
        {IDC_MAIN_GAMEPAD, L"gamepad settings"},
        {IDC_MAIN_SYSTEM_INFORMATION, L"system information"},
    };
    for (const auto& [button, kind] : buttons) {
        SCOPED_TRACE(button);
        HWND main = nullptr;
        std::vector<std::wstring> opened;
        Player::Script script;
        script
            .then("press the button", onMain([&](HWND window) {
                      main = window;
                      Player::click(window, button);
                  }))
            .then("leave the window it opened", [&] { return leaveSubWindow(opened, main); })
            .then("the main window is back and still answers", onMain([&](HWND window) {
                      EXPECT_EQ(main, window);
                      Player::escape(window);
                  }))
            .then("escape did not close it", onMain(press(IDOK)));
        play(script);
        EXPECT_EQ(std::vector<std::wstring>{kind}, opened);
    }
    EXPECT_EQ(languageFile(English), fileNow());
}

namespace {

BOOL CALLBACK countGeneralWindow(HWND window, LPARAM count)
{
    if (IsWindowVisible(window) && GetDlgItem(window, IDC_GENERAL_TABS))
        ++*reinterpret_cast<int*>(count);
    return TRUE;
}

int generalWindowsOpen()
{
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), countGeneralWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

} // namespace

TEST_F(MainWindow, AClickQueuedWhileAWindowOpensOpensNothingTwice)
{
    startWith(languageFile(English));
    int quietTicks = 0;
    Player::Script script;
    script
        .then("click General twice before it opens", onMain([](HWND window) {
                  Player::click(window, IDC_MAIN_GENERAL);
                  Player::click(window, IDC_MAIN_GENERAL);
              }))
        .then("one general window",
              [] {
                  if (generalWindowsOpen() == 0 || !GeneralWindow::window())
                      return false;
                  Player::pumpUntilIdle();
                  EXPECT_EQ(1, generalWindowsOpen());
                  Player::click(GeneralWindow::window(), IDCANCEL);
                  return true;
              })
        .then("back on the main window, and no second window follows",
              [&] {
                  EXPECT_EQ(0, generalWindowsOpen());
                  return mainWindow() && ++quietTicks == 5;
              })
        .then("leave", onMain(press(IDOK)));
    play(script);
}
