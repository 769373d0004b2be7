// Next/previous error order, the kind of a pane line, and marks that follow inserted lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "assemble/error_navigation.h"

namespace quillon {
namespace {

TEST(ErrorNavigation, F4AndShiftF4VisitTheTargetsInOrderAndStopAtTheEnds) {
  // Pane after a build: command line, two errors, a plain line, a warning, the totals.
  const std::vector<bool> targets = {false, true, true, false, true, false, false};
  struct Case {
    int current;
    bool forward;
    int expected;
  };
  const Case cases[] = {
      {-1, true, 1},  {1, true, 2},   {2, true, 4},  {4, true, -1}, {6, true, -1},
      {3, true, 4},   {-1, false, 4}, {4, false, 2}, {3, false, 2}, {1, false, -1},
      {0, false, -1}, {99, false, 4},
  };
  for (const Case& c : cases)
    EXPECT_EQ(NextErrorLine(targets, c.current, c.forward), c.expected)
        << "from " << c.current << (c.forward ? " forwards" : " backwards");
  EXPECT_EQ(NextErrorLine({}, -1, true), -1);
  EXPECT_EQ(NextErrorLine({false, false}, -1, false), -1);
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

TEST(ErrorNavigation, MarksFollowTheirLinesAcrossInsertsAndDeletes) {
  struct Case {
    const char* what;
    int caretLine;
    int delta;
    std::vector<int> expected;  // for marks on lines 2, 5 and 9
  };
  const Case cases[] = {
      {"Enter on line 0", 1, 1, {3, 6, 10}},
      {"three lines pasted into line 5", 8, 3, {2, 5, 12}},
      {"Enter at the end of line 9", 10, 1, {2, 5, 9}},
      {"line 3 deleted", 3, -1, {2, 4, 8}},
      {"lines 4 to 6 deleted: the mark on 5 stays on the line left", 3, -3, {2, 3, 6}},
      {"a change inside one line", 5, 0, {2, 5, 9}},
  };
  for (const Case& c : cases) {
    std::vector<int> lines = {2, 5, 9};
    ShiftMarkedLines(lines, c.caretLine, c.delta);
    EXPECT_EQ(lines, c.expected) << c.what;
  }
}

}  // namespace
}  // namespace quillon
