#include "editor/syntax_colours.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace quillon
