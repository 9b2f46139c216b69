// What the video page offers per Direct3D 9 adapter: the window sizes (with
// whether each is a full-screen display mode) and the multisampling levels,
// and the rules that turn them and the working record into list choices.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "settings/general_settings.h"

// Direct3D 9 multisample type of each level: level 0 is no multisampling,
// level k >= 1 is k + 1 samples. The non-maskable type 1 is never offered.
inline constexpr std::uint32_t MultisampleTypes[16] = {0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
inline constexpr int MultisampleLevelCount = 16;

struct ModeEntry {
    std::uint32_t width;
    std::uint32_t height;
    std::uint8_t fullScreen; // 1 when the adapter reported the size as a display mode
};

struct DisplaySize {
    std::uint32_t width;
    std::uint32_t height;
};

using AdapterModes = std::map<std::int32_t, std::vector<ModeEntry>>;
using AdapterSamples = std::map<std::int32_t, std::vector<std::int32_t>>;

struct AdapterTables {
    AdapterModes modes;
    AdapterSamples samples;

    std::int32_t adapterCount() const { return static_cast<std::int32_t>(modes.size()); }
};

// Inserts one size: sizes below 1024 x 720 are dropped; a full-screen size
// already listed marks the listed entry full-screen instead of repeating it;
// anything else is appended in the order reported.
void addMode(AdapterTables& tables, std::int32_t adapter, ModeEntry entry);

// Records one adapter as Direct3D reported it: the two fixed sizes 1280 x 720
// and 1920 x 1080 first, then its display modes (in the order reported), then
// the levels whose bit is set in `levelMask` (bit k = level k supported).
void addAdapter(AdapterTables& tables, std::int32_t adapter, const std::vector<DisplaySize>& displayModes,
                std::uint16_t levelMask);

// The content and selections of the window size, multisampling and display
// mode lists for one adapter.
struct AdapterLists {
    std::int32_t adapter = 0; // the adapter shown: the one asked for, or 0 when that is not one
    std::vector<ModeEntry> sizes;
    int sizeSelection = 0;
    std::vector<std::int32_t> levels;
    int levelSelection = 0;
    bool fullScreenAllowed = false;
    // "Windowed" always stands at 0; "Full Screen" at 1 only when allowed.
    int displayModeSelection = 0;
};

// The stored size and level are selected when the adapter offers them, else
// position 0; the stored display mode only when the selected size is a
// full-screen mode, else "Windowed".
AdapterLists adapterLists(const AdapterTables& tables, std::int32_t adapter, const GeneralSettings& working);

// The lists' selections (-1 for a list without one).
struct VideoSelections {
    int adapter;
    int displayMode;
    int windowSize;
    int multisample;
    int bufferSize;
    int shadowDetail;
    int projectionShadowDetail;
};

// Writes the selections into the record. A list with nothing to choose from
// (no adapter, empty size or multisampling list) leaves its fields as they
// were, so a machine without Direct3D does not overwrite the stored choice.
void collectVideoSelections(const AdapterTables& tables, const VideoSelections& selections,
                            GeneralSettings& working);

// The list lines: "1280x720" and, for a level, its sample count followed by
// the localized word ("4Sample").
std::wstring windowSizeText(const ModeEntry& entry);
std::wstring multisampleText(std::int32_t level, const wchar_t* sampleWord);
