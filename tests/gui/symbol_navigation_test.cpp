// Go to Definition (F12), Go Back (Alt+Left, Ctrl+-) and Go to Symbol (Ctrl+Shift+O) through
// the real frame, on a document and the file it includes.
#include <windows.h>
#include <gtest/gtest.h>
#include <richedit.h>

#include <filesystem>
#include <string>
#include <vector>

#include "editor/document_window.h"
#include "editor/editor.h"
#include "editor/text_control.h"
#include "resource.h"
#include "support/dialog_answerer.h"
#include "support/gui_fixture.h"
#include "support/test_files.h"
#include "ui/app_state.h"

namespace quillon::test {
namespace {

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
    // Down in the filter field moves through the list: the second of COUNT, SHOW, MAIN.loop.
    SetControlText(dialog, IDC_GOTOSYMBOL_FILTER, "o");
    SendMessageA(GetDlgItem(dialog, IDC_GOTOSYMBOL_FILTER), WM_KEYDOWN, VK_DOWN, 0);
    PressButton(dialog, IDOK);
  });
  Key('O', true, true);
  ASSERT_EQ(answerer.Seen().size(), 1u);
  EXPECT_EQ(all, (std::vector<std::string>{"COUNT\tEQU\tdefs.inc:2", "SHOW\tmacro\tdefs.inc:3",
                                           "MAIN\tPROC\tmain.asm:2", "MAIN.loop\tlocal label\tmain.asm:4"}));
  EXPECT_EQ(filtered, (std::vector<std::string>{"COUNT\tEQU\tdefs.inc:2"}));
  EXPECT_EQ(Where(), std::make_pair(defs_, 2)) << "SHOW";
}

}  // namespace
}  // namespace quillon::test
