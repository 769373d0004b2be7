#include "ui/dialog.h"

#include <commctrl.h>

#include "ui/app_state.h"
#include "ui/dialogs.h"

namespace quillon {

HINSTANCE ResourceModule() { return g_app.instance ? g_app.instance : GetModuleHandleA(nullptr); }

int FontHeightOf(HWND window) {
  HDC dc = GetDC(window);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)));
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  return metrics.tmHeight;
}

std::string WindowText(HWND window) {
  const int length = GetWindowTextLengthA(window);
  if (length <= 0) return std::string();
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const int copied = GetWindowTextA(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(copied < 0 ? 0 : copied));
  return text;
}

INT_PTR Dialog::RunModal(HWND owner, int templateId) {
  return DialogBoxParamA(ResourceModule(), MAKEINTRESOURCEA(templateId), owner, Proc, reinterpret_cast<LPARAM>(this));
}

Dialog* Dialog::Of(HWND dialog) { return reinterpret_cast<Dialog*>(GetWindowLongPtrA(dialog, DWLP_USER)); }

Dialog* Dialog::Attach(HWND dialog, LPARAM object) {
  auto* self = reinterpret_cast<Dialog*>(object);
  if (!self) return nullptr;
  self->handle_ = dialog;
  SetWindowLongPtrA(dialog, DWLP_USER, object);
  return self;
}

INT_PTR CALLBACK Dialog::Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  Dialog* self = message == WM_INITDIALOG ? Attach(dialog, lParam) : Of(dialog);
  return self ? self->Dispatch(message, wParam, lParam) : FALSE;
}

INT_PTR CALLBACK Dialog::PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  Dialog* self = message == WM_INITDIALOG ? Attach(page, reinterpret_cast<PROPSHEETPAGEA*>(lParam)->lParam) : Of(page);
  return self ? self->Dispatch(message, wParam, lParam) : FALSE;
}

INT_PTR Dialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return OnInit() ? TRUE : FALSE;
    case WM_COMMAND:
      return OnCommand(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    case WM_NOTIFY:
      return OnNotify(*reinterpret_cast<NMHDR*>(lParam)) ? TRUE : FALSE;
  }
  INT_PTR result = FALSE;
  return OnMessage(message, wParam, lParam, result) ? result : FALSE;
}

bool Dialog::OnCommand(int id, int) {
  if (id != IDCANCEL) return false;
  End(0);
  return true;
}

std::string Dialog::Text(int id) const { return WindowText(Item(id)); }

void Dialog::FillFromRecent(int id, const std::vector<std::string>& recent) {
  HWND combo = Item(id);
  for (auto it = recent.rbegin(); it != recent.rend(); ++it)
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(it->c_str()));
}

void Dialog::CentreOverOwner() { CentreOver(handle_, GetWindow(handle_, GW_OWNER)); }

}  // namespace quillon
