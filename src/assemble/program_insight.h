// What the IDE tells about a program from its symbol index and its last build: the tip over a
// word, the completion list, the uses of a symbol and the edits that rename it. No windows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "assemble/source_map.h"
#include "assemble/symbol_index.h"

namespace quillon {

// The interrupt routine the program installs: the label whose address it stores in the vector at
// $0100-$0101, and the code from there to the next label that is no local of it.
struct InterruptRoutine {
  bool known = false;
  std::string name;
  std::uint32_t first = 0, last = 0;  // inclusive
};

// What the last build left that the tips need: every symbol's value, the address range each
// source line filled (the source map beside the image, or the listing), and the interrupt routine.
struct BuildFacts {
  bool built = false;                                 // false until a build left its facts
  std::vector<cpasm::Assembly::SymbolValue> symbols;  // sorted by name
  SourceMap lines;
  InterruptRoutine interrupt;

  // The symbol of this full name, or null.
  const cpasm::Assembly::SymbolValue* Symbol(const std::string& name) const;
  // The lowest address the line (counted from 1) filled; false when it filled none.
  bool LineAddress(const std::string& file, int line, std::uint32_t& address) const;
  // True when lines `first` to `last` (from 1) of `file` filled words and all of them lie in the
  // interrupt routine.
  bool InInterruptRoutine(const std::string& file, int first, int last) const;
};

// Finds the interrupt routine in an assembled program: an MVO of a register to $0100 whose value
// an MVII set shortly before (the usual MVII #ISR, R0 / MVO R0, $100 / SWAP R0 / MVO R0, $101).
// `segments` are decoded from the start of each of `runs` (every source line's words).
InterruptRoutine FindInterruptRoutine(const std::vector<cpasm::Segment>& segments,
                                      const std::vector<cpasm::SourceRun>& runs,
                                      const std::vector<cpasm::Assembly::SymbolValue>& symbols);

// The gutter's note beside an instruction line: its address from the last build and its cycles
// ("5000 8", "5004 7/9"); the cycles alone when the build did not place the line; empty for a
// line without an instruction. `afterSdbd`: the line before it is an SDBD.
std::string GutterNote(const std::string& lineText, bool afterSdbd, const std::string& file, int line,
                       const BuildFacts& facts);
// The room the note takes in the gutter, in characters.
inline constexpr int kGutterNoteCharacters = 10;

// A span of a line: [start, end) in characters.
struct Span {
  int start = 0, end = 0;
};

// The word under `column` as a tip reads it: a name, a number ($1F, 0x1F, 1Fh, %101, 0b101,
// 101b, 31) or a register. Nothing inside a comment or a string.
Span WordAt(const std::string& lineText, int column);

// "$001F  31  %0000 0000 0001 1111"; false when `word` is no number.
bool NumberValue(std::string_view word, std::int64_t& value);
std::string NumberText(std::int64_t value);

// The tip for the word at `column` of `lineText`, line `line` (from 1) of `file`: a symbol's kind,
// value, definition and address; a macro's parameters; a register's or a number's value; an
// instruction's summary, cycles and flags. Empty when there is nothing to tell.
std::string TipAt(const std::string& lineText, int column, const std::string& file, int line, const SymbolIndex& index,
                  const BuildFacts& facts, const SourceReader& read);

// The parameters of the macro defined on `lineText` ("MACRO name a, b", "name MACRO a, b",
// "MACRO name(a, b)"), as written: "a, b". Empty when it has none.
std::string MacroParameters(const std::string& lineText);

// One entry of the completion list.
struct Completion {
  std::string text;  // what is inserted ("@@loop" for a local inside its PROC)
  std::string kind;  // "label", "EQU", "macro", "instruction", "directive", ...
};
// The candidates that start with `prefix` (any case) at line `line` of `file`, best first: those
// whose case matches the prefix, then shorter ones, then by name. The locals of the PROC around
// the line are offered as "@@name"; other PROCs' locals by their full names only when the prefix
// holds a '.'. Mnemonics and directives join once the prefix has no '@' or '.'; in an operand
// (`operand`) they come after the program's names, which an operand names far more often.
std::vector<Completion> CompletionsFor(const std::string& prefix, const std::string& file, int line,
                                       const SymbolIndex& index, bool operand = false);
// Whether a word that starts after `before` (its line up to the word) is in the operand field:
// a mnemonic, directive or macro call stands before it, after the line's label if any.
bool InOperandField(std::string_view before);

// One use of a symbol: the span of the part of a name that names it ("loop" of "@@loop" or of
// "MAIN.loop" for MAIN's local loop; "MAIN" of "MAIN.loop" for MAIN itself).
struct Reference {
  std::string file;
  int line = 0;  // counted from 1
  Span span;
  std::string lineText;
};

// Every use of `target` in the index's files read through `read`, in file order then line order.
// Comments and strings hold none; an "@@name" is a use only inside the PROC that owns it.
std::vector<Reference> FindReferences(const SymbolDefinition& target, const SymbolIndex& index,
                                      const SourceReader& read);

// The changes a rename makes, or why it will not.
struct RenamePlan {
  std::string refusal;           // empty when the rename can go ahead
  std::string oldName, newName;  // the parts of the names that change ("loop" -> "scan" for a local)
  std::vector<Reference> places;
  int files = 0;
};
// Plans renaming the symbol `word` names at line `line` of `file` to `newName`. Refused when the
// word names no symbol the sources define, when only a macro expansion defines it, when the new
// name is no valid name or is a mnemonic, directive or register, or when it is defined already.
RenamePlan PlanRename(const std::string& word, const std::string& file, int line, const std::string& newName,
                      const SymbolIndex& index, const SourceReader& read);

// `text`, whose first line is line `firstLine` of `file`, with the plan's places there replaced
// (lines split at "\n", "\r\n" or "\r"; the line ends are kept as they are). A place whose text
// no longer holds the old name is left alone.
std::string ApplyRename(const std::string& text, const std::string& file, const RenamePlan& plan, int firstLine = 1);

}  // namespace quillon
