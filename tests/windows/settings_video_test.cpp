// The video page against the Direct3D 9 of the machine it runs on: it lists
// what Direct3D reports, and its lists follow the player's choices. What
// Direct3D reports is asked by the test program in a process of its own, as
// the tool asks it, so that no test process runs the graphics runtime beside
// its windows.
#include <d3d9.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include "foundation/probe_process_win32.h"
#include "foundation/system_library_win32.h"
#include "resources/resource.h"
#include "shell/language_settings.h"
#include "shell/display_adapters_win32.h"
#include "shell/text_table_win32.h"
#include "support/app_fixture.h"
#include "support/general_window_driver.h"
#include "support/test_probes.h"

using namespace GeneralWindow;

namespace {

struct ReportedAdapter {
    std::wstring name;
    std::vector<std::wstring> sizes; // as the page should list them
    std::vector<std::wstring> fullScreenSizes;
    std::vector<std::wstring> multisampleLines;
};

std::wstring sizeText(UINT width, UINT height)
{
    return std::to_wstring(width) + L"x" + std::to_wstring(height);
}

bool contains(const std::vector<std::wstring>& lines, const std::wstring& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

constexpr const wchar_t* Direct3DOracle = L"test-direct3d-adapters";

// Asks Direct3D 9 directly what the page should show.
std::vector<ReportedAdapter> askDirect3D()
{
    std::vector<ReportedAdapter> adapters;
    const HMODULE library = LoadSystemLibrary(L"d3d9.dll");
    if (!library)
        return adapters;
    using Create = IDirect3D9*(WINAPI*)(UINT);
    const auto create = LibraryEntry<Create>(library, "Direct3DCreate9");
    if (IDirect3D9* direct3D = create ? create(D3D_SDK_VERSION) : nullptr) {
        for (UINT a = 0; a < direct3D->GetAdapterCount(); ++a) {
            ReportedAdapter adapter;
            D3DADAPTER_IDENTIFIER9 identifier{};
            if (SUCCEEDED(direct3D->GetAdapterIdentifier(a, 0, &identifier)))
                adapter.name.assign(identifier.DeviceName,
                                    identifier.DeviceName + strnlen(identifier.DeviceName, 32));
            adapter.sizes = {L"1280x720", L"1920x1080"};
            for (UINT i = 0; i < direct3D->GetAdapterModeCount(a, D3DFMT_X8R8G8B8); ++i) {
                D3DDISPLAYMODE mode{};
                if (FAILED(direct3D->EnumAdapterModes(a, D3DFMT_X8R8G8B8, i, &mode)))
                    continue;
                const std::wstring size = sizeText(mode.Width, mode.Height);
                if (mode.Width >= 1024 && mode.Height >= 720 && !contains(adapter.sizes, size))
                    adapter.sizes.push_back(size);
                if (mode.Width >= 1024 && mode.Height >= 720 && !contains(adapter.fullScreenSizes, size))
                    adapter.fullScreenSizes.push_back(size);
            }
            const int types[] = {0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
            for (int level = 0; level < 16; ++level) {
                if (SUCCEEDED(direct3D->CheckDeviceMultiSampleType(
                        a, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, TRUE,
                        static_cast<D3DMULTISAMPLE_TYPE>(types[level]), nullptr)))
                    adapter.multisampleLines.push_back(std::to_wstring(level + 1) + L"Sample");
            }
            adapters.push_back(adapter);
        }
        direct3D->Release();
    }
    FreeLibrary(library);
    return adapters;
}

// One line per fact, tagged: A an adapter's name, S a size, F a full-screen
// size, M a multisampling line.
std::wstring linesOf(const std::vector<ReportedAdapter>& adapters)
{
    std::wstring text;
    auto add = [&text](wchar_t tag, const std::wstring& value) {
        text += std::wstring(1, tag) + value + L"\n";
    };
    for (const ReportedAdapter& adapter : adapters) {
        add(L'A', adapter.name);
        for (const std::wstring& size : adapter.sizes)
            add(L'S', size);
        for (const std::wstring& size : adapter.fullScreenSizes)
            add(L'F', size);
        for (const std::wstring& line : adapter.multisampleLines)
            add(L'M', line);
    }
    return text;
}

std::vector<ReportedAdapter> reportedAdapters()
{
    ProbeProcess oracle(Direct3DOracle);
    const auto record = oracle.nextRecord();
    EXPECT_TRUE(record) << "the test program's own Direct3D probe sent nothing";
    std::vector<ReportedAdapter> adapters;
    if (!record)
        return adapters;
    const std::wstring text(reinterpret_cast<const wchar_t*>(record->data()),
                            record->size() / sizeof(wchar_t));
    for (std::size_t start = 0, end; (end = text.find(L'\n', start)) != std::wstring::npos; start = end + 1) {
        const std::wstring value = text.substr(start + 1, end - start - 1);
        if (text[start] == L'A')
            adapters.push_back({value, {}, {}, {}});
        else if (!adapters.empty())
            (text[start] == L'S'   ? adapters.back().sizes
             : text[start] == L'F' ? adapters.back().fullScreenSizes
                                   : adapters.back().multisampleLines)
                .push_back(value);
    }
    return adapters;
}

std::string narrow(const std::vector<std::wstring>& lines)
{
    std::string text;
    for (const std::wstring& line : lines)
        text += (text.empty() ? "" : ", ") + std::string(line.begin(), line.end());
    return text;
}

class VideoPage : public testing::Test {
protected:
    void SetUp() override
    {
        initializeApplicationOnce();
        removeSettingsFile(L"config.sys");
        adapters = reportedAdapters();
        for (const ReportedAdapter& adapter : adapters) {
            std::cout << "Direct3D 9 adapter \"" << narrow({adapter.name}) << "\": sizes "
                      << narrow(adapter.sizes) << "; full screen " << narrow(adapter.fullScreenSizes)
                      << "; multisampling " << narrow(adapter.multisampleLines) << "\n";
        }
    }
    void TearDown() override { removeSettingsFile(L"config.sys"); }

    ScopedLanguage language_{English};
    std::vector<ReportedAdapter> adapters;
};

} // namespace

bool RunTestProbe()
{
    if (RequestedProbe() != Direct3DOracle)
        return false;
    const std::wstring lines = linesOf(askDirect3D());
    WriteProbeRecord({reinterpret_cast<const char*>(lines.data()), lines.size() * sizeof(wchar_t)});
    return true;
}

TEST_F(VideoPage, ListsTheAdaptersModesAndLevelsDirect3DReports)
{
    Session session;
    session.act("read the video page", [this](HWND window) {
        const HWND video = page(window, Video);
        // An adapter without a name is listed by its number.
        std::vector<std::wstring> names;
        for (std::size_t i = 0; i < adapters.size(); ++i)
            names.push_back(adapters[i].name.empty() ? std::to_wstring(i + 1) : adapters[i].name);
        EXPECT_EQ(names, listLines(video, IDC_VIDEO_DEVICE));
        if (adapters.empty()) {
            EXPECT_TRUE(listLines(video, IDC_VIDEO_WINDOW_SIZE).empty());
            EXPECT_EQ(std::vector<std::wstring>{L"Windowed"}, listLines(video, IDC_VIDEO_DISPLAY_MODE));
        } else {
            const ReportedAdapter& first = adapters.front();
            EXPECT_EQ(0, listSelection(video, IDC_VIDEO_DEVICE));
            EXPECT_EQ(first.sizes, listLines(video, IDC_VIDEO_WINDOW_SIZE));
            EXPECT_EQ(0, listSelection(video, IDC_VIDEO_WINDOW_SIZE));
            EXPECT_EQ(first.multisampleLines, listLines(video, IDC_VIDEO_MULTISAMPLE));
            // The defaults are 1280x720 windowed.
            std::vector<std::wstring> displayModes{L"Windowed"};
            if (contains(first.fullScreenSizes, L"1280x720"))
                displayModes.push_back(L"Full Screen");
            EXPECT_EQ(displayModes, listLines(video, IDC_VIDEO_DISPLAY_MODE));
            EXPECT_EQ(0, listSelection(video, IDC_VIDEO_DISPLAY_MODE));
        }
        EXPECT_EQ(4u, listLines(video, IDC_VIDEO_BUFFER_SIZE).size());
        EXPECT_EQ(5u, listLines(video, IDC_VIDEO_SHADOW_DETAIL).size());
        EXPECT_EQ(5u, listLines(video, IDC_VIDEO_PROJECTION_SHADOW_DETAIL).size());
        EXPECT_EQ(2, listSelection(video, IDC_VIDEO_SHADOW_DETAIL));
        EXPECT_EQ(2, listSelection(video, IDC_VIDEO_PROJECTION_SHADOW_DETAIL));
        Player::click(window, IDCANCEL);
    });
    EXPECT_EQ(IDCANCEL, session.run());
    EXPECT_TRUE(session.shown.empty());
}

TEST_F(VideoPage, FullScreenIsOfferedOnlyForSizesTheAdapterReports)
{
    if (adapters.empty())
        GTEST_SKIP() << "Direct3D 9 reports no adapter here";
    const ReportedAdapter& first = adapters.front();
    for (std::size_t i = 0; i < first.sizes.size(); ++i) {
        const std::wstring size = first.sizes[i];
        SCOPED_TRACE(std::string(size.begin(), size.end()));
        const bool fullScreen = contains(first.fullScreenSizes, size);
        Session session;
        session.act("choose the size", [i](HWND window) {
            chooseTab(window, Video);
            Player::chooseComboEntry(page(window, Video), IDC_VIDEO_WINDOW_SIZE, static_cast<int>(i));
        });
        session.act("display modes follow; choose the last", [&](HWND window) {
            const HWND video = page(window, Video);
            EXPECT_EQ(static_cast<int>(i), listSelection(video, IDC_VIDEO_WINDOW_SIZE));
            const auto modes = listLines(video, IDC_VIDEO_DISPLAY_MODE);
            EXPECT_EQ(fullScreen ? 2u : 1u, modes.size());
            EXPECT_EQ(0, listSelection(video, IDC_VIDEO_DISPLAY_MODE));
            Player::chooseComboEntry(video, IDC_VIDEO_DISPLAY_MODE, static_cast<int>(modes.size()) - 1);
        });
        session.act("OK", [](HWND window) { Player::click(window, IDOK); });
        const bool changed = i != 0 || fullScreen;
        if (changed)
            session.answer(IDD_MESSAGE_YESNOCANCEL, MessageTexts::SaveQuestion, IDYES);
        EXPECT_EQ(IDOK, session.run());
        if (!changed) {
            EXPECT_FALSE(configExists());
            continue;
        }
        const GeneralSettings settings = savedSettings();
        EXPECT_EQ(size, sizeText(settings.width, settings.height));
        EXPECT_EQ(fullScreen ? 1 : 0, settings.displayMode);
        removeSettingsFile(L"config.sys");
    }
}

TEST_F(VideoPage, AStoredSizeTheAdapterLacksShowsTheFirstSizeWindowed)
{
    GeneralSettings stored = defaultGeneralSettings();
    stored.width = 1000;
    stored.height = 700;
    stored.displayMode = 1;
    stored.adapter = 57;
    stored.multisampleLevel = 15;
    writeConfig(bytesOf(stored));
    Session session;
    session.act("the lists fall back", [this](HWND window) {
        const HWND video = page(window, Video);
        EXPECT_EQ(adapters.empty() ? -1 : 0, listSelection(video, IDC_VIDEO_DEVICE));
        EXPECT_EQ(adapters.empty() ? -1 : 0, listSelection(video, IDC_VIDEO_WINDOW_SIZE));
        EXPECT_EQ(0, listSelection(video, IDC_VIDEO_DISPLAY_MODE));
        EXPECT_EQ(1u, listLines(video, IDC_VIDEO_DISPLAY_MODE).size());
        Player::click(window, IDCANCEL);
    });
    // Collecting already wrote the fallbacks into the working record.
    if (!adapters.empty())
        session.answer(IDD_MESSAGE_YESNO, MessageTexts::DiscardQuestion, IDYES);
    EXPECT_EQ(IDCANCEL, session.run());
}

TEST_F(VideoPage, ChoosingAMultisamplingLineStoresItsLevel)
{
    if (adapters.empty() || adapters.front().multisampleLines.size() < 2)
        GTEST_SKIP() << "Direct3D 9 offers no multisampling here";
    const std::wstring last = adapters.front().multisampleLines.back();
    // A line shows the sample count, level + 1 (4Sample is level 3).
    const int samples = std::stoi(last);
    Session session;
    session.act("choose the last multisampling line", [this](HWND window) {
        chooseTab(window, Video);
        Player::chooseComboEntry(page(window, Video), IDC_VIDEO_MULTISAMPLE,
                                 static_cast<int>(adapters.front().multisampleLines.size()) - 1);
    });
    session.act("OK", [](HWND window) { Player::click(window, IDOK); });
    session.answer(IDD_MESSAGE_YESNOCANCEL, MessageTexts::SaveQuestion, IDYES);
    EXPECT_EQ(IDOK, session.run());
    EXPECT_EQ(samples - 1, savedSettings().multisampleLevel);
}

namespace {

// Makes the next preparation of the display adapters wait until released,
// as a slow graphics runtime would; afterwards it is ready again.
class HeldPreparation {
public:
    HeldPreparation() : release_(CreateEventW(nullptr, TRUE, FALSE, nullptr))
    {
        DiscardPreparedDisplayAdapters();
        SetDisplayAdapterPreparationHold(release_);
        StartPreparingDisplayAdapters();
    }
    ~HeldPreparation()
    {
        release();
        SetDisplayAdapterPreparationHold(nullptr);
        DiscardPreparedDisplayAdapters();
        CloseHandle(release_);
    }
    HeldPreparation(const HeldPreparation&) = delete;
    HeldPreparation& operator=(const HeldPreparation&) = delete;

    void release() { SetEvent(release_); }

private:
    HANDLE release_;
};

} // namespace

TEST_F(VideoPage, OpensBeforeDirect3DAnswersAndFillsItsListsWhenItDoes)
{
    HeldPreparation preparation;
    Session session;
    session.beforeDirect3D = true;
    session.act("opened while Direct3D is still being asked", [](HWND window) {
        const HWND video = page(window, Video);
        EXPECT_TRUE(listLines(video, IDC_VIDEO_DEVICE).empty());
        EXPECT_EQ(std::vector<std::wstring>{GetText(157)}, listLines(video, IDC_VIDEO_DISPLAY_MODE));
        EXPECT_EQ(4u, listLines(video, IDC_VIDEO_BUFFER_SIZE).size());
        chooseTab(window, Video);
    });
    session.script.then("Direct3D answers", [&] {
        preparation.release();
        return true;
    });
    session.script.then("the lists fill in", [this] {
        const HWND video = page(window(), Video);
        if (adapters.empty())
            return true;
        if (listLines(video, IDC_VIDEO_DEVICE).size() != adapters.size())
            return false;
        EXPECT_EQ(adapters.front().sizes, listLines(video, IDC_VIDEO_WINDOW_SIZE));
        EXPECT_EQ(adapters.front().multisampleLines, listLines(video, IDC_VIDEO_MULTISAMPLE));
        EXPECT_EQ(0, listSelection(video, IDC_VIDEO_DEVICE));
        return true;
    });
    session.act("leave", [](HWND window) { Player::click(window, IDCANCEL); });
    EXPECT_EQ(IDCANCEL, session.run());
    EXPECT_TRUE(session.shown.empty());
}

TEST_F(VideoPage, LeavingBeforeDirect3DAnswersKeepsTheStoredVideoChoices)
{
    GeneralSettings stored = seededRecord();
    stored.adapter = 0;
    stored.displayMode = 1;
    stored.width = 1920;
    stored.height = 1080;
    stored.multisampleLevel = 3;
    writeConfig(bytesOf(stored));
    HeldPreparation preparation;
    Session session;
    session.beforeDirect3D = true;
    // Nothing was changed, so nothing is asked and nothing written.
    session.act("cancel at once", [](HWND window) { Player::click(window, IDCANCEL); });
    EXPECT_EQ(IDCANCEL, session.run());
    EXPECT_TRUE(session.shown.empty());
    EXPECT_EQ(bytesOf(stored), readConfig());
}
