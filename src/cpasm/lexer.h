// The scanner: the pieces of source text that the line parser, the expression evaluator and
// macro substitution all read (names, quoted strings with their escapes, numbers, balanced
// groups, comments and operand lists), with one set of rules for each.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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

inline bool IsSpace(char c) { return c == ' ' || c == '\t'; }

// The bracket that closes the '(' or '[' at `open`: groups of both kinds nest, strings are
// skipped, and a closing bracket of the other kind ends nothing. npos when it does not close on
// the line or a string in between does not.
size_t GroupEnd(std::string_view text, size_t open);
inline size_t ClosingParen(std::string_view text, size_t open) { return GroupEnd(text, open); }

// The line without its comment (from a ';' outside quotes). A quote that does not close is left
// for the expression to report.
std::string_view StripComment(std::string_view text);

// The next run of non-blank characters (blanks inside [ ] included), and what follows it.
std::string_view NextToken(std::string_view& rest);

// The operands of a line split at commas outside groups and strings, trimmed.
std::vector<std::string_view> SplitOperands(std::string_view text);
std::string_view Trim(std::string_view text);
std::string Upper(std::string_view text);
// A name or text for a message, cut short when it is long.
std::string Shown(std::string_view text);
bool ValidSymbolName(std::string_view name);

// True when all of `text` is one quoted string.
bool IsStringToken(std::string_view text);

// The characters of a quoted string: \\, \" and \' stand for the character after the backslash;
// any other escape is an error.
bool DecodeString(std::string_view token, std::string& out, std::string& error);

// A number starting at `pos` (a digit, or '$' or '%' followed by digits): $1F, 0x1F, 1Fh, 0b101,
// 101b, %101, decimal. `end` is where it stops; false with `error` on a bad number.
bool ScanNumber(std::string_view text, size_t pos, size_t& end, int64_t& value, std::string& error);

}  // namespace cpasm
