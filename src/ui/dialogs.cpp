#include "ui/dialogs.h"

namespace quillon {

void CentreOnScreen(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  const int width = r.right - r.left, height = r.bottom - r.top;
  const int x = GetSystemMetrics(SM_CXSCREEN) / 2 - width / 2;
  const int y = GetSystemMetrics(SM_CYSCREEN) / 2 - height / 2;
  MoveWindow(window, x, y, width, height, TRUE);
}

void CentreOver(HWND window, HWND other) {
  RECT r, o;
  GetWindowRect(window, &r);
  if (!other || !GetWindowRect(other, &o)) return;
  const int x = o.left + (o.right - o.left) / 2 - (r.right - r.left) / 2;
  const int y = o.top + (o.bottom - o.top) / 2 - (r.bottom - r.top) / 2;
  SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
}

}  // namespace quillon
