#include "cpasm/lexer.h"

#include <cctype>

namespace cpasm {

bool IsSymbolStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_' || c == '.' || c == '@'; }

bool IsSymbolChar(char c) { return IsSymbolStart(c) || std::isdigit(static_cast<unsigned char>(c)); }

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

size_t ClosingParen(std::string_view text, size_t open) {
  int depth = 0;
  for (size_t i = open; i < text.size(); ++i) {
    if (IsQuote(text[i])) {
      size_t end = StringEnd(text, i);
      if (end == std::string_view::npos) return end;
      i = end - 1;
    } else if (text[i] == '(') {
      ++depth;
    } else if (text[i] == ')' && --depth == 0) {
      return i;
    }
  }
  return std::string_view::npos;
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

}  // namespace cpasm
