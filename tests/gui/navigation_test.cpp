// Keys of the Build and Edit menus through the real frame: Next/Previous Error, Go to Line,
// Find that goes round and backwards, the find dialogs' starting text, the output pane's
// colours, scrolling and copy, and the build commands' states.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <richedit.h>

#include <filesystem>
#include <string>
#include <vector>

#include "assemble/output_pane.h"
#include "editor/document_window.h"
#include "editor/editor.h"
#include "editor/gutter.h"
#include "editor/text_control.h"
#include "resource.h"
#include "search/search_state.h"
#include "support/dialog_answerer.h"
#include "support/gui_fixture.h"
#include "support/test_files.h"
#include "ui/app_state.h"

namespace quillon::test {
namespace navigation_test {

// The first part of the status bar, where notes go.
std::string StatusNote() {
  char text[512] = "";
  SendMessageA(g_app.statusBar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
  return text;
}

// Numbered lines "L0 MVI R0", "L1 MVI R1", ..., with CR LF ends.
std::string NumberedLines(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += "L" + std::to_string(i) + " MVI R" + std::to_string(i % 3) + "\r\n";
  return text;
}

class NavigationTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    saved_ = g_settings;
    g_settings.recentFinds.clear();
    g_settings.findFlags = 1;  // down
    static int serial = 0;
    folder_ = TempFolder("quillon_nav_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++serial));
  }
  void TearDown() override {
    for (HWND child = GetWindow(g_app.mdiClient, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
      SetDocumentChanged(child, false);
    EXPECT_TRUE(PumpUntil([] { return g_app.buildThread == nullptr; }, 10000));
    FrameTest::TearDown();
    g_settings = saved_;
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  Settings saved_;
  std::string folder_;
};

TEST_F(NavigationTest, F4AndShiftF4WalkTheErrorsAndOpenEachLineCentredAndSelected) {
  const std::string a = folder_ + "\\a.asm", b = folder_ + "\\b.asm";
  WriteText(a, NumberedLines(300));
  WriteText(b, NumberedLines(10));
  OutputPane& pane = *g_app.outputPane;
  pane.AddLine("Assembling...", "", -1);
  pane.AddLine(a + ":201: ERROR - bad", a, 200);
  pane.AddLine("Parsing listing file...", "", -1);
  pane.AddLine(b + ":4: WARNING - odd", b, 3);
  pane.AddLine("Total Errors: 1", "", -1);

  struct Step {
    bool forward;
    int paneLine;  // -1: nothing further
    std::string file;
    int line;
  };
  const Step steps[] = {
      {true, 1, a, 200}, {true, 3, b, 3}, {true, -1, b, 3}, {false, 1, a, 200}, {false, -1, a, 200},
  };
  for (const Step& step : steps) {
    Key(VK_F4, false, !step.forward);
    const int selected = pane.CurrentLine();
    EXPECT_LE(SendMessageA(pane.List(), LB_GETSELCOUNT, 0, 0), 1) << "one line selected";
    HWND document = IsDocumentWindow(g_app.activeDocument) ? g_app.activeDocument : nullptr;
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(DocumentPath(document), step.file);
    HWND edit = DocumentTextControl(document);
    const int caretLine = static_cast<int>(SendMessageA(edit, EM_EXLINEFROMCHAR, 0, SelectionOf(edit).start));
    EXPECT_EQ(caretLine, step.line);
    if (step.paneLine < 0) continue;  // the note at an end: the error navigation's table and BuildTest
    EXPECT_EQ(selected, step.paneLine);
    EXPECT_EQ(StatusNote(), step.paneLine == 1 ? "Error 1 of 2" : "Warning 2 of 2");
    const long start = LineIndex(edit, step.line);
    EXPECT_EQ(SelectionOf(edit), (Sel{start, start + 1 + static_cast<long>(std::to_string(step.line).size()) + 7}))
        << "the line's text is selected";
    if (step.line == 200) {
      const int first = FirstVisibleLine(edit);
      EXPECT_GT(step.line, first + 2) << "not at the top of the view";
      EXPECT_LT(step.line - first, 60) << "in view";
    }
  }
}

TEST_F(NavigationTest, CtrlGGoesToTheTypedLineCentred) {
  HWND edit = NewDocumentWith(NumberedLines(400));
  std::string range;
  {
    DialogAnswerer answerer([&](HWND dialog, const SeenBox& seen) {
      if (seen.caption != "Go to Line") return PressButton(dialog, IDCANCEL);
      range = WindowText(GetDlgItem(dialog, IDC_GOTOLINE_RANGE));
      SetControlText(dialog, IDC_GOTOLINE_NUMBER, "250");
      PressButton(dialog, IDOK);
    });
    Key('G', true);
  }
  EXPECT_EQ(range, "Line number (1 - 401):");
  const long start = LineIndex(edit, 249);
  EXPECT_EQ(SelectionOf(edit), (Sel{start, start}));
  const int first = FirstVisibleLine(edit);
  EXPECT_GT(249, first + 2);
  EXPECT_LT(249 - first, 60);

  // Cancel leaves the caret where it was.
  {
    DialogAnswerer answerer(DialogAnswerer::Press(IDCANCEL));
    Key('G', true);
  }
  EXPECT_EQ(SelectionOf(edit), (Sel{start, start}));
}

TEST_F(NavigationTest, F3GoesRoundShiftF3GoesBackAndOnlyNoMatchAtAllShowsABox) {
  HWND edit = NewDocumentWith("MVI R0\rMVO R1\rMVII #5");  // "MV" at 0, 7 and 14
  g_app.search->text = "MV";
  struct Step {
    bool back;
    Sel expected;
    const char* note;
  };
  const Step steps[] = {
      {false, {0, 2}, ""},
      {false, {7, 9}, ""},
      {false, {14, 16}, ""},
      {false, {0, 2}, "Passed the end of the document"},
      {true, {14, 16}, "Passed the start of the document"},
      {true, {7, 9}, ""},
  };
  for (const Step& step : steps) {
    DialogAnswerer answerer(DialogAnswerer::Press(IDOK));
    Key(VK_F3, false, step.back);
    EXPECT_TRUE(answerer.Seen().empty()) << "no box while there is a match";
    EXPECT_EQ(SelectionOf(edit), step.expected);
    EXPECT_EQ(StatusNote(), step.note);
  }

  // A regular expression with "^": every line start.
  g_settings.findFlags = 1 | 0x20000;
  g_app.search->text = "^MV\\w";
  SetSelection(edit, 1, 1);
  Key(VK_F3);
  EXPECT_EQ(SelectionOf(edit), (Sel{7, 10}));

  g_settings.findFlags = 1;
  g_app.search->text = "R9";
  DialogAnswerer answerer(DialogAnswerer::Press(IDOK));
  Key(VK_F3);
  ASSERT_EQ(answerer.Seen().size(), 1u);
  EXPECT_EQ(answerer.Seen()[0].text, "Search text not found");
}

TEST_F(NavigationTest, FindAndReplaceStartWithTheWordAtTheCaretAllSelected) {
  HWND edit = NewDocumentWith("START: MVII #PRINT.FLS, R4\r");
  SetSelection(edit, 15, 15);  // inside PRINT.FLS
  struct Seen {
    std::string text, button;
    DWORD selection = 0;
  };
  auto look = [](std::vector<Seen>& seen, int findButton) {
    return [&seen, findButton](HWND dialog, const SeenBox&) {
      HWND combo = GetDlgItem(dialog, IDC_FIND_TEXT);
      seen.push_back({WindowText(combo), WindowText(GetDlgItem(dialog, findButton)),
                      static_cast<DWORD>(SendMessageA(combo, CB_GETEDITSEL, 0, 0))});
      PressButton(dialog, IDCANCEL);
    };
  };
  std::vector<Seen> seen;
  {
    DialogAnswerer answerer(look(seen, IDOK));
    Key('F', true);
  }
  SetSelection(edit, 7, 11);  // "MVII" selected
  {
    DialogAnswerer answerer(look(seen, IDC_REPLACE_FINDNEXT));
    Key('H', true);
  }
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].text, "PRINT.FLS");
  EXPECT_EQ(seen[0].button, "&Find Next");
  EXPECT_EQ(seen[0].selection, static_cast<DWORD>(MAKELONG(0, 9))) << "all of it selected";
  EXPECT_EQ(seen[1].text, "MVII");
  EXPECT_EQ(seen[1].button, "&Find Next");
  EXPECT_EQ(seen[1].selection, static_cast<DWORD>(MAKELONG(0, 4)));
}

TEST_F(NavigationTest, OutputPaneColoursFollowsTheLastLineAndCopies) {
  OutputPane& pane = *g_app.outputPane;
  HWND list = pane.List();
  pane.Clear();
  pane.AddLine("x.asm:3: ERROR - bad", "x.asm", 2);
  pane.AddLine("x.asm:4: WARNING - odd", "x.asm", 3);
  pane.AddLine("Total Errors: 1", "", -1);
  PumpMessages(100);
  EXPECT_EQ(pane.KindOf(0), OutputLineKind::kError);
  EXPECT_EQ(pane.KindOf(1), OutputLineKind::kWarning);
  EXPECT_EQ(pane.KindOf(2), OutputLineKind::kPlain);

  // Many lines: the last stays in view; once the user scrolled up, new lines leave the view.
  const std::string wide(300, 'w');
  for (int i = 0; i < 200; ++i) pane.AddLine(i == 100 ? wide : "line " + std::to_string(i), "", -1);
  PumpMessages(100);
  RECT area{};
  GetClientRect(list, &area);
  const int height = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
  ASSERT_GT(height, 0);
  const int top = static_cast<int>(SendMessageA(list, LB_GETTOPINDEX, 0, 0));
  EXPECT_GE(top + area.bottom / height, 202) << "the last line shows";
  EXPECT_GT(SendMessageA(list, LB_GETHORIZONTALEXTENT, 0, 0), 300 * 4) << "room for the widest line";
  SendMessageA(list, LB_SETTOPINDEX, 0, 0);
  pane.AddLine("more", "", -1);
  PumpMessages(100);
  EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 0) << "the user's place is kept";

  // Ctrl+C in the list copies the selected lines.
  SendMessageA(list, LB_SETSEL, TRUE, 0);
  SendMessageA(list, LB_SETSEL, TRUE, 1);
  SetFocus(list);
  if (OpenClipboard(frame_)) {
    EmptyClipboard();
    CloseClipboard();
  }
  Key('C', true);
  std::string copied;
  if (OpenClipboard(frame_)) {
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
      if (const char* text = static_cast<const char*>(GlobalLock(data))) copied = text;
      GlobalUnlock(data);
    }
    CloseClipboard();
  }
  EXPECT_EQ(copied, "x.asm:3: ERROR - bad\r\nx.asm:4: WARNING - odd\r\n");

  // A build with 1,000 error lines fills the pane and the marks in well under half a second.
  pane.Clear();
  const DWORD start = GetTickCount();
  for (int i = 0; i < 1000; ++i)
    pane.AddLine("C:\\g\\x.asm:" + std::to_string(i + 1) + ": ERROR - bad", "C:\\g\\x.asm", i);
  pane.Flush();
  EXPECT_LT(GetTickCount() - start, 500u);
  EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 1000);
  pane.Clear();
}

TEST_F(NavigationTest, BuildAndStopAreEnabledByState) {
  HMENU menu = GetMenu(frame_);
  auto grey = [&](int id) { return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0; };
  auto button = [&](int id) { return SendMessageA(g_app.toolBar, TB_ISBUTTONENABLED, id, 0) != 0; };
  EXPECT_FALSE(grey(IDM_BUILD));
  EXPECT_TRUE(grey(IDM_BUILD_STOP));
  EXPECT_TRUE(button(IDM_BUILD));
  EXPECT_FALSE(button(IDM_BUILD_STOP));

  g_settings.assemblerPath = "C:\\nowhere\\as1600.exe";  // no document: the build ends at once
  Key(VK_F7);
  ASSERT_NE(g_app.buildThread, nullptr);
  EXPECT_TRUE(grey(IDM_BUILD));
  EXPECT_TRUE(grey(IDM_BUILD_RUN));
  EXPECT_FALSE(grey(IDM_BUILD_STOP));
  EXPECT_FALSE(button(IDM_BUILD));
  EXPECT_TRUE(button(IDM_BUILD_STOP));
  ASSERT_TRUE(PumpUntil([] { return g_app.buildThread == nullptr; }));
  EXPECT_FALSE(grey(IDM_BUILD));
  EXPECT_TRUE(grey(IDM_BUILD_STOP));
  EXPECT_FALSE(button(IDM_BUILD_STOP));

  char tip[128] = "";
  LoadStringA(GetModuleHandleA(nullptr), IDS_TIP_STOP, tip, sizeof tip);
  EXPECT_STREQ(tip, "Stop the build (Ctrl+Break)");
}

TEST_F(NavigationTest, ReplaceAllInTheSelectionAndInEveryOpenDocument) {
  HWND first = NewDocumentWith("R0\rR0\rR0\rR0\r");
  HWND firstWindow = g_app.activeDocument;
  HWND second = NewDocumentWith("MVI R0\r");
  SendMessageA(g_app.mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(firstWindow), 0);
  SetSelection(first, 3, 8);  // lines 1 and 2
  auto replaceAll = [&](bool allDocuments) {
    bool inSelectionOffered = false;
    DialogAnswerer answerer([&](HWND dialog, const SeenBox& seen) {
      if (seen.caption != "Search and replace") return PressButton(dialog, IDOK);
      inSelectionOffered = IsDlgButtonChecked(dialog, IDC_REPLACE_INSELECTION) == BST_CHECKED;
      SetControlText(dialog, IDC_FIND_TEXT, "R0");
      SetControlText(dialog, IDC_REPLACE_WITH, "R7");
      if (allDocuments) {
        CheckDlgButton(dialog, IDC_REPLACE_INSELECTION, BST_UNCHECKED);
        CheckDlgButton(dialog, IDC_FIND_ALLDOCS, BST_CHECKED);
      }
      PressButton(dialog, IDC_REPLACE_ALL);
      PressButton(dialog, IDCANCEL);
    });
    Key('H', true);
    return std::make_pair(inSelectionOffered, answerer.Seen());
  };
  auto [offered, seen] = replaceAll(false);
  EXPECT_TRUE(offered) << "a selection over lines ticks In selection";
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1].text, "2 replacements made.");
  std::string text(64, '\0');
  text.resize(GetWindowTextA(first, text.data(), 64));
  EXPECT_EQ(text, "R0\r\nR7\r\nR7\r\nR0\r\n");

  SetSelection(first, 0, 0);
  auto [offeredAgain, seenAgain] = replaceAll(true);
  EXPECT_FALSE(offeredAgain);
  ASSERT_EQ(seenAgain.size(), 2u);
  EXPECT_EQ(seenAgain[1].text, "3 replacements made.");
  text.assign(64, '\0');
  text.resize(GetWindowTextA(second, text.data(), 64));
  EXPECT_EQ(text, "MVI R7\r\n");
  // One undo step per document.
  SendMessageA(second, EM_UNDO, 0, 0);
  text.assign(64, '\0');
  text.resize(GetWindowTextA(second, text.data(), 64));
  EXPECT_EQ(text, "MVI R0\r\n");

  // A document that cannot take its replacement stops them all before any is made, whichever
  // of the two comes first.
  for (HWND limited : {first, second}) {
    const std::string firstBefore = TextRange(first, 0, TextLength(first));
    const std::string secondBefore = TextRange(second, 0, TextLength(second));
    const long limit = TextLimit(limited);
    SetTextLimit(limited, TextLength(limited) - 1);  // the text is already over it
    auto [offeredLast, seenLast] = replaceAll(true);
    ASSERT_EQ(seenLast.size(), 2u);
    EXPECT_EQ(seenLast[1].caption, "Error");
    EXPECT_EQ(TextRange(first, 0, TextLength(first)), firstBefore);
    EXPECT_EQ(TextRange(second, 0, TextLength(second)), secondBefore);
    SetTextLimit(limited, limit);
  }
}

TEST_F(NavigationTest, GutterShowsNumbersAndBuildMarksThatFollowTheirLines) {
  const std::string a = folder_ + "\\marks.asm";
  WriteText(a, NumberedLines(1200));
  OutputPane& pane = *g_app.outputPane;
  pane.Clear();
  pane.AddLine(a + ":3: ERROR - bad", a, 2);
  pane.AddLine(a + ":5: WARNING - odd", a, 4);
  PumpMessages(100);  // the marks are drawn once the lines stop coming
  Key(VK_F4);         // opens a.asm at line 2
  HWND document = IsDocumentWindow(g_app.activeDocument) ? g_app.activeDocument : nullptr;
  ASSERT_NE(document, nullptr);
  HWND window = g_app.activeDocument, edit = DocumentTextControl(document);
  const RECT withNumbers = RectIn(edit, window);
  EXPECT_GT(withNumbers.left, 20) << "room for four digits";

  // A line inserted above both marks moves them with their text.
  SetSelection(edit, 0, 0);
  SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("NEW LINE\r"));
  const std::vector<LineMark>* marks = BuildMarks().For(a);
  ASSERT_NE(marks, nullptr);
  EXPECT_EQ(*marks, (std::vector<LineMark>{{3, MarkKind::kError}, {5, MarkKind::kWarning}}));

  // The mark is red where the error line is drawn.
  SendMessageA(edit, EM_LINESCROLL, 0, -FirstVisibleLine(edit));
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  POINTL at{};
  SendMessageA(edit, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), LineIndex(edit, 3));
  HDC dc = GetDC(window);
  const COLORREF pixel = GetPixel(dc, 3, at.y + RectIn(edit, window).top + 4);
  ReleaseDC(window, dc);
  EXPECT_GT(GetRValue(pixel), 150) << std::hex << pixel;
  EXPECT_LT(GetGValue(pixel), 60) << std::hex << pixel;

  // Tools > Line Numbers off: the gutter narrows to the marks; the setting follows.
  Command(IDM_TOOLS_LINENUMBERS);
  EXPECT_FALSE(g_settings.lineNumbers);
  EXPECT_EQ(RectIn(edit, window).left, 20);
  EXPECT_FALSE(GetMenuState(GetMenu(frame_), IDM_TOOLS_LINENUMBERS, MF_BYCOMMAND) & MF_CHECKED);
  Command(IDM_TOOLS_LINENUMBERS);
  EXPECT_TRUE(g_settings.lineNumbers);
  EXPECT_EQ(RectIn(edit, window).left, withNumbers.left);

  pane.Clear();
  EXPECT_EQ(BuildMarks().For(a), nullptr) << "a new build starts without marks";
}

}  // namespace navigation_test
}  // namespace quillon::test
