// The line parser: a source line cut into label, operation and operands, and the statement it
// makes handed to a directive, a macro or the instruction encoder.
#include "cpasm/assembler_state.h"

namespace cpasm {

namespace {

// Directives whose label may be an array element, "name[i]" or "name [i]".
bool AssignsElement(std::string_view word) {
  static const char* const kWords[] = {"EQU", "QEQU", "SET", "QSET", "="};
  std::string upper = Upper(word);
  for (const char* w : kWords)
    if (upper == w) return true;
  return false;
}

}  // namespace

bool Assembler::IsOperation(std::string_view word) const {
  if (word.empty()) return false;
  if (!macros_.empty() && macros_.count(std::string(word)) > 0) return true;
  std::string upper = Upper(word);
  return IsMnemonic(upper) || IsDirective(upper);
}

StatementParts Assembler::SplitStatement(std::string_view text) const {
  StatementParts parts;
  std::string_view rest = text;
  const bool firstColumn = !rest.empty() && !IsSpace(rest[0]);
  std::string_view afterFirst = rest;
  std::string_view first = NextToken(afterFirst);
  // "name [index] QSET v": the blanks before an element's index belong to the label.
  {
    std::string_view probe = afterFirst;
    size_t open = 0;
    while (open < probe.size() && IsSpace(probe[open])) ++open;
    if (!first.empty() && open < probe.size() && probe[open] == '[' && ValidSymbolName(first)) {
      size_t close = GroupEnd(probe, open);
      if (close != std::string_view::npos) {
        std::string_view after = probe.substr(close + 1);
        std::string_view next = NextToken(after);
        if (AssignsElement(next)) {
          first = std::string_view(first.data(), static_cast<size_t>(probe.data() + close + 1 - first.data()));
          afterFirst = probe.substr(close + 1);
        }
      }
    }
  }
  size_t colon = first.find(':');
  if (!first.empty() && !IsQuote(first[0]) && colon != std::string_view::npos) {
    parts.label = first.substr(0, colon);
    rest = rest.substr(static_cast<size_t>(first.data() - rest.data()) + colon + 1);
  } else if (!first.empty() && Upper(first) != "MACRO") {
    // "MACRO name ..." never has a label: the name may be an instruction's.
    std::string_view afterSecond = afterFirst;
    std::string_view second = NextToken(afterSecond);
    if (firstColumn) {
      // A label in the first column, unless it names an operation and no operation follows it.
      if (!IsOperation(first) || IsOperation(second)) {
        parts.label = first;
        rest = afterFirst;
      }
    } else {
      const DirectiveInfo* d = FindDirective(Upper(second));
      if (d && (d->flags & kNamesLabel)) {
        parts.label = first;
        rest = afterFirst;
      }
    }
  }
  parts.op = NextToken(rest);
  parts.operands = Trim(rest);
  // A parenthesised macro called as the statement: NAME(args).
  const size_t paren = SymbolEnd(parts.op, 0);
  if (paren > 0 && paren < parts.op.size() && parts.op[paren] == '(') {
    auto macro = macros_.find(std::string(parts.op.substr(0, paren)));
    if (macro != macros_.end() && macro->second.parenthesised) {
      std::string_view call(parts.op.data(), static_cast<size_t>(rest.data() + rest.size() - parts.op.data()));
      parts.op = parts.op.substr(0, paren);
      parts.operands = Trim(call.substr(paren));
    }
  }
  return parts;
}

void Assembler::ProcessLines(const std::vector<SourceLine>& lines) {
  for (const SourceLine& line : lines) {
    if (stopped_ || ended_) return;
    ProcessLine(line);
  }
}

void Assembler::ProcessLine(const SourceLine& original) {
  if (++linesDone_ > options_.limits.linesPerPass) {
    Report(true,
           "the source expands to more than " + std::to_string(options_.limits.linesPerPass) +
               " lines (a macro or REPEAT without end?)",
           true);
    stopped_ = true;
    return;
  }
  // Lines handed to INCLUDE, REPEAT and macros are listed before what they lead to.
  const SourceLine* outer = current_;
  std::vector<uint16_t> outerWords = std::move(lineWords_);
  int64_t outerAddress = lineAddress_;
  bool outerListed = listed_;

  current_ = &original;
  if (macroDepth_ == 0 && replayDepth_ == 0) image_.Map().SetOuterLine(original.file, original.line);
  lineWords_.clear();
  lineAddress_ = image_.Location();
  listed_ = false;
  listing_.MarkListed();
  lineReported_ = 0;

  // Calls of parenthesised one-line macros are replaced inside the line first.
  SourceLine expandedLine = original;
  std::string expanded;
  std::string_view rest = StripComment(original.text);
  if (parenMacros_ > 0 && collect_ == Collect::kNone && (conditions_.empty() || conditions_.back().active) &&
      rest.find('(') != std::string_view::npos && !DefinesMacro(rest)) {
    expanded = std::string(rest);
    if (!ExpandInLine(expanded)) expanded.clear();  // reported; the line does nothing more
    expandedLine.text = expanded;
    rest = expanded;
  }
  const StatementParts parts = SplitStatement(rest);
  Statement(expandedLine, parts);
  ListLine();

  current_ = outer;
  lineWords_ = std::move(outerWords);
  lineAddress_ = outerAddress;
  listed_ = outerListed;
  listing_.MarkListed();
}

bool Assembler::DefinesMacro(std::string_view text) {
  std::string_view rest = text;
  for (int k = 0; k < 2; ++k) {
    std::string_view token = NextToken(rest);
    if (token.size() == 5 && Upper(token) == "MACRO") return true;
    if (token.size() > 5 && Upper(token.substr(0, 6)) == "MACRO(") return false;
  }
  return false;
}

void Assembler::Statement(const SourceLine& line, const StatementParts& parts) {
  const std::string_view label = parts.label, op = parts.op, operands = parts.operands;
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

  const DirectiveInfo* directive = FindDirective(word);
  // A macro may take an instruction's or a directive's name; its own name is matched exactly.
  auto macro = macros_.find(std::string(op));
  if (macro != macros_.end() && word != "MACRO" && word != "ENDM" && !(directive && (directive->flags & kConditional)))
    directive = nullptr;
  else
    macro = macros_.end();
  const DirectiveCall call{line, word, label, operands};
  if (directive && (directive->flags & kConditional)) return (this->*directive->handler)(call);
  if (!conditions_.empty() && !conditions_.back().active) return;

  const bool element = directive && directive->handler == &Assembler::DoEqu;
  if (!label.empty() && !ValidSymbolName(label) && !element) {
    if (label.find('[') != std::string_view::npos) return Error("array elements are set with EQU, SET, QEQU or QSET");
    return Error("bad label '" + Shown(label) + "'");
  }
  if (directive && (directive->flags & kOwnsLabel)) return (this->*directive->handler)(call);
  if (macro != macros_.end()) {
    std::vector<std::string_view> args;
    if (macro->second.parenthesised) {
      if (operands.size() < 2 || operands.front() != '(' || GroupEnd(operands, 0) != operands.size() - 1)
        return Error("macro " + macro->first + " is called as " + macro->first + "(arguments)");
      args = SplitOperands(operands.substr(1, operands.size() - 2));
    } else {
      args = SplitOperands(operands);
    }
    return ExpandMacro(line, label, macro->first, macro->second, args);
  }
  if (!label.empty()) Define(label, image_.Location(), false);
  if (op.empty()) return;
  if (directive) {
    if (inStruct_ && directive->handler == &Assembler::DoData) return Error("code in a STRUCT is not supported");
    return (this->*directive->handler)(call);
  }
  if (inStruct_ && IsMnemonic(word)) return Error("code in a STRUCT is not supported");
  if (Instruction(word, operands)) return;
  for (const auto& [name, body] : macros_)
    if (Upper(name) == word)
      return Error("unknown mnemonic " + Shown(op) + " (macro names are case-sensitive: " + Shown(name) +
                   " is a macro)");
  Error("unknown mnemonic " + Shown(op));
}

}  // namespace cpasm
