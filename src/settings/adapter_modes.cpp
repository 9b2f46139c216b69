#include "settings/adapter_modes.h"

namespace {

const ModeEntry FixedSizes[] = {{1280, 720, 0}, {1920, 1080, 0}};

template <typename T>
const std::vector<T>* listOf(const std::map<std::int32_t, std::vector<T>>& map, std::int32_t adapter)
{
    const auto found = map.find(adapter);
    return found == map.end() ? nullptr : &found->second;
}

bool isPosition(int selection, std::size_t count)
{
    return selection >= 0 && static_cast<std::size_t>(selection) < count;
}

} // namespace

void addMode(AdapterTables& tables, std::int32_t adapter, ModeEntry entry)
{
    if (entry.width < 1024 || entry.height < 720)
        return;
    std::vector<ModeEntry>& modes = tables.modes[adapter];
    if (entry.fullScreen == 1) {
        for (ModeEntry& listed : modes) {
            if (listed.width == entry.width && listed.height == entry.height) {
                listed.fullScreen = 1;
                return;
            }
        }
    }
    modes.push_back(entry);
}

void addAdapter(AdapterTables& tables, std::int32_t adapter, const std::vector<DisplaySize>& displayModes,
                std::uint16_t levelMask)
{
    for (const ModeEntry& fixed : FixedSizes)
        addMode(tables, adapter, fixed);
    for (const DisplaySize& mode : displayModes)
        addMode(tables, adapter, {mode.width, mode.height, 1});
    std::vector<std::int32_t>& levels = tables.samples[adapter];
    for (std::int32_t level = 0; level < MultisampleLevelCount; ++level) {
        if (levelMask & (1u << level))
            levels.push_back(level);
    }
}

AdapterLists adapterLists(const AdapterTables& tables, std::int32_t adapter, const GeneralSettings& working)
{
    AdapterLists lists;
    lists.adapter = adapter < 0 || adapter >= tables.adapterCount() ? 0 : adapter;

    if (const auto* modes = listOf(tables.modes, lists.adapter)) {
        lists.sizes = *modes;
        for (std::size_t i = 0; i < modes->size(); ++i) {
            const ModeEntry& entry = (*modes)[i];
            if (entry.width == working.width && entry.height == working.height) {
                lists.sizeSelection = static_cast<int>(i);
                lists.fullScreenAllowed = entry.fullScreen != 0;
            }
        }
    }
    if (const auto* levels = listOf(tables.samples, lists.adapter)) {
        lists.levels = *levels;
        for (std::size_t j = 0; j < levels->size(); ++j) {
            if ((*levels)[j] == working.multisampleLevel)
                lists.levelSelection = static_cast<int>(j);
        }
    }
    lists.displayModeSelection = lists.fullScreenAllowed ? working.displayMode : 0;
    return lists;
}

void collectVideoSelections(const AdapterTables& tables, const VideoSelections& selections,
                            GeneralSettings& working)
{
    if (tables.adapterCount() > 0)
        working.adapter = selections.adapter;
    working.displayMode = selections.displayMode;
    if (const auto* modes = listOf(tables.modes, working.adapter);
        modes && isPosition(selections.windowSize, modes->size())) {
        working.width = (*modes)[selections.windowSize].width;
        working.height = (*modes)[selections.windowSize].height;
    }
    if (const auto* levels = listOf(tables.samples, working.adapter);
        levels && isPosition(selections.multisample, levels->size()))
        working.multisampleLevel = (*levels)[selections.multisample];
    working.bufferSize = selections.bufferSize;
    working.shadowDetail = selections.shadowDetail;
    working.projectionShadowDetail = selections.projectionShadowDetail;
}

std::wstring windowSizeText(const ModeEntry& entry)
{
    return std::to_wstring(entry.width) + L"x" + std::to_wstring(entry.height);
}

std::wstring multisampleText(std::int32_t level, const wchar_t* sampleWord)
{
    return std::to_wstring(level + 1) + sampleWord;
}
