// The keyword table: which words of the editor's text are coloured, and how. Filled from
// syntax.cfg once at start-up (no platform calls).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace quillon {

class ErrorLog;

// Colours are 32-bit RGB values with red in the low byte.
using Colour = std::uint32_t;

class SyntaxTable {
 public:
  void Clear() { keywords_.clear(); }
  // Adds a keyword; one already present keeps its first colour.
  void Insert(std::string_view keyword, Colour colour) { keywords_.emplace(std::string(keyword), colour); }
  // The colour of a keyword (case-sensitive); 0 (black) for an empty or unknown word.
  Colour ColourOf(std::string_view word) const {
    if (word.empty()) return 0;
    auto found = keywords_.find(word);
    return found == keywords_.end() ? 0 : found->second;
  }
  const std::map<std::string, Colour, std::less<>>& Keywords() const { return keywords_; }

 private:
  std::map<std::string, Colour, std::less<>> keywords_;
};

// Reads a syntax file into `table`, which is emptied first. Failures go to `log` as
// "LoadSyntaxFile() Error: ..."; the table then holds what was read before the failure.
void LoadSyntaxFile(const std::string& path, SyntaxTable& table, ErrorLog& log);

}  // namespace quillon
