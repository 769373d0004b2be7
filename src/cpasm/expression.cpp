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

// Reads the expression token by token: `token_` is the one in hand.
class Parser {
 public:
  Parser(std::string_view text, const ExprContext& context) : text_(text), scanner_(text), context_(context) {}

  ExprResult Run() {
    Advance(true);
    if (token_.kind == Token::kEnd) {
      Fail("missing value");
      return Finish();
    }
    value_ = Binary(0);
    if (error_.empty() && token_.kind != Token::kEnd) Unexpected();
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

  void Unexpected() { Fail("unexpected '" + std::string(1, token_.text[0]) + "' in expression"); }

  // The next token; `valueNext` when a value, not an operator, may follow what was taken.
  void Advance(bool valueNext) { token_ = scanner_.Next(valueNext); }

  bool Is(const char* symbol) const { return token_.kind != Token::kEnd && token_.text == symbol; }
  bool IsWord(const char* word) const { return token_.kind == Token::kName && SameWord(token_.text, word); }

  // Takes the token when it is `symbol` (or the word operator `word`).
  bool Take(const char* symbol, const char* word = nullptr) {
    if (!Is(symbol) && !(word && IsWord(word))) return false;
    Advance(true);
    return true;
  }

  // A closing bracket or comma the grammar needs here; a value's end follows a closing bracket.
  bool Expect(char c) {
    if (!token_.Is(c)) {
      Fail(std::string("missing '") + c + "'");
      return false;
    }
    Advance(c != ')' && c != ']');
    return true;
  }

  // Binary operator at precedence `level` (0 lowest); returns its code, or 0.
  int TakeOperator(int level) {
    if (token_.kind != Token::kOperator && token_.kind != Token::kName) return 0;
    switch (level) {
      case 0:
        return Take("||") ? 'o' : 0;
      case 1:
        return Take("&&") ? 'a' : 0;
      case 2:
        return Take("|", "OR") ? '|' : 0;
      case 3:
        return Take("^", "XOR") ? '^' : 0;
      case 4:
        return Take("&", "AND") ? '&' : 0;
      case 5:
        if (Take("==") || Take("=", "EQ")) return '=';
        if (Take("!=") || Take("<>", "NE")) return 'n';
        return 0;
      case 6:
        if (Take("<=", "LE")) return 'l';
        if (Take(">=", "GE")) return 'g';
        if (Take("<", "LT")) return '<';
        if (Take(">", "GT")) return '>';
        return 0;
      case 7:
        if (Take("<<", "SHL")) return 'L';
        if (Take(">>", "SHR")) return 'R';
        if (Take("", "_ROTL16")) return 'l' + 256;
        if (Take("", "_ROTR16")) return 'r' + 256;
        if (Take("", "_ROTL32")) return 'l' + 512;
        if (Take("", "_ROTR32")) return 'r' + 512;
        return 0;
      case 8:
        if (Take("+")) return '+';
        if (Take("-")) return '-';
        return 0;
      case 9:
        if (Take("*")) return '*';
        if (Take("/")) return '/';
        if (Take("%", "MOD")) return '%';
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
    if (++depth_ > kMaxDepth) {
      Fail("expression nested too deeply");
      return 0;
    }
    int64_t result;
    if (Take("-"))
      result = Clamp(-Unary());
    else if (Take("+"))
      result = Unary();
    else if (Take("~") || Take("", "NOT"))
      result = Clamp(~Unary());
    else if (Take("!"))
      result = Unary() == 0 ? 1 : 0;
    else
      result = Primary();
    --depth_;
    return result;
  }

  int64_t Primary() {
    const Token t = token_;
    switch (t.kind) {
      case Token::kEnd:
        Fail("missing value");
        return 0;
      case Token::kNumber:
        Advance(false);
        return t.value;
      case Token::kBadNumber: {
        size_t end = 0;
        int64_t v = 0;
        std::string error;
        ScanNumber(text_, t.pos, end, v, error);
        Fail(error);
        return 0;
      }
      case Token::kString:
      case Token::kUnclosed: {
        std::string chars;
        if (!Decode(chars)) return 0;
        if (chars.size() != 1) {
          Fail("a string of " + std::to_string(chars.size()) + " characters is not a single value");
          return 0;
        }
        return static_cast<unsigned char>(chars[0]);
      }
      case Token::kOpen:
        if (t.Is('[')) break;
        return Parenthesised();
      case Token::kName:
        return Named();
      default:
        if (t.Is('$')) {
          Advance(false);
          return context_.location;
        }
        break;
    }
    Unexpected();
    return 0;
  }

  // ( expression ), or (list)[i]: one element of an expression list or string, 0 past its end.
  int64_t Parenthesised() {
    const size_t open = token_.pos;
    const size_t close = context_.list ? GroupEnd(text_, open) : std::string_view::npos;
    if (close != std::string_view::npos) {
      const Token after = Scanner(text_, close + 1).Next(false);
      if (after.Is('[')) {
        std::vector<int64_t> values;
        if (!context_.list(text_.substr(open + 1, close - open - 1), values)) {
          Fail("bad list in " + Shown(text_.substr(open, after.pos - open)));
          return 0;
        }
        scanner_.Seek(after.end);
        Advance(true);
        int64_t index = 0;
        if (!Index("a slice (list)[a, b] is a list: use it as a data item of its own", index)) return 0;
        return index >= 0 && index < static_cast<int64_t>(values.size()) ? values[static_cast<size_t>(index)] : 0;
      }
    }
    Advance(true);
    int64_t v = Binary(0);
    Expect(')');
    return v;
  }

  // The index inside [ ], taken with its ']'; a second index is an error saying `slice`.
  bool Index(const std::string& slice, int64_t& index) {
    index = Binary(0);
    if (token_.kind == Token::kComma) {
      Fail(slice);
      return false;
    }
    return Expect(']');
  }

  // A symbol, an array element name[i], or DEFINED, STRLEN, ASC, CLASSIFY.
  int64_t Named() {
    const std::string_view name = token_.text;
    if (SameWord(name, "DEFINED")) {
      Advance(true);
      return Defined();
    }
    Advance(false);
    if (SameWord(name, "STRLEN") || SameWord(name, "ASC")) return StringFunction(SameWord(name, "ASC"));
    if (SameWord(name, "CLASSIFY") && token_.Is('(') && context_.classify) {
      size_t close = GroupEnd(text_, token_.pos);
      if (close == std::string_view::npos) {
        Fail("missing ')'");
        return 0;
      }
      std::string_view inside = text_.substr(token_.pos + 1, close - token_.pos - 1);
      scanner_.Seek(close + 1);
      Advance(false);
      return context_.classify(inside);
    }
    int64_t v = 0;
    if (token_.Is('[')) {
      Advance(true);
      int64_t index = 0;
      if (!Index("the slice " + Shown(name) + "[a, b] is a list: use it as a data item of its own", index)) return 0;
      std::string error;
      if (!context_.element || !context_.element(name, index, v, error)) {
        Fail(error.empty() ? "undefined symbol " + Shown(name) : error);
        return 0;
      }
      return v;
    }
    if (token_.Is('(')) {
      Fail("the function " + Shown(name) + "() is not supported");
      return 0;
    }
    if (!context_.symbol || !context_.symbol(name, v)) {
      Fail("undefined symbol " + Shown(name));
      return 0;
    }
    return v;
  }

  // DEFINED name or DEFINED(name): 1 when the symbol has a value.
  int64_t Defined() {
    const bool parenthesised = token_.Is('(');
    if (parenthesised) Advance(true);
    if (token_.kind != Token::kName) {
      Fail("DEFINED needs a symbol name");
      return 0;
    }
    const std::string_view name = token_.text;
    Advance(false);
    if (parenthesised && !Expect(')')) return 0;
    return context_.defined && context_.defined(name) ? 1 : 0;
  }

  // The quoted string in hand, decoded and taken.
  bool Decode(std::string& chars) {
    if (token_.kind == Token::kUnclosed) {
      Fail("missing closing quote");
      return false;
    }
    std::string error;
    if (!DecodeString(token_.text, chars, error)) {
      Fail(error);
      return false;
    }
    Advance(false);
    return true;
  }

  // STRLEN("text") is its length; ASC("text", i) the code of character i, 0 past the end.
  int64_t StringFunction(bool asc) {
    const char* name = asc ? "ASC" : "STRLEN";
    if (!token_.Is('(')) {
      Fail(std::string(name) + " needs ( ) around its operands");
      return 0;
    }
    Advance(true);
    if (token_.kind != Token::kString && token_.kind != Token::kUnclosed) {
      Fail(std::string(name) + " needs a quoted string");
      return 0;
    }
    std::string chars;
    if (!Decode(chars)) return 0;
    int64_t index = 0;
    if (asc) {
      if (token_.kind != Token::kComma) {
        Fail("ASC needs a string and an index");
        return 0;
      }
      Advance(true);
      index = Binary(0);
    }
    if (!Expect(')')) return 0;
    if (!asc) return static_cast<int64_t>(chars.size());
    return index >= 0 && index < static_cast<int64_t>(chars.size()) ? static_cast<unsigned char>(chars[index]) : 0;
  }

  std::string_view text_;
  Scanner scanner_;
  Token token_;
  const ExprContext& context_;
  int depth_ = 0;
  int64_t value_ = 0;
  std::string error_;
};

}  // namespace

ExprResult Evaluate(std::string_view text, const ExprContext& context) { return Parser(text, context).Run(); }

}  // namespace cpasm
