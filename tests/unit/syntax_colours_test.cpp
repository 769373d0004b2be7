#include "editor/syntax_colours.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

namespace quillon {
namespace syntax_colours_test {

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

}  // namespace syntax_colours_test
}  // namespace quillon

namespace quillon {
namespace syntax_colours_test {

// What a reader of the RTF gets: the text (each \par a CR LF) and the colour of each character,
// taken from the colour table by index, as the control takes it.
struct Decoded {
  std::string text;
  std::vector<Colour> colours;  // one per character of `text`, line breaks included
};

Decoded DecodeRtf(const std::string& rtf) {
  Decoded out;
  std::vector<Colour> table;
  Colour current = 0;
  int depth = 0, skipDepth = -1, tableDepth = -1;
  Colour building = 0;
  auto put = [&](char c) {
    if (skipDepth >= 0 || tableDepth >= 0 || depth == 0) return;
    out.text += c;
    out.colours.push_back(current);
  };
  for (std::size_t i = 0; i < rtf.size();) {
    const char c = rtf[i];
    if (c == '{') {
      ++depth, ++i;
      continue;
    }
    if (c == '}') {
      if (depth == skipDepth) skipDepth = -1;
      if (depth == tableDepth) tableDepth = -1;
      --depth, ++i;
      continue;
    }
    if (c == '\r' || c == '\n') {
      ++i;
      continue;
    }
    if (c != '\\') {
      if (tableDepth >= 0 && c == ';') {
        table.push_back(building);
        building = 0;
      }
      put(c);
      ++i;
      continue;
    }
    const char next = rtf[i + 1];
    if (next == '\\' || next == '{' || next == '}') {
      put(next);
      i += 2;
      continue;
    }
    if (next == '\'') {
      put(static_cast<char>(std::stoi(rtf.substr(i + 2, 2), nullptr, 16)));
      i += 4;
      continue;
    }
    std::size_t j = i + 1;
    while (j < rtf.size() && std::isalpha(static_cast<unsigned char>(rtf[j]))) ++j;
    const std::string word = rtf.substr(i + 1, j - i - 1);
    std::size_t k = j;
    while (k < rtf.size() && (std::isdigit(static_cast<unsigned char>(rtf[k])) || rtf[k] == '-')) ++k;
    const long value = k > j ? std::stol(rtf.substr(j, k - j)) : 0;
    if (k < rtf.size() && rtf[k] == ' ') ++k;
    i = k;
    if (word == "fonttbl") skipDepth = depth;
    if (word == "colortbl") tableDepth = depth;
    if (word == "red") building |= static_cast<Colour>(value);
    if (word == "green") building |= static_cast<Colour>(value) << 8;
    if (word == "blue") building |= static_cast<Colour>(value) << 16;
    if (word == "cf") current = value == 0 ? 0 : table.at(static_cast<std::size_t>(value));
    if (word == "par") put('\r'), put('\n');
    if (word == "tab") put('\t');
  }
  if (!table.empty()) table.insert(table.begin(), 0);  // unused: entry 0 is automatic
  return out;
}

// The colours LineRuns gives, one per character, line breaks black.
std::vector<Colour> ExpectedColours(const std::string& crlfText, const SyntaxTable& table) {
  std::vector<Colour> colours;
  std::vector<ColourRun> runs;
  std::size_t pos = 0;
  while (pos <= crlfText.size()) {
    std::size_t end = crlfText.find("\r\n", pos);
    if (end == std::string::npos) end = crlfText.size();
    LineRuns(std::string_view(crlfText).substr(pos, end - pos), table, runs);
    for (const ColourRun& run : runs) colours.insert(colours.end(), run.end - run.start, run.colour);
    if (end == crlfText.size()) break;
    colours.push_back(colours.empty() ? 0 : colours.back());  // a break keeps the colour before it
    colours.push_back(colours.back());
    pos = end + 2;
  }
  return colours;
}

TEST(ColouredRtf, ReadsBackAsTheTextWithEachBreakOnceAndTheRightColours) {
  const SyntaxTable table = Table();
  struct Case {
    const char* name;
    std::string text;
    std::string read;  // the text a reader gets, every break CR LF (the control drops the last \par)
  };
  const Case cases[] = {
      {"CR LF is one break", "MVI R0\r\nB x ; c\r\n", "MVI R0\r\nB x ; c\r\n\r\n"},
      {"lone LF and lone CR", "B\nMVO\rR1", "B\r\nMVO\r\nR1"},
      {"CR CR LF is two", "B\r\r\nB", "B\r\n\r\nB"},
      {"LF CR is two", "B\n\rB", "B\r\n\r\nB"},
      {"no final break", "; only a comment", "; only a comment"},
      {"escapes and bytes", "B {x} \\ \t\xE9 ; }", "B {x} \\ \t\xE9 ; }"},
      {"empty", "", ""},
  };
  for (const Case& c : cases) {
    const Decoded d = DecodeRtf(ColouredRtf(c.text, table, {"Mono", 200, 0, 0, 0}, 1252));
    EXPECT_EQ(d.text, c.read) << c.name;
    // Colours of the characters (the breaks take whatever colour is current: not compared).
    const std::vector<Colour> expected = ExpectedColours(c.read, table);
    ASSERT_EQ(d.colours.size(), expected.size()) << c.name;
    for (std::size_t i = 0; i < expected.size(); ++i) {
      if (c.read[i] == '\r' || c.read[i] == '\n') continue;
      EXPECT_EQ(d.colours[i], expected[i]) << c.name << " at " << i;
    }
  }
}

TEST(ColouredRtf, ColourIndexesFollowTheTableWhateverItsOrder) {
  // Colours that sort before and after black and green, so that an index off by one shows.
  SyntaxTable table;
  table.Insert("ZZ", 0x000001);
  table.Insert("AA", 0xFFFFFE);
  table.Insert("MM", kCommentColour);
  const std::string text = "AA MM ZZ ; c\r\nZZ AA";
  const Decoded d = DecodeRtf(ColouredRtf(text, table, {}, 1252));
  EXPECT_EQ(d.colours, ExpectedColours("AA MM ZZ ; c\r\nZZ AA", table));
}

}  // namespace syntax_colours_test
}  // namespace quillon
