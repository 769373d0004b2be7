// The names a project's sources define (labels, PROCs, EQU and SET symbols, macros) with their
// files and lines, read by the bundled assembler's own source reader. No windows here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "cpasm/assembler.h"

namespace quillon {

using SymbolDefinition = cpasm::Definition;

// A character of a name as the sources write it: a letter, a digit, _ . @ or &.
bool IsNameChar(char c);

// Reads a source file's text (an open document's, else the file's); false when it cannot.
using SourceReader = std::function<bool(const std::string& path, std::string& text)>;

class SymbolIndex {
 public:
  // Reads each of `roots` (full paths; the main source first) with the files it includes,
  // searching `includeDirs` after the including file's folder. A root already read through an
  // INCLUDE is not read again.
  void Build(const std::vector<std::string>& roots, const SourceReader& read,
             const std::vector<std::string>& includeDirs = {});

  const std::vector<SymbolDefinition>& Definitions() const { return definitions_; }
  // Every file read, roots and included files.
  const std::vector<std::string>& Files() const { return files_; }
  // Names that only macro expansions define ("P.x" for a local), each once.
  const std::vector<std::string>& Expanded() const { return expanded_; }

  // The definition that `word` names where it is used, in `file` at the one-based `line`: an
  // "@@name" is looked up in the PROC around that line; otherwise names match exactly, macros
  // too (their names are case-sensitive), with a name of another kind in another case as the
  // last resort. Null when there is none.
  const SymbolDefinition* Find(const std::string& word, const std::string& file, int line) const;

 private:
  std::vector<SymbolDefinition> definitions_;
  std::vector<std::string> files_;
  std::vector<std::string> expanded_;
};

// Where Go to Definition left from, for Go Back: the newest on top, the oldest dropped past
// kMost.
struct Place {
  std::string file;           // empty for an untitled document
  std::uintptr_t window = 0;  // the document window, while it lasts
  long start = 0, end = 0;    // the selection
};
class PlaceStack {
 public:
  static constexpr std::size_t kMost = 32;
  void Push(Place place);
  // The newest place, taken off; false when there is none.
  bool Pop(Place& place);
  std::size_t Size() const { return places_.size(); }

 private:
  std::vector<Place> places_;
};

// The name under `column` (zero-based) of `lineText`: letters, digits and '_', '.', '@', '&';
// empty when there is none there. A column just past a name counts as on it.
std::string NameAt(const std::string& lineText, int column);

// True when two paths name the same file: case and the kind of slash do not matter.
bool SameSourcePath(const std::string& a, const std::string& b);

// A definition's kind as the Go to Symbol list shows it ("label", "PROC", ...).
const char* KindName(SymbolDefinition::Kind kind);

// The definitions whose names contain `filter` (any case), best match first: the name itself,
// then names that start with it, then those whose own part (after the last '.') does, then the
// rest; each group by name in any case. An empty filter keeps them all, by name.
std::vector<int> FilterDefinitions(const std::vector<SymbolDefinition>& definitions, const std::string& filter);

}  // namespace quillon
