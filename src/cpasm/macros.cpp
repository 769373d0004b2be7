// Macros: collecting a definition, substituting arguments, and expanding calls, both as a
// statement and, for parenthesised one-line macros, inside a line.
#include "cpasm/assembler_state.h"
#include "cpasm/lexer.h"

namespace cpasm {

namespace {

// "name(" with the parameters up to ")"; false when there are no parentheses.
bool SplitParenthesised(std::string_view text, std::string_view& name, std::string_view& inside,
                        std::string_view& after) {
  size_t end = SymbolEnd(text, 0);
  name = text.substr(0, end);
  std::string_view rest = Trim(text.substr(end));
  if (rest.empty() || rest[0] != '(') return false;
  const size_t close = GroupEnd(rest, 0);
  if (close != std::string_view::npos) {
    inside = rest.substr(1, close - 1);
    after = Trim(rest.substr(close + 1));
    return true;
  }
  inside = rest.substr(1);
  after = "?";
  return true;
}

// "[a, b]" passes "a, b" as one argument, blanks and commas kept.
std::vector<std::string_view> Unbracketed(const std::vector<std::string_view>& args) {
  std::vector<std::string_view> out = args;
  for (std::string_view& arg : out)
    if (arg.size() >= 2 && arg.front() == '[' && GroupEnd(arg, 0) == arg.size() - 1)
      arg = arg.substr(1, arg.size() - 2);
  return out;
}

}  // namespace

void Assembler::DoMacro(const DirectiveCall& call) {
  std::string_view name = call.label;
  std::string_view params = call.operands;
  bool parenthesised = false;
  if (name.empty()) {
    std::string_view inside, after;
    if (SplitParenthesised(Trim(params), name, inside, after)) {
      if (!after.empty()) return Error("MACRO " + Shown(name) + "(...) has text after its ')'");
      params = inside;
      parenthesised = true;
    } else {
      params = Trim(params);
      name = params.substr(0, SymbolEnd(params, 0));
      params = Trim(params.substr(name.size()));
      if (!params.empty() && params[0] == ',') return Error("bad macro name '" + Shown(name) + "'");
    }
  }
  if (!ValidSymbolName(name)) return Error("MACRO needs a name");
  Note(std::string(name), Definition::Kind::kMacro);
  collect_ = Collect::kMacro;
  collectDepth_ = 1;
  collectStart_ = call.line;
  collectName_ = std::string(name);
  collected_ = Macro();
  collected_.parenthesised = parenthesised;
  for (std::string_view p : SplitOperands(params)) {
    std::string param = Upper(p);
    if (!ValidSymbolName(p)) {
      Error("bad macro argument name '" + Shown(p) + "'");
    } else if (param == Upper(collectName_)) {
      Error("macro argument " + param + " has the macro's own name");
    } else {
      for (const std::string& other : collected_.params)
        if (other == param) Error("macro argument " + param + " is named twice");
    }
    collected_.params.push_back(param);
  }
}

std::string Assembler::Substitute(const std::string& body, const Macro& macro,
                                  const std::vector<std::string_view>& args) {
  // "%name%" with a name by the scanner's rule, anywhere in the line; "%%" is the expansion's
  // number.
  std::string out;
  size_t i = 0;
  while (i < body.size()) {
    size_t percent = body.find('%', i);
    if (percent == std::string::npos) break;
    out.append(body, i, percent - i);
    const size_t close = SymbolEnd(body, percent + 1);
    if (close >= body.size() || body[close] != '%' || (close > percent + 1 && !IsSymbolStart(body[percent + 1]))) {
      out += '%';
      i = percent + 1;
      continue;
    }
    std::string key = Upper(std::string_view(body).substr(percent + 1, close - percent - 1));
    if (key.empty()) {
      out += std::to_string(expansions_ - 1);  // the first expansion is number 0
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
  return out;
}

bool Assembler::ExpandInLine(std::string& text) {
  for (int round = 0; round < options_.limits.macroDepth; ++round) {
    bool replaced = false;
    // Names followed by '(' among the line's tokens (never inside a string or a number).
    Scanner scanner(text);
    for (Token name = scanner.Next(); name.kind != Token::kEnd; name = scanner.Next()) {
      if (name.kind != Token::kName) continue;
      const Token open = Scanner(text, name.end).Next(false);
      auto macro = open.Is('(') ? macros_.find(std::string(name.text)) : macros_.end();
      if (macro == macros_.end() || !macro->second.parenthesised || macro->second.body.size() != 1) continue;
      const size_t i = name.pos;
      // The arguments up to the matching ')'.
      const size_t close = GroupEnd(text, open.pos);
      if (close == std::string::npos) {
        Error("missing ')' after macro " + macro->first);
        return false;
      }
      std::string inside = text.substr(open.pos + 1, close - open.pos - 1);
      std::vector<std::string_view> args = Unbracketed(SplitOperands(inside));
      if (args.size() > macro->second.params.size()) {
        Error("macro " + macro->first + " takes " + std::to_string(macro->second.params.size()) + " argument(s), not " +
              std::to_string(args.size()));
        return false;
      }
      ++expansions_;
      std::string body = Substitute(std::string(Trim(macro->second.body[0])), macro->second, args);
      text = text.substr(0, i) + body + text.substr(close + 1);
      if (text.size() > options_.limits.expandedLine) {
        Error("macro " + macro->first + " expands to a line of more than " +
              std::to_string(options_.limits.expandedLine) + " characters");
        return false;
      }
      replaced = true;
      scanner = Scanner(text, i + body.size());
    }
    if (!replaced) return true;
  }
  Error("macros nested more than " + std::to_string(options_.limits.macroDepth) + " deep");
  return false;
}

void Assembler::ExpandMacro(const SourceLine& line, std::string_view label, const std::string& name, const Macro& macro,
                            const std::vector<std::string_view>& given) {
  const std::vector<std::string_view> args = Unbracketed(given);
  if (args.size() > macro.params.size())
    return Error("macro " + name + " takes " + std::to_string(macro.params.size()) + " argument(s), not " +
                 std::to_string(args.size()));
  if (macroDepth_ >= options_.limits.macroDepth)
    return Error("macros nested more than " + std::to_string(options_.limits.macroDepth) + " deep in " + name);
  ++expansions_;
  std::vector<std::string> texts;
  texts.reserve(macro.body.size());
  bool labelPlaced = label.empty();
  for (const std::string& body : macro.body) {
    std::string out = Substitute(body, macro, args);
    if (out.size() > options_.limits.expandedLine)
      return Error("macro " + name + " expands to a line of more than " + std::to_string(options_.limits.expandedLine) +
                   " characters");
    if (!labelPlaced) {
      const StatementParts parts = SplitStatement(StripComment(out));
      if (!parts.op.empty() && parts.label.empty()) {
        out.insert(0, std::string(label) + (out.empty() || !IsSpace(out[0]) ? " " : ""));
        labelPlaced = true;
      }
    }
    texts.push_back(std::move(out));
  }
  // Every line of the body has a label of its own: the call's names the address.
  if (!labelPlaced) {
    Define(label, image_.Location(), false);
  } else if (!label.empty()) {
    Note(symbols_.Qualified(label), Definition::Kind::kLabel);  // defined in the body, written at the call
  }
  std::vector<SourceLine> lines;
  for (size_t k = 0; k < texts.size(); ++k) lines.push_back({macro.where[k].file, macro.where[k].line, texts[k]});
  ListLine();
  macroTrail_.push_back("macro " + name + " used at " + sources_.Path(line.file) + ":" + std::to_string(line.line));
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
    if (body.parenthesised) ++parenMacros_;
    macros_[collectName_] = std::move(body);
    return;
  }
  std::vector<SourceLine> lines;
  for (size_t k = 0; k < body.body.size(); ++k) lines.push_back({body.where[k].file, body.where[k].line, body.body[k]});
  ListLine();
  // The repeated words come from the REPEAT line.
  if (macroDepth_ == 0 && replayDepth_ == 0) image_.Map().SetOuterLine(collectStart_.file, collectStart_.line);
  ++replayDepth_;
  for (int64_t n = 0; n < repeatCount_ && !stopped_ && !ended_; ++n) ProcessLines(lines);
  --replayDepth_;
}

}  // namespace cpasm
