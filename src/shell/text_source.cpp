#include "shell/text_source.h"

#include <algorithm>
#include <map>
#include <optional>

namespace {

// One code point of strict UTF-8 (no overlong forms, surrogates or values
// past U+10FFFF); advances `at`.
std::optional<char32_t> decodeUtf8(std::string_view text, std::size_t& at)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) {
        ++at;
        return lead;
    }
    std::size_t count = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        count = 1, value = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        count = 2, value = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        count = 3, value = lead & 0x07, minimum = 0x10000;
    } else {
        return std::nullopt;
    }
    if (text.size() - at <= count)
        return std::nullopt;
    for (std::size_t i = 1; i <= count; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80)
            return std::nullopt;
        value = (value << 6) | (byte(at + i) & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return std::nullopt;
    at += count + 1;
    return value;
}

void appendUtf16(std::u16string& out, char32_t c)
{
    if (c < 0x10000) {
        out.push_back(static_cast<char16_t>(c));
        return;
    }
    c -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

class LineParser {
public:
    explicit LineParser(std::string_view line) : line_(line) {}

    // False for a blank or comment line; otherwise the number and text, or
    // an error message.
    bool parse(unsigned& number, std::u16string& text, std::string& error)
    {
        skipBlanks();
        if (at_ == line_.size() || line_[at_] == '#')
            return false;
        if (!parseNumber(number, error) || !parseText(text, error))
            return true;
        skipBlanks();
        if (at_ != line_.size())
            error = "unexpected characters after the closing quote";
        return true;
    }

private:
    void skipBlanks()
    {
        while (at_ < line_.size() && isBlank(line_[at_]))
            ++at_;
    }

    bool parseNumber(unsigned& number, std::string& error)
    {
        const std::size_t start = at_;
        number = 0;
        while (at_ < line_.size() && line_[at_] >= '0' && line_[at_] <= '9')
            number = std::min(number * 10 + static_cast<unsigned>(line_[at_++] - '0'), 1000000u);
        if (at_ == start) {
            error = "expected a text number at the start of the line";
            return false;
        }
        if (number < FirstTextNumber || number > LastTextNumber) {
            error = "text number " + std::string(line_.substr(start, at_ - start)) + " is outside " +
                    std::to_string(FirstTextNumber) + " to " + std::to_string(LastTextNumber);
            return false;
        }
        const std::size_t numberEnd = at_;
        skipBlanks();
        if (at_ == numberEnd || at_ == line_.size() || line_[at_] != '"') {
            error = "expected blanks and a text in double quotes after the number";
            return false;
        }
        ++at_;
        return true;
    }

    bool parseText(std::u16string& text, std::string& error)
    {
        text.clear();
        while (at_ < line_.size()) {
            const char c = line_[at_];
            if (c == '"') {
                ++at_;
                return true;
            }
            if (c == '\\') {
                if (at_ + 1 == line_.size())
                    break;
                const char escaped = line_[at_ + 1];
                at_ += 2;
                switch (escaped) {
                case 'r': text.push_back(u'\r'); break;
                case 'n': text.push_back(u'\n'); break;
                case '"': text.push_back(u'"'); break;
                case '\\': text.push_back(u'\\'); break;
                default:
                    error = std::string("unknown escape \\") + escaped + " (known: \\r, \\n, \\\" and \\\\)";
                    return false;
                }
                continue;
            }
            const std::optional<char32_t> decoded = decodeUtf8(line_, at_);
            if (!decoded) {
                error = "the text is not valid UTF-8";
                return false;
            }
            if (*decoded == 0) {
                error = "the text holds a zero character";
                return false;
            }
            appendUtf16(text, *decoded);
        }
        error = "the text has no closing quote";
        return false;
    }

    std::string_view line_;
    std::size_t at_ = 0;
};

} // namespace

bool parseTextSource(std::string_view source, std::vector<TextEntry>& entries, TextSourceError& error)
{
    entries.clear();
    if (source.substr(0, 3) == "\xEF\xBB\xBF")
        source.remove_prefix(3);

    std::map<unsigned, std::pair<std::size_t, std::u16string>> texts; // number -> line, text
    std::size_t lineNumber = 0;
    while (!source.empty()) {
        ++lineNumber;
        const std::size_t lineEnd = std::min(source.find('\n'), source.size());
        std::string_view line = source.substr(0, lineEnd);
        source.remove_prefix(std::min(lineEnd + 1, source.size()));
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);

        error.line = lineNumber;
        error.message.clear();
        unsigned number = 0;
        std::u16string text;
        if (!LineParser(line).parse(number, text, error.message))
            continue;
        if (!error.message.empty())
            return false;
        const std::string name = "text " + std::to_string(number);
        if (const auto earlier = texts.find(number); earlier != texts.end()) {
            error.message =
                name + " is given twice (first on line " + std::to_string(earlier->second.first) + ")";
            return false;
        }
        if (text.empty()) {
            error.message = name + " is empty";
            return false;
        }
        if (text.size() > MaxTextLength) {
            error.message = name + " is longer than " + std::to_string(MaxTextLength) + " UTF-16 units";
            return false;
        }
        texts.emplace(number, std::pair{lineNumber, std::move(text)});
    }

    for (unsigned number = FirstTextNumber; number <= LastTextNumber; ++number) {
        if (texts.count(number))
            continue;
        // Name the line after which the text belongs.
        const auto before = texts.lower_bound(number);
        error.line = before == texts.begin() ? 1 : std::prev(before)->second.first;
        error.message = "text " + std::to_string(number) + " is missing";
        return false;
    }
    for (auto& [number, lineAndText] : texts)
        entries.push_back({static_cast<std::uint16_t>(number), std::move(lineAndText.second)});
    error = {};
    return true;
}
