#include "cpasm/symbols.h"

#include <algorithm>

#include "cpasm/lexer.h"

namespace cpasm {

void SymbolTable::StartPass(int pass) {
  pass_ = pass;
  changed_ = false;
  scopes_.clear();
  elements_ = 0;
}

std::string SymbolTable::Qualified(std::string_view name) const {
  if (IsLocalName(name) && !scopes_.empty()) return scopes_.back() + "." + std::string(name.substr(2));
  return std::string(name);
}

Symbol* SymbolTable::Find(std::string_view name) {
  auto it = IsLocalName(name) ? symbols_.find(Qualified(name)) : symbols_.find(name);
  return it == symbols_.end() ? nullptr : &it->second;
}

const Symbol* SymbolTable::Find(std::string_view name) const {
  auto it = IsLocalName(name) ? symbols_.find(Qualified(name)) : symbols_.find(name);
  return it == symbols_.end() ? nullptr : &it->second;
}

bool SymbolTable::DefinedSoFar(std::string_view name) const {
  const Symbol* symbol = Find(name);
  return symbol && symbol->definedInPass == pass_;
}

Symbol* SymbolTable::Define(std::string_view name, int64_t value, bool variable, char kind, std::string& error) {
  std::string qualified = Qualified(name);
  auto it = symbols_.find(qualified);
  if (it == symbols_.end()) {
    Symbol symbol;
    symbol.value = value;
    symbol.definedInPass = pass_;
    symbol.variable = variable;
    symbol.kind = kind;
    if (pass_ > 1) changed_ = true;
    return &symbols_.emplace(std::move(qualified), std::move(symbol)).first->second;
  }
  Symbol& symbol = it->second;
  if (symbol.definedInPass == pass_ && !(variable && symbol.variable)) {
    error = "duplicate label " + Shown(qualified);
    return nullptr;
  }
  if (!variable && symbol.value != value) changed_ = true;
  symbol.value = value;
  symbol.definedInPass = pass_;
  symbol.variable = variable;
  symbol.kind = kind;
  return &symbol;
}

bool SymbolTable::ReserveElements(size_t before, size_t after, size_t most) {
  if (after > before) elements_ += after - before;
  return elements_ <= most;
}

std::vector<Assembly::SymbolValue> SymbolTable::Values() const {
  std::vector<Assembly::SymbolValue> values;
  values.reserve(symbols_.size());
  for (const auto& [name, symbol] : symbols_) values.push_back({name, symbol.value, symbol.kind});
  std::sort(values.begin(), values.end(),
            [](const Assembly::SymbolValue& a, const Assembly::SymbolValue& b) { return a.name < b.name; });
  return values;
}

}  // namespace cpasm
