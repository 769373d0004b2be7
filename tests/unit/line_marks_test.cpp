// The build's error marks: kept per file, following their lines through edits; gutter width.
#include "editor/line_marks.h"

#include <gtest/gtest.h>

#include <vector>

namespace quillon {
namespace {

std::vector<int> Lines(const std::vector<LineMark>& marks) {
  std::vector<int> lines;
  for (const LineMark& m : marks) lines.push_back(m.line);
  return lines;
}

TEST(LineMarks, MarksFollowTheirLinesAcrossInsertsAndDeletes) {
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
    LineMarks marks;
    for (int line : {2, 5, 9}) marks.Add("C:\\Game\\main.asm", line, MarkKind::kError);
    marks.Shift("c:\\game\\MAIN.ASM", c.caretLine, c.delta);
    ASSERT_NE(marks.For("C:\\GAME\\main.asm"), nullptr);
    EXPECT_EQ(Lines(*marks.For("C:\\GAME\\main.asm")), c.expected) << c.what;
  }
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
  marks.Shift("C:\\b.asm", 1, 2);
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

}  // namespace
}  // namespace quillon
