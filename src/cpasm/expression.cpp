#include "cpasm/expression.h"

#include <cctype>

namespace cpasm {

namespace {

constexpr int kMaxDepth = 200;

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
        if (TakeWord("_ROTL16")) return 'l' + 256;
        if (TakeWord("_ROTR16")) return 'r' + 256;
        if (TakeWord("_ROTL32")) return 'l' + 512;
        if (TakeWord("_ROTR32")) return 'r' + 512;
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
      case 'l' + 256:
      case 'r' + 256:
      case 'l' + 512:
      case 'r' + 512:
        return Rotate(a, b, op > 512 ? 32 : 16, (op & 0xFF) == 'l');
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

  // _ROTL16 and kin: the low 16 (or all 32) bits of `a` rotated by `b` places, `b` taken modulo
  // the width (so a negative amount turns the other way).
  static int64_t Rotate(int64_t a, int64_t b, int width, bool left) {
    const uint32_t mask = width == 16 ? 0xFFFFu : 0xFFFFFFFFu;
    const uint32_t v = static_cast<uint32_t>(a) & mask;
    int n = static_cast<int>(((b % width) + width) % width);
    if (!left) n = (width - n) % width;
    if (n == 0) return v;
    return static_cast<uint32_t>(((v << n) | (v >> (width - n))) & mask);
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

  int64_t Primary() {
    SkipSpace();
    if (pos_ >= text_.size()) {
      Fail("missing value");
      return 0;
    }
    char c = text_[pos_];
    if (c == '(' && context_.list) {
      // (list)[i]: one element of an expression list or string, 0 past its end.
      size_t close = ClosingParen(text_, pos_);
      size_t after = close == std::string_view::npos ? close : close + 1;
      while (after < text_.size() && (text_[after] == ' ' || text_[after] == '\t')) ++after;
      if (after < text_.size() && text_[after] == '[') {
        std::vector<int64_t> values;
        if (!context_.list(text_.substr(pos_ + 1, close - pos_ - 1), values)) {
          Fail("bad list in " + Shorter(text_.substr(pos_, after - pos_)));
          return 0;
        }
        pos_ = after + 1;
        int64_t index = Binary(0);
        SkipSpace();
        if (Take(",")) {
          Fail("a slice (list)[a, b] is a list: use it as a data item of its own");
          return 0;
        }
        if (!Take("]")) {
          Fail("missing ']'");
          return 0;
        }
        return index >= 0 && index < static_cast<int64_t>(values.size()) ? values[static_cast<size_t>(index)] : 0;
      }
    }
    if (c == '(') {
      ++pos_;
      int64_t v = Binary(0);
      SkipSpace();
      if (!Take(")")) Fail("missing ')'");
      return v;
    }
    if (c == '$' && !(pos_ + 1 < text_.size() && std::isalnum(static_cast<unsigned char>(text_[pos_ + 1])))) {
      ++pos_;
      return context_.location;
    }
    if (c == '$' || std::isdigit(static_cast<unsigned char>(c)) ||
        (c == '%' && pos_ + 1 < text_.size() && (text_[pos_ + 1] == '0' || text_[pos_ + 1] == '1'))) {
      size_t end = pos_;
      int64_t v = 0;
      std::string error;
      if (!ScanNumber(text_, pos_, end, v, error)) Fail(error);
      pos_ = end;
      return v;
    }
    if (IsQuote(c)) {
      std::string chars;
      if (!TakeString(chars)) return 0;
      if (chars.size() != 1) {
        Fail("a string of " + std::to_string(chars.size()) + " characters is not a single value");
        return 0;
      }
      return static_cast<unsigned char>(chars[0]);
    }
    if (IsSymbolStart(c)) {
      size_t start = pos_;
      pos_ = SymbolEnd(text_, pos_);
      std::string_view name = text_.substr(start, pos_ - start);
      int64_t v = 0;
      if (SameWord(name, "DEFINED")) return Defined();
      SkipSpace();
      if (SameWord(name, "STRLEN") || SameWord(name, "ASC")) return StringFunction(SameWord(name, "ASC"));
      if (SameWord(name, "CLASSIFY") && pos_ < text_.size() && text_[pos_] == '(' && context_.classify) {
        size_t close = ClosingParen(text_, pos_);
        if (close == std::string_view::npos) {
          Fail("missing ')'");
          return 0;
        }
        std::string_view inside = text_.substr(pos_ + 1, close - pos_ - 1);
        pos_ = close + 1;
        return context_.classify(inside);
      }
      if (pos_ < text_.size() && text_[pos_] == '[') {
        ++pos_;
        int64_t index = Binary(0);
        SkipSpace();
        if (Take(",")) {
          Fail("the slice " + Shorter(name) + "[a, b] is a list: use it as a data item of its own");
          return 0;
        }
        if (!Take("]")) {
          Fail("missing ']'");
          return 0;
        }
        std::string error;
        if (error_.empty() && (!context_.element || !context_.element(name, index, v, error))) {
          Fail(error.empty() ? "undefined symbol " + Shorter(name) : error);
          return 0;
        }
        return v;
      }
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
    pos_ = SymbolEnd(text_, pos_);
    if (start == pos_ || !IsSymbolStart(text_[start])) {
      Fail("DEFINED needs a symbol name");
      return 0;
    }
    std::string_view name = text_.substr(start, pos_ - start);
    SkipSpace();
    if (parenthesised && !Take(")")) Fail("missing ')'");
    return context_.defined && context_.defined(name) ? 1 : 0;
  }

  // A quoted string at pos_, decoded.
  bool TakeString(std::string& chars) {
    size_t end = StringEnd(text_, pos_);
    if (end == std::string_view::npos) {
      Fail("missing closing quote");
      return false;
    }
    std::string error;
    if (!DecodeString(text_.substr(pos_, end - pos_), chars, error)) {
      Fail(error);
      return false;
    }
    pos_ = end;
    return true;
  }

  // STRLEN("text") is its length; ASC("text", i) the code of character i, 0 past the end.
  int64_t StringFunction(bool asc) {
    const char* name = asc ? "ASC" : "STRLEN";
    if (!Take("(")) {
      Fail(std::string(name) + " needs ( ) around its operands");
      return 0;
    }
    SkipSpace();
    std::string chars;
    if (pos_ >= text_.size() || !IsQuote(text_[pos_])) {
      Fail(std::string(name) + " needs a quoted string");
      return 0;
    }
    if (!TakeString(chars)) return 0;
    int64_t index = 0;
    SkipSpace();
    if (asc) {
      if (!Take(",")) {
        Fail("ASC needs a string and an index");
        return 0;
      }
      index = Binary(0);
      SkipSpace();
    }
    if (!Take(")")) {
      Fail("missing ')'");
      return 0;
    }
    if (!asc) return static_cast<int64_t>(chars.size());
    return index >= 0 && index < static_cast<int64_t>(chars.size()) ? static_cast<unsigned char>(chars[index]) : 0;
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
