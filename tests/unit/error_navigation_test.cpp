// Next/previous error order and the kind of a pane line.
#include "assemble/error_navigation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillon {
namespace error_navigation_test {

TEST(ErrorNavigation, F4AndShiftF4VisitTheTargetsInOrderAndStopAtTheEnds) {
  // Pane after a build: command line, two errors, a plain line, a warning, the totals.
  const std::vector<bool> targets = {false, true, true, false, true, false, false};
  struct Case {
    int current;
    bool forward;
    int expected;
  };
  const Case cases[] = {
      {-1, true, 1},  {1, true, 2},  {2, true, 4},  {4, true, -1},  {6, true, -1},  {3, true, 4},
      {-1, false, 4}, {4, false, 2}, {3, false, 2}, {1, false, -1}, {0, false, -1}, {99, false, 4},
  };
  for (const Case& c : cases)
    EXPECT_EQ(NextErrorLine(targets, c.current, c.forward), c.expected)
        << "from " << c.current << (c.forward ? " forwards" : " backwards");
  EXPECT_EQ(NextErrorLine({}, -1, true), -1);
  EXPECT_EQ(NextErrorLine({false, false}, -1, false), -1);
}

// The note when F4 finds nothing: a pane without error lines (a clean build) says so rather
// than "after this one".
TEST(ErrorNavigation, TheNoteWhenNoLineIsLeftSaysWhy) {
  const struct {
    std::vector<bool> targets;
    bool forward;
    std::string note;
  } cases[] = {
      {{}, true, "No errors or warnings in the output pane"},
      {{false, false, false}, true, "No errors or warnings in the output pane"},
      {{false, false, false}, false, "No errors or warnings in the output pane"},
      {{false, true, false}, true, "No more errors or warnings after this one"},
      {{true, false}, false, "No errors or warnings before this one"},
  };
  for (const auto& c : cases) EXPECT_EQ(NoErrorLineNote(c.targets, c.forward), c.note) << c.targets.size();
}

// A walk with F4 and Shift+F4 as the status bar shows it: each line's place among all the lines
// F4 visits, its kind, and at either end a note instead of going round.
TEST(ErrorNavigation, EachStepNamesItsPlaceAndTheEndsStopTheWalk) {
  using K = OutputLineKind;
  // Command line, an error, a warning, a plain line, an error, the totals.
  const std::vector<bool> targets = {false, true, true, false, true, false};
  const std::vector<K> kinds = {K::kPlain, K::kError, K::kWarning, K::kPlain, K::kError, K::kPlain};
  const struct {
    int current;
    bool forward;
    ErrorStep step;
  } cases[] = {
      {-1, true, {1, "Error 1 of 3"}},
      {1, true, {2, "Warning 2 of 3"}},
      {2, true, {4, "Error 3 of 3"}},
      {4, true, {-1, "No more errors or warnings after this one"}},
      {5, true, {-1, "No more errors or warnings after this one"}},
      {4, false, {2, "Warning 2 of 3"}},
      {1, false, {-1, "No errors or warnings before this one"}},
      {-1, false, {4, "Error 3 of 3"}},
      {3, false, {2, "Warning 2 of 3"}},  // from a plain line the user clicked
  };
  for (const auto& c : cases)
    EXPECT_EQ(StepToErrorLine(targets, kinds, c.current, c.forward), c.step)
        << "from " << c.current << (c.forward ? " forwards" : " backwards");
  EXPECT_EQ(StepToErrorLine({false, false}, {K::kPlain, K::kPlain}, -1, true),
            (ErrorStep{-1, "No errors or warnings in the output pane"}));
  // A line whose kind is not known yet (kinds shorter than the pane) counts as an error.
  EXPECT_EQ(StepToErrorLine({false, true}, {K::kPlain}, -1, true), (ErrorStep{1, "Error 1 of 1"}));
}

TEST(ErrorNavigation, KindOfPaneLine) {
  const std::pair<const char*, OutputLineKind> cases[] = {
      {"C:\\game\\main.asm:12: ERROR - bad operand", OutputLineKind::kError},
      {"main.asm:7:WARNING-label unused", OutputLineKind::kWarning},
      {"c:\\a b\\x.asm:3:   WARNING  - x", OutputLineKind::kWarning},
      {"x.asm:3: WARNING - says ERROR - inside", OutputLineKind::kWarning},
      {"Total Errors: 2", OutputLineKind::kPlain},
      {"cpasm -o \"game.bin\" -l \"game.lst\" \"game.asm\"", OutputLineKind::kPlain},
      {":12: ERROR - no file name", OutputLineKind::kPlain},
      {"x.asm:: ERROR - no line", OutputLineKind::kPlain},
      {"x.asm:4: ERRORS counted", OutputLineKind::kPlain},
  };
  for (const auto& [text, kind] : cases) EXPECT_EQ(KindOfOutputLine(text), kind) << text;
}

}  // namespace error_navigation_test
}  // namespace quillon
