// The pieces of source text that the line parser and the expression evaluator both read: names,
// quoted strings with their escapes, and numbers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace cpasm {

bool IsSymbolStart(char c);
bool IsSymbolChar(char c);

// The end of the name that starts at `pos`. Besides letters, digits, '_', '.' and '@', a name
// holds '&' right after '_' when a name character follows it ("var_&X").
size_t SymbolEnd(std::string_view text, size_t pos);

inline bool IsQuote(char c) { return c == '"' || c == '\''; }

// Just past the string whose opening quote is at `pos`, or npos when it does not close on the
// line. A backslash takes the next character with it.
size_t StringEnd(std::string_view text, size_t pos);

// The ')' that closes the '(' at `open`, strings skipped; npos when it does not close on the
// line or a string in between does not.
size_t ClosingParen(std::string_view text, size_t open);

// True when all of `text` is one quoted string.
bool IsStringToken(std::string_view text);

// The characters of a quoted string: \\, \" and \' stand for the character after the backslash;
// any other escape is an error.
bool DecodeString(std::string_view token, std::string& out, std::string& error);

// A number starting at `pos` (a digit, or '$' or '%' followed by digits): $1F, 0x1F, 1Fh, 0b101,
// 101b, %101, decimal. `end` is where it stops; false with `error` on a bad number.
bool ScanNumber(std::string_view text, size_t pos, size_t& end, int64_t& value, std::string& error);

}  // namespace cpasm
