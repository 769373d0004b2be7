// Save's enabled state in the menu and on the toolbar, which follows the active document.
#include "app/layout.h"

#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "editor/document.h"
#include "editor/document_window.h"
#include "resource.h"
#include "support/gui_fixture.h"
#include "support/test_files.h"
#include "ui/app_state.h"

namespace quillon::test {
namespace {

bool SaveIsEnabled(HWND frame) {
  const bool menu = !(GetMenuState(GetMenu(frame), IDM_FILE_SAVE, MF_BYCOMMAND) & MF_GRAYED);
  const bool button = SendMessageA(g_app.toolBar, TB_ISBUTTONENABLED, IDM_FILE_SAVE, 0) != 0;
  EXPECT_EQ(menu, button);
  return menu && button;
}

void Type(HWND window, const std::string& text) {
  for (char c : text) SendMessageA(GetDocument(window)->edit, WM_CHAR, static_cast<unsigned char>(c), 0);
}

class SaveStateTest : public FrameTest {
 protected:
  void TearDown() override {
    for (HWND child = GetWindow(g_app.mdiClient, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
      if (Document* d = GetDocument(child)) d->modified = false;
    FrameTest::TearDown();
  }
};

TEST_F(SaveStateTest, SaveFollowsTheActiveDocumentNotTheOneThatChangedLast) {
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

}  // namespace
}  // namespace quillon::test
