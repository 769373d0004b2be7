// The scanner: the pieces of source text that the line parser, the expression reader and macro
// substitution all read (names, quoted strings with their escapes, numbers, balanced groups,
// comments and operand lists), with one set of rules for each, and the tokens made of them.
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

// The line without its comment (from a ';' outside quotes). A quote that does not close is left
// for the expression to report.
std::string_view StripComment(std::string_view text);

// The next word: a run of non-blank characters, blanks inside strings and [ ] groups included;
// and what follows it.
std::string_view NextToken(std::string_view& rest);

// The operands of a line split at commas outside groups and strings, trimmed. A group that does
// not close holds the rest.
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

// One piece of a line, with where it is.
struct Token {
  enum Kind : uint8_t {
    kEnd,        // nothing but blanks left
    kName,       // SymbolEnd's rule
    kNumber,     // `value` holds it
    kBadNumber,  // a number with a bad digit or too large (ScanNumber says why)
    kString,     // a quoted string, quotes included
    kUnclosed,   // a quote that does not close on the line: the rest of it
    kOpen,       // ( or [
    kClose,      // ) or ]
    kComma,
    kOperator,  // anything else: || && == != <> <= >= << >> or one character, `$` among them
  };
  Kind kind = kEnd;
  size_t pos = 0;  // where it starts in the text
  size_t end = 0;  // just past it
  std::string_view text;
  int64_t value = 0;
  bool Is(char c) const { return text.size() == 1 && text[0] == c; }
};

// Tokens one at a time, blanks skipped. '%' followed by a binary digit is a number where a value
// is expected and the modulo operator after one: the reader says which it expects.
class Scanner {
 public:
  explicit Scanner(std::string_view text, size_t pos = 0) : text_(text), pos_(pos) {}
  Token Next(bool valueExpected = true);
  size_t Position() const { return pos_; }
  void Seek(size_t pos) { pos_ = pos; }
  std::string_view Text() const { return text_; }

 private:
  std::string_view text_;
  size_t pos_;
};

// A number starting at `pos` (a digit, or '$' or '%' followed by digits): $1F, 0x1F, 1Fh, 0b101,
// 101b, %101, decimal. `end` is where it stops; false with `error` on a bad number.
bool ScanNumber(std::string_view text, size_t pos, size_t& end, int64_t& value, std::string& error);

}  // namespace cpasm
