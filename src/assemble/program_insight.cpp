#include "assemble/program_insight.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <set>

#include "assemble/cycle_count.h"
#include "base/text_util.h"
#include "cpasm/isa.h"

namespace quillon {

namespace {

using Kind = SymbolDefinition::Kind;

bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }
char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

bool SameNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

bool StartsNoCase(std::string_view text, std::string_view head) {
  return text.size() >= head.size() && SameNoCase(text.substr(0, head.size()), head);
}

std::string BaseName(const std::string& path) {
  if (path.empty()) return "(untitled)";
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Where the code of a line ends: at a ';' outside strings. `inString` marks the string characters.
std::size_t CodeEnd(const std::string& line, std::vector<bool>* inString) {
  if (inString) inString->assign(line.size(), false);
  char quote = 0;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quote) {
      if (inString) (*inString)[i] = true;
      if (c == '\\' && i + 1 < line.size()) {
        if (inString) (*inString)[i + 1] = true;
        ++i;
      } else if (c == quote) {
        quote = 0;
      }
    } else if (c == ';') {
      return i;
    } else if (c == '"' || c == '\'') {
      quote = c;
      if (inString) (*inString)[i] = true;
    }
  }
  return line.size();
}

// The lines of a text, without their ends.
std::vector<std::string_view> LineViews(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\n' && text[i] != '\r') continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  lines.push_back(text.substr(start));
  return lines;
}

bool IsRegister(std::string_view word, int& number) {
  if (word.size() == 2 && (word[0] == 'R' || word[0] == 'r') && word[1] >= '0' && word[1] <= '7') {
    number = word[1] - '0';
    return true;
  }
  if (SameNoCase(word, "SP"))
    number = 6;
  else if (SameNoCase(word, "PC"))
    number = 7;
  else
    return false;
  return true;
}

const std::set<std::string>& ReservedWords() {
  static const std::set<std::string> words = [] {
    std::set<std::string> all;
    for (const cpasm::Keyword& k : cpasm::Keywords()) all.insert(k.name);
    for (const char* r : {"R0", "R1", "R2", "R3", "R4", "R5", "R6", "R7", "SP", "PC"}) all.insert(r);
    return all;
  }();
  return words;
}

// The innermost PROC or STRUCT of `file` around `line`, or null.
const SymbolDefinition* EnclosingProc(const SymbolIndex& index, const std::string& file, int line) {
  const SymbolDefinition* proc = nullptr;
  for (const SymbolDefinition& d : index.Definitions())
    if ((d.kind == Kind::kProc || d.kind == Kind::kStruct) && SameSourcePath(d.file, file) && d.line <= line &&
        (d.endLine == 0 || line <= d.endLine) && (!proc || d.line >= proc->line))
      proc = &d;
  return proc;
}

// A name's own part: "loop" of "MAIN.loop"; the whole name when it has no '.'.
std::string OwnPart(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(dot + 1);
}
std::string OwnerPart(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  return dot == std::string::npos || dot == 0 ? std::string() : name.substr(0, dot);
}

std::string SymbolTip(const std::string& word, const SymbolDefinition& d, const BuildFacts& facts,
                      const SourceReader& read) {
  std::string tip = word == d.name ? d.name : word + " = " + d.name;
  const std::string owner = OwnerPart(d.name);
  tip += " - ";
  tip += KindName(d.kind);
  if (!owner.empty() && d.kind != Kind::kMacro) tip += " of " + owner;
  if (d.kind == Kind::kMacro) {
    std::string text;
    std::string params;
    if (read && read(d.file, text)) {
      std::vector<std::string_view> lines = LineViews(text);
      if (d.line >= 1 && d.line <= static_cast<int>(lines.size()))
        params = MacroParameters(std::string(lines[d.line - 1]));
    }
    tip += params.empty() ? " (no parameters)" : " (" + params + ")";
  } else if (const auto* value = facts.Symbol(d.name)) {
    const bool address = d.kind == Kind::kLabel || d.kind == Kind::kProc || d.kind == Kind::kLocal;
    tip += address ? "\nAddress: " : (d.kind == Kind::kSet ? "\nValue at the end: " : "\nValue: ");
    tip += NumberText(value->value);
    tip += "  (last build)";
  } else {
    tip += facts.built ? "\nNo value in the last build" : "\nNo value yet: build to see it";
  }
  tip += "\nDefined at " + BaseName(d.file) + ":" + std::to_string(d.line);
  return tip;
}

std::string RegisterTip(std::string_view word, int number) {
  static const char* const roles[] = {"",
                                      "",
                                      "",
                                      "",
                                      "; auto-increments as an address register",
                                      "; auto-increments as an address register; CALL keeps the return address here",
                                      "; the stack pointer (SP)",
                                      "; the program counter (PC)"};
  std::string tip = Upper(word) + ": register " + std::to_string(number) + roles[number];
  tip += "\n" + NumberText(number);
  return tip;
}

// The instruction of a line and what its operands change in its cycles.
std::string InstructionTip(const isa::InstructionInfo& info, std::string_view operands) {
  std::string tip = std::string(info.mnemonic) + ": " + info.summary;
  const isa::CycleContext context = ContextOf(info, operands, false);
  const std::string here = isa::CycleText(info, context);
  const std::string general = isa::CycleText(info);
  tip += "\nCycles: " + here;
  if (info.cyclesTaken) tip += " (not taken/taken)";
  if (general != here) tip += "; in general " + general;
  tip += "\nFlags: ";
  tip += *info.flags ? info.flags : "none changed";
  return tip;
}

}  // namespace

const cpasm::Assembly::SymbolValue* BuildFacts::Symbol(const std::string& name) const {
  auto it = std::lower_bound(symbols.begin(), symbols.end(), name,
                             [](const cpasm::Assembly::SymbolValue& s, const std::string& n) { return s.name < n; });
  return it != symbols.end() && it->name == name ? &*it : nullptr;
}

bool BuildFacts::LineAddress(const std::string& file, int line, std::uint32_t& address) const {
  const std::vector<std::uint32_t> starts = lines.AddressesOf(file, line - 1);
  if (starts.empty()) return false;
  address = starts.front();
  return true;
}

bool BuildFacts::InInterruptRoutine(const std::string& file, int first, int last) const {
  if (!interrupt.known) return false;
  bool placed = false;
  for (int line = first; line <= last; ++line)
    for (std::uint32_t address : lines.AddressesOf(file, line - 1)) {
      if (address < interrupt.first || address > interrupt.last) return false;
      placed = true;
    }
  return placed;
}

InterruptRoutine FindInterruptRoutine(const std::vector<cpasm::Segment>& segments,
                                      const std::vector<cpasm::SourceRun>& runs,
                                      const std::vector<cpasm::Assembly::SymbolValue>& symbols) {
  // The unpaged words, and where the code of each line starts.
  std::vector<std::int32_t> memory(0x10000, -1);
  for (const cpasm::Segment& segment : segments)
    if (segment.page < 0)
      for (std::size_t i = 0; i < segment.words.size() && segment.address + i <= 0xFFFF; ++i)
        memory[segment.address + i] = segment.words[i];
  std::vector<const cpasm::SourceRun*> order;
  for (const cpasm::SourceRun& run : runs)
    if (run.first <= 0xFFFF && memory[run.first] >= 0) order.push_back(&run);
  std::stable_sort(order.begin(), order.end(),
                   [](const cpasm::SourceRun* a, const cpasm::SourceRun* b) { return a->first < b->first; });
  auto read = [&memory](std::uint16_t a) { return static_cast<std::uint16_t>(memory[a] < 0 ? 0 : memory[a]); };
  // Each register's value from an MVII, and how many instructions ago it was set.
  constexpr int kNear = 8;
  std::int64_t value[8];
  int age[8];
  std::fill(std::begin(age), std::end(age), kNear);
  bool found = false;
  std::uint32_t vector = 0;
  std::uint32_t end = 0;
  for (const cpasm::SourceRun* run : order) {
    if (run->first < end) continue;  // words decoded already (a run inside an instruction)
    bool sdbd = false;
    for (std::uint32_t at = run->first; at <= run->last && at <= 0xFFFF && memory[at] >= 0 && !found;) {
      const isa::Decoded d = isa::Decode(static_cast<std::uint16_t>(at), read, sdbd);
      at += d.info ? d.words : 1;
      end = at;
      for (int& n : age) ++n;
      if (!d.info) {
        sdbd = false;
        continue;
      }
      const std::string_view name = d.info->mnemonic;
      sdbd = name == "SDBD";
      switch (d.info->form) {
        case isa::Form::kImmediate:
          if (name == "MVII")
            value[d.reg] = d.value, age[d.reg] = 0;
          else
            age[d.reg] = kNear;
          break;
        case isa::Form::kStoreDirect:
          if (d.value == 0x100 && d.reg < 8 && age[d.reg] < kNear)
            found = true, vector = static_cast<std::uint32_t>(value[d.reg]);
          break;
        case isa::Form::kStoreIndirect:
        case isa::Form::kStoreImmediate:
        case isa::Form::kImplied:
          break;
        case isa::Form::kBranch:
        case isa::Form::kExternal:
        case isa::Form::kJump:
        case isa::Form::kJumpSave:
        case isa::Form::kCall:
        case isa::Form::kToPc:
          std::fill(std::begin(age), std::end(age), kNear);
          break;
        default:
          if (d.reg < 8) age[d.reg] = kNear;
          break;
      }
    }
    if (found) break;
  }
  InterruptRoutine routine;
  if (!found || vector > 0xFFFF || memory[vector] < 0) return routine;
  routine.known = true;
  routine.first = vector;
  // Its name: a label at the address, one without a '.' first.
  for (const auto& s : symbols)
    if (s.kind == 'L' && s.value == vector &&
        (routine.name.empty() ||
         (routine.name.find('.') != std::string::npos && s.name.find('.') == std::string::npos)))
      routine.name = s.name;
  // Its end: before the next label that is no PROC's local, or where the words end.
  std::uint32_t last = vector;
  while (last < 0xFFFF && memory[last + 1] >= 0) ++last;
  for (const auto& s : symbols)
    if (s.kind == 'L' && s.value > vector && s.value <= last && s.name.find('.') == std::string::npos)
      last = static_cast<std::uint32_t>(s.value - 1);
  routine.last = last;
  return routine;
}

std::string GutterNote(const std::string& lineText, bool afterSdbd, const std::string& file, int line,
                       const BuildFacts& facts) {
  const LineCycles cycles = CyclesOfLine(lineText, afterSdbd);
  if (!cycles.info) return {};
  std::uint32_t address = 0;
  if (!facts.LineAddress(file, line, address)) return CyclesText(cycles);
  char text[16];
  std::snprintf(text, sizeof text, "%04X ", static_cast<unsigned>(address));
  return text + CyclesText(cycles);
}

Span WordAt(const std::string& lineText, int column) {
  std::vector<bool> inString;
  const std::size_t code = CodeEnd(lineText, &inString);
  if (column < 0 || static_cast<std::size_t>(column) > code) return {};
  std::size_t at = static_cast<std::size_t>(column);
  auto wordChar = [&](std::size_t i) {
    return i < code && !inString[i] && (IsNameChar(lineText[i]) || lineText[i] == '$');
  };
  if (!wordChar(at)) {
    if (at == 0 || !wordChar(at - 1)) return {};
    --at;
  }
  std::size_t start = at, end = at;
  while (start > 0 && wordChar(start - 1)) --start;
  while (wordChar(end)) ++end;
  // A binary number's '%' belongs to it; a macro argument's ("%n%") is no part of the name.
  if (start > 0 && lineText[start - 1] == '%' && !inString[start - 1] && (end >= code || lineText[end] != '%')) --start;
  while (end > start + 1 && lineText[end - 1] == '.') --end;
  return {static_cast<int>(start), static_cast<int>(end)};
}

bool NumberValue(std::string_view word, std::int64_t& value) {
  int base = 10;
  std::string_view digits = word;
  if (word.empty()) return false;
  if (word[0] == '$')
    base = 16, digits = word.substr(1);
  else if (word[0] == '%')
    base = 2, digits = word.substr(1);
  else if (!IsDigit(word[0]))
    return false;
  else if (word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X'))
    base = 16, digits = word.substr(2);
  else if (word.size() > 2 && word[0] == '0' && (word[1] == 'b' || word[1] == 'B') &&
           word.find_first_not_of("01", 2) == std::string_view::npos)
    base = 2, digits = word.substr(2);
  else if (word.back() == 'h' || word.back() == 'H')
    base = 16, digits = word.substr(0, word.size() - 1);
  else if ((word.back() == 'b' || word.back() == 'B') && word.find_first_not_of("01") == word.size() - 1)
    base = 2, digits = word.substr(0, word.size() - 1);
  if (digits.empty() || digits.size() > 20) return false;
  std::int64_t v = 0;
  for (char c : digits) {
    int d = IsDigit(c) ? c - '0' : (std::isxdigit(static_cast<unsigned char>(c)) ? Lower(c) - 'a' + 10 : 99);
    if (d >= base) return false;
    if (v > (INT64_MAX - d) / base) return false;
    v = v * base + d;
  }
  value = v;
  return true;
}

std::string NumberText(std::int64_t value) {
  // Negative values as the 16-bit word they make.
  const std::uint64_t bits =
      value < 0 && value >= -32768 ? static_cast<std::uint64_t>(value & 0xFFFF) : static_cast<std::uint64_t>(value);
  char hex[24];
  std::snprintf(hex, sizeof hex, "$%04llX", static_cast<unsigned long long>(bits));
  std::string text = hex;
  text += "  " + std::to_string(value);
  if (value >= 0x8000 && value <= 0xFFFF) text += " (" + std::to_string(value - 0x10000) + " signed)";
  text += "  %";
  int width = 16;
  while (width < 64 && (bits >> width) != 0) width += 4;
  for (int b = width - 1; b >= 0; --b) {
    text += ((bits >> b) & 1) ? '1' : '0';
    if (b && b % 4 == 0) text += ' ';
  }
  return text;
}

std::string MacroParameters(const std::string& lineText) {
  const std::string code = lineText.substr(0, CodeEnd(lineText, nullptr));
  // The word MACRO, then either "name rest" (MACRO first) or the parameters (label first).
  std::size_t at = std::string::npos;
  for (std::size_t i = 0; i + 5 <= code.size(); ++i)
    if ((i == 0 || !IsNameChar(code[i - 1])) && SameNoCase(std::string_view(code).substr(i, 5), "MACRO") &&
        (i + 5 == code.size() || !IsNameChar(code[i + 5]))) {
      at = i;
      break;
    }
  if (at == std::string::npos) return {};
  std::size_t p = at + 5;
  const bool labelFirst = code.find_first_not_of(" \t") < at;
  while (p < code.size() && (code[p] == ' ' || code[p] == '\t')) ++p;
  if (!labelFirst)
    while (p < code.size() && IsNameChar(code[p])) ++p;
  std::string rest = code.substr(p);
  std::size_t first = rest.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  rest = rest.substr(first);
  if (!labelFirst && rest[0] == '(') {
    const std::size_t close = rest.rfind(')');
    rest = rest.substr(1, close == std::string::npos ? std::string::npos : close - 1);
  }
  while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\t' || rest.back() == '\r')) rest.pop_back();
  return rest;
}

std::string TipAt(const std::string& lineText, int column, const std::string& file, int line, const SymbolIndex& index,
                  const BuildFacts& facts, const SourceReader& read) {
  const Span span = WordAt(lineText, column);
  if (span.end <= span.start) return {};
  const std::string word = lineText.substr(span.start, span.end - span.start);
  std::int64_t value = 0;
  if (NumberValue(word, value)) return word + ": " + NumberText(value);
  if (word[0] == '$' || word[0] == '%' || IsDigit(word[0])) return {};
  int reg = 0;
  if (IsRegister(word, reg)) return RegisterTip(word, reg);
  // An instruction is the first word of a line after its label.
  const bool labelColumn = span.start == 0;
  if (!labelColumn || word.find('.') == std::string::npos) {
    if (const isa::InstructionInfo* info = isa::FindInstruction(word); info && !labelColumn) {
      const std::size_t code = CodeEnd(lineText, nullptr);
      return InstructionTip(*info, std::string_view(lineText).substr(span.end, code - span.end));
    }
  }
  if (const SymbolDefinition* d = index.Find(word, file, line)) return SymbolTip(word, *d, facts, read);
  std::string full = word;
  if (word.size() > 2 && word[0] == '@' && word[1] == '@')
    if (const SymbolDefinition* proc = EnclosingProc(index, file, line)) full = proc->name + "." + word.substr(2);
  const auto& expanded = index.Expanded();
  if (std::find(expanded.begin(), expanded.end(), full) != expanded.end()) {
    std::string tip = full + " - defined by a macro expansion";
    if (const auto* v = facts.Symbol(full)) tip += "\nValue: " + NumberText(v->value) + "  (last build)";
    return tip;
  }
  return {};
}

bool InOperandField(std::string_view before) {
  std::size_t at = 0;
  while (at < before.size() && !IsBlank(before[at])) ++at;  // the label, if any
  while (at < before.size() && IsBlank(before[at])) ++at;
  return at < before.size();
}

std::vector<Completion> CompletionsFor(const std::string& prefix, const std::string& file, int line,
                                       const SymbolIndex& index, bool operand) {
  std::vector<Completion> out;
  std::set<std::string> seen;
  auto offer = [&](std::string text, const char* kind) {
    if (!StartsNoCase(text, prefix) || !seen.insert(text).second) return;
    out.push_back({std::move(text), kind});
  };
  const bool local = prefix.rfind("@@", 0) == 0 || prefix == "@";
  const bool dotted = prefix.find('.') != std::string::npos;
  const SymbolDefinition* proc = local ? EnclosingProc(index, file, line) : nullptr;
  for (const SymbolDefinition& d : index.Definitions()) {
    const std::string owner = d.kind == Kind::kMacro ? std::string() : OwnerPart(d.name);
    if (!owner.empty()) {
      if (proc && owner == proc->name) offer("@@" + OwnPart(d.name), KindName(d.kind));
      if (dotted) offer(d.name, d.kind == Kind::kEqu && owner.size() ? "field" : KindName(d.kind));
      continue;
    }
    if (!local) offer(d.name, KindName(d.kind));
  }
  if (!local && !dotted)
    for (const cpasm::Keyword& k : cpasm::Keywords())
      if (k.supported) offer(k.name, k.directive ? "directive" : "instruction");
  std::stable_sort(out.begin(), out.end(), [&prefix](const Completion& a, const Completion& b) {
    const bool ca = a.text.compare(0, prefix.size(), prefix) == 0, cb = b.text.compare(0, prefix.size(), prefix) == 0;
    if (ca != cb) return ca;
    for (std::size_t i = 0; i < a.text.size() && i < b.text.size(); ++i)
      if (Lower(a.text[i]) != Lower(b.text[i])) return Lower(a.text[i]) < Lower(b.text[i]);
    if (a.text.size() != b.text.size()) return a.text.size() < b.text.size();
    return a.text < b.text;
  });
  if (operand)
    std::stable_partition(out.begin(), out.end(),
                          [](const Completion& c) { return c.kind != "instruction" && c.kind != "directive"; });
  return out;
}

std::vector<Reference> FindReferences(const SymbolDefinition& target, const SymbolIndex& index,
                                      const SourceReader& read) {
  std::vector<Reference> found;
  const bool macro = target.kind == Kind::kMacro;
  const std::string owner = macro ? std::string() : OwnerPart(target.name);
  const std::string own = macro ? target.name : OwnPart(target.name);
  const bool owns = target.kind == Kind::kProc || target.kind == Kind::kStruct;
  std::vector<bool> inString;
  for (const std::string& file : index.Files()) {
    std::string text;
    if (!read(file, text)) continue;
    std::vector<std::string_view> lines = LineViews(text);
    for (std::size_t n = 0; n < lines.size(); ++n) {
      // Most lines do not hold the name at all.
      const std::string_view view = lines[n];
      if (view.find(own) == std::string_view::npos) continue;
      const std::string lineText(view);
      const std::size_t code = CodeEnd(lineText, &inString);
      const int lineNumber = static_cast<int>(n) + 1;
      for (std::size_t i = 0; i < code;) {
        const char c = lineText[i];
        if (!IsNameChar(c) || inString[i]) {
          ++i;
          continue;
        }
        std::size_t end = i;
        while (end < code && IsNameChar(lineText[end]) && !inString[end]) ++end;
        const std::size_t start = i;
        i = end;
        while (end > start + 1 && lineText[end - 1] == '.') --end;
        if (IsDigit(c)) continue;                               // a number
        if (start > 0 && lineText[start - 1] == '$') continue;  // a hexadecimal number
        if (start > 0 && lineText[start - 1] == '%' && end < lineText.size() && lineText[end] == '%')
          continue;  // a macro argument
        const std::string_view word(lineText.data() + start, end - start);
        Span span{-1, -1};
        if (macro) {
          if (word == own) span = {static_cast<int>(start), static_cast<int>(end)};
        } else if (word.size() > 2 && word[0] == '@' && word[1] == '@') {
          if (!owner.empty() && word.substr(2) == own) {
            const SymbolDefinition* proc = EnclosingProc(index, file, lineNumber);
            if (proc && proc->name == owner) span = {static_cast<int>(start + 2), static_cast<int>(end)};
          }
        } else if (word == target.name) {
          const int s = static_cast<int>(owner.empty() ? start : end - own.size());
          span = {s, static_cast<int>(end)};
        } else if (owns && word.size() > target.name.size() && word.substr(0, target.name.size()) == target.name &&
                   word[target.name.size()] == '.') {
          span = {static_cast<int>(start), static_cast<int>(start + target.name.size())};
        }
        if (span.start >= 0) found.push_back({file, lineNumber, span, lineText});
      }
    }
  }
  return found;
}

RenamePlan PlanRename(const std::string& word, const std::string& file, int line, const std::string& newName,
                      const SymbolIndex& index, const SourceReader& read) {
  RenamePlan plan;
  const SymbolDefinition* d = word.empty() ? nullptr : index.Find(word, file, line);
  if (!d) {
    std::string full = word;
    if (word.size() > 2 && word[0] == '@' && word[1] == '@')
      if (const SymbolDefinition* proc = EnclosingProc(index, file, line)) full = proc->name + "." + word.substr(2);
    const auto& expanded = index.Expanded();
    if (!word.empty() && std::find(expanded.begin(), expanded.end(), full) != expanded.end())
      plan.refusal = full + " is defined by a macro expansion: change the macro instead";
    else
      plan.refusal = word.empty() ? "No name at the caret" : "No definition of " + word + " in the project's sources";
    return plan;
  }
  const bool macro = d->kind == Kind::kMacro;
  const std::string owner = macro ? std::string() : OwnerPart(d->name);
  std::string wanted = newName;
  if (!owner.empty() && wanted.rfind("@@", 0) == 0) wanted = wanted.substr(2);
  if (!owner.empty() && wanted.rfind(owner + ".", 0) == 0) wanted = wanted.substr(owner.size() + 1);
  plan.oldName = macro ? d->name : OwnPart(d->name);
  plan.newName = wanted;
  bool valid = !wanted.empty() && (std::isalpha(static_cast<unsigned char>(wanted[0])) || wanted[0] == '_');
  for (char c : wanted)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') valid = false;
  if (!valid) {
    plan.refusal = "\"" + newName + "\" is not a name: use letters, digits and '_', not starting with a digit";
    return plan;
  }
  if (ReservedWords().count(Upper(wanted))) {
    plan.refusal = wanted + " is an instruction, directive or register name";
    return plan;
  }
  if (wanted == plan.oldName) {
    plan.refusal = "The new name is the old one";
    return plan;
  }
  const std::string full = owner.empty() ? wanted : owner + "." + wanted;
  for (const SymbolDefinition& other : index.Definitions()) {
    const bool clash = (other.kind == Kind::kMacro) == macro && other.name == full;
    if (clash) {
      plan.refusal = full + " already exists (" + BaseName(other.file) + ":" + std::to_string(other.line) + ")";
      return plan;
    }
  }
  for (const std::string& other : index.Expanded())
    if (!macro && other == full) {
      plan.refusal = full + " already exists (defined by a macro expansion)";
      return plan;
    }
  plan.places = FindReferences(*d, index, read);
  for (std::size_t i = 0; i < plan.places.size(); ++i)
    if (i == 0 || !SameSourcePath(plan.places[i].file, plan.places[i - 1].file)) ++plan.files;
  return plan;
}

std::string ApplyRename(const std::string& text, const std::string& file, const RenamePlan& plan, int firstLine) {
  std::string out;
  out.reserve(text.size() + 64);
  // Each place of this file, by line, taken from the right so that earlier columns still hold.
  std::vector<const Reference*> mine;
  for (const Reference& r : plan.places)
    if (SameSourcePath(r.file, file)) mine.push_back(&r);
  std::size_t next = 0;
  int line = firstLine;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = start;
    while (end < text.size() && text[end] != '\n' && text[end] != '\r') ++end;
    std::string lineText = text.substr(start, end - start);
    std::vector<Span> spans;
    while (next < mine.size() && mine[next]->line < line) ++next;
    for (std::size_t k = next; k < mine.size() && mine[k]->line == line; ++k) spans.push_back(mine[k]->span);
    std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) { return a.start > b.start; });
    for (const Span& s : spans)
      if (s.end <= static_cast<int>(lineText.size()) && lineText.compare(s.start, s.end - s.start, plan.oldName) == 0)
        lineText.replace(s.start, s.end - s.start, plan.newName);
    out += lineText;
    if (end == text.size()) break;
    std::size_t after = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
    out.append(text, end, after - end);
    start = after;
    ++line;
  }
  return out;
}

}  // namespace quillon
