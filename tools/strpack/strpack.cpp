// strpack SOURCE OUTPUT [--report]
// Packs a translators' text source into the PEX block the program carries
// as a resource. Faults in the source are reported as "SOURCE:LINE: error:"
// and nothing is written.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "shell/text_codec.h"
#include "shell/text_source.h"
#include "shell/text_table.h"

namespace {

bool readWholeFile(const std::filesystem::path& path, std::string& contents)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    contents = buffer.str();
    return !in.bad();
}

// Written beside the target and renamed, so a failed run leaves no
// half-written block for the build to pick up.
bool writeWholeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::filesystem::path temporary = path;
    temporary += ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out.flush())
            return false;
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error)
        std::filesystem::remove(temporary, error);
    return !error;
}

int fail(const std::string& where, const std::string& message)
{
    std::fprintf(stderr, "%s: error: %s\n", where.c_str(), message.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    const bool report = argc == 4 && std::string(argv[3]) == "--report";
    if (argc != 3 && !report) {
        std::fprintf(stderr, "usage: strpack SOURCE OUTPUT [--report]\n");
        return 2;
    }
    const std::string sourcePath = argv[1];
    const std::string outputPath = argv[2];

    std::string source;
    if (!readWholeFile(sourcePath, source))
        return fail(sourcePath, "cannot be read");
    std::vector<TextEntry> entries;
    TextSourceError error;
    if (!parseTextSource(source, entries, error))
        return fail(sourcePath + ":" + std::to_string(error.line), error.message);

    const std::vector<std::uint8_t> table = buildStringTable(entries);
    const std::vector<std::uint8_t> block = packTextBlock(table);
    if (unpackTextBlock(block) != table)
        return fail(sourcePath, "the packed block does not unpack to the table (packer fault)");
    if (!writeWholeFile(outputPath, block))
        return fail(outputPath, "cannot be written");

    if (report) {
        const std::size_t greedy = packTextBlock(table, PexParse::Greedy).size();
        std::printf("%s: %zu texts, %zu bytes unpacked, %zu bytes packed (%.1f %%), greedy parse %zu bytes\n",
                    std::filesystem::path(sourcePath).filename().string().c_str(), entries.size(),
                    table.size(), block.size(),
                    100.0 * static_cast<double>(block.size()) / static_cast<double>(table.size()), greedy);
    }
    return 0;
}
