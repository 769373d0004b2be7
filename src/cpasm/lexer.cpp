#include "cpasm/lexer.h"

#include <cctype>

namespace cpasm {

// Letters and digits are ASCII ones, whatever the locale.
bool IsSymbolStart(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '.' || c == '@';
}

bool IsSymbolChar(char c) { return IsSymbolStart(c) || (c >= '0' && c <= '9'); }

size_t SymbolEnd(std::string_view text, size_t pos) {
  size_t i = pos;
  while (i < text.size()) {
    if (IsSymbolChar(text[i])) {
      ++i;
    } else if (text[i] == '&' && i > pos && text[i - 1] == '_' && i + 1 < text.size() && IsSymbolChar(text[i + 1])) {
      ++i;
    } else {
      break;
    }
  }
  return i;
}

size_t StringEnd(std::string_view text, size_t pos) {
  const char quote = text[pos];
  for (size_t i = pos + 1; i < text.size(); ++i) {
    if (text[i] == '\\') {
      ++i;
    } else if (text[i] == quote) {
      return i + 1;
    }
  }
  return std::string_view::npos;
}

size_t GroupEnd(std::string_view text, size_t open) {
  // The brackets still open, innermost last; deep nesting is refused rather than followed.
  char stack[256];
  size_t depth = 0;
  for (size_t i = open; i < text.size(); ++i) {
    char c = text[i];
    if (IsQuote(c)) {
      size_t end = StringEnd(text, i);
      if (end == std::string_view::npos) return end;
      i = end - 1;
    } else if (c == '(' || c == '[') {
      if (depth == sizeof stack) return std::string_view::npos;
      stack[depth++] = c == '(' ? ')' : ']';
    } else if ((c == ')' || c == ']') && depth > 0 && stack[depth - 1] == c) {
      if (--depth == 0) return i;
    }
  }
  return std::string_view::npos;
}

std::string_view StripComment(std::string_view text) {
  if (text.find(';') == std::string_view::npos) return text;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (IsQuote(c)) {
      size_t end = StringEnd(text, i);
      if (end != std::string_view::npos) i = end - 1;
      continue;
    }
    if (c == ';') return text.substr(0, i);
  }
  return text;
}

std::string_view NextToken(std::string_view& rest) {
  size_t i = 0;
  while (i < rest.size() && IsSpace(rest[i])) ++i;
  size_t start = i;
  // Blanks inside a string or a [ ] group do not end the word: "name[a, b]" stays one.
  while (i < rest.size() && !IsSpace(rest[i])) {
    size_t end = std::string_view::npos;
    if (IsQuote(rest[i])) {
      end = StringEnd(rest, i);
    } else if (rest[i] == '[') {
      end = GroupEnd(rest, i);
      if (end != std::string_view::npos) ++end;
    }
    i = end == std::string_view::npos ? i + 1 : end;
  }
  std::string_view token = rest.substr(start, i - start);
  rest = rest.substr(i);
  return token;
}

std::vector<std::string_view> SplitOperands(std::string_view text) {
  std::vector<std::string_view> parts;
  text = Trim(text);
  if (text.empty()) return parts;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (IsQuote(c)) {
      size_t end = StringEnd(text, i);
      if (end != std::string_view::npos) i = end - 1;
    } else if (c == '(' || c == '[') {
      // A group that does not close holds the rest of the text.
      i = GroupEnd(text, i);
      if (i == std::string_view::npos) break;
    } else if (c == ',') {
      parts.push_back(Trim(text.substr(start, i - start)));
      start = i + 1;
    }
  }
  parts.push_back(Trim(text.substr(start)));
  return parts;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (IsSpace(text.front()) || text.front() == '\r')) text.remove_prefix(1);
  while (!text.empty() && (IsSpace(text.back()) || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

std::string Upper(std::string_view text) {
  std::string result(text);
  for (char& c : result)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return result;
}

std::string Shown(std::string_view text) {
  constexpr size_t kLongest = 40;
  if (text.size() <= kLongest) return std::string(text);
  return std::string(text.substr(0, kLongest)) + "...";
}

bool ValidSymbolName(std::string_view name) {
  return !name.empty() && IsSymbolStart(name[0]) && SymbolEnd(name, 0) == name.size();
}

bool IsStringToken(std::string_view text) {
  return !text.empty() && IsQuote(text[0]) && StringEnd(text, 0) == text.size();
}

bool DecodeString(std::string_view token, std::string& out, std::string& error) {
  out.clear();
  if (!IsStringToken(token)) {
    error = "missing closing quote";
    return false;
  }
  std::string_view body = token.substr(1, token.size() - 2);
  for (size_t i = 0; i < body.size(); ++i) {
    char c = body[i];
    if (c == '\\') {
      char next = body[++i];
      if (next != '\\' && next != '"' && next != '\'') {
        error = std::string("the escape \\") + next + " is not supported (only \\\\, \\\" and \\')";
        return false;
      }
      c = next;
    }
    out += c;
  }
  return true;
}

namespace {

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

bool Digits(std::string_view text, int base, int64_t& value, std::string& error) {
  if (text.empty()) {
    error = "bad number";
    return false;
  }
  uint64_t v = 0;
  for (char c : text) {
    if (c == '_') continue;
    int d = DigitValue(c);
    if (d >= base) {
      error = "bad digit '" + std::string(1, c) + "' in number";
      return false;
    }
    v = v * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
    if (v > 0xFFFFFFFFull) {
      error = "number too large";
      return false;
    }
  }
  value = static_cast<int32_t>(static_cast<uint32_t>(v));
  return true;
}

size_t AlnumEnd(std::string_view text, size_t from) {
  while (from < text.size() && (std::isalnum(static_cast<unsigned char>(text[from])) || text[from] == '_')) ++from;
  return from;
}

}  // namespace

bool ScanNumber(std::string_view text, size_t pos, size_t& end, int64_t& value, std::string& error) {
  char c = text[pos];
  if (c == '$' || c == '%') {
    end = AlnumEnd(text, pos + 1);
    return Digits(text.substr(pos + 1, end - pos - 1), c == '$' ? 16 : 2, value, error);
  }
  end = AlnumEnd(text, pos);
  std::string_view t = text.substr(pos, end - pos);
  if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) return Digits(t.substr(2), 16, value, error);
  char last = t.back();
  if (last == 'h' || last == 'H') return Digits(t.substr(0, t.size() - 1), 16, value, error);
  if (t.size() > 2 && t[0] == '0' && (t[1] == 'b' || t[1] == 'B')) return Digits(t.substr(2), 2, value, error);
  if (last == 'b' || last == 'B') return Digits(t.substr(0, t.size() - 1), 2, value, error);
  return Digits(t, 10, value, error);
}

Token Scanner::Next(bool valueExpected) {
  while (pos_ < text_.size() && IsSpace(text_[pos_])) ++pos_;
  Token t;
  t.pos = pos_;
  if (pos_ >= text_.size()) {
    t.end = pos_;
    return t;
  }
  const char c = text_[pos_];
  const char next = pos_ + 1 < text_.size() ? text_[pos_ + 1] : '\0';
  size_t end = pos_ + 1;
  if (IsSymbolStart(c)) {
    t.kind = Token::kName;
    end = SymbolEnd(text_, pos_);
  } else if (std::isdigit(static_cast<unsigned char>(c)) ||
             (c == '$' && std::isalnum(static_cast<unsigned char>(next))) ||
             (c == '%' && valueExpected && (next == '0' || next == '1'))) {
    std::string error;
    t.kind = ScanNumber(text_, pos_, end, t.value, error) ? Token::kNumber : Token::kBadNumber;
  } else if (IsQuote(c)) {
    end = StringEnd(text_, pos_);
    t.kind = Token::kString;
    if (end == std::string_view::npos) t.kind = Token::kUnclosed, end = text_.size();
  } else if (c == '(' || c == '[') {
    t.kind = Token::kOpen;
  } else if (c == ')' || c == ']') {
    t.kind = Token::kClose;
  } else if (c == ',') {
    t.kind = Token::kComma;
  } else {
    t.kind = Token::kOperator;
    static const char kPairs[][3] = {"||", "&&", "==", "!=", "<>", "<=", ">=", "<<", ">>"};
    for (const char* pair : kPairs)
      if (c == pair[0] && next == pair[1]) end = pos_ + 2;
  }
  t.end = end;
  t.text = text_.substr(pos_, end - pos_);
  pos_ = end;
  return t;
}

}  // namespace cpasm
