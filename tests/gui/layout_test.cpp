// Save's enabled state, which follows the active document, and the menu help of the status bar.
#include "app/layout.h"

#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "editor/document_window.h"
#include "editor/editor.h"
#include "resource.h"
#include "support/gui_fixture.h"
#include "support/test_files.h"
#include "ui/app_state.h"

namespace quillon::test {
namespace layout_test {

bool SaveIsEnabled(HWND frame) {
  const bool menu = !(GetMenuState(GetMenu(frame), IDM_FILE_SAVE, MF_BYCOMMAND) & MF_GRAYED);
  const bool button = SendMessageA(g_app.toolBar, TB_ISBUTTONENABLED, IDM_FILE_SAVE, 0) != 0;
  EXPECT_EQ(menu, button);
  return menu && button;
}

void Type(HWND window, const std::string& text) {
  for (char c : text) SendMessageA(DocumentTextControl(window), WM_CHAR, static_cast<unsigned char>(c), 0);
}

class MenuAndSaveTest : public FrameTest {
 protected:
  void TearDown() override {
    for (HWND child = GetWindow(g_app.mdiClient, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
      SetDocumentChanged(child, false);
    FrameTest::TearDown();
  }
};

TEST_F(MenuAndSaveTest, SaveFollowsTheActiveDocumentNotTheOneThatChangedLast) {
  const std::string folder = TempFolder("quillon_save_state");
  WriteText(folder + "\\a.asm", "; a\r\n");
  WriteText(folder + "\\b.asm", "; b\r\n");
  EXPECT_FALSE(SaveIsEnabled(frame_));
  ASSERT_TRUE(OpenDocumentAtLine(folder + "\\a.asm", -1));
  HWND a = g_app.activeDocument;
  ASSERT_TRUE(OpenDocumentAtLine(folder + "\\b.asm", -1));
  HWND b = g_app.activeDocument;
  ASSERT_NE(a, b);
  Type(b, "x");
  EXPECT_TRUE(SaveIsEnabled(frame_));
  SendMessageA(g_app.mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(a), 0);
  EXPECT_FALSE(SaveIsEnabled(frame_)) << "a is unchanged";
  Type(a, "y");
  EXPECT_TRUE(SaveIsEnabled(frame_));
  // b is saved while a stays active and changed: Save stays on for a.
  ASSERT_TRUE(SaveDocument(b));
  EXPECT_EQ(g_app.activeDocument, a);
  EXPECT_TRUE(SaveIsEnabled(frame_));
  ASSERT_TRUE(SaveDocument(a));
  EXPECT_FALSE(SaveIsEnabled(frame_));
}

// The simple-mode text (Wine reports it as part 0).
std::string StatusText() {
  char text[512] = "";
  SendMessageA(g_app.statusBar, SB_GETTEXTA, 255, reinterpret_cast<LPARAM>(text));
  if (!text[0]) SendMessageA(g_app.statusBar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
  return text;
}

TEST_F(MenuAndSaveTest, TheSystemMenuShowsNoHelpAndClosingTheMenuLeavesSimpleMode) {
  HMENU file = GetSubMenu(GetMenu(frame_), 0);
  SendMessageA(frame_, WM_MENUSELECT, MAKEWPARAM(IDM_FILE_OPEN, MF_HILITE), reinterpret_cast<LPARAM>(file));
  EXPECT_EQ(StatusText(), "Open existing document");
  SendMessageA(frame_, WM_MENUSELECT, MAKEWPARAM(SC_CLOSE, MF_SYSMENU | MF_HILITE),
               reinterpret_cast<LPARAM>(GetSystemMenu(frame_, FALSE)));
  EXPECT_EQ(StatusText(), "") << "the help of a command stays shown over the system menu";
  SendMessageA(frame_, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
  EXPECT_FALSE(SendMessageA(g_app.statusBar, SB_ISSIMPLE, 0, 0));
}

}  // namespace layout_test
}  // namespace quillon::test
