// The one base of the program's dialogs: the procedure, the object behind DWLP_USER, and the
// helpers every dialog uses (ticks, field texts read whole, a combo filled from a recent list).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace quillon {

class Dialog {
 public:
  Dialog() = default;
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;
  virtual ~Dialog() = default;

  // Shows the dialog of resource `templateId` modally, owned by `owner`; the value given to
  // End, or -1 when it could not be shown.
  INT_PTR RunModal(HWND owner, int templateId);
  // The procedure of a property sheet page whose PROPSHEETPAGEA::lParam is its Dialog.
  static INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
  // The object of a dialog shown through this base, or null.
  static Dialog* Of(HWND dialog);

  HWND Handle() const { return handle_; }

 protected:
  // WM_INITDIALOG: true lets the system set the focus, false when the dialog has set it.
  virtual bool OnInit() { return true; }
  // WM_COMMAND: true when handled.
  virtual bool OnCommand(int id, int code);
  // WM_NOTIFY: true when handled (a page sets DWLP_MSGRESULT itself).
  virtual bool OnNotify(const NMHDR&) { return false; }
  // Any other message (sizing, owner drawing): true when handled, with the dialog's `result`.
  virtual bool OnMessage(UINT, WPARAM, LPARAM, INT_PTR&) { return false; }

  void End(INT_PTR result) { EndDialog(handle_, result); }
  HWND Item(int id) const { return GetDlgItem(handle_, id); }
  bool IsTicked(int id) const { return IsDlgButtonChecked(handle_, id) == BST_CHECKED; }
  void Tick(int id, bool on) { CheckDlgButton(handle_, id, on ? BST_CHECKED : BST_UNCHECKED); }
  void Enable(int id, bool on) { EnableWindow(Item(id), on ? TRUE : FALSE); }
  // The text of a control, whatever its length.
  std::string Text(int id) const;
  void SetText(int id, const std::string& text) { SetDlgItemTextA(handle_, id, text.c_str()); }
  // Fills the combo `id` with `recent` (oldest first), the newest at the top.
  void FillFromRecent(int id, const std::vector<std::string>& recent);
  // Centres the dialog over its owner.
  void CentreOverOwner();

 private:
  static INT_PTR CALLBACK Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  static Dialog* Attach(HWND dialog, LPARAM object);
  INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

  HWND handle_ = nullptr;
};

// The text of a window, whatever its length.
std::string WindowText(HWND window);
// The height of a line in the window's own font.
int FontHeightOf(HWND window);
// The module the program's dialog templates come from.
HINSTANCE ResourceModule();

}  // namespace quillon
