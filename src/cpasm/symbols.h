// The symbol table: every symbol's value and kind, which pass defined it, arrays' elements, the
// PROC and STRUCT scopes that qualify local names, and whether a pass changed anything.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "cpasm/assembler.h"

namespace cpasm {

struct StringHash {
  using is_transparent = void;
  size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};

struct Symbol {
  int64_t value = 0;
  int definedInPass = 0;
  bool variable = false;                         // SET: may change
  char kind = 'L';                               // 'L' label, 'E' EQU, 'S' SET
  std::vector<std::optional<int64_t>> elements;  // an array symbol's elements
  // An EQU array's elements as the pass before left them, while this pass assigns them afresh:
  // equated elements must settle like labels.
  std::vector<std::optional<int64_t>> earlier;
};

inline bool IsLocalName(std::string_view name) { return name.size() > 2 && name[0] == '@' && name[1] == '@'; }

class SymbolTable {
 public:
  // Pass `pass` begins: no scope open, nothing changed yet. Symbols keep their values.
  void StartPass(int pass);
  int Pass() const { return pass_; }
  // True when this pass gave a label or EQU a value other than the pass before did.
  bool Changed() const { return changed_; }
  void MarkChanged() { changed_ = true; }

  // The full name: "@@x" inside PROC P is "P.x".
  std::string Qualified(std::string_view name) const;
  Symbol* Find(std::string_view name);
  const Symbol* Find(std::string_view name) const;
  // Defined earlier in this pass.
  bool DefinedSoFar(std::string_view name) const;
  // Gives `name` a value; null with `error` when a label is defined twice in a pass.
  Symbol* Define(std::string_view name, int64_t value, bool variable, char kind, std::string& error);

  // The PROCs and STRUCTs open, innermost last, by their full names.
  const std::vector<std::string>& Scopes() const { return scopes_; }
  void Enter(std::string qualified) { scopes_.push_back(std::move(qualified)); }
  void Leave() { scopes_.pop_back(); }

  // Counts array elements growing from `before` to `after` in this pass; false past `most`.
  bool ReserveElements(size_t before, size_t after, size_t most);

  // Every symbol's final value, sorted by name.
  std::vector<Assembly::SymbolValue> Values() const;

 private:
  std::unordered_map<std::string, Symbol, StringHash, std::equal_to<>> symbols_;
  std::vector<std::string> scopes_;
  int pass_ = 0;
  bool changed_ = false;
  size_t elements_ = 0;
};

}  // namespace cpasm
