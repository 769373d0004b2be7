#include "editor/go_to_line.h"

#include <richedit.h>

#include <string>

#include "editor/document.h"
#include "editor/gutter.h"
#include "editor/line_jump.h"
#include "editor/text_control.h"
#include "resource.h"
#include "ui/dialog.h"

namespace quillon {

namespace {

// How many whole lines the control shows: its formatting rectangle over the height of a line.
int VisibleLineCount(HWND edit) {
  RECT area{};
  SendMessageA(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&area));
  const int count = LineCount(edit);
  if (count < 2) return 1;
  POINTL first{}, second{};
  SendMessageA(edit, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&first), LineIndex(edit, 0));
  SendMessageA(edit, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&second), LineIndex(edit, 1));
  const long height = second.y - first.y;
  return height > 0 ? static_cast<int>((area.bottom - area.top) / height) : 1;
}

class GoToLineDialog : public Dialog {
 public:
  explicit GoToLineDialog(int lineCount) : lineCount_(lineCount) {}
  int line = -1;

 protected:
  bool OnInit() override {
    CentreOverOwner();
    SetText(IDC_GOTOLINE_RANGE, "Line number (1 - " + std::to_string(lineCount_) + "):");
    return true;
  }
  bool OnCommand(int id, int code) override {
    if (id != IDOK) return Dialog::OnCommand(id, code);
    line = LineFromEntry(Text(IDC_GOTOLINE_NUMBER), lineCount_);
    if (line < 0) {
      MessageBeep(MB_OK);
      HWND number = Item(IDC_GOTOLINE_NUMBER);
      SetFocus(number);
      SendMessageA(number, EM_SETSEL, 0, -1);
      return true;
    }
    End(1);
    return true;
  }

 private:
  int lineCount_;
};

}  // namespace

void ShowLineCentred(HWND edit, int line, bool selectLine) {
  const int count = LineCount(edit);
  if (line < 0 || count <= 0) return;
  if (line >= count) line = count - 1;
  const long start = LineIndex(edit, line);
  const long end = start + static_cast<long>(SendMessageA(edit, EM_LINELENGTH, start, 0));
  // The selection first: the control scrolls it into view, the centring comes after.
  SetSelection(edit, start, selectLine ? end : start);
  ScrollLines(edit, CentredFirstLine(line, VisibleLineCount(edit), count) - FirstVisibleLine(edit));
  SetFocus(edit);
  HWND window = GetParent(edit);
  if (Document* document = GetDocument(window)) GutterAfterScroll(window, *document, true);
}

void GoToLineCommand(HWND frame) {
  Document* document = ActiveDocument();
  if (!document || !document->edit) return;
  GoToLineDialog dialog(LineCount(document->edit));
  if (dialog.RunModal(frame, IDD_GOTOLINE) != 1 || dialog.line < 0) return;
  ShowLineCentred(document->edit, dialog.line, false);
}

}  // namespace quillon
