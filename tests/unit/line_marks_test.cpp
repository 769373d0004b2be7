// The build's error marks: kept per file, following their lines through edits; gutter width.
#include "editor/line_marks.h"

#include <gtest/gtest.h>

#include <vector>

namespace quillon {
namespace line_marks_test {

std::vector<int> Lines(const std::vector<LineMark>& marks) {
  std::vector<int> lines;
  for (const LineMark& m : marks) lines.push_back(m.line);
  return lines;
}

TEST(LineMarks, MarksFollowTheirLinesAndGoWithThem) {
  struct Case {
    const char* what;
    LineChange change;
    std::vector<int> expected;  // for marks on lines 2, 5 and 9
  };
  const Case cases[] = {
      {"Enter on line 0", {0, false, "", "\r"}, {3, 6, 10}},
      {"three lines pasted into line 5", {5, false, "", "a\rb\rc\r"}, {2, 5, 12}},
      {"Enter at the end of line 9", {9, false, "", "\r"}, {2, 5, 9}},
      {"Enter at the start of line 5 takes its text down", {5, true, "", "\r"}, {2, 6, 10}},
      {"a word replaced at the start of line 5", {5, true, "MVI", "mvi"}, {2, 5, 9}},
      {"line 3 deleted", {3, true, "x\r", ""}, {2, 4, 8}},
      {"line 5 deleted: its mark goes", {5, true, "  MVI@ R4, R0\r", ""}, {2, 8}},
      {"lines 4 to 6 deleted", {4, true, "a\rb\rc\r", ""}, {2, 6}},
      {"from inside line 4 to inside line 6 deleted", {4, false, "a\rb\rc", ""}, {2, 7}},
      {"line 5 joined to line 4 (Backspace at its start)", {4, false, "\r", ""}, {2, 4, 8}},
      {"the break of an empty line 5 deleted", {5, true, "\r", ""}, {2, 8}},
      {"line 5 replaced by two lines", {5, true, "x\r", "a\rb\r"}, {2, 10}},
      {"a change inside one line", {5, false, "a", "bc"}, {2, 5, 9}},
  };
  for (const Case& c : cases) {
    LineMarks marks;
    for (int line : {2, 5, 9}) marks.Add("C:\\Game\\main.asm", line, MarkKind::kError);
    EXPECT_TRUE(marks.Follow("c:\\game\\MAIN.ASM", c.change));
    ASSERT_NE(marks.For("C:\\GAME\\main.asm"), nullptr);
    EXPECT_EQ(Lines(*marks.For("C:\\GAME\\main.asm")), c.expected) << c.what;
  }
}

// The Undo of a line put in above a mark takes the mark back to its line; the Undo of a line
// that holds a mark takes the mark away, never onto the line above.
TEST(LineMarks, UndoOfALineTakesItsMarkAlong) {
  std::vector<LineMark> marks{{5, MarkKind::kError}, {5, MarkKind::kBreakpoint}};
  FollowChange(marks, {5, true, "", "new line\r"});
  EXPECT_EQ(Lines(marks), (std::vector<int>{6, 6}));
  FollowChange(marks, {5, true, "new line\r", ""});
  EXPECT_EQ(Lines(marks), (std::vector<int>{5, 5}));
  FollowChange(marks, {4, false, "\rmarked line", ""});  // the line's text and its break
  EXPECT_TRUE(marks.empty());
}

TEST(LineMarks, LinesJoinedKeepOneMarkOfAPlaceTheError) {
  std::vector<LineMark> marks{
      {4, MarkKind::kWarning}, {5, MarkKind::kError}, {5, MarkKind::kBreakpoint}, {4, MarkKind::kBreakpoint}};
  FollowChange(marks, {4, false, "\r", ""});
  EXPECT_EQ(marks, (std::vector<LineMark>{{4, MarkKind::kError}, {4, MarkKind::kBreakpoint}}));
}

TEST(LineMarks, OneMarkPerLineTheErrorWinsAndFilesStayApart) {
  LineMarks marks;
  marks.Add("C:\\a.asm", 4, MarkKind::kWarning);
  marks.Add("C:\\a.asm", 4, MarkKind::kError);
  marks.Add("C:\\a.asm", 4, MarkKind::kWarning);
  marks.Add("C:\\a.asm", -1, MarkKind::kError);  // a listing line 0: no line to mark
  marks.Add("C:\\b.asm", 7, MarkKind::kWarning);
  ASSERT_NE(marks.For("C:\\a.asm"), nullptr);
  EXPECT_EQ(*marks.For("C:\\a.asm"), (std::vector<LineMark>{{4, MarkKind::kError}}));
  EXPECT_EQ(*marks.For("C:\\b.asm"), (std::vector<LineMark>{{7, MarkKind::kWarning}}));
  EXPECT_EQ(marks.For("C:\\c.asm"), nullptr);
  EXPECT_FALSE(marks.Follow("C:\\c.asm", {1, false, "", "\r\r"}));
  marks.Follow("C:\\b.asm", {1, false, "", "\r\r"});
  EXPECT_EQ(marks.For("C:\\a.asm")->front().line, 4) << "another file's edit moves nothing here";
  marks.Clear();
  EXPECT_TRUE(marks.Empty());
}

// A breakpoint and the current line sit on a line beside its build mark; taking one away leaves
// the others, and clearing a kind clears it in every file.
TEST(LineMarks, KindsShareALineAndGoOneByOne) {
  LineMarks marks;
  marks.Add("C:\\a.asm", 3, MarkKind::kWarning);
  marks.Add("C:\\a.asm", 3, MarkKind::kBreakpoint);
  marks.Add("C:\\a.asm", 3, MarkKind::kBreakpoint);
  marks.Add("C:\\a.asm", 3, MarkKind::kCurrentLine);
  marks.Add("C:\\b.asm", 1, MarkKind::kBreakpoint);
  EXPECT_EQ(*marks.For("C:\\a.asm"),
            (std::vector<LineMark>{{3, MarkKind::kWarning}, {3, MarkKind::kBreakpoint}, {3, MarkKind::kCurrentLine}}));
  EXPECT_TRUE(marks.Has("c:\\A.asm", 3, MarkKind::kBreakpoint));
  EXPECT_FALSE(marks.Has("C:\\a.asm", 4, MarkKind::kBreakpoint));
  EXPECT_FALSE(marks.Has("C:\\a.asm", 3, MarkKind::kError)) << "a warning is no error";

  EXPECT_TRUE(marks.Remove("C:\\a.asm", 3, MarkKind::kBreakpoint));
  EXPECT_FALSE(marks.Remove("C:\\a.asm", 3, MarkKind::kBreakpoint)) << "gone already";
  EXPECT_TRUE(marks.Remove("C:\\a.asm", 3, MarkKind::kError)) << "an error's removal takes the warning";
  EXPECT_EQ(*marks.For("C:\\a.asm"), (std::vector<LineMark>{{3, MarkKind::kCurrentLine}}));

  marks.Clear(MarkKind::kBreakpoint);
  EXPECT_EQ(marks.For("C:\\b.asm"), nullptr) << "a file left without marks has none";
  marks.Clear(MarkKind::kCurrentLine);
  EXPECT_TRUE(marks.Empty());
}

TEST(LineMarks, GutterGrowsWithTheDigitsOfTheLineCount) {
  EXPECT_EQ(GutterWidth(10, 7, false), 20) << "marks only";
  EXPECT_EQ(GutterWidth(10, 7, true), GutterWidth(999, 7, true)) << "three digits at least";
  EXPECT_EQ(GutterWidth(1000, 7, true) - GutterWidth(999, 7, true), 7);
  EXPECT_EQ(GutterWidth(100000, 7, true) - GutterWidth(99999, 7, true), 7);
  EXPECT_GE(GutterWidth(1, 1, true), 20);
}

}  // namespace line_marks_test
}  // namespace quillon
