// Find, Find Next and the search across documents, through the real dialogs and text controls.
#include <windows.h>
#include <gtest/gtest.h>
#include <richedit.h>

#include <string>
#include <vector>

#include "base/settings.h"
#include "editor/document_window.h"
#include "editor/editor.h"
#include "editor/text_control.h"
#include "resource.h"
#include "search/search_engine.h"
#include "search/search_state.h"
#include "support/dialog_answerer.h"
#include "support/gui_fixture.h"
#include "support/test_files.h"
#include "ui/app_state.h"
#include "ui/dialog.h"

namespace quillon::test {
namespace search_test {

constexpr char kFindCaption[] = "Find text...";
constexpr char kNotFound[] = "Search text not found";

// The frame's search state: the find text Find Next goes on with.
SearchState& Search() { return *g_app.search; }

bool Ticked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

class SearchTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    saved_ = g_settings;
    g_settings.recentFinds.clear();
    g_settings.findFlags = 1;
    ASSERT_NE(g_app.search, nullptr);
  }
  void TearDown() override {
    for (HWND child = GetWindow(g_app.mdiClient, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
      SetDocumentChanged(child, false);
    FrameTest::TearDown();
    g_settings = saved_;
  }
  // Find with `text` and the options in the settings; message boxes are answered with OK.
  std::vector<SeenBox> Find(const std::string& text) {
    DialogAnswerer answerer([&](HWND dialog, const SeenBox& seen) {
      if (seen.caption == kFindCaption) SetControlText(dialog, IDC_FIND_TEXT, text);
      PressButton(dialog, IDOK);
    });
    Command(IDM_EDIT_FIND);
    return answerer.Seen();
  }
  std::vector<SeenBox> FindNext() {
    DialogAnswerer answerer(DialogAnswerer::Press(IDOK));
    Command(IDM_EDIT_FINDNEXT);
    return answerer.Seen();
  }
  Settings saved_;
};

std::string AllText(HWND edit) { return TextRange(edit, 0, TextLength(edit)); }

bool OnlyNotFound(const std::vector<SeenBox>& seen) {
  return seen.size() == 1 && seen[0].text == kNotFound && seen[0].caption == "Finished";
}

TEST_F(SearchTest, FindThenFindNextWalksDownAndGoesRound) {
  HWND edit = NewDocumentWith("MVII #1, R0\r\nloop: MVII #2, R01\r\nB loop\r\n");
  auto seen = Find("MVII");
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].caption, kFindCaption);
  EXPECT_EQ(SelectionOf(edit), (Sel{0, 4}));
  EXPECT_EQ(GetFocus(), edit);
  EXPECT_EQ(g_settings.recentFinds, std::vector<std::string>{"MVII"});

  EXPECT_TRUE(FindNext().empty());
  EXPECT_EQ(SelectionOf(edit), (Sel{18, 22})) << "one character per line break";
  EXPECT_TRUE(FindNext().empty()) << "no box: round to the top";
  EXPECT_EQ(SelectionOf(edit), (Sel{0, 4}));
}

// Texts longer than a path are searched for and replaced whole: a cut text would match the
// first line's shorter run instead.
TEST_F(SearchTest, LongFindAndReplaceTextsAreUsedWhole) {
  const std::string run(300, 'x');
  HWND edit = NewDocumentWith(std::string(259, 'x') + "y\r" + run + "\r");
  EXPECT_EQ(Find(run).size(), 1u);
  EXPECT_EQ(SelectionOf(edit), (Sel{261, 561}));
  EXPECT_EQ(Search().text, run);
  EXPECT_EQ(g_settings.recentFinds, std::vector<std::string>{run});

  const std::string with(400, 'z');
  SetSelection(edit, 261, 561);
  std::string shown;
  DialogAnswerer answerer([&](HWND dialog, const SeenBox& seen) {
    if (seen.caption != "Search and replace") return PressButton(dialog, IDOK);
    shown = WindowText(GetDlgItem(dialog, IDC_FIND_TEXT));
    SetControlText(dialog, IDC_REPLACE_WITH, with);
    PressButton(dialog, IDC_REPLACE_ALL);
    PressButton(dialog, IDCANCEL);
  });
  SendMessageA(frame_, WM_COMMAND, MAKEWPARAM(IDM_EDIT_REPLACE, 1), 0);
  EXPECT_EQ(shown, run) << "the dialog offers the selected text whole";
  EXPECT_EQ(AllText(edit), std::string(259, 'x') + "y\r" + with + "\r");
  EXPECT_EQ(Search().replacement, with);
}

TEST_F(SearchTest, PlainSearchRows) {
  const std::string text = "R0 R01 r0\rMOVR R0, R1\rB R0\r";  // R0 at 0, 15, 24; lines at 0, 10, 22
  struct Case {
    const char* what;
    std::uint32_t flags;
    const char* find;
    Sel from;
    Sel expected;  // {-1,-1}: not found
  };
  const Case cases[] = {
      {"up from the end finds the last", 0x0, "R0", {27, 27}, {24, 26}},
      {"up from a match finds the one before", 0x0, "R0", {24, 26}, {15, 17}},
      {"up from the first: round to the last", 0x0, "R0", {0, 2}, {24, 26}},
      {"not there at all", 0x1, "R7", {5, 5}, {-1, -1}},
      {"whole word skips R01", 0x3, "R0", {1, 1}, {7, 9}},
      {"case ignored by default", 0x1, "r0", {1, 1}, {3, 5}},
      {"match case", 0x5, "r0", {0, 0}, {7, 9}},
      {"down inside a multi-line selection", 0x1, "R0", {12, 26}, {15, 17}},
      {"up inside a multi-line selection", 0x0, "R0", {1, 23}, {15, 17}},
      {"multi-line selection limits", 0x1, "B", {1, 22}, {-1, -1}},
  };
  HWND edit = NewDocumentWith(text);
  for (const Case& c : cases) {
    SetSelection(edit, c.from.start, c.from.end);
    g_settings.findFlags = c.flags;
    Search().text = c.find;
    auto seen = FindNext();
    if (c.expected.start < 0) {
      EXPECT_TRUE(OnlyNotFound(seen)) << c.what;
      EXPECT_EQ(SelectionOf(edit), c.from) << c.what;
    } else {
      EXPECT_TRUE(seen.empty()) << c.what;
      EXPECT_EQ(SelectionOf(edit), c.expected) << c.what;
    }
  }
}

TEST_F(SearchTest, RegularExpressionRows) {
  const std::string text = "MVI R0\r\nMVO R1\r\nMVII #5\r\n";  // lines at 0, 7, 14
  struct Case {
    const char* what;
    const char* find;
    Sel from;
    Sel expected;
  };
  const Case cases[] = {
      {"dot stops at the line end", "MVI.*", {0, 0}, {0, 6}},
      {"true position after the caret", "R[0-7]", {5, 5}, {11, 13}},
      {"a break in the pattern", "R0\\s+M", {0, 0}, {4, 8}},
      {"^ at a line start", "^MVO", {7, 7}, {7, 10}},
      {"^ after the caret's line start: round to it", "^MVO", {8, 8}, {7, 10}},
      {"not there at all", "R7", {8, 8}, {-1, -1}},
  };
  HWND edit = NewDocumentWith(text);
  g_settings.findFlags = 0x20001;
  for (const Case& c : cases) {
    SetSelection(edit, c.from.start, c.from.end);
    Search().text = c.find;
    auto seen = FindNext();
    if (c.expected.start < 0) {
      EXPECT_TRUE(OnlyNotFound(seen)) << c.what;
      EXPECT_EQ(SelectionOf(edit), c.from) << c.what;
    } else {
      EXPECT_TRUE(seen.empty()) << c.what;
      EXPECT_EQ(SelectionOf(edit), c.expected) << c.what;
    }
  }

  // A match that ends on the next line: the next Find Next goes on after it.
  SetSelection(edit, 0, 0);
  Search().text = "R\\d\\s+";
  EXPECT_TRUE(FindNext().empty());
  EXPECT_EQ(SelectionOf(edit), (Sel{4, 7}));
  EXPECT_TRUE(FindNext().empty());
  EXPECT_EQ(SelectionOf(edit), (Sel{11, 14}));
  EXPECT_TRUE(FindNext().empty()) << "round to the first";
  EXPECT_EQ(SelectionOf(edit), (Sel{4, 7}));

  Search().text = "(MVI";
  auto seen = FindNext();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text, "Invalid regular expression");
  EXPECT_EQ(seen[0].caption, "Error");
}

TEST_F(SearchTest, SearchAllOpenDocumentsGoesOnInWindowMenuOrder) {
  HWND first = NewDocumentWith("nothing\r\nhere\r\n");
  HWND firstWindow = g_app.activeDocument;
  NewDocumentWith("still nothing\r\n");
  HWND third = NewDocumentWith("a\r\nTARGET here\r\nand TARGET again\r\n");
  HWND thirdWindow = g_app.activeDocument;
  SendMessageA(g_app.mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(firstWindow), 0);
  ASSERT_EQ(g_app.activeDocument, firstWindow);

  g_settings.findFlags = 0x40001;
  EXPECT_EQ(Find("TARGET").size(), 1u);
  EXPECT_EQ(g_app.activeDocument, thirdWindow);
  EXPECT_EQ(SelectionOf(third), (Sel{2, 8}));
  EXPECT_EQ(GetFocus(), third);
  EXPECT_TRUE(FindNext().empty());
  EXPECT_EQ(SelectionOf(third), (Sel{18, 24}));

  // Up from the first document goes to the last one, from its end.
  SendMessageA(g_app.mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(firstWindow), 0);
  SetSelection(third, 0, 0);
  g_settings.findFlags = 0x40000;
  EXPECT_TRUE(FindNext().empty());
  EXPECT_EQ(g_app.activeDocument, thirdWindow);
  EXPECT_EQ(SelectionOf(third), (Sel{18, 24}));

  // No document holds it: one box, nothing moves.
  SetSelection(first, 0, 0);
  Search().text = "absent";
  EXPECT_TRUE(OnlyNotFound(FindNext()));
  EXPECT_EQ(g_app.activeDocument, thirdWindow);
}

TEST_F(SearchTest, FindDialogRows) {
  NewDocumentWith("  text\r\n");  // no word at the caret
  g_settings.recentFinds = {"oldest", "middle", "newest"};
  g_settings.findFlags = 1;

  // Opens with Down and clear boxes and the newest find first; regex greys the other options and
  // keeps their ticks, which count again once it is cleared.
  struct Shown {
    bool down = false, anyTicked = true;
    std::vector<std::string> items;
    std::string text;
    bool greyedWhileRegex = false, upKept = false, tickKept = false;
  } shown;
  DialogAnswerer answerer([&](HWND dialog, const SeenBox& seen) {
    if (seen.caption != kFindCaption) return PressButton(dialog, IDOK);
    shown.down = Ticked(dialog, IDC_FIND_DOWN) && !Ticked(dialog, IDC_FIND_UP);
    shown.anyTicked = Ticked(dialog, IDC_FIND_WHOLEWORD) || Ticked(dialog, IDC_FIND_MATCHCASE) ||
                      Ticked(dialog, IDC_FIND_ALLDOCS) || Ticked(dialog, IDC_FIND_REGEX);
    HWND combo = GetDlgItem(dialog, IDC_FIND_TEXT);
    for (int i = 0; i < SendMessageA(combo, CB_GETCOUNT, 0, 0); ++i) {
      char item[300] = "";
      SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
      shown.items.push_back(item);
    }
    shown.text = WindowText(combo);
    SendDlgItemMessageA(dialog, IDC_FIND_MATCHCASE, BM_CLICK, 0, 0);
    SendDlgItemMessageA(dialog, IDC_FIND_UP, BM_CLICK, 0, 0);
    SendDlgItemMessageA(dialog, IDC_FIND_REGEX, BM_CLICK, 0, 0);
    shown.greyedWhileRegex =
        !IsWindowEnabled(GetDlgItem(dialog, IDC_FIND_MATCHCASE)) && IsWindowEnabled(GetDlgItem(dialog, IDC_FIND_UP)) &&
        !IsWindowEnabled(GetDlgItem(dialog, IDC_FIND_ALLDOCS)) && IsWindowEnabled(GetDlgItem(dialog, IDC_FIND_DOWN));
    shown.upKept = Ticked(dialog, IDC_FIND_UP);
    shown.tickKept = Ticked(dialog, IDC_FIND_MATCHCASE);
    PressButton(dialog, IDOK);
  });
  Command(IDM_EDIT_FIND);
  EXPECT_TRUE(shown.down);
  EXPECT_FALSE(shown.anyTicked);
  EXPECT_EQ(shown.items, (std::vector<std::string>{"newest", "middle", "oldest"}));
  EXPECT_EQ(shown.text, "newest");
  EXPECT_TRUE(shown.greyedWhileRegex);
  EXPECT_TRUE(shown.upKept) << "a regular expression searches upwards too";
  EXPECT_TRUE(shown.tickKept);
  EXPECT_EQ(g_settings.findFlags, 0x20000u) << "exactly regex, upwards";
  EXPECT_EQ(Search().text, "newest");
}

TEST_F(SearchTest, CancelForgetsAndAnEmptyTextNeitherSearchesNorIsRemembered) {
  HWND edit = NewDocumentWith("abc abc\r\n");
  Search().text = "abc";
  g_settings.findFlags = 0x5;
  {
    DialogAnswerer answerer([&](HWND dialog, const SeenBox&) {
      SetControlText(dialog, IDC_FIND_TEXT, "changed");
      SendDlgItemMessageA(dialog, IDC_FIND_WHOLEWORD, BM_CLICK, 0, 0);
      PressButton(dialog, IDCANCEL);
    });
    Command(IDM_EDIT_FIND);
    ASSERT_EQ(answerer.Seen().size(), 1u);
  }
  EXPECT_EQ(Search().text, "abc");
  EXPECT_EQ(g_settings.findFlags, 0x5u);
  EXPECT_EQ(SelectionOf(edit), (Sel{0, 0}));

  auto seen = Find("");
  EXPECT_EQ(seen.size(), 1u) << "no search, no box";
  EXPECT_EQ(Search().text, "");
  EXPECT_TRUE(g_settings.recentFinds.empty());
  // Find Next with no text opens the dialog again.
  seen = [&] {
    DialogAnswerer answerer([&](HWND dialog, const SeenBox& s) {
      if (s.caption == kFindCaption) SetControlText(dialog, IDC_FIND_TEXT, "abc");
      PressButton(dialog, IDOK);
    });
    Command(IDM_EDIT_FINDNEXT);
    return answerer.Seen();
  }();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].caption, kFindCaption);
  EXPECT_EQ(SelectionOf(edit), (Sel{0, 3}));
}

// Answers the Replace dialog by setting its fields and pressing the buttons in order, then
// Close; every other box is answered with OK.
std::vector<SeenBox> RunReplaceDialog(HWND frame, const std::string& find, const std::string& with, bool regex,
                                      std::vector<int> buttons) {
  DialogAnswerer answerer([&](HWND dialog, const SeenBox& seen) {
    if (seen.caption != "Search and replace") return PressButton(dialog, IDOK);
    SetControlText(dialog, IDC_FIND_TEXT, find);
    SetControlText(dialog, IDC_REPLACE_WITH, with);
    if (regex != (IsDlgButtonChecked(dialog, IDC_FIND_REGEX) == BST_CHECKED))
      SendDlgItemMessageA(dialog, IDC_FIND_REGEX, BM_CLICK, 0, 0);
    for (int id : buttons) PressButton(dialog, id);
    PressButton(dialog, IDCANCEL);
  });
  SendMessageA(frame, WM_COMMAND, MAKEWPARAM(IDM_EDIT_REPLACE, 1), 0);
  return answerer.Seen();
}

TEST_F(SearchTest, ReplaceAllWithGroupReferencesIsOneUndoStep) {
  const std::string original = "MVI R0, 5\rMVI R1, 6\rMVO R2, 7\r";
  HWND edit = NewDocumentWith(original);
  auto seen = RunReplaceDialog(frame_, "MVI (R\\d), (\\d)", "MVI $2, $1", true, {IDC_REPLACE_ALL});
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1].text, "2 replacements made.");
  EXPECT_EQ(AllText(edit), "MVI 5, R0\rMVI 6, R1\rMVO R2, 7\r");
  EXPECT_TRUE(DocumentModified(g_app.activeDocument));
  EXPECT_EQ(Search().text, "MVI (R\\d), (\\d)") << "F3 goes on with the same search";

  SendMessageA(edit, EM_UNDO, 0, 0);
  EXPECT_EQ(AllText(edit), original) << "one undo brings it all back";
}

// A regular-expression Replace All in a long text changes the matches where they stand: the
// marks on the lines between them stay, one Undo takes it all back and Redo makes it again.
TEST_F(SearchTest, RegexReplaceAllOverALongTextKeepsTheMarksBetweenItsMatches) {
  std::string file;
  for (int i = 0; i < 400; ++i) file += i % 100 == 10 ? "  MVI@ R4, R0 ; load\r\n" : "  MOVR R1, R2 ; copy\r\n";
  const std::string path = TempFolder("quillon-search") + "\\long.asm";
  WriteText(path, file);
  ASSERT_TRUE(OpenDocumentAtLine(path, -1));
  HWND window = g_app.activeDocument;
  HWND edit = DocumentTextControl(window);
  const std::string full = DocumentPath(window), original = AllText(edit);
  BuildMarks().Add(full, 50, MarkKind::kError);     // between two matches
  BuildMarks().Add(full, 110, MarkKind::kWarning);  // on a matched line
  DebugMarks().Add(full, 250, MarkKind::kBreakpoint);

  auto seen = RunReplaceDialog(frame_, "MVI@ (R\\d)", "mvi@ $1", true, {IDC_REPLACE_ALL});
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1].text, "4 replacements made.");
  std::string replaced = original;
  for (std::size_t at = replaced.find("MVI@"); at != std::string::npos; at = replaced.find("MVI@", at))
    replaced.replace(at, 4, "mvi@");
  EXPECT_EQ(AllText(edit), replaced);
  const auto marksKept = [&]() {
    return BuildMarks().Has(full, 50, MarkKind::kError) && BuildMarks().Has(full, 110, MarkKind::kWarning) &&
           DebugMarks().Has(full, 250, MarkKind::kBreakpoint);
  };
  EXPECT_TRUE(marksKept()) << "the marks between the matches stay on their lines";

  SendMessageA(edit, EM_UNDO, 0, 0);
  EXPECT_EQ(AllText(edit), original) << "one undo brings it all back";
  EXPECT_TRUE(marksKept());
  SendMessageA(edit, EM_REDO, 0, 0);
  EXPECT_EQ(AllText(edit), replaced);
  EXPECT_TRUE(marksKept());
  BuildMarks().Clear();
  DebugMarks().Clear();
}

// Only the matched text changes: the blank lines between the matches stay, in Replace All and in
// a Replace whose match holds line breaks.
TEST_F(SearchTest, RegexReplaceKeepsTheBlankLines) {
  HWND edit = NewDocumentWith("MVI@ R4, R0\r\r\rMVI@ R4, R1\r\rB $\r");
  auto seen = RunReplaceDialog(frame_, "MVI@", "mvi@", true, {IDC_REPLACE_ALL});
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1].text, "2 replacements made.");
  EXPECT_EQ(AllText(edit), "mvi@ R4, R0\r\r\rmvi@ R4, R1\r\rB $\r");

  SetSelection(edit, 0, 0);
  seen = RunReplaceDialog(frame_, "0\\n+", "$0;", true, {IDC_REPLACE_ONE, IDC_REPLACE_ONE});
  EXPECT_EQ(AllText(edit), "mvi@ R4, R0\r\r\r;mvi@ R4, R1\r\rB $\r");
}

TEST_F(SearchTest, ReplaceOneByOneThenNotFound) {
  HWND edit = NewDocumentWith("R0 R01 r0\rB R0\r");
  g_settings.findFlags = 0x3;  // whole word, case ignored
  auto seen =
      RunReplaceDialog(frame_, "R0", "R7", false, {IDC_REPLACE_ONE, IDC_REPLACE_ONE, IDC_REPLACE_ONE, IDC_REPLACE_ONE});
  // The first press only finds (nothing was selected); each further press replaces and finds.
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1].text, kNotFound);
  EXPECT_EQ(AllText(edit), "R7 R01 R7\rB R7\r");
  EXPECT_EQ(g_settings.findFlags, 0x3u);
}

TEST_F(SearchTest, ReplaceThatWouldPassTheTextLimitChangesNothing) {
  HWND edit = NewDocumentWith("aaaaaaaaaa");
  SetTextLimit(edit, 15);
  auto seen = RunReplaceDialog(frame_, "a", "bb", false, {IDC_REPLACE_ALL});
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1].caption, "Error");
  EXPECT_EQ(AllText(edit), "aaaaaaaaaa");

  seen = RunReplaceDialog(frame_, "absent", "x", false, {IDC_REPLACE_ALL});
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1].text, kNotFound);
}

}  // namespace search_test
}  // namespace quillon::test
