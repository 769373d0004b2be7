#include "editor/undo_history.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/line_edits.h"

namespace quillon {
namespace undo_history_test {

// Plays changes on a history the way the editor records them.
struct Editor {
  UndoHistory history;
  std::uint64_t now = 0;
  void Type(std::size_t at, const std::string& text, std::uint64_t gapMs = 10) {
    for (char c : text) {
      now += gapMs;
      const EditKind kind = c == '\r' ? EditKind::kLineBreak : EditKind::kTyped;
      ASSERT_TRUE(history.Record(at, 0, std::string(1, c), {at, at}, kind, now));
      ++at;
    }
  }
  // Undoes everything; the text after each step.
  std::vector<std::string> UndoAll() {
    std::vector<std::string> texts;
    std::vector<TextEdit> edit;
    TextSelection selection;
    while (history.Undo(edit, selection)) texts.push_back(history.Text());
    return texts;
  }
};

TEST(UndoHistoryTest, TypedRunsUndoInWordsOrMore) {
  struct Case {
    const char* name;
    std::string typed;
    std::uint64_t gapMs;
    std::vector<std::string> steps;  // the text after each undo
  };
  const Case cases[] = {
      // A line and its break are one step.
      {"steady typing", "MVI R0 ; c\rB x\r", 10, {"MVI R0 ; c\r", ""}},
      {"no break", "MVI R0 ; c", 10, {""}},
      // A pause ends the run, but only where a word ends.
      {"slow typing", "MVI R0 ;c\r", UndoHistory::kPauseMs, {"MVI R0 ;", "MVI R0 ", "MVI R0", "MVI ", "MVI", ""}},
  };
  for (const Case& c : cases) {
    Editor e;
    e.Type(0, c.typed, c.gapMs);
    EXPECT_EQ(e.history.Text(), c.typed) << c.name;
    EXPECT_EQ(e.UndoAll(), c.steps) << c.name;
  }
}

TEST(UndoHistoryTest, EachStepRestoresTextAndSelectionAndRedoRoundTrips) {
  Editor e;
  e.history.Reset("B x\rMOV R0\r", true);
  // Paste over a selection, a run of backspaces, delete keys, then typing somewhere else.
  ASSERT_TRUE(e.history.Record(0, 3, "MVI R1\rMVI R2", {0, 3}, EditKind::kOther, 1));
  ASSERT_TRUE(e.history.Record(19, 1, "", {20, 20}, EditKind::kBackspace, 2));
  ASSERT_TRUE(e.history.Record(18, 1, "", {19, 19}, EditKind::kBackspace, 3));
  ASSERT_TRUE(e.history.Record(0, 1, "", {0, 0}, EditKind::kDelete, 4));
  ASSERT_TRUE(e.history.Record(0, 1, "", {0, 0}, EditKind::kDelete, 5));
  e.Type(3, "Z");
  const std::vector<std::string> texts = {"I R1\rMVI R2\rMOV \r", "MVI R1\rMVI R2\rMOV \r", "MVI R1\rMVI R2\rMOV R0\r",
                                          "B x\rMOV R0\r"};
  const std::vector<TextSelection> selections = {{3, 3}, {0, 0}, {20, 20}, {0, 3}};
  ASSERT_EQ(e.history.Text(), "I RZ1\rMVI R2\rMOV \r");
  std::vector<std::string> forward = {e.history.Text()};
  std::vector<TextEdit> edit;
  TextSelection selection;
  for (std::size_t i = 0; i < selections.size(); ++i) {
    ASSERT_TRUE(e.history.Undo(edit, selection));
    EXPECT_EQ(e.history.Text(), texts[i]) << i;
    EXPECT_EQ(selection, selections[i]) << i;
    forward.insert(forward.begin(), e.history.Text());
  }
  EXPECT_FALSE(e.history.CanUndo());
  EXPECT_TRUE(e.history.AtSaved());
  for (std::size_t i = 1; i < forward.size(); ++i) {
    ASSERT_TRUE(e.history.Redo(edit, selection));
    EXPECT_EQ(e.history.Text(), forward[i]) << i;
    EXPECT_EQ(selection.start, edit.back().start + edit.back().inserted.size())
        << "redo leaves the caret after the change";
  }
  EXPECT_FALSE(e.history.CanRedo());
}

TEST(UndoHistoryTest, NewEditClearsRedoAndSavedPointFollowsTheText) {
  Editor e;
  e.Type(0, "ab ");
  e.history.MarkSaved();
  e.Type(3, "cd");  // after a save, typing starts a new step
  EXPECT_FALSE(e.history.AtSaved());
  std::vector<TextEdit> edit;
  TextSelection selection;
  ASSERT_TRUE(e.history.Undo(edit, selection));
  EXPECT_EQ(e.history.Text(), "ab ");
  EXPECT_TRUE(e.history.AtSaved());
  ASSERT_TRUE(e.history.Undo(edit, selection));
  EXPECT_FALSE(e.history.AtSaved());
  ASSERT_TRUE(e.history.Redo(edit, selection));
  EXPECT_TRUE(e.history.AtSaved());
  e.Type(1, "X");
  EXPECT_FALSE(e.history.CanRedo()) << "a new edit drops what was undone";
  EXPECT_EQ(e.history.Text(), "aXb ");
  ASSERT_TRUE(e.history.Undo(edit, selection));
  EXPECT_TRUE(e.history.AtSaved());
  e.history.CloseStep();
  e.Type(3, "q");
  e.Type(4, "r");  // joins: contiguous, no pause
  ASSERT_TRUE(e.history.Undo(edit, selection));
  EXPECT_EQ(e.history.Text(), "ab ");
  EXPECT_TRUE(e.history.Record(1, 1, "b", {}, EditKind::kOther, 99));
  ASSERT_TRUE(e.history.Undo(edit, selection));
  EXPECT_EQ(e.history.Text(), "") << "a change that changes nothing makes no step";
  EXPECT_FALSE(e.history.Record(4, 0, "x", {}, EditKind::kOther, 99)) << "a change past the end is refused";
  EXPECT_FALSE(e.history.Record(1, 5, "", {}, EditKind::kOther, 99));
}

// Replace All records its matches one by one, the last first, as one step: Undo and Redo give
// back those changes, each as small as its match, never one span over the text between them.
TEST(UndoHistoryTest, AGroupOfChangesIsOneStepMadeOfThoseChanges) {
  Editor e;
  const std::string text = "MVI@ R4\rB x\rMVI@ R5\rB y\rMVI@ R6\r";
  e.history.Reset(text, true);
  e.Type(text.size(), "Q");
  e.history.BeginGroup();
  for (std::size_t at : {24u, 12u, 0u})
    ASSERT_TRUE(e.history.Record(at, 4, "mvi@", {at, at + 4}, EditKind::kOther, 50));
  e.history.EndGroup();
  e.Type(0, "; ");  // typing after the group is a step of its own
  const std::string replaced = "mvi@ R4\rB x\rmvi@ R5\rB y\rmvi@ R6\rQ";
  ASSERT_EQ(e.history.Text(), "; " + replaced);

  std::vector<TextEdit> edits;
  TextSelection selection;
  ASSERT_TRUE(e.history.Undo(edits, selection));
  ASSERT_EQ(e.history.Text(), replaced);
  ASSERT_TRUE(e.history.Undo(edits, selection));
  EXPECT_EQ(e.history.Text(), text + "Q") << "the whole group in one undo";
  EXPECT_EQ(selection, (TextSelection{24, 28})) << "the selection before its first change";
  // Played on the shown text in the order given, the edits make the same text.
  std::string shown = replaced;
  ASSERT_EQ(edits.size(), 3u);
  for (const TextEdit& edit : edits) {
    EXPECT_EQ(edit.removed, "mvi@");
    EXPECT_EQ(shown.substr(edit.start, edit.removed.size()), edit.removed);
    shown.replace(edit.start, edit.removed.size(), edit.inserted);
  }
  EXPECT_EQ(shown, e.history.Text());
  EXPECT_TRUE(e.history.CanUndo()) << "the typing before the group is its own step";

  ASSERT_TRUE(e.history.Redo(edits, selection));
  EXPECT_EQ(e.history.Text(), replaced);
  ASSERT_EQ(edits.size(), 3u);
  for (const TextEdit& edit : edits) {
    EXPECT_EQ(shown.substr(edit.start, edit.removed.size()), edit.removed);
    shown.replace(edit.start, edit.removed.size(), edit.inserted);
  }
  EXPECT_EQ(shown, replaced);
  EXPECT_EQ(selection, (TextSelection{4, 4})) << "the caret after the change made last";

  // A history started again inside a group ends it: what follows makes steps of its own.
  e.history.BeginGroup();
  e.history.Reset("ab");
  ASSERT_TRUE(e.history.Record(0, 1, "A", {0, 1}, EditKind::kOther, 60));
  ASSERT_TRUE(e.history.Record(1, 1, "B", {1, 2}, EditKind::kOther, 61));
  ASSERT_TRUE(e.history.Undo(edits, selection));
  EXPECT_EQ(e.history.Text(), "Ab");
}

TEST(LineEditsTest, IndentOutdentAndCommentRoundTrip) {
  struct Case {
    std::string lines, indented, outdented, commented;
    bool roundTrip;
  };
  const Case cases[] = {
      {"MVI R0,1\r\r  B x", "\tMVI R0,1\r\r\t  B x", "MVI R0,1\r\rB x", ";MVI R0,1\r\r;  B x", true},
      {"\tA\r   \tB\r        C", "\t\tA\r\t   \tB\r\t        C", "A\rB\rC", ";\tA\r;   \tB\r;        C", true},
      {"; c\r  ;d\r", "\t; c\r\t  ;d\r", "; c\r;d\r", " c\r  d\r", false},
      {"   ", "   ", "", "   ", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IndentLines(c.lines), c.indented) << c.lines;
    EXPECT_EQ(OutdentLines(c.lines, 8), c.outdented) << c.lines;
    EXPECT_EQ(ToggleLineComments(c.lines), c.commented) << c.lines;
    if (!c.roundTrip) continue;
    EXPECT_EQ(OutdentLines(IndentLines(c.lines), 8), c.lines) << c.lines;
    EXPECT_EQ(ToggleLineComments(ToggleLineComments(c.lines)), c.lines) << c.lines;
  }
  EXPECT_EQ(LeadingBlanks(" \t MVI R0 "), " \t ");
}

}  // namespace undo_history_test
}  // namespace quillon
