#include "cpasm/assembler.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <unordered_set>

#include "cpasm/assembler_state.h"
#include "cpasm/expression.h"

namespace cpasm {

std::string FormatDiagnostic(const Diagnostic& diagnostic) {
  return diagnostic.file + ":" + std::to_string(diagnostic.line) + (diagnostic.error ? ": ERROR - " : ": WARNING - ") +
         diagnostic.text;
}

Assembler::Assembler(const std::string& fileName, std::string_view text, const FileReader& readFile,
                     const Options& options)
    : options_(options), sources_(fileName, text, readFile, options.includeDirs, options.limits.includeDepth) {}

Assembly Assembler::Run() {
  const int passes = options_.limits.passes;
  for (pass_ = 1; pass_ <= passes; ++pass_) {
    RunPass();
    if (stopped_ || (pass_ >= 2 && !symbols_.Changed())) break;
  }
  if (pass_ > passes) {
    current_ = nullptr;
    Error("symbol values do not settle; check for labels that depend on their own position");
  }

  Assembly result;
  result.symbols = symbols_.Values();
  image_.Finish(result);
  const int64_t writeOnly = options_.romOutput ? -1 : image_.WriteOnlyAddress();
  if (writeOnly >= 0)
    listing_.Add({sources_.Path(0), 0, true,
                  "write-only memory at " + Hex4(writeOnly) +
                      " (attributes W without R) needs .rom output: name the image .rom"},
                 true);
  for (const Diagnostic& d : listing_.Problems()) (d.error ? result.errors : result.warnings)++;
  result.configVars = std::move(configVars_);
  result.sourceMap = image_.Map().Runs(sources_.Paths());
  result.listing = listing_.TakeText(result.errors, result.warnings);
  result.diagnostics = listing_.TakeProblems();
  return result;
}

void Assembler::RunPass() {
  symbols_.StartPass(pass_);
  stopped_ = false;
  errorCount_ = 0;
  image_.Reset();
  sdbd_ = false;
  romWidth_ = 16;
  romMode_ = 0;
  inStruct_ = false;
  parenMacros_ = 0;
  nesting_ = 0;
  ended_ = false;
  linesDone_ = 0;
  expansions_ = 0;
  sources_.StartPass();
  macroTrail_.clear();
  macroDepth_ = 0;
  replayDepth_ = 0;
  conditions_.clear();
  collect_ = Collect::kNone;
  macros_.clear();
  configVars_.clear();
  listing_.Clear();

  ProcessLines(sources_.File(0).lines);

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
  current_ = nullptr;
  if (inStruct_) {
    Error("STRUCT " + symbols_.Scopes().back() + " has no ENDS");
  } else if (!symbols_.Scopes().empty()) {
    Warning("PROC " + symbols_.Scopes().back() + " has no ENDP");
  }
}

std::vector<Keyword> Keywords() {
  std::vector<Keyword> words = MnemonicKeywords();
  for (Keyword& k : DirectiveKeywords()) words.push_back(std::move(k));
  return words;
}

void Assembler::Note(const std::string& qualified, Definition::Kind kind) {
  if (!definitions_ || !current_) return;
  if (macroDepth_ > 0) {
    if (kind != Definition::Kind::kMacro && expandedSeen_.insert(qualified).second)
      definitions_->expanded.push_back(qualified);
    return;
  }
  std::string key = kind == Definition::Kind::kMacro ? "(macro)" + qualified : qualified;
  if (!definitionIndex_.emplace(std::move(key), definitions_->definitions.size()).second) return;
  definitions_->definitions.push_back({qualified, kind, sources_.Path(current_->file), current_->line, 0});
}

SourceDefinitions Assembler::ReadDefinitions() {
  SourceDefinitions result;
  definitions_ = &result;
  pass_ = 1;
  RunPass();
  definitions_ = nullptr;
  result.files = sources_.Paths();
  return result;
}

SourceDefinitions ReadDefinitions(const std::string& fileName, std::string_view text, const FileReader& readFile,
                                  const Options& options) {
  return Assembler(fileName, text, readFile, options).ReadDefinitions();
}

Symbol* Assembler::Define(std::string_view name, int64_t value, bool variable, char kind) {
  if (definitions_) {
    Note(symbols_.Qualified(name), kind == 'E'         ? Definition::Kind::kEqu
                                   : kind == 'S'       ? Definition::Kind::kSet
                                   : IsLocalName(name) ? Definition::Kind::kLocal
                                                       : Definition::Kind::kLabel);
  }
  std::string error;
  Symbol* symbol = symbols_.Define(name, value, variable, kind, error);
  if (!symbol) Error(error);
  return symbol;
}

bool Assembler::Eval(std::string_view text, int64_t& value) {
  ExprContext context;
  context.location = lineAddress_;
  if (evalDepth_ == 0) forwardUsed_ = false;  // lists inside the expression evaluate on their own
  context.symbol = [this](std::string_view name, int64_t& out) {
    const Symbol* symbol = symbols_.Find(name);
    if (!symbol) return false;
    if (symbol->definedInPass != pass_) forwardUsed_ = true;
    out = symbol->value;
    return true;
  };
  context.defined = [this](std::string_view name) { return symbols_.DefinedSoFar(name); };
  context.element = [this](std::string_view name, int64_t index, int64_t& out, std::string& error) {
    return Element(name, index, out, error);
  };
  context.classify = [this](std::string_view inside) { return Classify(inside); };
  context.list = [this](std::string_view inside, std::vector<int64_t>& values) { return EvalList(inside, values); };
  ++evalDepth_;
  ExprResult result = Evaluate(text, context);
  --evalDepth_;
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
  if (image_.Location() > 0xFFFF) {
    if (!(lineReported_ & Image::kPastEnd)) Error("code runs past $FFFF");
    lineReported_ |= Image::kPastEnd;
    return;
  }
  lineWords_.push_back(word);
  std::string problem;
  const int bit = image_.Put(word, problem);
  if (bit && !(lineReported_ & bit)) Error(problem);
  lineReported_ |= bit;
}

Assembly AssembleText(const std::string& fileName, std::string_view text, const FileReader& readFile,
                      const Options& options) {
  return Assembler(fileName, text, readFile, options).Run();
}

std::vector<std::string> SplitSearchPath(std::string_view value, bool windows) {
  std::vector<std::string> dirs;
  auto unquote = [](std::string_view t) {
    t = Trim(t);
    if (t.size() >= 2 && t.front() == '"' && t.back() == '"') t = Trim(t.substr(1, t.size() - 2));
    return t;
  };
  value = unquote(value);
  size_t start = 0;
  for (size_t i = 0; i <= value.size(); ++i) {
    if (i < value.size() && value[i] != ';' && (windows || value[i] != ':')) continue;
    std::string_view entry = unquote(value.substr(start, i - start));
    if (!entry.empty()) dirs.emplace_back(entry);
    start = i + 1;
  }
  return dirs;
}

}  // namespace cpasm
