#include "bench.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace Bench {

double nanosecondsPerCall(const std::function<void()>& body, std::size_t iterations, int rounds)
{
    double best = std::numeric_limits<double>::max();
    for (int round = 0; round < rounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        for (std::size_t i = 0; i < iterations; ++i)
            body();
        const std::chrono::duration<double, std::nano> elapsed = std::chrono::steady_clock::now() - start;
        best = std::min(best, elapsed.count() / static_cast<double>(iterations));
    }
    return best;
}

double medianOf(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

void Table::compare(const std::string& name, const std::string& subjectName,
                    const std::function<void()>& subject, const std::string& baselineName,
                    const std::function<void()>& baseline, std::size_t iterations)
{
    // Interleave the two so that both see the same machine state.
    double subjectBest = std::numeric_limits<double>::max();
    double baselineBest = std::numeric_limits<double>::max();
    for (int round = 0; round < 5; ++round) {
        subjectBest = std::min(subjectBest, nanosecondsPerCall(subject, iterations, 1));
        baselineBest = std::min(baselineBest, nanosecondsPerCall(baseline, iterations, 1));
    }
    rows_.push_back({name, subjectName, baselineName, subjectBest, baselineBest, "ns"});
}

void printHeader()
{
    std::printf("%-7s %-42s %-18s %12s   %-20s %12s   %8s\n", "where", "benchmark", "subject", "value",
                "baseline", "value", "ratio");
}

void Table::print(const char* where) const
{
    for (const Row& row : rows_) {
        char ratio[16] = "-";
        if (row.baselineValue > 0)
            std::snprintf(ratio, sizeof ratio, "%.3f", row.subjectValue / row.baselineValue);
        std::printf("%-7s %-42s %-18s %9.1f %-4s %-20s %9.1f %-4s %8s\n", where, row.name.c_str(),
                    row.subject.c_str(), row.subjectValue, row.unit.c_str(), row.baseline.c_str(),
                    row.baselineValue, row.unit.c_str(), ratio);
    }
    std::fflush(stdout);
}

} // namespace Bench
