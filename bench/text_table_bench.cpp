// Loading a text table (unpack and index) against copying its unpacked bytes.
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

#include "bench.h"
#include "shell/text_codec.h"
#include "shell/text_source.h"
#include "shell/text_table.h"

namespace Bench {

void textTableBenchmarks(Table& table)
{
    for (const char* language : {"english", "japanese"}) {
        std::ifstream file(std::string(ORVANTE_SOURCE_DIR "/src/resources/strings/") + language + ".txt",
                           std::ios::binary);
        std::stringstream source;
        source << file.rdbuf();
        std::vector<TextEntry> entries;
        TextSourceError error;
        if (!parseTextSource(source.str(), entries, error))
            continue;
        const std::vector<std::uint8_t> unpacked = buildStringTable(entries);
        const std::vector<std::uint8_t> block = packTextBlock(unpacked);
        std::vector<std::uint8_t> copy(unpacked.size());

        TextTable texts;
        table.compare(
            std::string("load text table (") + language + ", " + std::to_string(unpacked.size()) + " B)",
            "unpack+index",
            [&] {
                loadTextTable(block, texts);
                keep(texts);
            },
            "memcpy unpacked",
            [&] {
                std::memcpy(copy.data(), unpacked.data(), unpacked.size());
                keep(copy);
            },
            2000);
    }
}

} // namespace Bench
