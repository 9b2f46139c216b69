// A small side-by-side benchmark harness: every row times a subject and its
// baseline in the same run and reports their ratio.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace Bench {

struct Row {
    std::string name;
    std::string subject;
    std::string baseline;
    double subjectValue;
    double baselineValue;
    std::string unit;
};

class Table {
public:
    // Times `subject` and `baseline` alternately (best of several rounds of
    // `iterations` calls each) and records nanoseconds per call.
    void compare(const std::string& name, const std::string& subjectName,
                 const std::function<void()>& subject, const std::string& baselineName,
                 const std::function<void()>& baseline, std::size_t iterations);
    // Records figures measured elsewhere (counts, or times taken another way).
    void record(const Row& row) { rows_.push_back(row); }
    // One line per row, tagged with where it was measured ("native", "wine").
    void print(const char* where) const;

private:
    std::vector<Row> rows_;
};

void printHeader();

// Nanoseconds per call of `body`, the best of `rounds` rounds.
double nanosecondsPerCall(const std::function<void()>& body, std::size_t iterations, int rounds = 5);

// The middle value (the upper one of an even count); 0 for none.
double medianOf(std::vector<double> values);

// Keeps the optimiser from discarding a value.
template <typename T> inline void keep(T&& value)
{
    asm volatile("" : : "g"(&value) : "memory");
}

// Benchmarks of the portable core, defined beside this harness.
void poolBenchmarks(Table& table);
void textTableBenchmarks(Table& table);
void pollingBenchmarks(Table& table);

#ifdef _WIN32
// The platform's benchmarks; and the child process of the opening steps,
// which writes its step times into `outputPath`.
void platformBenchmarks(Table& table);
void openingStepBenchmarks(Table& table, double bareStartMedian);
int runOpeningSteps(const char* outputPath);
#endif

} // namespace Bench
