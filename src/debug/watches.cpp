#include "debug/watches.h"

#include <cctype>
#include <cstdio>

#include "base/text_util.h"
#include "debug/debug_report.h"

namespace quillon {

namespace {

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// The line without its comment.
std::string Code(const std::string& line) {
  bool quoted = false;
  char quote = 0;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      if (c == '\\')
        ++i;
      else if (c == quote)
        quoted = false;
    } else if (c == '"' || c == '\'') {
      quoted = true;
      quote = c;
    } else if (c == ';') {
      return Trim(line.substr(0, i));
    }
  }
  return Trim(line);
}

bool DigitsIn(const std::string& digits, int base, uint32_t& value) {
  if (digits.empty() || digits.size() > 32) return false;
  uint64_t v = 0;
  for (char c : digits) {
    const int d = std::isdigit(static_cast<unsigned char>(c))   ? c - '0'
                  : std::isalpha(static_cast<unsigned char>(c)) ? std::toupper(static_cast<unsigned char>(c)) - 'A' + 10
                                                                : 99;
    if (d >= base) return false;
    v = v * static_cast<unsigned>(base) + static_cast<unsigned>(d);
    if (v > 0xFFFFFFFFu) return false;
  }
  value = static_cast<uint32_t>(v);
  return true;
}

// The value after EQU, SET, QEQU, QSET or '=' on `code`, a definition of `name`.
bool DefinedNumber(const std::string& code, uint32_t& value) {
  const std::string upper = Upper(code);
  for (const char* word : {" EQU ", " SET ", " QEQU ", " QSET ", "=", " EQU\t", " SET\t"}) {
    const size_t at = upper.find(word);
    if (at == std::string::npos) continue;
    return ReadNumber(Trim(code.substr(at + std::string(word).size())), value);
  }
  return false;
}

bool BlankOrComment(const std::string& line) { return Code(line).empty(); }

}  // namespace

bool ReadNumber(const std::string& given, uint32_t& value) {
  const std::string text = Trim(given);
  if (text.empty()) return false;
  if (text[0] == '$') return DigitsIn(text.substr(1), 16, value);
  if (text[0] == '%') return DigitsIn(text.substr(1), 2, value);
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
    return DigitsIn(text.substr(2), 16, value);
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'b' || text[1] == 'B'))
    return DigitsIn(text.substr(2), 2, value);
  if (!std::isdigit(static_cast<unsigned char>(text[0]))) return false;
  const char last = static_cast<char>(std::toupper(static_cast<unsigned char>(text.back())));
  if (last == 'H') return DigitsIn(text.substr(0, text.size() - 1), 16, value);
  if (last == 'B' && DigitsIn(text.substr(0, text.size() - 1), 2, value)) return true;
  return DigitsIn(text, 10, value);
}

std::map<std::string, uint32_t> KnownSymbolValues(const std::vector<NamedSymbol>& symbols, const SourceMap& map,
                                                  const SourceLines& read) {
  std::map<std::string, uint32_t> values;
  std::map<std::string, std::vector<std::string>> texts;  // by file key
  const auto linesOf = [&](const std::string& file) -> const std::vector<std::string>& {
    const std::string key = SourceMap::FileKey(file);
    auto found = texts.find(key);
    if (found == texts.end()) {
      std::vector<std::string> lines;
      if (!read(file, lines)) lines.clear();
      found = texts.emplace(key, std::move(lines)).first;
    }
    return found->second;
  };
  for (const NamedSymbol& symbol : symbols) {
    if (symbol.line < 0 || symbol.name.empty()) continue;
    const std::vector<std::string>& lines = linesOf(symbol.file);
    const std::string code = symbol.line < static_cast<int>(lines.size()) ? Code(lines[symbol.line]) : std::string();
    if (!symbol.label) {
      uint32_t value = 0;
      if (DefinedNumber(code, value)) values[symbol.name] = value;
      continue;
    }
    const std::string upper = " " + Upper(code) + " ";
    bool reserves = false;
    for (const char* word : {" RMB ", " RES ", " RESERVE ", " ORG ", " STRUCT "})
      reserves = reserves || upper.find(word) != std::string::npos;
    if (reserves) continue;  // where it stands is the assembler's to say
    const int codeLine = map.NextLineWithCode(symbol.file, symbol.line);
    if (codeLine < 0) continue;
    bool between = true;
    for (int l = symbol.line + 1; l < codeLine && between; ++l)
      between = l < static_cast<int>(lines.size()) && BlankOrComment(lines[l]);
    const std::vector<uint32_t> addresses = map.AddressesOf(symbol.file, codeLine);
    if (between && addresses.size() == 1) values[symbol.name] = addresses[0];
  }
  return values;
}

void TakeAssembledValues(const std::vector<cpasm::Assembly::SymbolValue>& assembled,
                         std::map<std::string, uint32_t>& values) {
  for (const cpasm::Assembly::SymbolValue& symbol : assembled)
    if (symbol.value >= 0 && symbol.value <= 0xFFFF) values[symbol.name] = static_cast<uint32_t>(symbol.value);
}

bool WatchAddress(const std::string& watch, const std::map<std::string, uint32_t>& symbols, uint32_t& address,
                  std::string& problem) {
  const std::string name = Trim(watch);
  if (ReadNumber(name, address)) {
    if (address <= 0xFFFF) return true;
    problem = "beyond $FFFF";
    return false;
  }
  auto found = symbols.find(name);
  if (found == symbols.end()) {
    // Names compare exactly, as the assembler's do; a near miss in case is named.
    for (const auto& [symbol, value] : symbols)
      if (Upper(symbol) == Upper(name)) {
        problem = "unknown; did you mean " + symbol + "?";
        return false;
      }
    problem = "unknown (a label, PROC or EQU with a number, or an address such as $0102)";
    return false;
  }
  address = found->second & 0xFFFF;
  return true;
}

std::string WordText(uint32_t address, uint16_t value) {
  char text[32];
  if (IsNarrowMemory(address))
    std::snprintf(text, sizeof text, "$%02X (%u)", static_cast<unsigned>(value & 0xFF),
                  static_cast<unsigned>(value & 0xFF));
  else
    std::snprintf(text, sizeof text, "$%04X (%u)", static_cast<unsigned>(value), static_cast<unsigned>(value));
  return text;
}

}  // namespace quillon
