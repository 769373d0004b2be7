#include "cpasm/assembler.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <unordered_set>

#include "cpasm/assembler_state.h"
#include "cpasm/expression.h"

namespace cpasm {

namespace {

constexpr int kMaxPasses = 8;
constexpr int kMaxErrors = 500;
constexpr size_t kMaxIncludeDepth = 32;
constexpr int kMaxMacroDepth = 64;
constexpr int64_t kMaxRepeat = 65536;
constexpr size_t kMaxExpandedLine = 1000000;
constexpr long long kMaxLinesPerPass = 500000;

void SplitLines(SourceFile& file, int index) {
  std::string_view text = file.text;
  size_t start = 0;
  int number = 1;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    file.lines.push_back({index, number++, line});
    start = end + 1;
  }
}

// The line without its comment (from a ';' outside quotes).
std::string_view StripComment(std::string_view text) {
  bool inString = false;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '"') inString = !inString;
    if (inString) continue;
    if (c == '\'' && i + 2 < text.size() && text[i + 2] == '\'') {
      i += 2;
      continue;
    }
    if (c == ';') return text.substr(0, i);
  }
  return text;
}

bool IsSpace(char c) { return c == ' ' || c == '\t'; }

// The next run of non-blank characters, and what follows it.
std::string_view NextToken(std::string_view& rest) {
  size_t i = 0;
  while (i < rest.size() && IsSpace(rest[i])) ++i;
  size_t start = i;
  while (i < rest.size() && !IsSpace(rest[i])) ++i;
  std::string_view token = rest.substr(start, i - start);
  rest = rest.substr(i);
  return token;
}

bool IsQuoted(std::string_view text) { return text.size() >= 2 && text.front() == '"' && text.back() == '"'; }

std::string Hex4(int64_t value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "$%04X", static_cast<unsigned>(value & 0xFFFF));
  return buffer;
}

bool ValidName(std::string_view name) {
  if (name.empty() || !IsSymbolStart(name[0])) return false;
  for (char c : name)
    if (!IsSymbolChar(c)) return false;
  return true;
}

// The source text as the listing echoes it. A line that itself reads like a problem line
// ("x.asm:12: ERROR - ...", say in a comment) gets a blank for the colon before its number, so
// that the IDE does not count it.
std::string EchoedSource(std::string_view text) {
  std::string out(text);
  if (text.find("ERROR") == std::string_view::npos && text.find("WARNING") == std::string_view::npos) return out;
  for (const char* word : {"ERROR", "WARNING"}) {
    for (size_t at = out.find(word); at != std::string::npos; at = out.find(word, at + 1)) {
      size_t i = at;
      while (i > 0 && std::isspace(static_cast<unsigned char>(out[i - 1]))) --i;
      if (i == 0 || out[i - 1] != ':') continue;
      size_t colon = i - 1, digits = colon;
      while (digits > 0 && std::isdigit(static_cast<unsigned char>(out[digits - 1]))) --digits;
      if (digits == colon || digits == 0 || out[digits - 1] != ':') continue;
      out[colon] = ' ';
    }
  }
  return out;
}

}  // namespace

std::string Shown(std::string_view text) {
  constexpr size_t kLongest = 40;
  if (text.size() <= kLongest) return std::string(text);
  return std::string(text.substr(0, kLongest)) + "...";
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (IsSpace(text.front()) || text.front() == '\r')) text.remove_prefix(1);
  while (!text.empty() && (IsSpace(text.back()) || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

std::string Upper(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return result;
}

std::vector<std::string_view> SplitOperands(std::string_view text) {
  std::vector<std::string_view> parts;
  text = Trim(text);
  if (text.empty()) return parts;
  int depth = 0;
  bool inString = false;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '"') inString = !inString;
    if (inString) continue;
    if (c == '\'' && i + 2 < text.size() && text[i + 2] == '\'') {
      i += 2;
    } else if (c == '(') {
      ++depth;
    } else if (c == ')') {
      --depth;
    } else if (c == ',' && depth <= 0) {
      parts.push_back(Trim(text.substr(start, i - start)));
      start = i + 1;
    }
  }
  parts.push_back(Trim(text.substr(start)));
  return parts;
}

std::string FormatDiagnostic(const Diagnostic& diagnostic) {
  return diagnostic.file + ":" + std::to_string(diagnostic.line) + (diagnostic.error ? ": ERROR - " : ": WARNING - ") +
         diagnostic.text;
}

Assembler::Assembler(const std::string& fileName, std::string_view text, const FileReader& readFile)
    : readFile_(readFile) {
  auto file = std::make_unique<SourceFile>();
  file->path = fileName;
  file->text = std::string(text);
  SplitLines(*file, 0);
  fileIndex_[fileName] = 0;
  files_.push_back(std::move(file));
}

Assembly Assembler::Run() {
  for (pass_ = 1; pass_ <= kMaxPasses; ++pass_) {
    RunPass();
    if (stopped_ || (pass_ >= 2 && !changed_)) break;
  }
  if (pass_ > kMaxPasses) {
    current_ = nullptr;
    Error("symbol values do not settle; check for labels that depend on their own position");
  }

  Assembly result;
  for (const Diagnostic& d : diagnostics_) (d.error ? result.errors : result.warnings)++;
  result.diagnostics = std::move(diagnostics_);
  for (uint32_t a = 0; a < memory_.size();) {
    if (memory_[a] < 0) {
      ++a;
      continue;
    }
    Segment segment;
    segment.address = a;
    while (a < memory_.size() && memory_[a] >= 0) segment.words.push_back(static_cast<uint16_t>(memory_[a++]));
    result.segments.push_back(std::move(segment));
  }
  result.configVars = std::move(configVars_);
  listing_ += "\n" + std::to_string(result.errors) + " error(s), " + std::to_string(result.warnings) + " warning(s)\n";
  result.listing = std::move(listing_);
  return result;
}

void Assembler::RunPass() {
  changed_ = false;
  stopped_ = false;
  errorCount_ = 0;
  location_ = 0x5000;
  loadOffset_ = 0;
  noImage_ = false;
  sdbd_ = false;
  romWidth_ = 16;
  ended_ = false;
  linesDone_ = 0;
  expansions_ = 0;
  memory_.assign(0x10000, -1);
  procs_.clear();
  includeStack_.assign(1, 0);
  macroTrail_.clear();
  macroDepth_ = 0;
  conditions_.clear();
  collect_ = Collect::kNone;
  macros_.clear();
  configVars_.clear();
  diagnostics_.clear();
  listing_.clear();

  ProcessLines(files_[0]->lines);

  if (stopped_) return;
  listed_ = true;
  if (collect_ != Collect::kNone) {
    current_ = &collectStart_;
    Error(std::string(collect_ == Collect::kMacro ? "MACRO without ENDM" : "REPEAT without ENDR"));
  }
  for (const Condition& condition : conditions_) {
    current_ = &condition.where;
    Error("IF without ENDI");
  }
  if (!procs_.empty()) {
    current_ = nullptr;
    Warning("PROC " + procs_.back() + " has no ENDP");
  }
  current_ = nullptr;
}

void Assembler::ProcessLines(const std::vector<SourceLine>& lines) {
  for (const SourceLine& line : lines) {
    if (stopped_ || ended_) return;
    ProcessLine(line);
  }
}

void Assembler::ListLine() {
  if (listed_ || !current_) return;
  listed_ = true;
  char buffer[64];
  size_t i = 0;
  do {
    if (lineWords_.empty()) {
      std::snprintf(buffer, sizeof buffer, "%26s", "");
    } else {
      int n = std::snprintf(buffer, sizeof buffer, "%04X  ", static_cast<unsigned>((lineAddress_ + i) & 0xFFFF));
      for (size_t k = 0; k < 4; ++k, ++i)
        n += i < lineWords_.size()
                 ? std::snprintf(buffer + n, sizeof buffer - n, "%04X ", static_cast<unsigned>(lineWords_[i]))
                 : std::snprintf(buffer + n, sizeof buffer - n, "     ");
    }
    listing_ += buffer;
    if (i <= 4) {
      listing_ += ' ';
      listing_ += EchoedSource(current_->text);
    }
    listing_ += '\n';
  } while (i < lineWords_.size());
  for (size_t d = lineDiagnostics_; d < diagnostics_.size(); ++d) listing_ += FormatDiagnostic(diagnostics_[d]) + "\n";
  lineDiagnostics_ = diagnostics_.size();
}

void Assembler::ProcessLine(const SourceLine& line) {
  if (++linesDone_ > kMaxLinesPerPass) {
    Report(true, "the source expands to more than 500,000 lines (a macro or REPEAT without end?)", true);
    stopped_ = true;
    return;
  }
  // Lines handed to INCLUDE, REPEAT and macros are listed before what they lead to.
  const SourceLine* outer = current_;
  std::vector<uint16_t> outerWords = std::move(lineWords_);
  int64_t outerAddress = lineAddress_;
  bool outerListed = listed_;
  size_t outerDiagnostics = lineDiagnostics_;

  current_ = &line;
  lineWords_.clear();
  lineAddress_ = location_;
  listed_ = false;
  lineDiagnostics_ = diagnostics_.size();
  lineReported_ = 0;

  std::string_view rest = StripComment(line.text);
  std::string_view label;
  bool firstColumn = !rest.empty() && !IsSpace(rest[0]);
  std::string_view afterFirst = rest;
  std::string_view first = NextToken(afterFirst);
  size_t colon = first.find(':');
  if (!first.empty() && first[0] != '"' && colon != std::string_view::npos) {
    label = first.substr(0, colon);
    rest = rest.substr(static_cast<size_t>(first.data() - rest.data()) + colon + 1);
  } else if (!first.empty()) {
    std::string word = Upper(first);
    auto isOp = [this](const std::string& w) { return IsMnemonic(w) || IsDirective(w) || macros_.count(w) > 0; };
    if (firstColumn) {
      // A label in the first column, unless it names an operation and no operation follows it.
      std::string_view afterSecond = afterFirst;
      if (!isOp(word) || isOp(Upper(NextToken(afterSecond)))) {
        label = first;
        rest = afterFirst;
      }
    } else {
      std::string_view afterSecond = afterFirst;
      std::string second = Upper(NextToken(afterSecond));
      if (second == "EQU" || second == "SET" || second == "QEQU" || second == "QSET" || second == "PROC" ||
          second == "MACRO" || second == "=") {
        label = first;
        rest = afterFirst;
      }
    }
  }
  std::string_view op = NextToken(rest);
  Statement(line, label, op, Trim(rest));
  ListLine();

  current_ = outer;
  lineWords_ = std::move(outerWords);
  lineAddress_ = outerAddress;
  listed_ = outerListed;
  lineDiagnostics_ = outerDiagnostics;
  if (outer) lineDiagnostics_ = diagnostics_.size();
}

void Assembler::Statement(const SourceLine& line, std::string_view label, std::string_view op,
                          std::string_view operands) {
  const std::string word = Upper(op);

  if (collect_ != Collect::kNone) {
    bool opens = collect_ == Collect::kMacro ? word == "MACRO" : (word == "REPEAT" || word == "RPT");
    bool closes = collect_ == Collect::kMacro ? word == "ENDM" : word == "ENDR";
    if (opens) ++collectDepth_;
    if (closes && --collectDepth_ == 0) return FinishCollecting(line);
    collected_.body.emplace_back(line.text);
    collected_.where.push_back({line.file, line.line, {}});
    return;
  }

  bool active = conditions_.empty() || conditions_.back().active;
  if (word == "IF" || word == "IFDEF" || word == "IFNDEF") {
    bool taken = false;
    if (active) {
      if (word == "IF") {
        int64_t value = 0;
        taken = Eval(operands, value) && value != 0;
      } else {
        bool known = symbols_.find(QualifiedName(Trim(operands))) != symbols_.end();
        taken = (word == "IFDEF") == known;
      }
    }
    conditions_.push_back({taken, active, false, line});
    return;
  }
  if (word == "ELSE") {
    if (conditions_.empty() || conditions_.back().seenElse) return Error("ELSE without IF");
    Condition& c = conditions_.back();
    c.seenElse = true;
    c.active = c.parentActive && !c.active;
    return;
  }
  if (word == "ENDI" || word == "ENDIF") {
    if (conditions_.empty()) return Error(word + " without IF");
    conditions_.pop_back();
    return;
  }
  if (!active) return;

  if (!label.empty() && !ValidName(label)) return Error("bad label '" + Shown(label) + "'");

  if (word == "EQU" || word == "QEQU" || word == "=" || word == "SET" || word == "QSET") {
    if (label.empty()) return Error(word + " needs a label");
    int64_t value = 0;
    Eval(operands, value);
    Define(label, value, word == "SET" || word == "QSET");
    return;
  }
  if (word == "MACRO") {
    std::string_view params = operands;
    std::string_view name = label;
    if (name.empty()) {
      name = NextToken(params);
      params = Trim(params);
      size_t comma = name.find(',');
      if (comma != std::string_view::npos) return Error("bad macro name '" + Shown(name) + "'");
    }
    if (!ValidName(name)) return Error("MACRO needs a name");
    collect_ = Collect::kMacro;
    collectDepth_ = 1;
    collectStart_ = line;
    collectName_ = Upper(name);
    collected_ = Macro();
    for (std::string_view p : SplitOperands(params)) collected_.params.push_back(Upper(p));
    return;
  }
  if (word == "PROC") {
    if (label.empty()) return Error("PROC needs a label");
    Define(label, location_, false);
    procs_.push_back(QualifiedName(label));
    return;
  }
  // "NAME ENDP" closes the PROC it names; a label on ORG names the new address.
  if (!label.empty() && word != "ENDP" && word != "ORG") Define(label, location_, false);
  if (op.empty()) return;
  if (Directive(line, word, label, operands)) {
    if (!label.empty() && word == "ORG") Define(label, location_, false);
    return;
  }
  auto macro = macros_.find(word);
  if (macro != macros_.end()) return ExpandMacro(line, word, macro->second, operands);
  if (Instruction(word, operands)) return;
  Error("unknown mnemonic " + Shown(op));
}

bool Assembler::IsDirective(const std::string& op) {
  static const char* const kNames[] = {
      "ORG",     "RMB",     "RES",    "DECLE", "BIDECLE", "WORD",    "BYTE",  "STRING", "ROMW",   "ROMWIDTH",
      "CFGVAR",  "INCLUDE", "IF",     "IFDEF", "IFNDEF",  "ELSE",    "ENDI",  "ENDIF",  "REPEAT", "RPT",
      "ENDR",    "MACRO",   "ENDM",   "PROC",  "ENDP",    "EQU",     "QEQU",  "SET",    "QSET",   "END",
      "LISTING", "ERR",     "STRUCT", "ENDS",  "SRCFILE", "MEMATTR", "BRKIF", "CMSG",   "SMSG",   "WMSG"};
  static const std::unordered_set<std::string> names(std::begin(kNames), std::end(kNames));
  return names.count(op) > 0;
}

bool Assembler::Directive(const SourceLine& line, const std::string& op, std::string_view label,
                          std::string_view operands) {
  (void)label;
  if (op == "ORG") return Org(operands);
  if (op == "RMB" || op == "RES") {
    int64_t count = 0;
    if (!Eval(operands, count)) return true;
    if (count < 0 || location_ + count > 0x10000) {
      Error("RMB " + std::to_string(count) + " runs past $FFFF");
      return true;
    }
    location_ += count;
    return true;
  }
  if (op == "DECLE" || op == "BIDECLE" || op == "WORD" || op == "BYTE" || op == "STRING") return Data(op, operands);
  if (op == "ROMW" || op == "ROMWIDTH") {
    std::vector<std::string_view> parts = SplitOperands(operands);
    int64_t width = 0;
    if (parts.empty()) {
      Error("ROMW needs a width");
    } else if (Eval(parts[0], width)) {
      if (width == 10 || width == 16)
        romWidth_ = static_cast<int>(width);
      else
        Error("ROMW " + std::to_string(width) + " is not a ROM width (10 or 16)");
    }
    return true;
  }
  if (op == "CFGVAR") {
    std::string_view text = Trim(operands);
    size_t equals = text.find('=');
    std::string_view name = equals == std::string_view::npos ? text : Trim(text.substr(0, equals));
    if (IsQuoted(name)) name = name.substr(1, name.size() - 2);
    if (equals == std::string_view::npos || name.empty()) {
      Error("CFGVAR needs \"name\" = value");
      return true;
    }
    configVars_.emplace_back(std::string(name), std::string(Trim(text.substr(equals + 1))));
    return true;
  }
  if (op == "INCLUDE") {
    Include(line, operands);
    return true;
  }
  if (op == "REPEAT" || op == "RPT") {
    int64_t count = 0;
    if (Eval(operands, count) && (count < 0 || count > kMaxRepeat)) {
      Error("REPEAT count " + std::to_string(count) + " is outside 0 to 65536");
      count = 0;
    }
    collect_ = Collect::kRepeat;
    collectDepth_ = 1;
    collectStart_ = line;
    repeatCount_ = count < 0 ? 0 : count;
    collected_ = Macro();
    return true;
  }
  if (op == "ENDM" || op == "ENDR") {
    Error(op + (op == "ENDM" ? " without MACRO" : " without REPEAT"));
    return true;
  }
  if (op == "ENDP") {
    if (procs_.empty())
      Error("ENDP without PROC");
    else
      procs_.pop_back();
    return true;
  }
  if (op == "END") {
    ended_ = true;
    return true;
  }
  if (op == "LISTING") return true;
  if (op == "ERR") {
    std::string_view text = Trim(operands);
    if (IsQuoted(text)) text = text.substr(1, text.size() - 2);
    Error(Shown(text));
    return true;
  }
  if (IsDirective(op)) {
    // Messages and debugger hints leave the image as it is: a warning. Anything else: an error.
    const bool harmless = op == "SMSG" || op == "CMSG" || op == "WMSG" || op == "SRCFILE" || op == "BRKIF";
    Report(!harmless, op + " is not supported by this assembler" + (harmless ? "; ignored" : ""), false);
    return true;
  }
  return false;
}

bool Assembler::Org(std::string_view operands) {
  std::vector<std::string_view> parts = SplitOperands(operands);
  if (parts.empty() || parts.size() > 3) {
    Error("ORG needs an address, and may have an image address and a \"flags\" text");
    return true;
  }
  int64_t address = 0;
  if (!Eval(parts[0], address)) return true;
  if (address < 0 || address > 0xFFFF) {
    Error("ORG address " + std::to_string(address) + " is outside $0000 to $FFFF");
    return true;
  }
  int64_t imageAddress = address;
  std::string_view flags;
  for (size_t i = 1; i < parts.size(); ++i) {
    if (IsQuoted(parts[i])) {
      flags = parts[i].substr(1, parts[i].size() - 2);
    } else if (i == 1) {
      if (!Eval(parts[i], imageAddress)) return true;
      if (imageAddress < 0 || imageAddress > 0xFFFF) {
        Error("ORG image address " + std::to_string(imageAddress) + " is outside $0000 to $FFFF");
        return true;
      }
    } else {
      Error("bad ORG flags " + Shown(parts[i]) + ": expected quoted text such as \"=RW\"");
      return true;
    }
  }
  for (char c : flags) {
    if (!std::strchr("-=+RWNBrwnb", c)) {
      Error("bad ORG flag '" + std::string(1, c) + "'");
      return true;
    }
  }
  location_ = address;
  lineAddress_ = address;
  loadOffset_ = imageAddress - address;
  noImage_ = !flags.empty() && flags[0] == '-';
  return true;
}

bool Assembler::Data(const std::string& op, std::string_view operands) {
  std::vector<std::string_view> items = SplitOperands(operands);
  if (items.empty()) {
    Error(op + " needs at least one value");
    return true;
  }
  for (std::string_view item : items) {
    if (IsQuoted(item)) {
      for (char c : item.substr(1, item.size() - 2)) Emit(static_cast<unsigned char>(c));
      continue;
    }
    if (!item.empty() && item[0] == '"') {
      Error("missing closing quote in " + Shown(item));
      return true;
    }
    int64_t value = 0;
    bool ok = Eval(item, value);
    uint16_t word = 0;
    if (op == "BIDECLE") {
      if (ok) CheckWord(value, false, "value", word);
      Emit(word & 0xFF);
      Emit(word >> 8);
    } else if (op == "BYTE") {
      if (ok && (value < -128 || value > 255)) Error("value " + std::to_string(value) + " does not fit in a byte");
      Emit(static_cast<uint16_t>(value & 0xFF));
    } else {
      if (ok) CheckWord(value, op != "WORD", "value", word);
      Emit(word);
    }
  }
  return true;
}

void Assembler::Include(const SourceLine& line, std::string_view operands) {
  std::string_view name = Trim(operands);
  if (IsQuoted(name)) name = name.substr(1, name.size() - 2);
  if (name.empty()) return Error("INCLUDE needs a file name");
  std::string path(name);
  bool absolute = name[0] == '/' || name[0] == '\\' || (name.size() > 1 && name[1] == ':');
  if (!absolute) {
    const std::string& including = files_[line.file]->path;
    size_t slash = including.find_last_of("/\\");
    if (slash != std::string::npos) path = including.substr(0, slash + 1) + path;
  }
  if (includeStack_.size() >= kMaxIncludeDepth)
    return Error("INCLUDE nested more than " + std::to_string(kMaxIncludeDepth) + " deep at " + path);
  int index;
  auto found = fileIndex_.find(path);
  if (found != fileIndex_.end()) {
    index = found->second;
  } else {
    auto file = std::make_unique<SourceFile>();
    file->path = path;
    if (!readFile_ || !readFile_(path, file->text)) return Error("cannot read include file " + path);
    index = static_cast<int>(files_.size());
    SplitLines(*file, index);
    files_.push_back(std::move(file));
    fileIndex_[path] = index;
  }
  for (int open : includeStack_)
    if (open == index) return Error("endless INCLUDE loop: " + path + " includes itself");
  ListLine();
  includeStack_.push_back(index);
  ProcessLines(files_[index]->lines);
  includeStack_.pop_back();
}

void Assembler::ExpandMacro(const SourceLine& line, const std::string& name, const Macro& macro,
                            std::string_view operands) {
  std::vector<std::string_view> args = SplitOperands(operands);
  if (args.size() > macro.params.size())
    return Error("macro " + name + " takes " + std::to_string(macro.params.size()) + " argument(s), not " +
                 std::to_string(args.size()));
  if (macroDepth_ >= kMaxMacroDepth) return Error("macros nested more than 64 deep in " + name);
  ++expansions_;
  std::vector<std::string> texts;
  texts.reserve(macro.body.size());
  for (const std::string& body : macro.body) {
    std::string out;
    size_t i = 0;
    while (i < body.size()) {
      size_t percent = body.find('%', i);
      if (percent == std::string::npos) break;
      out.append(body, i, percent - i);
      size_t close = body.find('%', percent + 1);
      if (close == std::string::npos) {
        i = percent;
        break;
      }
      std::string key = Upper(std::string_view(body).substr(percent + 1, close - percent - 1));
      if (key.empty()) {
        out += std::to_string(expansions_);
        i = close + 1;
        continue;
      }
      size_t p = 0;
      while (p < macro.params.size() && macro.params[p] != key) ++p;
      if (p == macro.params.size()) {
        out += '%';
        i = percent + 1;
        continue;
      }
      if (p < args.size()) out += args[p];
      i = close + 1;
    }
    out.append(body, i, std::string::npos);
    if (out.size() > kMaxExpandedLine)
      return Error("macro " + name + " expands to a line of more than 1,000,000 characters");
    texts.push_back(std::move(out));
  }
  std::vector<SourceLine> lines;
  for (size_t k = 0; k < texts.size(); ++k) lines.push_back({macro.where[k].file, macro.where[k].line, texts[k]});
  ListLine();
  macroTrail_.push_back("macro " + name + " used at " + files_[line.file]->path + ":" + std::to_string(line.line));
  ++macroDepth_;
  ProcessLines(lines);
  --macroDepth_;
  macroTrail_.pop_back();
}

void Assembler::FinishCollecting(const SourceLine& line) {
  (void)line;
  Collect kind = collect_;
  collect_ = Collect::kNone;
  Macro body = std::move(collected_);
  collected_ = Macro();
  if (kind == Collect::kMacro) {
    macros_[collectName_] = std::move(body);
    return;
  }
  std::vector<SourceLine> lines;
  for (size_t k = 0; k < body.body.size(); ++k) lines.push_back({body.where[k].file, body.where[k].line, body.body[k]});
  ListLine();
  for (int64_t n = 0; n < repeatCount_ && !stopped_ && !ended_; ++n) ProcessLines(lines);
}

std::string Assembler::QualifiedName(std::string_view name) const {
  if (name.size() > 2 && name[0] == '@' && name[1] == '@' && !procs_.empty())
    return procs_.back() + "." + std::string(name.substr(2));
  return std::string(name);
}

void Assembler::Define(std::string_view name, int64_t value, bool variable) {
  std::string qualified = QualifiedName(name);
  auto it = symbols_.find(qualified);
  if (it == symbols_.end()) {
    symbols_.emplace(qualified, Symbol{value, pass_, variable});
    if (pass_ > 1) changed_ = true;
    return;
  }
  Symbol& symbol = it->second;
  if (symbol.definedInPass == pass_ && !(variable && symbol.variable)) {
    Error("duplicate label " + Shown(qualified));
    return;
  }
  if (!variable && symbol.value != value) changed_ = true;
  symbol.value = value;
  symbol.definedInPass = pass_;
  symbol.variable = variable;
}

bool Assembler::Eval(std::string_view text, int64_t& value) {
  ExprContext context;
  context.location = lineAddress_;
  context.symbol = [this](std::string_view name, int64_t& out) {
    auto it = symbols_.find(name);
    if (name.size() > 2 && name[0] == '@' && name[1] == '@') it = symbols_.find(QualifiedName(name));
    if (it == symbols_.end()) return false;
    out = it->second.value;
    return true;
  };
  ExprResult result = Evaluate(text, context);
  value = result.value;
  if (!result.ok) Error(result.error);
  return result.ok;
}

bool Assembler::CheckWord(int64_t value, bool decle, const char* what, uint16_t& word) {
  word = 0;
  if (value < -32768 || value > 0xFFFF) {
    Error(std::string(what) + " " + std::to_string(value) + " does not fit in 16 bits");
    return false;
  }
  if (decle && romWidth_ == 10 && (value < 0 || value > 0x3FF)) {
    Error(std::string(what) + " " + Hex4(value) + " does not fit in a 10-bit decle (ROMW 10)");
    return false;
  }
  word = static_cast<uint16_t>(value & 0xFFFF);
  return true;
}

void Assembler::Emit(uint16_t word) {
  if (location_ > 0xFFFF) {
    if (!(lineReported_ & 1)) Error("code runs past $FFFF");
    lineReported_ |= 1;
    return;
  }
  lineWords_.push_back(word);
  int64_t at = location_ + loadOffset_;
  ++location_;
  if (noImage_) {
    if (!(lineReported_ & 2)) Error("data in a region that ORG marked \"-\" (no image) at " + Hex4(location_ - 1));
    lineReported_ |= 2;
    return;
  }
  if (at < 0 || at > 0xFFFF) {
    if (!(lineReported_ & 1)) Error("image address runs past $FFFF");
    lineReported_ |= 1;
    return;
  }
  if (memory_[at] >= 0 && !(lineReported_ & 4)) {
    Error("address " + Hex4(at) + " is filled twice");
    lineReported_ |= 4;
  }
  memory_[at] = word;
}

void Assembler::Error(const std::string& text) { Report(true, text, false); }

void Assembler::Warning(const std::string& text) { Report(false, text, false); }

void Assembler::Report(bool error, const std::string& text, bool evenInFirstPass) {
  // The first pass only gathers symbols; forward references are not yet known there.
  if (stopped_ || (pass_ == 1 && !evenInFirstPass)) return;
  Diagnostic d;
  d.error = error;
  d.text = text;
  if (current_) {
    d.file = files_[current_->file]->path;
    d.line = current_->line;
  } else {
    d.file = files_[0]->path;
    d.line = 0;
  }
  if (!macroTrail_.empty() && current_) d.text += " (in " + macroTrail_.back() + ")";
  diagnostics_.push_back(std::move(d));
  if (!current_ || listed_) listing_ += FormatDiagnostic(diagnostics_.back()) + "\n";
  if (error && ++errorCount_ >= kMaxErrors) {
    Diagnostic stop = diagnostics_.back();
    stop.text = "too many errors; assembly stopped";
    diagnostics_.push_back(stop);
    stopped_ = true;
  }
}

Assembly AssembleText(const std::string& fileName, std::string_view text, const FileReader& readFile) {
  return Assembler(fileName, text, readFile).Run();
}

}  // namespace cpasm
