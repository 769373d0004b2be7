#include "support/gui_fixture.h"

#include <chrono>
#include <cstdlib>
#include <cstring>

#include "app/frame.h"
#include "assemble/insight_commands.h"
#include "editor/editor.h"
#include "editor/text_control.h"
#include "resource.h"
#include "ui/app_state.h"

namespace quillon::test {

void PumpMessages(int milliseconds) {
  auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  do {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) continue;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (milliseconds > 0) Sleep(5);
  } while (std::chrono::steady_clock::now() < until);
}

void NeedDoubleByteCodePage() {
  CPINFO info{};
  if (GetCPInfo(CP_ACP, &info) && info.MaxCharSize == 2) return;
  if (std::getenv("QUILLON_EXPECT_DOUBLE_BYTE")) FAIL() << "code page " << GetACP() << " is not a double-byte one";
  GTEST_SKIP() << "needs a double-byte code page";
}

void PutOnClipboard(const std::string& text) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
  GlobalUnlock(memory);
  SetClipboardData(CF_TEXT, memory);
  CloseClipboard();
}

HWND FrameTest::NewDocumentWith(const std::string& text) {
  Command(IDM_FILE_NEW);
  HWND document = IsDocumentWindow(g_app.activeDocument) ? g_app.activeDocument : nullptr;
  EXPECT_NE(document, nullptr);
  if (!document) return nullptr;
  SendMessageA(DocumentTextControl(document), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  SetSelection(DocumentTextControl(document), 0, 0);
  return DocumentTextControl(document);
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
  auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() >= until) return false;
    PumpMessages(10);
  }
  return true;
}

RECT RectIn(HWND window, HWND parent) {
  RECT r{};
  GetWindowRect(window, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void FrameTest::SetUp() {
  ForgetLastBuildInsight();  // as at the program's start: no build yet
  frame_ = CreateFrameWindow(GetModuleHandleA(nullptr), SW_SHOWNORMAL);
  ASSERT_NE(frame_, nullptr);
  PumpMessages(50);
}

void FrameTest::Key(WORD key, bool ctrl, bool shift, bool alt) {
  static HACCEL table = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_ACCELERATORS));
  BYTE saved[256] = {}, held[256] = {};
  GetKeyboardState(saved);
  for (int i = 0; i < 256; ++i) held[i] = saved[i];
  held[VK_CONTROL] = held[VK_LCONTROL] = ctrl ? 0x80 : 0;
  held[VK_SHIFT] = held[VK_LSHIFT] = shift ? 0x80 : 0;
  held[VK_MENU] = held[VK_LMENU] = alt ? 0x80 : 0;
  SetKeyboardState(held);
  HWND focus = GetFocus();
  // With Alt held a key arrives as a system key, its context bit set.
  MSG msg{focus ? focus : frame_,
          static_cast<UINT>(alt ? WM_SYSKEYDOWN : WM_KEYDOWN),
          key,
          alt ? 0x20000001 : 1,
          static_cast<DWORD>(GetMessageTime()),
          {}};
  if (!TranslateAcceleratorA(frame_, table, &msg)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  SetKeyboardState(saved);
}

void FrameTest::TearDown() {
  if (IsWindow(frame_)) DestroyWindow(frame_);
  PumpMessages();
}

std::ostream& operator<<(std::ostream& out, const Sel& s) { return out << "[" << s.start << "," << s.end << ")"; }

Sel SelectionOf(HWND edit) {
  Sel s{};
  GetSelection(edit, s.start, s.end);
  return s;
}

}  // namespace quillon::test
