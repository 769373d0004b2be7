#include "cpasm/expression.h"

#include <cctype>

namespace cpasm {

bool IsSymbolStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_' || c == '.' || c == '@'; }

bool IsSymbolChar(char c) { return IsSymbolStart(c) || std::isdigit(static_cast<unsigned char>(c)); }

namespace {

constexpr int kMaxDepth = 200;

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

bool SameWord(std::string_view a, const char* b) {
  size_t i = 0;
  for (; b[i]; ++i)
    if (i >= a.size() || std::toupper(static_cast<unsigned char>(a[i])) != b[i]) return false;
  return i == a.size();
}

class Parser {
 public:
  Parser(std::string_view text, const ExprContext& context) : text_(text), context_(context) {}

  ExprResult Run() {
    SkipSpace();
    if (pos_ >= text_.size()) {
      Fail("missing value");
      return Finish();
    }
    value_ = Binary(0);
    SkipSpace();
    if (error_.empty() && pos_ < text_.size()) Fail("unexpected '" + std::string(1, text_[pos_]) + "' in expression");
    return Finish();
  }

 private:
  ExprResult Finish() {
    ExprResult result;
    result.ok = error_.empty();
    result.value = result.ok ? value_ : 0;
    result.error = error_;
    return result;
  }

  void Fail(const std::string& message) {
    if (error_.empty()) error_ = message;
  }

  void SkipSpace() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
  }

  bool Take(std::string_view symbol) {
    if (text_.substr(pos_, symbol.size()) != symbol) return false;
    pos_ += symbol.size();
    return true;
  }

  // A word operator (AND, SHL, ...) standing alone.
  bool TakeWord(const char* word) {
    size_t end = pos_;
    while (end < text_.size() && IsSymbolChar(text_[end])) ++end;
    if (end == pos_ || !SameWord(text_.substr(pos_, end - pos_), word)) return false;
    pos_ = end;
    return true;
  }

  // Binary operator at precedence `level` or above (0 lowest); returns its code, or 0.
  int TakeOperator(int level) {
    SkipSpace();
    if (pos_ >= text_.size()) return 0;
    switch (level) {
      case 0:
        if (Take("||")) return 'o';
        return 0;
      case 1:
        if (Take("&&")) return 'a';
        return 0;
      case 2:
        if (text_.substr(pos_, 2) != "||" && Take("|")) return '|';
        if (TakeWord("OR")) return '|';
        return 0;
      case 3:
        if (Take("^")) return '^';
        if (TakeWord("XOR")) return '^';
        return 0;
      case 4:
        if (text_.substr(pos_, 2) != "&&" && Take("&")) return '&';
        if (TakeWord("AND")) return '&';
        return 0;
      case 5:
        if (Take("==") || Take("=")) return '=';
        if (Take("!=") || Take("<>")) return 'n';
        if (TakeWord("EQ")) return '=';
        if (TakeWord("NE")) return 'n';
        return 0;
      case 6:
        if (Take("<=")) return 'l';
        if (Take(">=")) return 'g';
        if (text_.substr(pos_, 2) != "<<" && text_.substr(pos_, 2) != "<>" && Take("<")) return '<';
        if (text_.substr(pos_, 2) != ">>" && Take(">")) return '>';
        if (TakeWord("LE")) return 'l';
        if (TakeWord("GE")) return 'g';
        if (TakeWord("LT")) return '<';
        if (TakeWord("GT")) return '>';
        return 0;
      case 7:
        if (Take("<<") || TakeWord("SHL")) return 'L';
        if (Take(">>") || TakeWord("SHR")) return 'R';
        return 0;
      case 8:
        if (Take("+")) return '+';
        if (Take("-")) return '-';
        return 0;
      case 9:
        if (Take("*")) return '*';
        if (Take("/")) return '/';
        if (Take("%") || TakeWord("MOD")) return '%';
        return 0;
    }
    return 0;
  }

  int64_t Apply(int op, int64_t a, int64_t b) {
    switch (op) {
      case 'o':
        return (a || b) ? 1 : 0;
      case 'a':
        return (a && b) ? 1 : 0;
      case '|':
        return a | b;
      case '^':
        return a ^ b;
      case '&':
        return a & b;
      case '=':
        return a == b ? 1 : 0;
      case 'n':
        return a != b ? 1 : 0;
      case '<':
        return a < b ? 1 : 0;
      case '>':
        return a > b ? 1 : 0;
      case 'l':
        return a <= b ? 1 : 0;
      case 'g':
        return a >= b ? 1 : 0;
      case 'L':
        return (b < 0 || b > 62) ? 0 : static_cast<int64_t>(static_cast<uint64_t>(a) << b);
      case 'R':
        return (b < 0 || b > 62) ? (a < 0 ? -1 : 0) : (a >> b);
      case '+':
        return a + b;
      case '-':
        return a - b;
      case '*':
        return a * b;
      case '/':
      case '%':
        if (b == 0) {
          Fail("division by zero");
          return 0;
        }
        return op == '/' ? a / b : a % b;
    }
    return 0;
  }

  static int64_t Clamp(int64_t v) {
    // Keeps values in 32 bits so that sums and products of them never overflow.
    return static_cast<int32_t>(static_cast<uint32_t>(v & 0xFFFFFFFF));
  }

  int64_t Binary(int level) {
    if (level > 9) return Unary();
    int64_t left = Binary(level + 1);
    while (error_.empty()) {
      int op = TakeOperator(level);
      if (!op) break;
      int64_t right = Binary(level + 1);
      left = Clamp(Apply(op, left, right));
    }
    return left;
  }

  int64_t Unary() {
    SkipSpace();
    if (++depth_ > kMaxDepth) {
      Fail("expression nested too deeply");
      return 0;
    }
    int64_t result;
    if (Take("-"))
      result = Clamp(-Unary());
    else if (Take("+"))
      result = Unary();
    else if (Take("~"))
      result = Clamp(~Unary());
    else if (Take("!"))
      result = Unary() == 0 ? 1 : 0;
    else if (TakeWord("NOT"))
      result = Clamp(~Unary());
    else
      result = Primary();
    --depth_;
    return result;
  }

  int64_t Number(int base, size_t start, size_t end) {
    if (start == end) {
      Fail("bad number");
      return 0;
    }
    uint64_t value = 0;
    for (size_t i = start; i < end; ++i) {
      int d = DigitValue(text_[i]);
      if (text_[i] == '_') continue;
      if (d >= base) {
        Fail("bad digit '" + std::string(1, text_[i]) + "' in number");
        return 0;
      }
      value = value * base + d;
      if (value > 0xFFFFFFFFull) {
        Fail("number too large");
        return 0;
      }
    }
    return Clamp(static_cast<int64_t>(value));
  }

  size_t DigitsEnd(size_t from) const {
    while (from < text_.size() && (std::isalnum(static_cast<unsigned char>(text_[from])) || text_[from] == '_')) ++from;
    return from;
  }

  int64_t Primary() {
    SkipSpace();
    if (pos_ >= text_.size()) {
      Fail("missing value");
      return 0;
    }
    char c = text_[pos_];
    if (c == '(') {
      ++pos_;
      int64_t v = Binary(0);
      SkipSpace();
      if (!Take(")")) Fail("missing ')'");
      return v;
    }
    if (c == '$') {
      size_t end = DigitsEnd(pos_ + 1);
      if (end == pos_ + 1) {
        ++pos_;
        return context_.location;
      }
      int64_t v = Number(16, pos_ + 1, end);
      pos_ = end;
      return v;
    }
    if (c == '%' && pos_ + 1 < text_.size() && (text_[pos_ + 1] == '0' || text_[pos_ + 1] == '1')) {
      size_t end = DigitsEnd(pos_ + 1);
      int64_t v = Number(2, pos_ + 1, end);
      pos_ = end;
      return v;
    }
    if (c == '\'') {
      if (pos_ + 2 < text_.size() && text_[pos_ + 2] == '\'') {
        int64_t v = static_cast<unsigned char>(text_[pos_ + 1]);
        pos_ += 3;
        return v;
      }
      Fail("bad character constant");
      return 0;
    }
    if (std::isdigit(static_cast<unsigned char>(c))) {
      size_t end = DigitsEnd(pos_);
      size_t start = pos_;
      pos_ = end;
      if (end - start > 2 && text_[start] == '0' && (text_[start + 1] == 'x' || text_[start + 1] == 'X'))
        return Number(16, start + 2, end);
      if (end - start > 2 && text_[start] == '0' && (text_[start + 1] == 'b' || text_[start + 1] == 'B'))
        return Number(2, start + 2, end);
      char last = text_[end - 1];
      if (last == 'h' || last == 'H') return Number(16, start, end - 1);
      return Number(10, start, end);
    }
    if (IsSymbolStart(c)) {
      size_t start = pos_;
      while (pos_ < text_.size() && IsSymbolChar(text_[pos_])) ++pos_;
      std::string_view name = text_.substr(start, pos_ - start);
      int64_t v = 0;
      if (SameWord(name, "DEFINED")) return Defined();
      SkipSpace();
      if (pos_ < text_.size() && text_[pos_] == '(') {
        Fail("the function " + Shorter(name) + "() is not supported");
        return 0;
      }
      if (!context_.symbol || !context_.symbol(name, v)) {
        Fail("undefined symbol " + Shorter(name));
        return 0;
      }
      return v;
    }
    Fail("unexpected '" + std::string(1, c) + "' in expression");
    return 0;
  }

  static std::string Shorter(std::string_view name) {
    return name.size() > 40 ? std::string(name.substr(0, 40)) + "..." : std::string(name);
  }

  // DEFINED name or DEFINED(name): 1 when the symbol has a value.
  int64_t Defined() {
    SkipSpace();
    bool parenthesised = Take("(");
    SkipSpace();
    size_t start = pos_;
    while (pos_ < text_.size() && IsSymbolChar(text_[pos_])) ++pos_;
    if (start == pos_ || !IsSymbolStart(text_[start])) {
      Fail("DEFINED needs a symbol name");
      return 0;
    }
    std::string_view name = text_.substr(start, pos_ - start);
    SkipSpace();
    if (parenthesised && !Take(")")) Fail("missing ')'");
    int64_t ignored = 0;
    return context_.symbol && context_.symbol(name, ignored) ? 1 : 0;
  }

  std::string_view text_;
  const ExprContext& context_;
  size_t pos_ = 0;
  int depth_ = 0;
  int64_t value_ = 0;
  std::string error_;
};

}  // namespace

ExprResult Evaluate(std::string_view text, const ExprContext& context) { return Parser(text, context).Run(); }

}  // namespace cpasm
