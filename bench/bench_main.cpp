// Runs every benchmark of this build and prints one line per comparison.
#include <cstring>

#include "bench.h"

#ifdef _WIN32
#include "app/requested_probe_win32.h"
#endif

int main(int argc, char** argv)
{
#ifdef _WIN32
    // The probe processes the measured windows start, as the tool's.
    if (RunRequestedProbe())
        return 0;
    if (argc > 2 && std::strcmp(argv[1], "--opening-steps") == 0)
        return Bench::runOpeningSteps(argv[2]);
#endif
    const bool header = !(argc > 1 && std::strcmp(argv[1], "--no-header") == 0);
    Bench::Table table;
    Bench::poolBenchmarks(table);
    Bench::textTableBenchmarks(table);
    Bench::pollingBenchmarks(table);
#ifdef _WIN32
    Bench::platformBenchmarks(table);
    const char* where = "wine";
#else
    const char* where = "native";
#endif
    if (header)
        Bench::printHeader();
    table.print(where);
    return 0;
}
