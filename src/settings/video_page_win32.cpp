#include <cstring>
#include <string>
#include <vector>

#include "foundation/code_page_win32.h"
#include "resources/resource.h"
#include "settings/adapter_modes.h"
#include "settings/general_pages_win32.h"
#include "settings/page_controls_win32.h"
#include "shell/display_adapters_win32.h"
#include "shell/text_table_win32.h"

namespace {

GeneralSettings* working = nullptr;
HWND videoPage = nullptr;
// Filled once per opening of the window, from the adapters prepared for the
// whole process; selection changes only read them.
AdapterTables adapterTables;
// Until the adapters are known, the adapter-dependent lists are empty and
// their fields of the record are left as loaded.
bool adaptersKnown = false;

constexpr ControlText Labels[] = {
    {IDC_VIDEO_DEVICE_LABEL, 155},
    {IDC_VIDEO_DISPLAY_MODE_LABEL, 156},
    {IDC_VIDEO_WINDOW_SIZE_LABEL, 159},
    {IDC_VIDEO_MULTISAMPLE_LABEL, 160},
    {IDC_VIDEO_BUFFER_SIZE_LABEL, 162},
    {IDC_VIDEO_SHADOW_DETAIL_LABEL, 167},
    {IDC_VIDEO_PROJECTION_SHADOW_DETAIL_LABEL, 173},
};

constexpr std::uint32_t WindowedText = 157;
constexpr std::uint32_t FullScreenText = 158;
constexpr std::uint32_t SampleText = 161;

// The lists whose lines are fixed texts: first text and number of lines.
struct FixedList {
    int control;
    std::uint32_t firstText;
    int count;
    std::int32_t GeneralSettings::*field;
};
constexpr FixedList FixedLists[] = {
    {IDC_VIDEO_BUFFER_SIZE, 163, 4, &GeneralSettings::bufferSize},
    {IDC_VIDEO_SHADOW_DETAIL, 168, 5, &GeneralSettings::shadowDetail},
    {IDC_VIDEO_PROJECTION_SHADOW_DETAIL, 174, 5, &GeneralSettings::projectionShadowDetail},
};

// Posted by the display-adapter preparation once Direct3D 9 has answered.
constexpr UINT AdaptersPreparedMessage = WM_APP + 1;

std::wstring adapterName(const Direct3DAdapterFacts& facts, std::size_t ordinal)
{
    if (facts.identified && !facts.name.empty())
        return std::wstring(facts.name.begin(), facts.name.end());
    // Without a name the adapter is still listed at its position, by number.
    return std::to_wstring(ordinal + 1);
}

std::uint16_t levelMaskOf(std::uint32_t multisampleTypes)
{
    std::uint16_t levelMask = 0;
    for (int level = 0; level < MultisampleLevelCount; ++level) {
        if (multisampleTypes & (1u << MultisampleTypes[level]))
            levelMask = static_cast<std::uint16_t>(levelMask | (1u << level));
    }
    return levelMask;
}

// Lists the adapters Direct3D 9 reported (none without it) and keeps their
// modes and levels for the lists that depend on the chosen adapter.
void takeAdapters(HWND page, const std::vector<Direct3DAdapterFacts>& adapters)
{
    adapterTables = {};
    clearList(page, IDC_VIDEO_DEVICE);
    for (std::size_t i = 0; i < adapters.size(); ++i) {
        insertListLine(page, IDC_VIDEO_DEVICE, static_cast<int>(i), adapterName(adapters[i], i).c_str());
        std::vector<DisplaySize> displayModes;
        for (const DisplayModeSize& mode : adapters[i].displayModes)
            displayModes.push_back({mode.width, mode.height});
        addAdapter(adapterTables, static_cast<std::int32_t>(i), displayModes,
                   levelMaskOf(adapters[i].multisampleTypes));
    }
    adaptersKnown = true;
}

void fillAdapterLists(HWND page, std::int32_t adapter)
{
    const AdapterLists lists = adapterLists(adapterTables, adapter, *working);
    selectListPosition(page, IDC_VIDEO_DEVICE, lists.adapter);

    clearList(page, IDC_VIDEO_WINDOW_SIZE);
    for (std::size_t i = 0; i < lists.sizes.size(); ++i)
        insertListLine(page, IDC_VIDEO_WINDOW_SIZE, static_cast<int>(i),
                       windowSizeText(lists.sizes[i]).c_str());
    selectListPosition(page, IDC_VIDEO_WINDOW_SIZE, lists.sizeSelection);

    clearList(page, IDC_VIDEO_MULTISAMPLE);
    for (std::size_t j = 0; j < lists.levels.size(); ++j)
        insertListLine(page, IDC_VIDEO_MULTISAMPLE, static_cast<int>(j),
                       multisampleText(lists.levels[j], GetText(SampleText)).c_str());
    selectListPosition(page, IDC_VIDEO_MULTISAMPLE, lists.levelSelection);

    clearList(page, IDC_VIDEO_DISPLAY_MODE);
    insertListLine(page, IDC_VIDEO_DISPLAY_MODE, 0, GetText(WindowedText));
    if (lists.fullScreenAllowed)
        insertListLine(page, IDC_VIDEO_DISPLAY_MODE, 1, GetText(FullScreenText));
    selectListPosition(page, IDC_VIDEO_DISPLAY_MODE, lists.displayModeSelection);
}

void onInitDialog(HWND page)
{
    videoPage = page;
    setControlTexts(page, Labels);
    if (const auto* adapters = PreparedDirect3DAdapters())
        takeAdapters(page, *adapters);
    else
        NotifyWhenDirect3DPrepared(page, AdaptersPreparedMessage);
    fillAdapterLists(page, working->adapter);
    for (const FixedList& list : FixedLists)
        fillFixedList(page, list.control, list.firstText, list.count, working->*list.field);
}

// The player may have changed the fixed lists meanwhile; they stay as chosen.
void onAdaptersPrepared(HWND page)
{
    if (const auto* adapters = PreparedDirect3DAdapters()) {
        takeAdapters(page, *adapters);
        fillAdapterLists(page, working->adapter);
    }
}

void collectVideoPage();

// The lists depend on one another, so every choice is written into the
// record at once and the dependent lists rebuilt from it. A new device is
// not collected first: its lists then select the stored size and level.
void onSelectionChange(HWND page, int control)
{
    if (control == IDC_VIDEO_DEVICE)
        working->adapter = listSelection(page, IDC_VIDEO_DEVICE);
    else
        collectVideoPage();
    fillAdapterLists(page, working->adapter);
}

void attachVideoPage(GeneralSettings& record)
{
    working = &record;
    videoPage = nullptr;
    adapterTables = {};
    adaptersKnown = false;
}

INT_PTR CALLBACK videoPageProc(HWND page, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: onInitDialog(page); return TRUE;
    case WM_COMMAND:
        if (HIWORD(wParam) == CBN_SELCHANGE)
            onSelectionChange(page, LOWORD(wParam));
        return TRUE;
    case AdaptersPreparedMessage: onAdaptersPrepared(page); return TRUE;
    case WM_DESTROY: StopNotifying(page); return FALSE;
    default: return FALSE;
    }
}

void collectVideoPage()
{
    if (!videoPage)
        return;
    if (!adaptersKnown) {
        for (const FixedList& list : FixedLists)
            working->*list.field = listSelection(videoPage, list.control);
        return;
    }
    const VideoSelections selections{
        listSelection(videoPage, IDC_VIDEO_DEVICE),
        listSelection(videoPage, IDC_VIDEO_DISPLAY_MODE),
        listSelection(videoPage, IDC_VIDEO_WINDOW_SIZE),
        listSelection(videoPage, IDC_VIDEO_MULTISAMPLE),
        listSelection(videoPage, IDC_VIDEO_BUFFER_SIZE),
        listSelection(videoPage, IDC_VIDEO_SHADOW_DETAIL),
        listSelection(videoPage, IDC_VIDEO_PROJECTION_SHADOW_DETAIL),
    };
    collectVideoSelections(adapterTables, selections, *working);
}

} // namespace

const PageFunctions VideoPage = {attachVideoPage, videoPageProc, collectVideoPage};
