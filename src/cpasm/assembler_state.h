// The assembler's working state, shared by the directive and instruction halves.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "cpasm/assembler.h"
#include "cpasm/image.h"
#include "cpasm/lexer.h"
#include "cpasm/listing.h"
#include "cpasm/sources.h"
#include "cpasm/symbols.h"

namespace cpasm {

struct Macro {
  bool parenthesised = false;  // "MACRO name(a, b)": called as name(x, y), anywhere in a line
  std::vector<std::string> params;
  std::vector<std::string> body;
  std::vector<SourceLine> where;  // the body lines' origins (text unused)
};

inline bool IsQuoted(std::string_view text) { return IsStringToken(text); }
std::vector<Keyword> DirectiveKeywords();
std::vector<Keyword> MnemonicKeywords();

class Assembler;

// A statement's parts: "label op operands" (the label without its colon).
struct StatementParts {
  std::string_view label;
  std::string_view op;
  std::string_view operands;
};

// A directive's line, as its handler sees it.
struct DirectiveCall {
  const SourceLine& line;
  const std::string& op;  // upper case
  std::string_view label;
  std::string_view operands;
};

enum DirectiveFlags : unsigned {
  kNamesLabel = 1,   // "name OP ..." makes an indented first word the label
  kOwnsLabel = 2,    // the handler defines (or uses) the label itself
  kConditional = 4,  // runs in skipped IF branches too
  kUnsupported = 8,  // named as not supported: an error
  kIgnored = 16,     // named as not supported: a warning, the image does not depend on it
};

struct DirectiveInfo {
  const char* name;
  unsigned flags;
  void (Assembler::*handler)(const DirectiveCall&);
};

// The directive table (directives.cpp); nullptr when `name` is none.
const DirectiveInfo* FindDirective(const std::string& name);

class Assembler {
 public:
  Assembler(const std::string& fileName, std::string_view text, const FileReader& readFile, const Options& options);
  Assembly Run();
  // One first pass that records definitions instead of a listing.
  SourceDefinitions ReadDefinitions();

  // Directive handlers (directives.cpp).
  void DoIf(const DirectiveCall& call);
  void DoElse(const DirectiveCall& call);
  void DoEndIf(const DirectiveCall& call);
  void DoEqu(const DirectiveCall& call);
  void DoMacro(const DirectiveCall& call);
  void DoProc(const DirectiveCall& call);
  void DoEndp(const DirectiveCall& call);
  void DoStruct(const DirectiveCall& call);
  void DoEnds(const DirectiveCall& call);
  void DoOrg(const DirectiveCall& call);
  void DoReserve(const DirectiveCall& call);
  void DoData(const DirectiveCall& call);
  void DoRomWidth(const DirectiveCall& call);
  void DoConfigVar(const DirectiveCall& call);
  void DoInclude(const DirectiveCall& call);
  void DoRepeat(const DirectiveCall& call);
  void DoEndWithoutStart(const DirectiveCall& call);
  void DoEnd(const DirectiveCall& call);
  void DoNothing(const DirectiveCall& call);
  void DoErr(const DirectiveCall& call);
  void DoMemAttr(const DirectiveCall& call);
  void DoMessage(const DirectiveCall& call);
  void DoSourceFile(const DirectiveCall& call);
  void DoNotSupported(const DirectiveCall& call);

 private:
  friend class InstructionEncoder;

  void RunPass();
  void ProcessLines(const std::vector<SourceLine>& lines);
  void ProcessLine(const SourceLine& line);
  void ListLine();
  // The line parser (line.cpp).
  StatementParts SplitStatement(std::string_view text) const;
  bool IsOperation(std::string_view word) const;
  static bool DefinesMacro(std::string_view text);
  void Statement(const SourceLine& line, const StatementParts& parts);
  // A call's label goes to the first statement of the body that has none.
  void ExpandMacro(const SourceLine& line, std::string_view label, const std::string& name, const Macro& macro,
                   const std::vector<std::string_view>& args);
  std::string Substitute(const std::string& body, const Macro& macro, const std::vector<std::string_view>& args);
  // Replaces calls of one-line parenthesised macros inside `text`; false after an error.
  bool ExpandInLine(std::string& text);
  void FinishCollecting(const SourceLine& line);
  // An ORG or MEMATTR attribute text applied to `attributes`; false after an error.
  bool ParseAttributes(std::string_view text, int& set, int& clear);

  // Instructions (instructions.cpp); false when `op` is not a mnemonic.
  bool Instruction(const std::string& op, std::string_view operands);
  static bool IsMnemonic(const std::string& op);
  static bool IsDirective(const std::string& op);

  bool Eval(std::string_view text, int64_t& value);
  Symbol* Define(std::string_view name, int64_t value, bool variable, char kind = 'L');
  // Records a definition of the line in hand when definitions are being read.
  void Note(const std::string& qualified, Definition::Kind kind);
  // Records the line of the ENDP or ENDS that closes the PROC or STRUCT in hand.
  void EndOfDefinition();
  // The values of an expression list: expressions, strings (one value a character), slices
  // name[a, b], and $( ) texts; false after an error.
  bool EvalList(std::string_view text, std::vector<int64_t>& values);
  bool ExpandItem(std::string_view item, std::vector<int64_t>& values);
  // A text: "quoted", or $( list ), $#( v ), $$( v ), $%( v ); false after an error.
  bool EvalText(std::string_view item, std::string& text);
  int64_t Classify(std::string_view text);
  // TODAY_STR_LOC("spec") and kin taking the whole of `item`: a text, or (VAL) a list of
  // numbers. False when `item` is none of them; `ok` false after an error.
  bool Today(std::string_view item, std::string* text, std::vector<int64_t>* values, bool& ok);
  bool Element(std::string_view name, int64_t index, int64_t& value, std::string& error);
  // Counts array elements growing from `before` to `after`; false (and stops) past the limit.
  bool ReserveElements(size_t before, size_t after);
  void Emit(uint16_t word);
  bool CheckWord(int64_t value, bool decle, const char* what, uint16_t& word);
  void Error(const std::string& text);
  void Warning(const std::string& text);
  void Report(bool error, const std::string& text, bool evenInFirstPass);

  Options options_;
  SourceFiles sources_;
  SymbolTable symbols_;
  std::unordered_map<std::string, Macro> macros_;

  // Per pass.
  int pass_ = 0;
  bool forwardUsed_ = false;  // the last Eval used a symbol not yet defined in this pass
  bool sdbd_ = false;
  int romWidth_ = 16;
  int romMode_ = 0;  // ROMW's second operand: 1 puts SDBD before forward-referenced immediates
  bool inStruct_ = false;
  int64_t structSavedLocation_ = 0;
  int parenMacros_ = 0;  // parenthesised macros defined so far this pass
  int nesting_ = 0;      // texts, lists and CLASSIFY inside one another
  int evalDepth_ = 0;    // Eval inside Eval (a list inside an expression)
  bool ended_ = false;
  bool stopped_ = false;
  long long linesDone_ = 0;
  int expansions_ = 0;
  int replayDepth_ = 0;  // REPEAT bodies being replayed
  Image image_;
  std::vector<std::string> macroTrail_;
  int macroDepth_ = 0;
  struct Condition {
    bool active;
    bool parentActive;
    bool seenElse;
    SourceLine where;
  };
  std::vector<Condition> conditions_;
  enum class Collect { kNone, kMacro, kRepeat } collect_ = Collect::kNone;
  int collectDepth_ = 0;
  SourceLine collectStart_;
  std::string collectName_;
  int64_t repeatCount_ = 0;
  Macro collected_;
  std::vector<std::pair<std::string, std::string>> configVars_;
  Listing listing_;
  SourceDefinitions* definitions_ = nullptr;                 // while reading definitions
  std::unordered_map<std::string, size_t> definitionIndex_;  // name (macros: "(macro)" + name) to entry
  std::unordered_set<std::string> expandedSeen_;             // names macro expansions defined

  // The line in hand.
  const SourceLine* current_ = nullptr;
  std::vector<uint16_t> lineWords_;
  int64_t lineAddress_ = 0;
  bool listed_ = true;
  int lineReported_ = 0;  // problems already reported for this line (bits)
  int errorCount_ = 0;
};

}  // namespace cpasm
