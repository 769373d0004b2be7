// Go to Definition (F12), Go Back (Alt+Left, Ctrl+-) and Go to Symbol (Ctrl+Shift+O) through
// the real frame, on a document and the file it includes.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <richedit.h>

#include <filesystem>
#include <string>
#include <vector>

#include "assemble/insight_editing.h"
#include "assemble/output_pane.h"
#include "editor/document_window.h"
#include "editor/editor.h"
#include "editor/text_control.h"
#include "project/project.h"
#include "resource.h"
#include "support/dialog_answerer.h"
#include "support/gui_fixture.h"
#include "support/test_files.h"
#include "ui/app_state.h"

namespace quillon::test {
namespace symbol_navigation_test {

const char kMain[] =
    "        INCLUDE \"defs.inc\"\r\n"  // 0 (zero-based lines)
    "MAIN    PROC\r\n"                  // 1
    "        MVII    #COUNT, R0\r\n"    // 2
    "@@loop  DECR    R0\r\n"            // 3
    "        BNEQ    @@loop\r\n"        // 4
    "        SHOW    2\r\n"             // 5
    "        ENDP\r\n";                 // 6
const char kDefs[] =
    "; constants\r\n"             // 0
    "COUNT   EQU     3\r\n"       // 1
    "        MACRO   SHOW n\r\n"  // 2
    "        MVII    #%n%, R1\r\n"
    "        ENDM\r\n";

class SymbolNavigationTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    static int serial = 0;
    folder_ = TempFolder("quillon_sym_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++serial));
    main_ = folder_ + "\\main.asm";
    defs_ = folder_ + "\\defs.inc";
    WriteText(main_, kMain);
    WriteText(defs_, kDefs);
  }
  void TearDown() override {
    for (HWND child = GetWindow(g_app.mdiClient, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
      SetDocumentChanged(child, false);
    FrameTest::TearDown();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  // The active document's path and the zero-based line of its caret.
  static std::pair<std::string, int> Where() {
    HWND document = IsDocumentWindow(g_app.activeDocument) ? g_app.activeDocument : nullptr;
    if (!document || !DocumentTextControl(document)) return {"", -1};
    long start = 0, end = 0;
    GetSelection(DocumentTextControl(document), start, end);
    return {DocumentPath(document),
            static_cast<int>(SendMessageA(DocumentTextControl(document), EM_EXLINEFROMCHAR, 0, start))};
  }
  // Puts the caret inside `word` on the zero-based `line` of the active document.
  static void CaretOn(int line, const std::string& word) {
    HWND edit = DocumentTextControl(g_app.activeDocument);
    const long start = LineIndex(edit, line);
    const std::string text = TextRange(edit, start, LineIndex(edit, line + 1));
    const auto at = text.find(word);
    ASSERT_NE(at, std::string::npos) << word;
    SetSelection(edit, start + static_cast<long>(at) + 1, start + static_cast<long>(at) + 1);
  }
  std::string folder_, main_, defs_;
};

TEST_F(SymbolNavigationTest, F12OpensTheDefinitionAndAltLeftOrCtrlMinusComesBack) {
  ASSERT_TRUE(OpenDocumentAtLine(main_, -1));
  HWND mainWindow = g_app.activeDocument;
  // An unsaved line at the top: the index reads the open document, not the file.
  HWND edit = DocumentTextControl(g_app.activeDocument);
  SetSelection(edit, 0, 0);
  SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("; new line\r"));

  struct Step {
    int line;
    const char* word;
    std::string file;
    int defLine;
    WORD backKey;
    bool backCtrl;
  } steps[] = {
      {3, "COUNT", defs_, 1, VK_LEFT, false},       // an EQU in the included file
      {5, "@@loop", main_, 4, VK_OEM_MINUS, true},  // a local label in its PROC
      {6, "SHOW", defs_, 2, VK_LEFT, false},        // a macro
      {2, "MAIN", main_, 2, VK_OEM_MINUS, true},    // the PROC itself
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.word);
    CaretOn(step.line, step.word);
    long start = 0, end = 0;
    GetSelection(edit, start, end);
    Key(VK_F12);
    EXPECT_EQ(Where(), std::make_pair(step.file, step.defLine));
    if (step.backCtrl)
      Key(step.backKey, true);
    else
      Key(step.backKey, false, false, true);
    EXPECT_EQ(g_app.activeDocument, mainWindow);
    long backStart = -1, backEnd = -1;
    GetSelection(edit, backStart, backEnd);
    EXPECT_EQ(backStart, start);
    EXPECT_EQ(backEnd, end);
  }

  // No name, or no definition: the caret stays and a note says so.
  CaretOn(3, "R0");
  Key(VK_F12);
  EXPECT_EQ(Where(), std::make_pair(main_, 3));
}

TEST_F(SymbolNavigationTest, F12InAnUntitledDocumentFindsItsOwnLabels) {
  Command(IDM_FILE_NEW);
  HWND window = g_app.activeDocument;
  HWND document = IsDocumentWindow(window) ? window : nullptr;
  ASSERT_NE(document, nullptr);
  SendMessageA(DocumentTextControl(document), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>("\r\nSTART:  NOP\r\n        B START\r\n"));
  CaretOn(2, "START");
  Key(VK_F12);
  EXPECT_EQ(g_app.activeDocument, window);
  EXPECT_EQ(Where(), std::make_pair(std::string(), 1));
}

TEST_F(SymbolNavigationTest, TheTextMenuOffersGoToDefinition) {
  HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_TEXTMENU));
  ASSERT_NE(menu, nullptr);
  EXPECT_NE(GetMenuState(menu, IDM_EDIT_GOTODEFINITION, MF_BYCOMMAND), static_cast<UINT>(-1));
  DestroyMenu(menu);
}

TEST_F(SymbolNavigationTest, CtrlShiftOListsTheDefinitionsFilteredAndOpensTheChosenOne) {
  ASSERT_TRUE(OpenDocumentAtLine(main_, -1));
  std::vector<std::string> all, filtered;
  DialogAnswerer answerer([&](HWND dialog, const SeenBox& seen) {
    if (seen.caption != "Go to Symbol") return PressButton(dialog, IDCANCEL);
    HWND list = GetDlgItem(dialog, IDC_GOTOSYMBOL_LIST);
    auto rows = [&] {
      std::vector<std::string> out;
      const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
      for (int i = 0; i < count; ++i) {
        char text[512] = "";
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        out.push_back(text);
      }
      return out;
    };
    all = rows();
    SetControlText(dialog, IDC_GOTOSYMBOL_FILTER, "cou");
    filtered = rows();
    // Down in the filter field moves through the list.
    SetControlText(dialog, IDC_GOTOSYMBOL_FILTER, "o");
    SendMessageA(GetDlgItem(dialog, IDC_GOTOSYMBOL_FILTER), WM_KEYDOWN, VK_DOWN, 0);
    PressButton(dialog, IDOK);
  });
  Key('O', true, true);
  ASSERT_EQ(answerer.Seen().size(), 1u);
  // Sorted by name; no build yet, so no values.
  EXPECT_EQ(all, (std::vector<std::string>{"COUNT\tEQU\t\tdefs.inc:2", "MAIN\tPROC\t\tmain.asm:2",
                                           "MAIN.loop\tlocal label\t\tmain.asm:4", "SHOW\tmacro\t\tdefs.inc:3"}));
  EXPECT_EQ(filtered, (std::vector<std::string>{"COUNT\tEQU\t\tdefs.inc:2"}));
  EXPECT_EQ(Where(), std::make_pair(main_, 3)) << "MAIN.loop, the second of COUNT, MAIN.loop, SHOW";
}

// With the included file active, each name is listed once; the dialog can be made larger and
// comes back at that size.
TEST_F(SymbolNavigationTest, GoToSymbolListsEachNameOnceAndKeepsItsSize) {
  WriteText(folder_ + "\\sym.qlp", "[project name]\r\nSym\r\n[source]\r\nmain.asm\r\n[include]\r\ndefs.inc\r\n");
  ASSERT_TRUE(g_app.project->LoadProject(folder_ + "\\sym.qlp"));
  ASSERT_TRUE(OpenDocumentAtLine(main_, -1));
  ASSERT_TRUE(OpenDocumentAtLine(defs_, -1));
  std::vector<std::string> rows;
  std::vector<SIZE> sizes;
  DialogAnswerer answerer([&](HWND dialog, const SeenBox&) {
    RECT r;
    GetWindowRect(dialog, &r);
    sizes.push_back({r.right - r.left, r.bottom - r.top});
    EXPECT_TRUE(GetWindowLongA(dialog, GWL_STYLE) & WS_THICKFRAME);
    HWND list = GetDlgItem(dialog, IDC_GOTOSYMBOL_LIST);
    rows.clear();
    for (int i = 0; i < static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0)); ++i) {
      char text[512] = "";
      SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
      rows.push_back(text);
    }
    SetWindowPos(dialog, nullptr, 0, 0, r.right - r.left + 120, r.bottom - r.top + 80, SWP_NOMOVE | SWP_NOZORDER);
    RECT listBox;
    GetWindowRect(list, &listBox);
    EXPECT_GE(listBox.right - listBox.left, 300) << "the list grows with the dialog";
    PressButton(dialog, IDCANCEL);
  });
  const Settings saved = g_settings;
  g_settings.symbolDialogWidth = g_settings.symbolDialogHeight = 0;
  Key('O', true, true);
  Key('O', true, true);
  ASSERT_EQ(sizes.size(), 2u);
  EXPECT_EQ(sizes[1].cx, sizes[0].cx + 120);
  EXPECT_EQ(sizes[1].cy, sizes[0].cy + 80);
  // The size goes to the settings, which the next session reads; one too large for the screen is
  // not used.
  EXPECT_EQ(g_settings.symbolDialogWidth, static_cast<std::uint32_t>(sizes[0].cx + 240));
  EXPECT_EQ(g_settings.symbolDialogHeight, static_cast<std::uint32_t>(sizes[0].cy + 160));
  g_settings.symbolDialogWidth = static_cast<std::uint32_t>(sizes[0].cx + 30);
  g_settings.symbolDialogHeight = static_cast<std::uint32_t>(sizes[0].cy + 20);
  Key('O', true, true);
  ASSERT_EQ(sizes.size(), 3u);
  EXPECT_EQ(sizes[2].cx, sizes[0].cx + 30);
  EXPECT_EQ(sizes[2].cy, sizes[0].cy + 20);
  g_settings.symbolDialogWidth = 100000;
  Key('O', true, true);
  ASSERT_EQ(sizes.size(), 4u);
  EXPECT_EQ(sizes[3].cx, sizes[0].cx) << "too wide for the screen";
  g_app.project->CloseProject();
  g_settings.symbolDialogWidth = saved.symbolDialogWidth;
  g_settings.symbolDialogHeight = saved.symbolDialogHeight;
  EXPECT_EQ(rows.size(), 4u) << "no name twice";
}

// The output pane's lines as text.
std::vector<std::string> PaneTexts() {
  std::vector<std::string> lines;
  HWND list = g_app.outputPane->List();
  for (int i = 0; i < static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0)); ++i) {
    std::vector<char> text(SendMessageA(list, LB_GETTEXTLEN, i, 0) + 1);
    SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    lines.push_back(text.data());
  }
  return lines;
}

// Shift+F12 lists the uses in both files, saved or not; F4 opens them in turn.
TEST_F(SymbolNavigationTest, ShiftF12ListsEveryReferenceAndF4OpensThem) {
  ASSERT_TRUE(OpenDocumentAtLine(main_, -1));
  HWND edit = DocumentTextControl(g_app.activeDocument);
  SetSelection(edit, LineIndex(edit, 6), LineIndex(edit, 6));
  SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("        MVII #COUNT+1, R2 ; COUNT\r"));
  CaretOn(2, "COUNT");
  Key(VK_F12, false, true);
  EXPECT_EQ(PaneTexts(), (std::vector<std::string>{
                             "References of COUNT:",
                             main_ + ":3: MVII    #COUNT, R0",
                             main_ + ":7: MVII #COUNT+1, R2 ; COUNT",
                             defs_ + ":2: COUNT   EQU     3",
                             "3 references in 2 files",
                         }));
  Key(VK_F4);
  EXPECT_EQ(Where(), std::make_pair(main_, 2));
  Key(VK_F4);
  EXPECT_EQ(Where(), std::make_pair(main_, 6));
  Key(VK_F4);
  EXPECT_EQ(Where(), std::make_pair(defs_, 1));
}

// F2 renames in both open documents, each in one Undo step; a name in use is refused.
TEST_F(SymbolNavigationTest, F2RenamesAcrossTwoFilesWithOneUndoEach) {
  ASSERT_TRUE(OpenDocumentAtLine(defs_, -1));
  HWND defsWindow = g_app.activeDocument;
  ASSERT_TRUE(OpenDocumentAtLine(main_, -1));
  HWND mainWindow = g_app.activeDocument;
  CaretOn(2, "COUNT");
  std::string preview, refusal;
  bool refusedOk = true;
  {
    DialogAnswerer answerer([&](HWND dialog, const SeenBox& seen) {
      if (seen.caption != "Rename Symbol") return PressButton(dialog, IDCANCEL);
      // A name in use: the preview says why, and Rename cannot be pressed.
      SetControlText(dialog, IDC_RENAME_NAME, "MAIN");
      char why[256] = "";
      GetDlgItemTextA(dialog, IDC_RENAME_PREVIEW, why, sizeof why);
      refusal = why;
      refusedOk = IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE;
      SetControlText(dialog, IDC_RENAME_NAME, "TOTAL");
      char text[256] = "";
      GetDlgItemTextA(dialog, IDC_RENAME_PREVIEW, text, sizeof text);
      preview = text;
      PressButton(dialog, IDOK);
    });
    Key(VK_F2);
  }
  EXPECT_NE(refusal.find("MAIN already exists (main.asm:2)"), std::string::npos) << refusal;
  EXPECT_FALSE(refusedOk);
  EXPECT_EQ(preview, "2 places in 2 files will change");
  std::string mainText, defsText;
  StreamTextOut(DocumentTextControl(mainWindow), mainText);
  StreamTextOut(DocumentTextControl(defsWindow), defsText);
  EXPECT_NE(mainText.find("MVII    #TOTAL, R0"), std::string::npos);
  EXPECT_NE(defsText.find("TOTAL   EQU     3"), std::string::npos);
  EXPECT_EQ(defsText.find("COUNT"), std::string::npos);
  // One Ctrl+Z in each document takes its rename back whole.
  for (HWND window : {mainWindow, defsWindow}) {
    SendMessageA(g_app.mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(window), 0);
    SetFocus(DocumentTextControl(window));
    Key('Z', true);
    std::string text;
    StreamTextOut(DocumentTextControl(window), text);
    EXPECT_EQ(text.find("TOTAL"), std::string::npos);
    EXPECT_NE(text.find("COUNT"), std::string::npos);
  }
}

// Under a double-byte code page the control counts a two-byte character once and the index counts
// bytes: F2 after such characters changes the name and nothing else (0x5C, a backslash, ends
// U+30BD), and one Ctrl+Z takes it back.
TEST_F(SymbolNavigationTest, F2AfterDoubleByteCharactersRenamesOnlyTheName) {
  NeedDoubleByteCodePage();
  if (IsSkipped() || HasFatalFailure()) return;
  const std::string kana = folder_ + "\\kana.asm";
  WriteText(kana,
            "; \x82\xA0\x82\xA2\r\n"
            "COUNT   EQU     3 ; \x83\x5C\r\n"
            "        MVII    #COUNT, R0 ; \x82\xA0\r\n"
            "        MVII    #COUNT, R1\r\n");
  ASSERT_TRUE(OpenDocumentAtLine(kana, -1));
  HWND edit = DocumentTextControl(g_app.activeDocument);
  const std::string original = TextRange(edit, 0, TextLength(edit));
  CaretOn(3, "COUNT");
  DialogAnswerer answerer([&](HWND dialog, const SeenBox&) {
    SetControlText(dialog, IDC_RENAME_NAME, "TOTAL");
    PressButton(dialog, IDOK);
  });
  Key(VK_F2);
  EXPECT_EQ(TextRange(edit, 0, TextLength(edit)),
            "; \x82\xA0\x82\xA2\r"
            "TOTAL   EQU     3 ; \x83\x5C\r"
            "        MVII    #TOTAL, R0 ; \x82\xA0\r"
            "        MVII    #TOTAL, R1\r");
  SetFocus(edit);
  Key('Z', true);
  EXPECT_EQ(TextRange(edit, 0, TextLength(edit)), original);
}

// A closed file is rewritten on disk; the open one changes in its window.
TEST_F(SymbolNavigationTest, F2WritesAClosedFileWhole) {
  ASSERT_TRUE(OpenDocumentAtLine(main_, -1));
  CaretOn(5, "SHOW");
  DialogAnswerer answerer([&](HWND dialog, const SeenBox&) {
    SetControlText(dialog, IDC_RENAME_NAME, "PRINT");
    PressButton(dialog, IDOK);
  });
  Key(VK_F2);
  EXPECT_EQ(ReadText(defs_),
            "; constants\r\nCOUNT   EQU     3\r\n        MACRO   PRINT n\r\n        MVII    #%n%, R1\r\n"
            "        ENDM\r\n");
  std::string text;
  StreamTextOut(DocumentTextControl(g_app.activeDocument), text);
  EXPECT_NE(text.find("        PRINT    2"), std::string::npos);
}

// Keys as the keyboard sends them, through the queue: a key down that the loop translates.
void PressKeys(HWND edit, const std::string& keys) {
  for (char c : keys) {
    const SHORT vk = VkKeyScanA(c);
    PostMessageA(edit, WM_KEYDOWN, LOBYTE(vk), 1);
    PostMessageA(edit, WM_KEYUP, LOBYTE(vk), 0xC0000001);
    PumpMessages(10);
  }
}
void PressKey(HWND edit, WORD key) {
  PostMessageA(edit, WM_KEYDOWN, key, 1);
  PostMessageA(edit, WM_KEYUP, key, 0xC0000001);
  PumpMessages(10);
}

// The mouse resting on a word shows its tip after half a second; moving on hides it.
TEST_F(SymbolNavigationTest, TheMouseRestingOnANameShowsItsTip) {
  ASSERT_TRUE(OpenDocumentAtLine(main_, -1));
  HWND edit = DocumentTextControl(g_app.activeDocument);
  auto pointOn = [&](int line, const std::string& word) {
    const long start = LineIndex(edit, line);
    const std::string text = TextRange(edit, start, LineIndex(edit, line + 1));
    POINTL p{};
    SendMessageA(edit, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&p), start + static_cast<long>(text.find(word)) + 1);
    return POINT{p.x + 2, p.y + 4};
  };
  auto moveTo = [&](POINT p) {
    POINT screen = p;
    ClientToScreen(edit, &screen);
    SetCursorPos(screen.x, screen.y);
    PostMessageA(edit, WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
    PumpMessages(20);
  };
  moveTo(pointOn(2, "COUNT"));
  EXPECT_EQ(ShownTip(), "") << "not at once";
  ASSERT_TRUE(PumpUntil([] { return !ShownTip().empty(); }, 3000));
  EXPECT_NE(ShownTip().find("COUNT - EQU"), std::string::npos) << ShownTip();
  EXPECT_NE(ShownTip().find("Defined at defs.inc:2"), std::string::npos) << ShownTip();
  POINT away = pointOn(2, "R0");
  moveTo(away);
  EXPECT_EQ(ShownTip(), "") << "gone when the mouse moves on";
  ASSERT_TRUE(PumpUntil([] { return !ShownTip().empty(); }, 3000));
  EXPECT_NE(ShownTip().find("R0: register 0"), std::string::npos) << ShownTip();
  moveTo(pointOn(4, "BNEQ"));
  ASSERT_TRUE(PumpUntil([] { return ShownTip().find("BNEQ") == 0; }, 3000)) << ShownTip();
  EXPECT_NE(ShownTip().find("Cycles: 7/9 (not taken/taken)"), std::string::npos) << ShownTip();
}

// Three letters of a name open the list; Enter inserts the first, one Ctrl+Z takes it back.
TEST_F(SymbolNavigationTest, CompletionOpensAfterThreeLettersAndEnterInsertsOneUndoStep) {
  ASSERT_TRUE(OpenDocumentAtLine(main_, -1));
  HWND edit = DocumentTextControl(g_app.activeDocument);
  SetFocus(edit);
  const long at = LineIndex(edit, 6);
  SetSelection(edit, at, at);
  SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("\r"));
  SetSelection(edit, at, at);
  PressKeys(edit, "        b co");
  EXPECT_EQ(CompletionList(), nullptr) << "two letters are not enough";
  PressKeys(edit, "u");
  ASSERT_NE(CompletionList(), nullptr);
  char first[128] = "";
  SendMessageA(CompletionList(), LB_GETTEXT, 0, reinterpret_cast<LPARAM>(first));
  EXPECT_STREQ(first, "COUNT\tEQU");
  PressKey(edit, VK_RETURN);
  EXPECT_EQ(CompletionList(), nullptr);
  EXPECT_EQ(TextRange(edit, at, LineIndex(edit, 7) - 1), "        b COUNT");
  Key('Z', true);
  EXPECT_EQ(TextRange(edit, at, LineIndex(edit, 7) - 1), "        b cou") << "the insertion alone is undone";

  // Ctrl+Space opens it at once; Esc closes it and leaves the text.
  SetSelection(edit, LineIndex(edit, 7) - 1, LineIndex(edit, 7) - 1);
  PressKeys(edit, ", sh");
  Key(VK_SPACE, true);
  ASSERT_NE(CompletionList(), nullptr);
  SendMessageA(CompletionList(), LB_GETTEXT, 0, reinterpret_cast<LPARAM>(first));
  EXPECT_STREQ(first, "SHOW\tmacro");
  PressKey(edit, VK_ESCAPE);
  EXPECT_EQ(CompletionList(), nullptr);
  EXPECT_EQ(TextRange(edit, at, LineIndex(edit, 7) - 1), "        b cou, sh");
}

// Tools › Addresses and Cycles puts each instruction line's cycles in the gutter's note.
TEST_F(SymbolNavigationTest, TheToolsItemShowsCyclesInTheGutter) {
  ASSERT_TRUE(OpenDocumentAtLine(main_, -1));
  HWND window = g_app.activeDocument;
  HWND edit = DocumentTextControl(window);
  PumpMessages(50);
  Command(IDM_TOOLS_CYCLECOLUMN);
  // The text, moved aside by the wider gutter, is drawn again (under Wine it showed blank).
  RECT update{};
  EXPECT_TRUE(GetUpdateRect(edit, &update, FALSE));
  RECT shown{};
  GetClientRect(window, &shown);
  EXPECT_GE(update.bottom - update.top, shown.bottom - shown.top - 40);
  EXPECT_TRUE(GetMenuState(GetMenu(frame_), IDM_TOOLS_CYCLECOLUMN, MF_BYCOMMAND) & MF_CHECKED);
  ASSERT_TRUE(EditorHooks().gutterNote);
  EXPECT_GT(EditorHooks().gutterNoteCharacters, 0);
  EXPECT_EQ(EditorHooks().gutterNote(window, 2), "8") << "MVII, not built: no address";
  EXPECT_EQ(EditorHooks().gutterNote(window, 4), "7/9") << "BNEQ";
  EXPECT_EQ(EditorHooks().gutterNote(window, 0), "") << "INCLUDE";
  Command(IDM_TOOLS_CYCLECOLUMN);
  EXPECT_FALSE(EditorHooks().gutterNote);
  EXPECT_EQ(EditorHooks().gutterNoteCharacters, 0);
}

// A selection of instructions gives their count and cycles in the status bar.
TEST_F(SymbolNavigationTest, TheSelectionsCyclesShowInTheStatusBar) {
  ASSERT_TRUE(OpenDocumentAtLine(main_, -1));
  HWND edit = DocumentTextControl(g_app.activeDocument);
  SetFocus(edit);
  SetSelection(edit, LineIndex(edit, 3), LineIndex(edit, 3));
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_SHIFT] = 0x80;
  SetKeyboardState(keys);
  PressKey(edit, VK_DOWN);
  PressKey(edit, VK_DOWN);
  keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);
  char text[256] = "";
  SendMessageA(g_app.statusBar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "2 instructions, 13-15 cycles");
}

}  // namespace symbol_navigation_test
}  // namespace quillon::test
