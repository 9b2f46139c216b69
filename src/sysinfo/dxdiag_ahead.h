// When DxDiag, the slowest source of the system report, is asked ahead of the
// first report of the run, and when its answer serves a report.
//
// DxDiag cannot be paused, so it is asked only while the player reads rather
// than acts, and it takes what the windows leave over:
// - once the player has stayed on the main window for MainWindowDwell, or a
//   window opened from it has waited for input for OpenedWindowIdle (each
//   message that window handles starts the wait afresh);
// - once a run, and never once a report has asked for itself;
// - after the display adapters are prepared, as DxDiag starts the graphics
//   runtime too: two cold starts at once would only slow each other down;
// - below the windows' priority, until a report waits for it;
// - its answer serves the next report in the same language while it is
//   younger than AnswerLifetime (devices come and go); any other report asks
//   anew.
#pragma once

#include <cstdint>
#include <optional>

inline constexpr std::uint32_t MainWindowDwellMilliseconds = 1500;
inline constexpr std::uint32_t OpenedWindowIdleMilliseconds = 300;
inline constexpr std::uint64_t AnswerLifetimeMilliseconds = 5 * 60 * 1000;

// What the main window sees that may lead to asking ahead.
enum class DxDiagAheadMoment {
    MainWindowOpened,
    OpenedWindowWaiting, // a window opened from the main window waits for input
};

// How long after `moment` DxDiag is asked, provided nothing moves the moment
// on meanwhile; none once it was asked ahead or a report asked for itself.
std::optional<std::uint32_t> dxdiagAheadDelay(DxDiagAheadMoment moment, bool askedAlready);

// Whether an answer asked ahead serves a report: in the report's language,
// and no older than `lifetime` milliseconds.
bool dxdiagAheadAnswerServes(bool sameLanguage, std::uint64_t ageMilliseconds,
                             std::uint64_t lifetime = AnswerLifetimeMilliseconds);
