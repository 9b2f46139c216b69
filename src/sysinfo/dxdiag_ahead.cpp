#include "sysinfo/dxdiag_ahead.h"

std::optional<std::uint32_t> dxdiagAheadDelay(DxDiagAheadMoment moment, bool askedAlready)
{
    if (askedAlready)
        return std::nullopt;
    return moment == DxDiagAheadMoment::MainWindowOpened ? MainWindowDwellMilliseconds
                                                         : OpenedWindowIdleMilliseconds;
}

bool dxdiagAheadAnswerServes(bool sameLanguage, std::uint64_t ageMilliseconds, std::uint64_t lifetime)
{
    return sameLanguage && ageMilliseconds <= lifetime;
}
