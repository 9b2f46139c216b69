// The translators' text sources: the parser's rules and messages, and the four
// shipped sources packed and unpacked as the build does.
#include "shell/text_source.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "shell/text_codec.h"

namespace {

const char* const Languages[] = {"english", "german", "french", "japanese"};

std::string readSource(const std::string& language)
{
    std::ifstream in(std::string(ORVANTE_SOURCE_DIR) + "/src/resources/strings/" + language + ".txt",
                     std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A complete source whose text N reads "text N", with `changes` replacing
// whole lines by number (an empty line removes it).
std::string completeSource(const std::map<unsigned, std::string>& changes = {})
{
    std::string source = "# test\n";
    for (unsigned n = FirstTextNumber; n <= LastTextNumber; ++n) {
        const auto change = changes.find(n);
        source += change != changes.end() ? change->second : std::to_string(n) + " \"text\"";
        source += "\n";
    }
    return source;
}

std::map<unsigned, std::u16string> parsed(const std::string& source)
{
    std::vector<TextEntry> entries;
    TextSourceError error;
    EXPECT_TRUE(parseTextSource(source, entries, error)) << error.line << ": " << error.message;
    std::map<unsigned, std::u16string> texts;
    for (const TextEntry& entry : entries)
        texts[entry.number] = entry.text;
    return texts;
}

} // namespace

TEST(TextSource, ReadsTextsEscapesAndLineEnds)
{
    const std::string source = "\xEF\xBB\xBF" + completeSource({
                                                    {100, "100\t\"  two spaces \""},
                                                    {126, "126 \"Action Menu\\r\\nStack\"\r"},
                                                    {127, "  127   \"a \\\"quote\\\" and \\\\ back\"  "},
                                                    {102, "102 \"日本語\""},
                                                    {103, "103 \"𝄞\""},
                                                });
    const auto texts = parsed(source);
    ASSERT_EQ(151u, texts.size());
    EXPECT_EQ(u"  two spaces ", texts.at(100));
    EXPECT_EQ(u"Action Menu\r\nStack", texts.at(126));
    EXPECT_EQ(u"a \"quote\" and \\ back", texts.at(127));
    EXPECT_EQ(u"日本語", texts.at(102));
    EXPECT_EQ(u"\U0001D11E", texts.at(103));
}

TEST(TextSource, RefusesFaultsNamingTheLine)
{
    struct Case {
        const char* name;
        std::map<unsigned, std::string> changes;
        std::size_t line;
        const char* message;
    };
    // Line 1 is the comment, so text N stands on line N - 98.
    const Case cases[] = {
        {"unknown escape", {{110, "110 \"tab\\there\""}}, 12, "unknown escape \\t"},
        {"duplicate number",
         {{110, "110 \"a\"\n110 \"b\""}},
         13,
         "text 110 is given twice (first on line 12)"},
        {"missing number", {{137, ""}}, 38, "text 137 is missing"},
        {"missing first number", {{100, ""}}, 1, "text 100 is missing"},
        {"bad UTF-8", {{120, "120 \"Men\xC3\x28\""}}, 22, "not valid UTF-8"},
        {"encoded surrogate", {{120, "120 \"\xED\xA0\x80\""}}, 22, "not valid UTF-8"},
        {"overlong encoding", {{120, "120 \"\xC0\xAF\""}}, 22, "not valid UTF-8"},
        {"text over the entry-size limit",
         {{130, "130 \"" + std::string(MaxTextLength + 1, 'x') + "\""}},
         32,
         "longer than 32764"},
        {"number outside the table",
         {{140, "140 \"ok\"\n251 \"extra\""}},
         43,
         "text number 251 is outside 100 to 250"},
        {"no number", {{140, "\"text\""}}, 42, "expected a text number"},
        {"no quote", {{140, "140 text"}}, 42, "expected blanks and a text in double quotes"},
        {"no blank after the number", {{140, "140\"text\""}}, 42, "expected blanks"},
        {"no closing quote", {{140, "140 \"text"}}, 42, "no closing quote"},
        {"trailing backslash", {{140, "140 \"text\\"}}, 42, "no closing quote"},
        {"text after the closing quote", {{140, "140 \"a\" b"}}, 42, "after the closing quote"},
        {"empty text", {{140, "140 \"\""}}, 42, "text 140 is empty"},
        {"zero character", {{140, std::string("140 \"a\0b\"", 9)}}, 42, "zero character"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<TextEntry> entries;
        TextSourceError error;
        EXPECT_FALSE(parseTextSource(completeSource(c.changes), entries, error));
        EXPECT_EQ(c.line, error.line);
        EXPECT_NE(std::string::npos, error.message.find(c.message)) << error.message;
    }
}

TEST(TextSource, AcceptsTheLongestText)
{
    const auto texts = parsed(completeSource({{130, "130 \"" + std::string(MaxTextLength, 'x') + "\""}}));
    EXPECT_EQ(MaxTextLength, texts.at(130).size());
}

TEST(ShippedTexts, EnglishMatchesTheTableCharacterForCharacter)
{
    const auto texts = parsed(readSource("english"));
    const std::pair<unsigned, std::u16string> expected[] = {
        {100, u"ORVANTE Config"},
        {102, u"\u65E5\u672C\u8A9E"},
        {105, u"Fran\u00E7ais"},
        {117, u"Port (55296 - 55551)"},
        {126, u"Action Menu\r\nStack Battle Commands"},
        {180, u"Retrieving system information..."},
        {194, u"  \u251CDevice"},
        {207, u"  \u2514Vertex Texture"},
        {213, u"  \u2514Driver Date"},
        {234, u"  Image Name"},
        {237, u"  Installed Applications"},
        {248, u"Copy to Clipboard"},
        {249, u"The settings could not be saved."},
        {250, u"Compatibility Layer"},
    };
    for (const auto& [number, text] : expected)
        EXPECT_EQ(text, texts.at(number)) << number;
}

TEST(ShippedTexts, EveryLanguageHasEveryTextAndTheSameLanguageNames)
{
    const auto english = parsed(readSource("english"));
    for (const char* language : Languages) {
        SCOPED_TRACE(language);
        const auto texts = parsed(readSource(language));
        ASSERT_EQ(static_cast<std::size_t>(LastTextNumber - FirstTextNumber + 1), texts.size());
        for (unsigned number = 102; number <= 105; ++number)
            EXPECT_EQ(english.at(number), texts.at(number)) << number;
        // The report's tree labels keep their indent and branch characters.
        for (unsigned number = 194; number <= 216; ++number) {
            if (number == 208 || number == 214)
                continue;
            EXPECT_EQ(english.at(number).substr(0, 3), texts.at(number).substr(0, 3)) << number;
        }
        if (std::string(language) != "english") {
            EXPECT_NE(english.at(249), texts.at(249));
        }
    }
}

TEST(ShippedTexts, EveryLanguagePacksAndUnpacksToItsTexts)
{
    for (const char* language : Languages) {
        SCOPED_TRACE(language);
        std::vector<TextEntry> entries;
        TextSourceError error;
        ASSERT_TRUE(parseTextSource(readSource(language), entries, error))
            << error.line << ": " << error.message;
        const std::vector<std::uint8_t> table = buildStringTable(entries);
        const std::vector<std::uint8_t> block = packTextBlock(table);
        EXPECT_LE(block.size(), packTextBlock(table, PexParse::Greedy).size());
        EXPECT_LT(block.size(), table.size());

        TextTable loaded;
        ASSERT_TRUE(loadTextTable(block, loaded));
        EXPECT_EQ(entries.size(), loaded.size());
        for (const TextEntry& entry : entries)
            EXPECT_EQ(entry.text, loaded.find(entry.number)) << entry.number;
    }
}
