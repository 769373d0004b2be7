// Expression lists, array symbols, texts built from values, and CLASSIFY.
#include <cstdio>
#include <ctime>

#include "cpasm/assembler_state.h"
#include "cpasm/expression.h"
#include "cpasm/lexer.h"

namespace cpasm {

namespace {

// One level deeper for as long as it lives: $( ) and CLASSIFY may call each other.
struct Nesting {
  int& depth;
  explicit Nesting(int& d) : depth(++d) {}
  ~Nesting() { --depth; }
};

// "name[a]" or "name[a, b]": the name and the one or two index texts.
bool SplitIndexed(std::string_view text, std::string_view& name, std::vector<std::string_view>& indexes) {
  size_t end = SymbolEnd(text, 0);
  if (end == 0 || !IsSymbolStart(text[0])) return false;
  std::string_view rest = Trim(text.substr(end));
  // The bracket must close only at the end.
  if (rest.size() < 2 || rest.front() != '[' || GroupEnd(rest, 0) != rest.size() - 1) return false;
  name = text.substr(0, end);
  indexes = SplitOperands(rest.substr(1, rest.size() - 2));
  return indexes.size() == 1 || indexes.size() == 2;
}

// "( list )[a, b]" taking the whole of `text`.
bool SplitListSlice(std::string_view text, std::string_view& list, std::vector<std::string_view>& indexes) {
  if (text.empty() || text[0] != '(') return false;
  const size_t close = GroupEnd(text, 0);
  if (close == std::string_view::npos) return false;
  std::string_view rest = Trim(text.substr(close + 1));
  if (rest.size() < 2 || rest.front() != '[' || GroupEnd(rest, 0) != rest.size() - 1) return false;
  indexes = SplitOperands(rest.substr(1, rest.size() - 2));
  if (indexes.size() != 2) return false;
  list = text.substr(1, close - 1);
  return true;
}

// "$(...)", "$#(...)", "$$(...)" or "$%(...)" taking the whole of `text`: the kind ('(' '#' '$'
// '%') and what is inside.
bool SplitTextCall(std::string_view text, char& kind, std::string_view& inside) {
  if (text.size() < 3 || text[0] != '$') return false;
  size_t open = text[1] == '(' ? 1 : 2;
  if (open == 2 && (text[1] != '#' && text[1] != '$' && text[1] != '%')) return false;
  if (text.size() <= open || text[open] != '(' || GroupEnd(text, open) != text.size() - 1) return false;
  kind = open == 1 ? '(' : text[1];
  inside = text.substr(open + 1, text.size() - open - 2);
  return true;
}

bool IsWord(std::string_view text, std::initializer_list<const char*> words) {
  std::string upper = Upper(text);
  for (const char* w : words)
    if (upper == w) return true;
  return false;
}

}  // namespace

bool Assembler::Element(std::string_view name, int64_t index, int64_t& value, std::string& error) {
  const Symbol* symbol = symbols_.Find(name);
  if (!symbol) {
    error = "undefined symbol " + Shown(name);
    return false;
  }
  if (symbol->definedInPass != pass_) forwardUsed_ = true;
  const auto& elements = symbol->elements;
  if (index < 0 || index >= static_cast<int64_t>(elements.size()) || !elements[index]) {
    error = "element " + std::to_string(index) + " of " + Shown(name) + " has no value";
    return false;
  }
  value = *elements[index];
  return true;
}

bool Assembler::Today(std::string_view item, std::string* text, std::vector<int64_t>* values, bool& ok) {
  ok = true;
  size_t end = SymbolEnd(item, 0);
  std::string name = Upper(item.substr(0, end));
  if (name != "TODAY_STR_LOC" && name != "TODAY_STR_GMT" && name != "TODAY_VAL_LOC" && name != "TODAY_VAL_GMT")
    return false;
  std::string_view rest = Trim(item.substr(end));
  if (rest.size() < 2 || rest.front() != '(' || GroupEnd(rest, 0) != rest.size() - 1) return false;
  std::string_view quoted = Trim(rest.substr(1, rest.size() - 2));
  std::string spec, error;
  if (!DecodeString(quoted, spec, error)) {
    Error(name + " needs a quoted format: " + error);
    return ok = false, true;
  }
  // TODAY_STR_* fills `text`, TODAY_VAL_* `values`.
  if (name[6] == 'S') {
    values = nullptr;
  } else if (!values) {
    Error(name + " gives a list of numbers, not a text");
    return ok = false, true;
  } else {
    text = nullptr;
  }
  std::time_t now = options_.now >= 0 ? static_cast<std::time_t>(options_.now) : std::time(nullptr);
  std::tm local{}, utc{};
#ifdef _WIN32
  localtime_s(&local, &now);
  gmtime_s(&utc, &now);
#else
  localtime_r(&now, &local);
  gmtime_r(&now, &utc);
#endif
  const std::tm& t = name.substr(name.size() - 3) == "GMT" ? utc : local;
  // Minutes east of UTC.
  long zone = 0;
  if (name.substr(name.size() - 3) == "LOC") {
    long long l = ((static_cast<long long>(local.tm_yday) * 24 + local.tm_hour) * 60 + local.tm_min);
    long long u = ((static_cast<long long>(utc.tm_yday) * 24 + utc.tm_hour) * 60 + utc.tm_min);
    if (local.tm_year != utc.tm_year) l += (local.tm_year > utc.tm_year ? 1 : -1) * 366LL * 24 * 60;
    zone = static_cast<long>(l - u);
  }
  for (size_t i = 0; i < spec.size(); ++i) {
    char c = spec[i];
    if (c != '%') {
      if (text) *text += c;
      continue;
    }
    if (++i >= spec.size()) {
      Error(name + ": the format ends in '%'");
      return ok = false, true;
    }
    long value = 0;
    int digits = 2;
    switch (spec[i]) {
      case 'Y':
        value = t.tm_year + 1900, digits = 4;
        break;
      case 'y':
        value = (t.tm_year + 1900) % 100;
        break;
      case 'm':
        value = t.tm_mon + 1;
        break;
      case 'd':
        value = t.tm_mday;
        break;
      case 'H':
        value = t.tm_hour;
        break;
      case 'M':
        value = t.tm_min;
        break;
      case 'S':
        value = t.tm_sec;
        break;
      case 'I':
        value = t.tm_hour % 12 == 0 ? 12 : t.tm_hour % 12;
        break;
      case 'p':
        value = t.tm_hour >= 12 ? 1 : 0, digits = 0;
        break;
      case 'z':
        value = zone, digits = -1;
        break;
      case '%':
        if (text) *text += '%';
        continue;
      default:
        Error(name + ": unknown format character '" + std::string(1, spec[i]) + "'");
        return ok = false, true;
    }
    if (values) {
      values->push_back(value);
      continue;
    }
    char buffer[32];
    if (digits == 0) {
      *text += value ? "PM" : "AM";
    } else if (digits < 0) {
      long a = value < 0 ? -value : value;
      std::snprintf(buffer, sizeof buffer, "%c%02ld%02ld", value < 0 ? '-' : '+', a / 60, a % 60);
      *text += buffer;
    } else {
      std::snprintf(buffer, sizeof buffer, "%0*ld", digits, value);
      *text += buffer;
    }
  }
  return true;
}

bool Assembler::ExpandItem(std::string_view item, std::vector<int64_t>& values) {
  // $( ) inside $( ) inside ...: each level is a call of its own.
  const Nesting nesting(nesting_);
  if (nesting_ > options_.limits.macroDepth) {
    Error("texts and lists nested too deeply");
    return false;
  }
  bool todayOk = true;
  std::string todayText;
  if (Today(item, &todayText, &values, todayOk)) {
    for (char c : todayText) values.push_back(static_cast<unsigned char>(c));
    return todayOk;
  }
  if (IsStringToken(item)) {
    std::string chars, error;
    if (!DecodeString(item, chars, error)) {
      Error(error);
      return false;
    }
    for (char c : chars) values.push_back(static_cast<unsigned char>(c));
    return true;
  }
  char kind = 0;
  std::string_view inside;
  if (SplitTextCall(item, kind, inside)) {
    std::string text;
    if (!EvalText(item, text)) return false;
    for (char c : text) values.push_back(static_cast<unsigned char>(c));
    return true;
  }
  std::string_view name;
  std::vector<std::string_view> indexes;
  std::string_view listText;
  if (SplitListSlice(item, listText, indexes)) {
    std::vector<int64_t> list;
    int64_t first = 0, last = 0;
    if (!EvalList(listText, list) || !Eval(indexes[0], first) || !Eval(indexes[1], last)) return false;
    // Past the end of a list is 0.
    const int64_t step = last >= first ? 1 : -1;
    for (int64_t i = first;; i += step) {
      values.push_back(i >= 0 && i < static_cast<int64_t>(list.size()) ? list[static_cast<size_t>(i)] : 0);
      if (i == last || values.size() > options_.limits.arrayElements) break;
    }
    return true;
  }
  if (SplitIndexed(item, name, indexes) && indexes.size() == 2) {
    int64_t first = 0, last = 0;
    if (!Eval(indexes[0], first) || !Eval(indexes[1], last)) return false;
    if (first < 0 || last < 0) {
      Error("negative index in " + Shown(item));
      return false;
    }
    int64_t step = last >= first ? 1 : -1;
    for (int64_t i = first;; i += step) {
      int64_t v = 0;
      std::string error;
      if (!Element(name, i, v, error)) {
        Error(error);
        return false;
      }
      values.push_back(v);
      if (i == last) break;
    }
    return true;
  }
  int64_t v = 0;
  bool ok = Eval(item, v);
  values.push_back(v);
  return ok;
}

bool Assembler::EvalList(std::string_view text, std::vector<int64_t>& values) {
  values.clear();
  bool ok = true;
  for (std::string_view item : SplitOperands(text)) ok = ExpandItem(item, values) && ok;
  return ok;
}

bool Assembler::EvalText(std::string_view item, std::string& text) {
  item = Trim(item);
  text.clear();
  if (IsStringToken(item)) {
    std::string error;
    if (!DecodeString(item, text, error)) {
      Error(error);
      return false;
    }
    return true;
  }
  bool todayOk = true;
  if (Today(item, &text, nullptr, todayOk)) return todayOk;  // TODAY_VAL_* is an error here
  char kind = 0;
  std::string_view inside;
  if (!SplitTextCall(item, kind, inside)) {
    Error("expected a quoted text, $( ) or TODAY_STR_LOC( ), not " + Shown(item));
    return false;
  }
  if (kind == '(') {
    std::vector<int64_t> values;
    if (!EvalList(inside, values)) return false;
    for (int64_t v : values) text += static_cast<char>(v & 0xFF);
    return true;
  }
  int64_t v = 0;
  if (!Eval(inside, v)) return false;
  char buffer[32];
  if (kind == '#') std::snprintf(buffer, sizeof buffer, "%lld", static_cast<long long>(v));
  if (kind == '$') std::snprintf(buffer, sizeof buffer, "%04X", static_cast<unsigned>(v & 0xFFFF));
  if (kind == '%') std::snprintf(buffer, sizeof buffer, "%08X", static_cast<unsigned>(v & 0xFFFFFFFF));
  text = buffer;
  return true;
}

int64_t Assembler::Classify(std::string_view text) {
  const Nesting nesting(nesting_);
  if (nesting_ > options_.limits.macroDepth) {
    Error("CLASSIFY nested too deeply");
    return -10000;
  }
  constexpr int64_t kAbsolute = -1, kSet = -2, kEqu = -3, kString = -4, kFeature = -5, kReserved = -6, kEmpty = -7,
                    kUndefined = -10000;
  text = Trim(text);
  if (text.empty()) return kEmpty;
  if (IsStringToken(text)) return kString;
  std::string upper = Upper(text);
  if (upper.size() == 2 && upper[0] == 'R' && upper[1] >= '0' && upper[1] <= '7') return upper[1] - '0';
  if (upper == "SP") return 6;
  if (upper == "PC") return 7;
  if (IsWord(text, {"MACRO", "ENDM"})) return kFeature;
  if (IsWord(text,
             {"AND", "OR", "XOR",     "NOT",      "SHL",    "SHR", "MOD",     "EQ",      "NE",      "LT",     "GT",
              "LE",  "GE", "DEFINED", "CLASSIFY", "STRLEN", "ASC", "_ROTL16", "_ROTR16", "_ROTL32", "_ROTR32"}))
    return kReserved;
  if (ValidSymbolName(text)) {
    const Symbol* symbol = symbols_.Find(text);
    if (!symbol || symbol->definedInPass != pass_) return kUndefined;
    return symbol->kind == 'S' ? kSet : symbol->kind == 'E' ? kEqu : kAbsolute;
  }
  // An expression: absolute when every symbol in it is defined so far.
  ExprContext context;
  context.location = lineAddress_;
  bool known = true;
  context.symbol = [&](std::string_view name, int64_t& out) {
    const Symbol* symbol = symbols_.Find(name);
    if (!symbol || symbol->definedInPass != pass_) return known = false;
    out = symbol->value;
    return true;
  };
  context.defined = [this](std::string_view name) { return symbols_.DefinedSoFar(name); };
  // An element never assigned (so far in this pass) is undefined, like a symbol.
  context.element = [&](std::string_view name, int64_t index, int64_t& out, std::string& error) {
    const Symbol* symbol = symbols_.Find(name);
    if (!symbol || symbol->definedInPass != pass_) return known = false;
    const auto& elements = symbol->elements;
    if (index < 0 || index >= static_cast<int64_t>(elements.size()) || !elements[index]) {
      error = "element " + std::to_string(index) + " of " + Shown(name) + " has no value";
      return known = false;
    }
    out = *elements[index];
    return true;
  };
  ExprResult result = Evaluate(text, context);
  return result.ok && known ? kAbsolute : kUndefined;
}

bool Assembler::ReserveElements(size_t before, size_t after) {
  if (symbols_.ReserveElements(before, after, options_.limits.arrayElements)) return true;
  Report(true, "array symbols hold more than " + std::to_string(options_.limits.arrayElements) + " elements in all",
         true);
  stopped_ = true;
  return false;
}

void Assembler::DoEqu(const DirectiveCall& call) {
  if (call.label.empty()) return Error(call.op + " needs a label");
  const bool variable = call.op == "SET" || call.op == "QSET";
  const char kind = variable ? 'S' : 'E';
  std::string_view operands = Trim(call.operands);
  std::string_view name = call.label;
  std::vector<std::string_view> indexes;
  const bool indexed = call.label.find('[') != std::string_view::npos;
  if (indexed && !SplitIndexed(call.label, name, indexes)) return Error("bad label '" + Shown(call.label) + "'");
  if (!ValidSymbolName(name)) return Error("bad label '" + Shown(name) + "'");

  // A plain scalar: the fast and common case.
  std::vector<std::string_view> items = SplitOperands(operands);
  std::string_view dummyName;
  std::vector<std::string_view> dummy;
  char textKind = 0;
  std::string_view inside;
  // 'A' stands for its code; "A" is a string, an array of one character.
  std::string one, error;
  const bool charConstant = items.size() == 1 && !items[0].empty() && items[0][0] == '\'' &&
                            DecodeString(items[0], one, error) && one.size() == 1;
  const bool scalar =
      items.size() == 1 && (charConstant || !IsStringToken(items[0])) && !SplitTextCall(items[0], textKind, inside) &&
      !(SplitIndexed(items[0], dummyName, dummy) && dummy.size() == 2) && Upper(items[0].substr(0, 6)) != "TODAY_";
  if (!indexed && scalar) {
    int64_t value = 0;
    Eval(operands, value);
    Define(name, value, variable, kind);
    return;
  }
  std::vector<int64_t> values;
  if (!EvalList(operands, values)) return;
  if (values.empty()) return Error(call.op + " needs a value");
  if (!indexed) {
    Symbol* symbol = Define(name, static_cast<int64_t>(values.size()) - 1, variable, kind);
    if (!symbol) return;
    std::vector<std::optional<int64_t>> elements(values.begin(), values.end());
    // Like SET values, SET arrays change within a pass; only EQU arrays must settle.
    if (!variable && pass_ > 1 && symbol->elements != elements) symbols_.MarkChanged();
    if (!ReserveElements(symbol->elements.size(), elements.size())) return;
    symbol->elements = std::move(elements);
    return;
  }
  int64_t first = 0, last = 0;
  if (!Eval(indexes[0], first)) return;
  last = first;
  if (indexes.size() == 2 && !Eval(indexes[1], last)) return;
  if (first < 0 || last < 0 || first > 65535 || last > 65535) return Error("array index outside 0 to 65535");
  const int64_t count = (last >= first ? last - first : first - last) + 1;
  if (indexes.size() == 1 && values.size() > 1) return Error("arrays of more than one dimension are not supported");
  if (static_cast<int64_t>(values.size()) != count)
    return Error("the slice holds " + std::to_string(count) + " element(s), the list " + std::to_string(values.size()));
  // Element assignments extend the array; the symbol's own value becomes the highest index.
  Symbol* symbol = symbols_.Find(name);
  if (!symbol || symbol->definedInPass != pass_) {
    // The first assignment in this pass starts the array afresh.
    symbol = Define(name, std::max(first, last), true, kind);
    if (!symbol) return;
    symbol->earlier.clear();
    if (!variable) symbol->earlier = std::move(symbol->elements);
    symbol->elements.clear();
  } else {
    symbol->value = std::max(symbol->value, std::max(first, last));
  }
  const int64_t step = last >= first ? 1 : -1;
  if (static_cast<int64_t>(symbol->elements.size()) <= std::max(first, last)) {
    if (!ReserveElements(symbol->elements.size(), static_cast<size_t>(std::max(first, last) + 1))) return;
    symbol->elements.resize(static_cast<size_t>(std::max(first, last) + 1));
  }
  for (int64_t k = 0; k < count; ++k) {
    const size_t at = static_cast<size_t>(first + k * step);
    if (!variable && pass_ > 1 &&
        (at >= symbol->earlier.size() || symbol->earlier[at] != values[static_cast<size_t>(k)]))
      symbols_.MarkChanged();
    symbol->elements[at] = values[static_cast<size_t>(k)];
  }
}

}  // namespace cpasm
