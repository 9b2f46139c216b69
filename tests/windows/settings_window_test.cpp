// The general settings window driven as a player would: what it asks, how it
// ends, and what config.sys holds afterwards.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "foundation/replace_file_win32.h"
#include "resources/resource.h"
#include "support/app_fixture.h"
#include "shell/language_settings.h"
#include "support/general_window_driver.h"

using namespace GeneralWindow;
using namespace MessageTexts;

namespace {

class GeneralSettingsWindow : public testing::Test {
protected:
    void SetUp() override
    {
        initializeApplicationOnce();
        clean();
    }
    void TearDown() override { clean(); }

    ScopedLanguage language_{English};

    static std::wstring temporaryPath() { return temporaryPathFor(configPath().c_str()); }
    static void clean()
    {
        removeSettingsFile(L"config.sys");
        DeleteFileW(temporaryPath().c_str());
        RemoveDirectoryW(temporaryPath().c_str());
    }
};

void press(Session& session, int button, const char* name)
{
    session.act(name, [button](HWND window) { Player::click(window, button); });
}

// Edits on every page; `expected` receives the same edits.
void editEveryPage(Session& session, GeneralSettings& expected)
{
    session
        .act("network: do not use UPnP, port 55551",
             [](HWND window) {
                 Player::chooseComboEntry(page(window, Network), IDC_NETWORK_UPNP, 2);
                 typeText(page(window, Network), IDC_NETWORK_PORT, L"55551");
             })
        .act("video: 1920x1080, half buffer, highest shadows, lowest projection shadows",
             [](HWND window) {
                 chooseTab(window, Video);
                 const HWND video = page(window, Video);
                 Player::chooseComboEntry(video, IDC_VIDEO_WINDOW_SIZE, 1);
                 Player::chooseComboEntry(video, IDC_VIDEO_BUFFER_SIZE, 2);
                 Player::chooseComboEntry(video, IDC_VIDEO_SHADOW_DETAIL, 4);
                 Player::chooseComboEntry(video, IDC_VIDEO_PROJECTION_SHADOW_DETAIL, 0);
             })
        .act("graphics: ambient occlusion on",
             [](HWND window) {
                 chooseTab(window, Effects);
                 toggle(page(window, Effects), IDC_EFFECTS_AMBIENT_OCCLUSION);
             })
        .act("sound: disable the sound device", [](HWND window) {
            chooseTab(window, Sound);
            toggle(page(window, Sound), IDC_SOUND_DISABLE_DEVICE);
        });
    expected.upnpMode = 2;
    expected.port = 55551;
    expected.width = 1920;
    expected.height = 1080;
    expected.displayMode = 0;
    expected.bufferSize = 2;
    expected.shadowDetail = 4;
    expected.projectionShadowDetail = 0;
    expected.ambientOcclusion = 1;
    expected.soundDisabled = 1;
}

} // namespace

TEST_F(GeneralSettingsWindow, OkWithoutChangesClosesWithoutAQuestionAndWritesNothing)
{
    GeneralSettings stored = seededRecord();
    stored.upnpMode = 1;
    stored.port = 55300;
    stored.bufferSize = 3;
    stored.shadowDetail = 4;
    stored.projectionShadowDetail = 0;
    stored.ambientOcclusion = 1;
    stored.soundDisabled = 1;
    for (const bool seeded : {false, true}) {
        SCOPED_TRACE(seeded ? "stored settings" : "no config.sys");
        clean();
        if (seeded)
            writeConfig(bytesOf(stored));
        const auto before = readConfig();
        Session session;
        press(session, IDOK, "OK");
        EXPECT_EQ(IDOK, session.run());
        EXPECT_TRUE(session.shown.empty());
        EXPECT_EQ(seeded, configExists());
        EXPECT_EQ(before, readConfig());
    }
}

TEST_F(GeneralSettingsWindow, SavingWritesEveryPagesEditsAndKeepsReservedBytes)
{
    const GeneralSettings stored = seededRecord();
    const struct {
        const char* name;
        int answer;
        bool saved;
    } cases[] = {{"Yes saves", IDYES, true}, {"No leaves the file", IDNO, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeConfig(bytesOf(stored));
        GeneralSettings expected = stored;
        Session session;
        editEveryPage(session, expected);
        press(session, IDOK, "OK");
        session.answer(IDD_MESSAGE_YESNOCANCEL, SaveQuestion, c.answer);
        EXPECT_EQ(IDOK, session.run());
        EXPECT_EQ(bytesOf(c.saved ? expected : stored), readConfig());
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(temporaryPath().c_str()))
            << "temporary file left";
    }
}

TEST_F(GeneralSettingsWindow, SavingReplacesALongerFileWithExactly256Bytes)
{
    auto longer = bytesOf(seededRecord());
    longer.resize(300, 0x5A);
    writeConfig(longer);
    GeneralSettings expected = seededRecord();
    expected.soundDisabled = 1;
    Session session;
    session.act("sound: disable the sound device", [](HWND window) {
        chooseTab(window, Sound);
        toggle(page(window, Sound), IDC_SOUND_DISABLE_DEVICE);
    });
    press(session, IDOK, "OK");
    session.answer(IDD_MESSAGE_YESNOCANCEL, SaveQuestion, IDYES);
    EXPECT_EQ(IDOK, session.run());
    EXPECT_EQ(bytesOf(expected), readConfig());
}

TEST_F(GeneralSettingsWindow, CancellingTheSaveQuestionKeepsEveryEdit)
{
    GeneralSettings expected = defaultGeneralSettings();
    Session session;
    editEveryPage(session, expected);
    press(session, IDOK, "OK");
    session.answer(IDD_MESSAGE_YESNOCANCEL, SaveQuestion, IDCANCEL)
        .act("every page still shows its edit", [](HWND window) {
            EXPECT_EQ(Sound, visiblePage(window));
            EXPECT_EQ(2, listSelection(page(window, Network), IDC_NETWORK_UPNP));
            EXPECT_EQ(L"55551", Player::controlText(page(window, Network), IDC_NETWORK_PORT));
            EXPECT_EQ(1, listSelection(page(window, Video), IDC_VIDEO_WINDOW_SIZE));
            EXPECT_EQ(0, listSelection(page(window, Video), IDC_VIDEO_PROJECTION_SHADOW_DETAIL));
            EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(page(window, Effects), IDC_EFFECTS_AMBIENT_OCCLUSION));
            EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(page(window, Sound), IDC_SOUND_DISABLE_DEVICE));
        });
    press(session, IDOK, "OK again");
    session.answer(IDD_MESSAGE_YESNOCANCEL, SaveQuestion, IDYES);
    EXPECT_EQ(IDOK, session.run());
    EXPECT_EQ(bytesOf(expected), readConfig());
}

TEST_F(GeneralSettingsWindow, OkRefusesPortsOutsideTheGamesRange)
{
    const struct {
        const wchar_t* typed;
        bool accepted;
    } cases[] = {{L"55295", false},       {L"55552", false}, {L"", false},
                 {L"99999999999", false}, {L"55296", true},  {L"55551", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.typed)));
        clean();
        Session session;
        session.act("type the port",
                    [&c](HWND window) { typeText(page(window, Network), IDC_NETWORK_PORT, c.typed); });
        press(session, IDOK, "OK");
        if (c.accepted) {
            // 55296 is the default, so only 55551 is a change to save.
            const bool changed = std::wstring(c.typed) != L"55296";
            if (changed)
                session.answer(IDD_MESSAGE_YESNOCANCEL, SaveQuestion, IDYES);
            EXPECT_EQ(IDOK, session.run());
            EXPECT_EQ(changed, configExists());
            if (changed) {
                EXPECT_EQ(55551u, savedSettings().port);
            }
            continue;
        }
        session.answer(IDD_MESSAGE_OK, InvalidPort, IDOK)
            .act("the window stays on the network page",
                 [](HWND window) { EXPECT_EQ(Network, visiblePage(window)); });
        press(session, IDCANCEL, "Cancel");
        session.answer(IDD_MESSAGE_YESNO, DiscardQuestion, IDYES);
        EXPECT_EQ(IDCANCEL, session.run());
        EXPECT_EQ((std::vector<int>{IDD_MESSAGE_OK, IDD_MESSAGE_YESNO}), session.shown);
        EXPECT_FALSE(configExists());
    }
}

TEST_F(GeneralSettingsWindow, CancelWithAnInvalidPortOnlyAsksToDiscard)
{
    Session session;
    session.act("type an invalid port",
                [](HWND window) { typeText(page(window, Network), IDC_NETWORK_PORT, L"1"); });
    press(session, IDCANCEL, "Cancel");
    session.answer(IDD_MESSAGE_YESNO, DiscardQuestion, IDYES);
    EXPECT_EQ(IDCANCEL, session.run());
    EXPECT_EQ(std::vector<int>{IDD_MESSAGE_YESNO}, session.shown);
    EXPECT_FALSE(configExists());
}

// Cancel, the close box and Escape each ask before discarding; No stays on
// the page with the edit.
TEST_F(GeneralSettingsWindow, LeavingWithChangesAsksBeforeDiscarding)
{
    const auto stays = [](Page shown, int control) {
        return [shown, control](HWND window) {
            EXPECT_EQ(shown, visiblePage(window));
            EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(page(window, shown), control));
        };
    };
    Session session;
    session.act("flip a graphics switch", [](HWND window) {
        chooseTab(window, Effects);
        toggle(page(window, Effects), IDC_EFFECTS_DEPTH_OF_FIELD);
    });
    press(session, IDCANCEL, "Cancel");
    session.answer(IDD_MESSAGE_YESNO, DiscardQuestion, IDNO)
        .act("still open", stays(Effects, IDC_EFFECTS_DEPTH_OF_FIELD))
        .act("flip a sound switch and use the close box",
             [](HWND window) {
                 chooseTab(window, Sound);
                 toggle(page(window, Sound), IDC_SOUND_DISABLE_DEVICE);
                 Player::closeBox(window);
             })
        .answer(IDD_MESSAGE_YESNO, DiscardQuestion, IDNO)
        .act("still open", stays(Sound, IDC_SOUND_DISABLE_DEVICE))
        .act("Escape", Player::escape)
        .answer(IDD_MESSAGE_YESNO, DiscardQuestion, IDYES);
    EXPECT_EQ(IDCANCEL, session.run());
    EXPECT_EQ(std::vector<int>(3, IDD_MESSAGE_YESNO), session.shown);
    EXPECT_FALSE(configExists());
}

TEST_F(GeneralSettingsWindow, AFileHeldByAnotherProgramIsSavedWhenReleasedInTimeAndKeptOtherwise)
{
    const auto stored = bytesOf(seededRecord());
    for (const bool releasedInTime : {true, false}) {
        SCOPED_TRACE(releasedInTime ? "released within the window" : "held past it");
        writeConfig(stored);
        const HANDLE held =
            CreateFileW(configPath().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, held);
        std::thread releaser;
        Session session;
        session.act("graphics: ambient occlusion on", [](HWND window) {
            chooseTab(window, Effects);
            toggle(page(window, Effects), IDC_EFFECTS_AMBIENT_OCCLUSION);
        });
        session.act("OK, with the file released shortly", [&](HWND window) {
            if (releasedInTime)
                releaser = std::thread([held] {
                    Sleep(300);
                    CloseHandle(held);
                });
            Player::click(window, IDOK);
        });
        session.answer(IDD_MESSAGE_YESNOCANCEL, SaveQuestion, IDYES);
        if (!releasedInTime) {
            session.answer(IDD_MESSAGE_OK, NotSaved, IDOK).act("still open with the edit", [](HWND window) {
                EXPECT_EQ(BST_CHECKED,
                          IsDlgButtonChecked(page(window, Effects), IDC_EFFECTS_AMBIENT_OCCLUSION));
                Player::click(window, IDCANCEL);
            });
            session.answer(IDD_MESSAGE_YESNO, DiscardQuestion, IDYES);
        }
        EXPECT_EQ(releasedInTime ? IDOK : IDCANCEL, session.run());
        if (releaser.joinable())
            releaser.join();
        else
            CloseHandle(held);
        EXPECT_EQ(releasedInTime ? 1u : 0u, savedSettings().ambientOcclusion);
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(temporaryPath().c_str()));
        if (!releasedInTime) {
            EXPECT_EQ(stored, readConfig());
        }
    }
}

TEST_F(GeneralSettingsWindow, TabsShowOnePageAtATimeAndNeverChangeTheRecord)
{
    Session session;
    session.act("network shows first", [](HWND window) { EXPECT_EQ(Network, visiblePage(window)); });
    for (const Page which : {Video, Effects, Sound, Network, Sound}) {
        session.act("switch to tab " + std::to_string(which), [which](HWND window) {
            chooseTab(window, which);
            EXPECT_EQ(which, visiblePage(window));
        });
    }
    press(session, IDOK, "OK");
    EXPECT_EQ(IDOK, session.run());
    EXPECT_TRUE(session.shown.empty());
    EXPECT_FALSE(configExists());
}

TEST_F(GeneralSettingsWindow, PagesShowTheStoredSettingsAndSwitchesAreStoredAsOneOrZero)
{
    GeneralSettings stored = seededRecord();
    stored.upnpMode = 1;
    stored.port = 55300;
    stored.bufferSize = 3;
    stored.shadowDetail = 0;
    stored.projectionShadowDetail = 4;
    stored.ambientOcclusion = 5;
    stored.depthOfField = 0;
    stored.soundDisabled = 1;
    writeConfig(bytesOf(stored));
    Session session;
    session.act("every page shows the stored values", [](HWND window) {
        EXPECT_EQ(1, listSelection(page(window, Network), IDC_NETWORK_UPNP));
        EXPECT_EQ(L"55300", Player::controlText(page(window, Network), IDC_NETWORK_PORT));
        const HWND video = page(window, Video);
        EXPECT_EQ(3, listSelection(video, IDC_VIDEO_BUFFER_SIZE));
        EXPECT_EQ(0, listSelection(video, IDC_VIDEO_SHADOW_DETAIL));
        EXPECT_EQ(4, listSelection(video, IDC_VIDEO_PROJECTION_SHADOW_DETAIL));
        EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(page(window, Effects), IDC_EFFECTS_AMBIENT_OCCLUSION));
        EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(page(window, Effects), IDC_EFFECTS_DEPTH_OF_FIELD));
        EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(page(window, Sound), IDC_SOUND_DISABLE_DEVICE));
        Player::click(window, IDOK);
    });
    // Ambient occlusion 5 is collected as 1: a change worth saving.
    session.answer(IDD_MESSAGE_YESNOCANCEL, SaveQuestion, IDYES);
    EXPECT_EQ(IDOK, session.run());
    GeneralSettings expected = stored;
    expected.ambientOcclusion = 1;
    EXPECT_EQ(bytesOf(expected), readConfig());
}

TEST_F(GeneralSettingsWindow, PortFieldTakesDigitsOnly)
{
    Session session;
    session.act("type 55a3-00", [](HWND window) {
        const HWND field = GetDlgItem(page(window, Network), IDC_NETWORK_PORT);
        SetWindowTextW(field, L"");
        for (const wchar_t key : std::wstring(L"55a3-00"))
            SendMessageW(field, WM_CHAR, key, 1);
        EXPECT_EQ(L"55300", Player::windowText(field));
        Player::click(window, IDOK);
    });
    session.answer(IDD_MESSAGE_YESNOCANCEL, SaveQuestion, IDYES);
    EXPECT_EQ(IDOK, session.run());
    EXPECT_EQ(55300u, savedSettings().port);
}

namespace {

struct WindowTexts {
    const wchar_t* caption;
    std::vector<std::wstring> tabs;
    const wchar_t* ok;
    const wchar_t* cancel;
    const wchar_t* upnpLabel;
    const wchar_t* portLabel;
    std::vector<std::wstring> upnpChoices;
    const wchar_t* saveQuestion;
};

// What the window says, from its caption to the question OK asks.
void expectTexts(const WindowTexts& expected)
{
    Session session;
    session.act("read the window and change the port", [&expected](HWND window) {
        EXPECT_EQ(expected.caption, Player::windowText(window));
        EXPECT_EQ(expected.tabs, Player::tabTexts(window, IDC_GENERAL_TABS));
        EXPECT_EQ(expected.ok, Player::controlText(window, IDOK));
        EXPECT_EQ(expected.cancel, Player::controlText(window, IDCANCEL));
        const HWND network = page(window, Network);
        EXPECT_EQ(expected.upnpLabel, Player::controlText(network, IDC_NETWORK_UPNP_LABEL));
        EXPECT_EQ(expected.portLabel, Player::controlText(network, IDC_NETWORK_PORT_LABEL));
        EXPECT_EQ(expected.upnpChoices, listLines(network, IDC_NETWORK_UPNP));
        typeText(network, IDC_NETWORK_PORT, L"55300");
        Player::click(window, IDOK);
    });
    session.script.then("the save question", [&expected, &session] {
        const HWND box = Player::activeDialogWithControl(IDC_MESSAGE_TEXT);
        if (!box)
            return false;
        EXPECT_EQ(expected.saveQuestion, Player::controlText(box, IDC_MESSAGE_TEXT));
        session.shown.push_back(IDD_MESSAGE_YESNOCANCEL);
        Player::click(box, IDNO);
        return true;
    });
    EXPECT_EQ(IDOK, session.run());
    EXPECT_EQ(std::vector<int>{IDD_MESSAGE_YESNOCANCEL}, session.shown);
    EXPECT_FALSE(configExists());
}

} // namespace

TEST_F(GeneralSettingsWindow, EnglishTextsReadAsThePlayerExpects)
{
    expectTexts({L"ORVANTE General Settings",
                 {L"Network", L"Video Settings", L"Graphics", L"Sound"},
                 L"OK",
                 L"Cancel",
                 L"UPnP Port Mapping",
                 L"Port (55296 - 55551)",
                 {L"Automatic", L"Use", L"Do not use"},
                 L"Save these settings?"});

    Session session;
    session.act("read every page's labels and lists", [](HWND window) {
        const HWND video = page(window, Video);
        const std::pair<int, const wchar_t*> labels[] = {
            {IDC_VIDEO_DEVICE_LABEL, L"Devices"},
            {IDC_VIDEO_DISPLAY_MODE_LABEL, L"Display Mode"},
            {IDC_VIDEO_WINDOW_SIZE_LABEL, L"Window Size"},
            {IDC_VIDEO_MULTISAMPLE_LABEL, L"Multisampling"},
            {IDC_VIDEO_BUFFER_SIZE_LABEL, L"Buffer Size"},
            {IDC_VIDEO_SHADOW_DETAIL_LABEL, L"Shadow Detail"},
            {IDC_VIDEO_PROJECTION_SHADOW_DETAIL_LABEL, L"Projection Shadow Detail"},
        };
        for (const auto& [control, text] : labels)
            EXPECT_EQ(text, Player::controlText(video, control)) << control;
        const std::vector<std::wstring> levels{L"Lowest", L"Low", L"Standard", L"High", L"Highest"};
        EXPECT_EQ((std::vector<std::wstring>{L"Window Size", L"Double", L"Half", L"Quarter"}),
                  listLines(video, IDC_VIDEO_BUFFER_SIZE));
        EXPECT_EQ(levels, listLines(video, IDC_VIDEO_SHADOW_DETAIL));
        EXPECT_EQ(levels, listLines(video, IDC_VIDEO_PROJECTION_SHADOW_DETAIL));
        EXPECT_EQ(L"Ambient Occlusion",
                  Player::controlText(page(window, Effects), IDC_EFFECTS_AMBIENT_OCCLUSION));
        EXPECT_EQ(L"Depth of Field", Player::controlText(page(window, Effects), IDC_EFFECTS_DEPTH_OF_FIELD));
        EXPECT_EQ(L"Disable Sound Device",
                  Player::controlText(page(window, Sound), IDC_SOUND_DISABLE_DEVICE));
        Player::click(window, IDCANCEL);
    });
    EXPECT_EQ(IDCANCEL, session.run());
}

TEST_F(GeneralSettingsWindow, GermanTextsReadAsThePlayerExpects)
{
    language_.use(German);
    expectTexts({L"ORVANTE – Allgemeine Einstellungen",
                 {L"Netzwerk", L"Videoeinstellungen", L"Grafik", L"Audio"},
                 L"OK",
                 L"Abbrechen",
                 L"UPnP-Portweiterleitung",
                 L"Port (55296\u201355551)",
                 {L"Automatisch", L"Verwenden", L"Nicht verwenden"},
                 L"Diese Einstellungen speichern?"});
}
