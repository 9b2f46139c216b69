// Runs every benchmark of this build and prints one line per comparison.
#include <cstring>

#include "bench.h"

#ifdef _WIN32
namespace Bench {
void platformBenchmarks(Table& table);
}
#endif

int main(int argc, char** argv)
{
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
