// The video page's lists, worked out from synthetic adapters as Direct3D
// would report them.
#include "settings/adapter_modes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr std::uint16_t levels(std::initializer_list<int> list)
{
    std::uint16_t mask = 0;
    for (int level : list)
        mask = static_cast<std::uint16_t>(mask | (1u << level));
    return mask;
}

// 1280 x 720 at 60 and 75 Hz, 1024 x 768 and 800 x 600; no multisampling.
AdapterTables exampleAdapter()
{
    AdapterTables tables;
    addAdapter(tables, 0, {{1280, 720}, {1280, 720}, {1024, 768}, {800, 600}}, levels({0}));
    return tables;
}

std::vector<std::wstring> sizeLines(const AdapterLists& lists)
{
    std::vector<std::wstring> lines;
    for (const ModeEntry& entry : lists.sizes)
        lines.push_back(windowSizeText(entry));
    return lines;
}

GeneralSettings recordWith(std::uint32_t width, std::uint32_t height, std::int32_t displayMode = 0)
{
    GeneralSettings settings = defaultGeneralSettings();
    settings.width = width;
    settings.height = height;
    settings.displayMode = displayMode;
    return settings;
}

} // namespace

TEST(VideoModes, SizesListTheFixedTwoFirstThenReportedModesOnceEach)
{
    const AdapterTables tables = exampleAdapter();
    const AdapterLists lists = adapterLists(tables, 0, defaultGeneralSettings());
    EXPECT_EQ((std::vector<std::wstring>{L"1280x720", L"1920x1080", L"1024x768"}), sizeLines(lists));
    ASSERT_EQ(3u, lists.sizes.size());
    EXPECT_EQ(1, lists.sizes[0].fullScreen);
    EXPECT_EQ(0, lists.sizes[1].fullScreen);
    EXPECT_EQ(1, lists.sizes[2].fullScreen);
}

TEST(VideoModes, SizesBelow1024x720AreNeverOffered)
{
    AdapterTables tables;
    addAdapter(tables, 0, {{1023, 768}, {1280, 600}, {1024, 719}, {1024, 720}, {800, 600}}, 0);
    const AdapterLists lists = adapterLists(tables, 0, defaultGeneralSettings());
    EXPECT_EQ((std::vector<std::wstring>{L"1280x720", L"1920x1080", L"1024x720"}), sizeLines(lists));
}

TEST(VideoModes, AWindowedSizeAppendedTwiceIsKeptTwice)
{
    AdapterTables tables;
    addMode(tables, 3, {1280, 720, 0});
    addMode(tables, 3, {1280, 720, 0});
    addMode(tables, 3, {1280, 720, 1});
    ASSERT_EQ(2u, tables.modes[3].size());
    EXPECT_EQ(1, tables.modes[3][0].fullScreen);
    EXPECT_EQ(0, tables.modes[3][1].fullScreen);
}

TEST(VideoModes, FullScreenIsOfferedOnlyForSizesTheAdapterReports)
{
    const AdapterTables tables = exampleAdapter();
    const struct {
        const char* name;
        GeneralSettings record;
        int sizeSelection;
        bool fullScreenAllowed;
        int displayModeSelection;
    } cases[] = {
        {"defaults: windowed 1280x720", defaultGeneralSettings(), 0, true, 0},
        {"full screen 1280x720", recordWith(1280, 720, 1), 0, true, 1},
        {"full screen 1024x768", recordWith(1024, 768, 1), 2, true, 1},
        {"1920x1080 not reported", recordWith(1920, 1080, 1), 1, false, 0},
        {"size not offered selects the first", recordWith(1600, 900, 1), 0, false, 0},
        {"stored display mode outside the list", recordWith(1280, 720, 5), 0, true, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const AdapterLists lists = adapterLists(tables, 0, c.record);
        EXPECT_EQ(c.sizeSelection, lists.sizeSelection);
        EXPECT_EQ(c.fullScreenAllowed, lists.fullScreenAllowed);
        EXPECT_EQ(c.displayModeSelection, lists.displayModeSelection);
    }
}

TEST(VideoModes, MultisamplingListsTheSupportedLevelsBySampleCount)
{
    AdapterTables tables;
    // Types 0, 2 and 4 succeed: levels 0, 1 and 3.
    addAdapter(tables, 0, {}, levels({0, 1, 3}));
    GeneralSettings record = defaultGeneralSettings();
    record.multisampleLevel = 3;
    const AdapterLists lists = adapterLists(tables, 0, record);
    std::vector<std::wstring> lines;
    for (std::int32_t level : lists.levels)
        lines.push_back(multisampleText(level, L"Sample"));
    EXPECT_EQ((std::vector<std::wstring>{L"1Sample", L"2Sample", L"4Sample"}), lines);
    EXPECT_EQ(2, lists.levelSelection);

    record.multisampleLevel = 2;
    EXPECT_EQ(0, adapterLists(tables, 0, record).levelSelection);
    EXPECT_EQ(L"16 Samples", multisampleText(15, L" Samples"));
}

TEST(VideoModes, AnUnknownAdapterFallsBackToTheFirst)
{
    AdapterTables tables = exampleAdapter();
    addAdapter(tables, 1, {{1920, 1080}}, levels({0, 1}));
    for (std::int32_t stored : {-1, 2, 99}) {
        SCOPED_TRACE(stored);
        const AdapterLists lists = adapterLists(tables, stored, defaultGeneralSettings());
        EXPECT_EQ(0, lists.adapter);
        EXPECT_EQ(3u, lists.sizes.size());
    }
    EXPECT_EQ(1, adapterLists(tables, 1, defaultGeneralSettings()).adapter);
}

TEST(VideoModes, ChangingDeviceKeepsTheStoredSizeWhenOffered)
{
    AdapterTables tables = exampleAdapter();
    addAdapter(tables, 1, {{1920, 1080}, {1600, 900}}, levels({0}));
    const GeneralSettings stored1600 = recordWith(1600, 900, 1);
    const AdapterLists second = adapterLists(tables, 1, stored1600);
    EXPECT_EQ(2, second.sizeSelection);
    EXPECT_TRUE(second.fullScreenAllowed);
    EXPECT_EQ(1, second.displayModeSelection);

    const AdapterLists first = adapterLists(tables, 0, stored1600);
    EXPECT_EQ(0, first.sizeSelection);
    EXPECT_EQ(L"1280x720", windowSizeText(first.sizes[first.sizeSelection]));
}

TEST(VideoModes, NoDirect3DGivesEmptyListsAndOnlyWindowed)
{
    const AdapterTables none;
    const AdapterLists lists = adapterLists(none, 0, recordWith(1920, 1080, 1));
    EXPECT_TRUE(lists.sizes.empty());
    EXPECT_TRUE(lists.levels.empty());
    EXPECT_FALSE(lists.fullScreenAllowed);
    EXPECT_EQ(0, lists.displayModeSelection);
}

TEST(VideoCollection, SelectionsAreStoredAsTheEntriesTheyShow)
{
    AdapterTables tables = exampleAdapter();
    addAdapter(tables, 1, {{1920, 1080}}, levels({0, 1, 3}));
    GeneralSettings record = defaultGeneralSettings();
    collectVideoSelections(tables, {1, 1, 1, 2, 3, 4, 0}, record);
    EXPECT_EQ(1, record.adapter);
    EXPECT_EQ(1, record.displayMode);
    EXPECT_EQ(1920u, record.width);
    EXPECT_EQ(1080u, record.height);
    EXPECT_EQ(3, record.multisampleLevel);
    EXPECT_EQ(3, record.bufferSize);
    EXPECT_EQ(4, record.shadowDetail);
    EXPECT_EQ(0, record.projectionShadowDetail);
}

TEST(VideoCollection, ListsWithNothingToChooseKeepTheStoredValues)
{
    GeneralSettings record = recordWith(1920, 1080, 1);
    record.adapter = 1;
    record.multisampleLevel = 3;
    collectVideoSelections(AdapterTables{}, {-1, 0, -1, -1, 0, 2, 2}, record);
    EXPECT_EQ(1, record.adapter);
    EXPECT_EQ(0, record.displayMode);
    EXPECT_EQ(1920u, record.width);
    EXPECT_EQ(1080u, record.height);
    EXPECT_EQ(3, record.multisampleLevel);

    // Fixed lists without a selection store -1, as the game has always read it.
    collectVideoSelections(exampleAdapter(), {0, -1, 0, 0, -1, -1, -1}, record);
    EXPECT_EQ(0, record.adapter);
    EXPECT_EQ(-1, record.displayMode);
    EXPECT_EQ(1280u, record.width);
    EXPECT_EQ(0, record.multisampleLevel);
    EXPECT_EQ(-1, record.bufferSize);
    EXPECT_EQ(-1, record.shadowDetail);
    EXPECT_EQ(-1, record.projectionShadowDetail);
}
