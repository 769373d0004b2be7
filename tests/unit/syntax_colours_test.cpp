#include "editor/syntax_colours.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <string>
#include <vector>

namespace quillon {
namespace {

constexpr Colour kBlue = 0xFF0000;
constexpr Colour kRed = 0x0000FF;
constexpr Colour kGreen = kCommentColour;

SyntaxTable Table() {
  SyntaxTable table;
  for (const char* word : {"MVI", "MVO", "R0-R7", "@@x", "R0", "R1"}) table.Insert(word, kBlue);
  table.Insert("B", kRed);
  return table;
}

TEST(LineRuns, ColoursWordsCommentsAndTheRest) {
  struct Case {
    std::string line;
    std::vector<ColourRun> expected;
  };
  const std::string longLine = std::string(300, 'x') + " MVI" + std::string(296, ' ') + ";c";
  const Case cases[] = {
      {"MVI R0, 5 ; load", {{0, 6, kBlue}, {6, 10, 0}, {10, 16, kGreen}}},  // blanks join the run before
      {"mvi", {{0, 3, 0}}},
      {"MVIX", {{0, 4, 0}}},
      {"R0-R7 @@x", {{0, 9, kBlue}}},
      {"R0,R1", {{0, 2, kBlue}, {2, 3, 0}, {3, 5, kBlue}}},  // a keyword right after punctuation
      {"(MVI)", {{0, 1, 0}, {1, 4, kBlue}, {4, 5, 0}}},
      {"; MVI", {{0, 5, kGreen}}},
      {"MV;I B", {{0, 2, 0}, {2, 6, kGreen}}},                   // a ";" inside a word starts the comment
      {"\tB\xe9MVI", {{0, 2, kRed}, {2, 3, 0}, {3, 6, kBlue}}},  // 8-bit bytes separate words
      {"", {}},
      {longLine, {{0, 301, 0}, {301, 600, kBlue}, {600, 602, kGreen}}},
      {"  MVI", {{0, 5, kBlue}}},  // leading blanks join the run after them
      {"  ; c", {{0, 5, kGreen}}},
      {" \t ", {{0, 3, 0}}},
  };
  const SyntaxTable table = Table();
  std::vector<ColourRun> runs;
  for (const Case& c : cases) {
    LineRuns(c.line, table, runs);
    EXPECT_EQ(runs, c.expected) << c.line;
  }
  LineRuns("MVI ; x", SyntaxTable(), runs);
  EXPECT_EQ(runs, (std::vector<ColourRun>{{0, 4, 0}, {4, 7, kGreen}})) << "an empty table still colours comments";
}

// What a reader of the RTF gets: the text (one "\r" per paragraph mark) and each character's colour.
struct Read {
  std::string text;
  std::vector<Colour> colours;
  std::vector<Colour> table;
};

Read ReadRtf(const std::string& rtf) {
  Read read;
  Colour current = 0;
  int depth = 0;
  bool inColourTable = false;
  Colour building = 0;
  auto put = [&](char c) {
    if (depth != 1) return;
    read.text += c;
    read.colours.push_back(current);
  };
  for (std::size_t i = 0; i < rtf.size();) {
    char c = rtf[i];
    if (c == '{') {
      ++depth, ++i;
    } else if (c == '}') {
      if (depth == 2) inColourTable = false;
      --depth, ++i;
    } else if (c == '\r' || c == '\n') {
      ++i;
    } else if (c != '\\') {
      if (inColourTable && c == ';') {
        read.table.push_back(building);
        building = 0;
      } else if (!inColourTable) {
        put(c);
      }
      ++i;
    } else if (rtf[i + 1] == '\'') {
      put(static_cast<char>(std::strtol(rtf.substr(i + 2, 2).c_str(), nullptr, 16)));
      i += 4;
    } else if (!std::isalpha(static_cast<unsigned char>(rtf[i + 1]))) {
      put(rtf[i + 1]);
      i += 2;
    } else {
      std::size_t j = i + 1;
      while (std::isalpha(static_cast<unsigned char>(rtf[j]))) ++j;
      const std::string word = rtf.substr(i + 1, j - i - 1);
      std::size_t k = j;
      while (std::isdigit(static_cast<unsigned char>(rtf[k]))) ++k;
      const long value = std::strtol(rtf.substr(j, k - j).c_str(), nullptr, 10);
      if (rtf[k] == ' ') ++k;
      i = k;
      if (word == "colortbl") inColourTable = true;  // its first, empty entry is the automatic colour
      if (word == "red") building |= static_cast<Colour>(value);
      if (word == "green") building |= static_cast<Colour>(value) << 8;
      if (word == "blue") building |= static_cast<Colour>(value) << 16;
      if (word == "cf") current = read.table.at(static_cast<std::size_t>(value));
      if (word == "par") put('\r');
      if (word == "tab") put('\t');
    }
  }
  EXPECT_EQ(depth, 0);
  return read;
}

TEST(ColouredRtf, CarriesEveryCharacterAndLineBreakWithItsColour) {
  std::string allBytes;
  for (int b = 1; b < 256; ++b) allBytes += static_cast<char>(b);
  struct Case {
    const char* name;
    std::string text;
    std::string expected;  // with one "\r" per line break, and the extra one at the end
  };
  const Case cases[] = {
      {"CR LF", "MVI R0\r\nB x\r\n", "MVI R0\rB x\r\r"},
      {"LF and lone CR", "a\nb\rc", "a\rb\rc"},
      {"CR CR LF is two breaks", "a\r\r\nb", "a\r\rb"},
      {"empty", "", ""},
      {"one break", "\r\n", "\r\r"},
      {"two breaks", "\r\n\r\n", "\r\r\r"},
      {"RTF specials and tabs", "\\par {x} \\'41\t;{", "\\par {x} \\'41\t;{"},
      // LF (index 9) and CR (index 12) are breaks; every other byte comes back as it was.
      {"every byte but NUL", allBytes,
       allBytes.substr(0, 9) + "\r" + allBytes.substr(10, 2) + "\r" + allBytes.substr(13)},
  };
  const SyntaxTable table = Table();
  for (const Case& c : cases) {
    Read read = ReadRtf(ColouredRtf(c.text, table, {"Courier New", 200, 0, 0}, 1252));
    EXPECT_EQ(read.text, c.expected) << c.name;
  }
}

TEST(ColouredRtf, ColoursMatchTheLineRunsAndTheHeaderNamesTheFont) {
  const std::string text = "MVI R0 ; c\r\n\tB R1\r\nmvi";
  const std::string rtf = ColouredRtf(text, Table(), {"Courier New", 210, 1 | 4, 0}, 1250);
  Read read = ReadRtf(rtf);
  ASSERT_EQ(read.text, "MVI R0 ; c\r\tB R1\rmvi");
  const std::string expected = "BBBBBBBGGG RRRBB    ";  // B blue, R red, G green, else black
  for (std::size_t i = 0; i < read.text.size(); ++i) {
    if (read.text[i] == '\r') continue;
    Colour want = expected[i] == 'B' ? kBlue : expected[i] == 'R' ? kRed : expected[i] == 'G' ? kGreen : 0;
    EXPECT_EQ(read.colours[i], want) << "character " << i;
  }
  for (const char* part : {"\\ansicpg1250", "\\fcharset0 Courier New;", "\\fs21", "\\b", "\\ul"})
    EXPECT_NE(rtf.find(part), std::string::npos) << part;
}

}  // namespace
}  // namespace quillon
