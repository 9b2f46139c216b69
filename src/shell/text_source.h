// The translators' source of a text table: a UTF-8 file with one text per
// line, its number, blanks and the text in double quotes:
//
//     # a comment
//     126 "Action Menu\r\nStack Battle Commands"
//
// Inside the quotes \r, \n, \" and \\ stand for CR, LF, a quote and a
// backslash. Every number from FirstTextNumber to LastTextNumber appears
// exactly once, in any order.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "shell/text_table.h"

struct TextSourceError {
    std::size_t line = 0; // 1-based
    std::string message;
};

// The texts ordered by number; false with `error` set at the first fault.
bool parseTextSource(std::string_view source, std::vector<TextEntry>& entries, TextSourceError& error);
