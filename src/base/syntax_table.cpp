#include "base/syntax_table.h"

#include <fstream>
#include <stdexcept>
#include <vector>

#include "base/error_log.h"
#include "base/regex_search.h"
#include "base/text_util.h"

namespace quillon {

namespace {

constexpr char kColourPattern[] = "\\[(\\d+)\\s+(\\d+)\\s+(\\d+)\\]";
constexpr char kKeywordPattern[] = "([\\d\\w\\_\\@\\-]+)";

// A failure with one of the reader's fixed messages.
struct SyntaxFileError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The low 8 bits of a decimal number of any length.
Colour LowByte(const std::string& digits) {
  Colour value = 0;
  for (char c : digits)
    if (c >= '0' && c <= '9') value = (value * 10 + static_cast<Colour>(c - '0')) & 0xFF;
  return value;
}

void AddKeywords(const std::string& text, const pcre2_code* keyword, Colour colour, SyntaxTable& table) {
  std::vector<std::string> words;
  RegexSearch(text.c_str(), keyword, words, 1);
  for (const std::string& word : words)
    if (!word.empty()) table.Insert(word, colour);
}

void ReadGroups(std::istream& in, SyntaxTable& table) {
  Pattern colourPattern = CompilePattern(kColourPattern);
  if (!colourPattern) throw SyntaxFileError("Unable to create regex for Color.");
  Pattern keywordPattern = CompilePattern(kKeywordPattern);
  if (!keywordPattern) throw SyntaxFileError("Unable to create regex for Keywords.");

  enum class Step { kColourLine, kOpeningLine, kBody } step = Step::kColourLine;
  Colour colour = 0;
  std::vector<std::string> numbers;
  std::string line;
  while (ReadLine(in, line)) {
    switch (step) {
      case Step::kColourLine:
        if (RegexSearch(line.c_str(), colourPattern.get(), numbers, 0) > 2) {
          colour = LowByte(numbers[0]) | LowByte(numbers[1]) << 8 | LowByte(numbers[2]) << 16;
          step = Step::kOpeningLine;
        }
        break;
      case Step::kOpeningLine:
        // A "}" on the opening line does not close the group.
        if (std::size_t open = line.find('{'); open != std::string::npos) {
          AddKeywords(line.substr(open), keywordPattern.get(), colour, table);
          step = Step::kBody;
        }
        break;
      case Step::kBody: {
        std::size_t close = line.find('}');
        AddKeywords(line.substr(0, close), keywordPattern.get(), colour, table);
        if (close != std::string::npos) step = Step::kColourLine;
        break;
      }
    }
  }
}

}  // namespace

void LoadSyntaxFile(const std::string& path, SyntaxTable& table, ErrorLog& log) {
  try {
    table.Clear();
    std::ifstream in(path, std::ios::binary);
    if (!in) throw SyntaxFileError("Unable to open syntax file: " + path);
    ReadGroups(in, table);
  } catch (const SyntaxFileError& e) {
    log.Log("LoadSyntaxFile() Error: %s", e.what());
  } catch (...) {
    log.Log("LoadSyntaxFile() Error: Unknown exception.");
  }
}

}  // namespace quillon
