// A real frame window for each GUI test, and helpers to drive it.
#pragma once

#include <windows.h>
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>

namespace quillon::test {

// Dispatches pending messages of this thread for about `milliseconds`.
void PumpMessages(int milliseconds = 0);
// Pumps until `done` is true or `timeoutMs` has passed; returns `done()`.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 5000);
// The window's rectangle in the client coordinates of `parent`.
RECT RectIn(HWND window, HWND parent);

// A text control's selection, comparable and printable in expectations.
struct Sel {
  long start, end;
  bool operator==(const Sel&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Sel& s);
Sel SelectionOf(HWND edit);
// Puts `text` on the clipboard as CF_TEXT.
void PutOnClipboard(const std::string& text);
// Skips the test without a double-byte code page; fails it when the run asked for one (ctest's
// gui_double_byte runs the tests named *DoubleByte* under Wine's Japanese locale). The caller
// returns when IsSkipped() or HasFatalFailure().
void NeedDoubleByteCodePage();

class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Sends a command as a menu item would.
  void Command(int id) { SendMessageA(frame_, WM_COMMAND, MAKEWPARAM(id, 0), 0); }
  // Presses `key` (with Ctrl, Shift and/or Alt held) as the program's message loop takes it: through
  // the program's accelerator table, else to the focused window (the frame when none). What the
  // key posts on (a WM_CHAR) is left for the next pump.
  void Key(WORD key, bool ctrl = false, bool shift = false, bool alt = false);
  // A new document holding `text`, the caret at its start; returns its text control.
  HWND NewDocumentWith(const std::string& text);
  HWND frame_ = nullptr;
};

}  // namespace quillon::test
