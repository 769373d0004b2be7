#include "editor/line_recolour.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillon {
namespace line_recolour_test {

constexpr Colour kBlue = 0xFF0000;
constexpr Colour kInherited = 0x123456;  // what a typed character shows before its colour is set

SyntaxTable Table() {
  SyntaxTable table;
  for (const char* word : {"MVI", "MVII", "R0", "R1"}) table.Insert(word, kBlue);
  return table;
}

std::vector<Colour> Colours(const std::string& line, const SyntaxTable& table) {
  std::vector<ColourRun> runs;
  LineRuns(line, table, runs);
  std::vector<Colour> colours(line.size(), 0);
  for (const ColourRun& run : runs)
    for (std::size_t i = run.start; i < run.end; ++i) colours[i] = run.colour;
  return colours;
}

// Every one-place change of a few lines (typing, deleting, replacing a span), on a line that
// showed its colours: the kept characters keep theirs, the inserted ones show some other colour
// (known or not); after the planned runs are set, the line shows exactly its new colours.
TEST(RunsToRecolour, LeavesEveryChangedLineInItsColours) {
  const SyntaxTable table = Table();
  const std::string lines[] = {"  MVI R0, 5 ; c", "MVII R1;x", "x ; MVI", "", "R0"};
  const std::string typed[] = {"", "I", ";", " ", "R0 ", "x;y"};
  int planned = 0;
  for (const std::string& old : lines) {
    const std::vector<Colour> before = Colours(old, table);
    for (std::size_t start = 0; start <= old.size(); ++start)
      for (std::size_t removed = 0; start + removed <= old.size() && removed <= 3; ++removed)
        for (const std::string& inserted : typed)
          for (bool known : {false, true}) {
            if (removed == 0 && inserted.empty()) continue;
            const std::string now = old.substr(0, start) + inserted + old.substr(start + removed);
            std::vector<Colour> shown(before.begin(), before.begin() + static_cast<long>(start));
            shown.insert(shown.end(), inserted.size(), kInherited);
            shown.insert(shown.end(), before.begin() + static_cast<long>(start + removed), before.end());
            std::vector<ColourRun> runs;
            ASSERT_TRUE(RunsToRecolour(old, now, {start, removed, inserted.size()},
                                       known ? std::optional<Colour>(kInherited) : std::nullopt, table, runs));
            for (const ColourRun& run : runs)
              for (std::size_t i = run.start; i < run.end; ++i) shown[i] = run.colour;
            EXPECT_EQ(shown, Colours(now, table)) << "\"" << old << "\" -> \"" << now << "\"";
            planned += static_cast<int>(runs.size());
          }
  }
  EXPECT_GT(planned, 0);
}

TEST(RunsToRecolour, TouchesOnlyWhatChangesAndRefusesLinesThatDoNotAgree) {
  const SyntaxTable table = Table();
  struct Case {
    const char* name;
    std::string old, now;
    LineSpanChange change;
    std::optional<Colour> inserted;
    bool agrees;
    std::vector<ColourRun> runs;
  };
  const Case cases[] = {
      {"a letter in a comment, shown green", "MVI ; ab", "MVI ; axb", {7, 0, 1}, kCommentColour, true, {}},
      {"a letter of unknown colour", "MVI ; ab", "MVI ; axb", {7, 0, 1}, std::nullopt, true, {{7, 8, kCommentColour}}},
      {"a keyword made", "MV R0", "MVI R0", {2, 0, 1}, 0, true, {{0, 4, kBlue}}},
      {"a keyword lost", "MVI R0", "MV R0", {2, 1, 0}, std::nullopt, true, {{0, 3, 0}}},
      {"a comment opened", "MVI R0", "MVI ;R0", {4, 0, 1}, 0, true, {{4, 7, kCommentColour}}},
      {"the line is not the one changed", "MVI R0", "MVX R0", {0, 0, 0}, std::nullopt, false, {}},
      {"the change is longer than the line", "MVI", "MVI", {2, 4, 4}, std::nullopt, false, {}},
  };
  for (const Case& c : cases) {
    std::vector<ColourRun> runs;
    EXPECT_EQ(RunsToRecolour(c.old, c.now, c.change, c.inserted, table, runs), c.agrees) << c.name;
    EXPECT_EQ(runs, c.runs) << c.name;
  }
}

}  // namespace line_recolour_test
}  // namespace quillon
