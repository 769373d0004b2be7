// Go to Line's reading of the number, and the view that centres a line.
#include "editor/line_jump.h"

#include <gtest/gtest.h>

namespace quillon {
namespace line_jump_test {

TEST(LineJump, TypedNumbers) {
  const struct {
    const char* entry;
    int lineCount;
    int expected;
  } cases[] = {
      {"1", 100, 0},    {"42", 100, 41},  {" 7 ", 100, 6},
      {"100", 100, 99}, {"101", 100, 99}, {"99999999999999999999", 100, 99},
      {"0", 100, -1},   {"", 100, -1},    {"  ", 100, -1},
      {"-3", 100, -1},  {"4x", 100, -1},  {"x4", 100, -1},
      {"1 2", 100, -1}, {"3", 1, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(LineFromEntry(c.entry, c.lineCount), c.expected) << "'" << c.entry << "'";
}

TEST(LineJump, TheLineLandsInTheMiddleOfTheView) {
  const struct {
    int line, visible, count, expected;
  } cases[] = {
      {500, 20, 3000, 490},                       // middle of a long text
      {3, 20, 3000, 0},                           // near the top: the view starts at the top
      {2995, 20, 3000, 2980},                     // near the end: no empty space below the last line
      {10, 1, 3000, 10},      {10, 0, 3000, 10},  // a view too small to centre in
      {5, 40, 10, 0},                             // the whole text fits
  };
  for (const auto& c : cases)
    EXPECT_EQ(CentredFirstLine(c.line, c.visible, c.count), c.expected) << c.line << " in " << c.visible;
}

}  // namespace line_jump_test
}  // namespace quillon
