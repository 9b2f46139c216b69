// The gamepad test window draws where the assigned inputs point, live.
#include "gamepad/gamepad_test_window_win32.h"
#include "gamepad/gamepad_window_win32.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "gamepad/pad_settings.h"
#include "resources/resource.h"
#include "shell/language_settings.h"
#include "support/app_fixture.h"
#include "support/dialog_driver.h"
#include "support/drawing_objects.h"
#include "support/pad_file.h"
#include "support/scripted_gamepad.h"

namespace {

const wchar_t PadFile[] = L"config.pad";

// Menu: up button 3, down button 4, left button 1, right button 2.
// Movement: up and left share button 6. Camera: the default axis halves.
PadSettings seededRecord()
{
    PadSettings record = recordForScriptedController();
    const std::uint8_t directions[8] = {2, 3, 0, 1, 5, 6, 5, 7};
    std::memcpy(record.assignments, directions, sizeof directions);
    return record;
}

HWND testWindow()
{
    return Player::activeDialogWithControl(IDC_PADTEST_MENU_PANEL);
}
HWND settingsWindow()
{
    return Player::activeDialogWithControl(IDC_GAMEPAD_DEVICE);
}

struct Point {
    int x, y;
};

// Where the red dot should stand in a panel for a deflection of -1, 0 or 1.
Point expectedDot(HWND panel, int x, int y)
{
    RECT client{};
    GetClientRect(panel, &client);
    const int hw = client.right / 2;
    const int hh = client.bottom / 2;
    return {hw + x * static_cast<int>(0.8f * static_cast<float>(hw)),
            hh + y * static_cast<int>(0.8f * static_cast<float>(hh))};
}

// Twice the centre of the red pixels' bounding box (twice, to keep halves),
// or nothing when the panel shows no red.
std::optional<Point> doubledDotCentre(HWND panel)
{
    RECT client{};
    GetClientRect(panel, &client);
    const HDC context = GetDC(panel);
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
    for (int y = 0; y < client.bottom; ++y) {
        for (int x = 0; x < client.right; ++x) {
            if (GetPixel(context, x, y) == RGB(255, 0, 0)) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    ReleaseDC(panel, context);
    if (left > right)
        return std::nullopt;
    return Point{left + right, top + bottom};
}

// The dot's box is 4 pixels wide: its centre lies half a pixel left of and
// above the point it is drawn for.
void expectDotAt(const std::optional<Point>& doubledCentre, Point point)
{
    ASSERT_TRUE(doubledCentre);
    EXPECT_NEAR(2 * point.x - 1, doubledCentre->x, 1);
    EXPECT_NEAR(2 * point.y - 1, doubledCentre->y, 1);
}

// Opens the test window from the settings window.
bool openTestWindow()
{
    const HWND window = settingsWindow();
    if (!window)
        return false;
    Player::click(window, IDC_GAMEPAD_TEST);
    return true;
}

// Presses the settings window's close box once the test window has gone.
bool closeSettingsWindowOnceBack()
{
    const HWND window = settingsWindow();
    if (!window || testWindow())
        return false;
    Player::closeBox(window);
    return true;
}

class GamepadTestWindow : public testing::Test {
protected:
    void SetUp() override
    {
        initializeApplicationOnce();
        writePadRecord(seededRecord());
    }
    void TearDown() override { removeSettingsFile(PadFile); }

    ScriptedGamepad::Installation pad;
};

struct PanelCase {
    const char* name;
    int control;
    int x, y; // the expected deflection: -1, 0 or 1
};

// Opens the test window from the settings window, sees every dot at its
// panel's centre, runs `hold`, and sees each dot where its case expects it.
void expectDots(void (*hold)(), const PanelCase (&panels)[3])
{
    std::optional<Point> atRest[3], seen[3];
    Point centre[3]{}, expected[3]{};
    const auto readPanels = [&panels](std::optional<Point>(&dots)[3], Point(&points)[3], bool resting) {
        for (int i = 0; i < 3; ++i) {
            const HWND panel = GetDlgItem(testWindow(), panels[i].control);
            dots[i] = doubledDotCentre(panel);
            points[i] = resting ? expectedDot(panel, 0, 0) : expectedDot(panel, panels[i].x, panels[i].y);
        }
    };
    Player::Script script;
    script.then("open the test window", openTestWindow)
        .then("drawn at rest", [] { return testWindow() != nullptr; })
        .then("a few frames", ScriptedGamepad::afterPolls(3))
        .then("read at rest, then hold",
              [&] {
                  readPanels(atRest, centre, true);
                  hold();
                  return true;
              })
        .then("a few more frames", ScriptedGamepad::afterPolls(3))
        .then("read the panels",
              [&] {
                  readPanels(seen, expected, false);
                  return true;
              })
        .then("close the test window",
              [] {
                  ScriptedGamepad::releaseAll();
                  ScriptedGamepad::setXInputState({});
                  Player::click(testWindow(), IDOK);
                  return true;
              })
        .then("back in the settings window",
              [] { return testWindow() == nullptr && settingsWindow() != nullptr; })
        .then("close", [] {
            Player::closeBox(settingsWindow());
            return true;
        });
    const INT_PTR result = script.run([] { return openGamepadSettings(nullptr); });
    EXPECT_FALSE(script.timedOut()) << script.pendingStep();
    EXPECT_EQ(IDCANCEL, result);

    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(panels[i].name);
        expectDotAt(atRest[i], centre[i]);
        expectDotAt(seen[i], expected[i]);
    }
}

} // namespace

// On a DirectInput controller with the seeded assignments, and on an XInput
// one with the defaults (D-pad and sticks).
TEST_F(GamepadTestWindow, TheDotsFollowTheAssignedInputs)
{
    struct Case {
        const char* name;
        ScriptedGamepad::Kind kind;
        PadSettings record;
        void (*hold)();
        PanelCase panels[3];
    };
    const Case cases[] = {
        {"DirectInput",
         ScriptedGamepad::Kind::DirectInput,
         seededRecord(),
         [] {
             for (unsigned button : {0u, 1u, 3u, 5u})
                 ScriptedGamepad::press(button);
             ScriptedGamepad::setAxis(4, ScriptedGamepad::AxisRange);
         },
         {{"menu: left and right together, and down", IDC_PADTEST_MENU_PANEL, 0, 1},
          {"movement: left and up share a button", IDC_PADTEST_MOVEMENT_PANEL, -1, -1},
          {"camera: an axis fully right", IDC_PADTEST_CAMERA_PANEL, 1, 0}}},
        {"XInput",
         ScriptedGamepad::Kind::XInput,
         recordForScriptedController(),
         [] {
             XInputPadState state{};
             state.buttons = XInputButton::DPadRight;
             state.thumbLY = 32767;
             state.thumbRX = -32768;
             state.thumbRY = -32768;
             ScriptedGamepad::setXInputState(state);
         },
         {{"menu: D-pad right", IDC_PADTEST_MENU_PANEL, 1, 0},
          {"movement: left stick up", IDC_PADTEST_MOVEMENT_PANEL, 0, -1},
          {"camera: right stick fully left and down", IDC_PADTEST_CAMERA_PANEL, -1, 1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ScriptedGamepad::Installation controller(1, c.kind);
        writePadRecord(c.record);
        expectDots(c.hold, c.panels);
    }
}

TEST_F(GamepadTestWindow, RedrawingKeepsNoDrawingObjects)
{
    DWORD early = 0;
    DWORD late = 0;
    Player::Script script;
    script.then("open the test window", openTestWindow)
        .then("shown", [] { return testWindow() != nullptr; })
        .then("settled", ScriptedGamepad::afterPolls(5))
        .then("count",
              [&] {
                  early = drawingObjectCount();
                  ScriptedGamepad::press(0);
                  return true;
              })
        .then("many frames", ScriptedGamepad::afterPolls(100))
        .then("count again and close",
              [&] {
                  late = drawingObjectCount();
                  ScriptedGamepad::releaseAll();
                  Player::click(testWindow(), IDOK);
                  return true;
              })
        .then("close", closeSettingsWindowOnceBack);
    script.run([] { return openGamepadSettings(nullptr); });
    EXPECT_FALSE(script.timedOut()) << script.pendingStep();
    EXPECT_GT(early, 0u);
    EXPECT_LE(late, early + 2) << early << " drawing objects before, " << late << " after";
}

// The texts in two languages; Escape is ignored, OK or the close box end it.
TEST(GamepadTestWindowAlone, TextsReadAsThePlayerExpectsAndEscapeIsIgnored)
{
    struct Case {
        std::uint8_t language;
        // Caption, the three panels' labels, OK; the German menu panel's
        // word is still being settled, so it is not compared.
        std::vector<const wchar_t*> texts;
        void (*leave)(HWND);
        INT_PTR result;
    };
    const Case cases[] = {
        {English,
         {L"Test Gamepad", L"Menus", L"Movement", L"Camera", L"OK"},
         [](HWND window) { Player::click(window, IDOK); },
         IDOK},
        {German, {L"Gamepad-Test", nullptr, L"Bewegung", L"Kamera", L"OK"}, Player::closeBox, IDCANCEL},
    };
    initializeApplicationOnce();
    ScopedLanguage language(English);
    for (const Case& c : cases) {
        SCOPED_TRACE(int{c.language});
        language.use(c.language);
        int ticks = 0;
        bool openAfterEscape = false;
        std::vector<std::wstring> shown;
        Player::Script script;
        script
            .then("read and press Escape",
                  [&] {
                      const HWND window = testWindow();
                      if (!window)
                          return false;
                      shown = {Player::windowText(window),
                               Player::controlText(window, IDC_PADTEST_MENU_LABEL),
                               Player::controlText(window, IDC_PADTEST_MOVEMENT_LABEL),
                               Player::controlText(window, IDC_PADTEST_CAMERA_LABEL),
                               Player::controlText(window, IDOK)};
                      Player::escape(window);
                      return true;
                  })
            .then("a few ticks later", [&] { return ++ticks > 5; })
            .then("leave", [&] {
                openAfterEscape = testWindow() != nullptr;
                c.leave(testWindow());
                return true;
            });
        EXPECT_EQ(c.result, script.run([] { return openGamepadTest(nullptr); }));
        EXPECT_FALSE(script.timedOut()) << script.pendingStep();
        EXPECT_TRUE(openAfterEscape);
        ASSERT_EQ(c.texts.size(), shown.size());
        for (std::size_t i = 0; i < shown.size(); ++i) {
            if (c.texts[i]) {
                EXPECT_EQ(c.texts[i], shown[i]) << i;
            }
        }
    }
}

TEST_F(GamepadTestWindow, KeepsDrawingWhileControllersArriveAndLeave)
{
    // Menu right is button 2 of the seeded record.
    std::optional<Point> afterArrival, afterLeaving;
    Point right{}, centre{};
    const auto readMenuDot = [&](std::optional<Point>& dot) {
        return [&] {
            const HWND panel = GetDlgItem(testWindow(), IDC_PADTEST_MENU_PANEL);
            dot = doubledDotCentre(panel);
            right = expectedDot(panel, 1, 0);
            centre = expectedDot(panel, 0, 0);
            return true;
        };
    };
    Player::Script script;
    script.then("open the test window", openTestWindow)
        .then("shown", [] { return testWindow() != nullptr; })
        .then("a second controller arrives", ScriptedGamepad::pluggingIn(1))
        .then("the list is rebuilt", [] { return ScriptedGamepad::enumerationCount() == 2; })
        .then("press right on the chosen one", ScriptedGamepad::pressing(1))
        .then("a few frames", ScriptedGamepad::afterPolls(6))
        .then("read the menu dot", readMenuDot(afterArrival))
        .then("the chosen one leaves", ScriptedGamepad::pullingOut({0}))
        .then("the list is rebuilt again", [] { return ScriptedGamepad::enumerationCount() == 3; })
        .then("a few more frames", ScriptedGamepad::afterPolls(6))
        .then("read the menu dot again", readMenuDot(afterLeaving))
        .then("close the test window",
              [] {
                  Player::click(testWindow(), IDOK);
                  return true;
              })
        .then("close", closeSettingsWindowOnceBack);
    const INT_PTR result = script.run([] { return openGamepadSettings(nullptr); });
    EXPECT_FALSE(script.timedOut()) << script.pendingStep();
    EXPECT_EQ(IDCANCEL, result);
    expectDotAt(afterArrival, right);
    // The other controller, now chosen, rests: the dot is back at the centre.
    expectDotAt(afterLeaving, centre);
}
