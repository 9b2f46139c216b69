// When DxDiag is asked ahead of the first report, and which report its answer
// serves.
#include "sysinfo/dxdiag_ahead.h"

#include <gtest/gtest.h>

TEST(DxDiagAhead, AskedOnceThePlayerReadsAndServingOneReportInItsLanguageWhileFresh)
{
    using Moment = DxDiagAheadMoment;
    const struct {
        Moment moment;
        bool askedAlready;
        std::optional<std::uint32_t> delay;
    } waits[] = {
        {Moment::MainWindowOpened, false, 1500},
        {Moment::OpenedWindowWaiting, false, 300},
        {Moment::MainWindowOpened, true, std::nullopt},
        {Moment::OpenedWindowWaiting, true, std::nullopt},
    };
    for (const auto& row : waits)
        EXPECT_EQ(row.delay, dxdiagAheadDelay(row.moment, row.askedAlready))
            << static_cast<int>(row.moment) << (row.askedAlready ? " asked" : "");

    const struct {
        bool sameLanguage;
        std::uint64_t age;
        bool serves;
    } answers[] = {
        {true, 0, true},
        {true, AnswerLifetimeMilliseconds, true},
        {true, AnswerLifetimeMilliseconds + 1, false},
        {false, 0, false},
    };
    for (const auto& row : answers)
        EXPECT_EQ(row.serves, dxdiagAheadAnswerServes(row.sameLanguage, row.age))
            << row.sameLanguage << " " << row.age;
}
