#include "assemble/output_pane.h"

#include <cstring>

#include "base/full_path.h"
#include "editor/document_window.h"
#include "editor/editor.h"
#include "resource.h"
#include "ui/app_state.h"
#include "ui/frame_hooks.h"
#include "ui/reporting.h"
#include "ui/window.h"

namespace quillon {

namespace {

// Operations another thread asks the pane window to carry out (SendMessage, so the caller waits).
constexpr UINT kPaneClear = WM_USER + 1;
constexpr UINT kPaneShow = WM_USER + 2;
constexpr UINT kPaneAddLine = WM_USER + 3;  // lParam: const PaneLine*

struct PaneLine {
  const std::string* text;
  const std::string* file;
  int line;
};

constexpr UINT_PTR kFlushTimer = 1;
// The widest scroll extent the list box is given: scroll positions are 16-bit values.
constexpr int kLargestExtent = 32767;
constexpr COLORREF kErrorColour = RGB(200, 0, 0);
constexpr COLORREF kWarningColour = RGB(176, 96, 0);  // dark orange

// The editor's font, as the settings name it, in a fixed pitch whatever face stands in for it.
HFONT CreatePaneFont() {
  HDC screen = GetDC(nullptr);
  const int twips = g_settings.fontSize > 0 ? g_settings.fontSize : 200;
  const int height = -MulDiv(twips, GetDeviceCaps(screen, LOGPIXELSY), 1440);
  ReleaseDC(nullptr, screen);
  return CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, g_settings.fontName.c_str());
}

int FontLineHeight(HFONT font) {
  HDC screen = GetDC(nullptr);
  HGDIOBJ old = SelectObject(screen, font ? font : GetStockObject(SYSTEM_FIXED_FONT));
  TEXTMETRICA metrics{};
  GetTextMetricsA(screen, &metrics);
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  return metrics.tmHeight > 0 ? metrics.tmHeight : 16;
}

void RegisterOutputPaneClass(HINSTANCE instance) {
  WindowClassSpec spec;
  spec.name = kOutputPaneClass;
  spec.procedure = WindowObject::ClassProcedure<OutputPane>;
  RegisterWindowClass(instance, spec);  // fails harmlessly when already registered
}

}  // namespace

OutputPane::OutputPane(HWND frame, HINSTANCE instance) : frame_(frame), instance_(instance) {
  RegisterOutputPaneClass(instance_);
  HWND window =
      Create(0, kOutputPaneClass, WS_CHILD | WS_VISIBLE | WS_BORDER | WS_THICKFRAME, frame_, IDC_OUTPUTPANE, instance_);
  if (!window) ShowLastErrorBox("Unable to create OutputPane window");
  font_ = CreatePaneFont();
  lineHeight_ = FontLineHeight(font_);
  list_ = CreateWindowExA(0, "listbox", nullptr,
                          WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_HASSTRINGS |
                              LBS_NOINTEGRALHEIGHT | LBS_DISABLENOSCROLL | LBS_OWNERDRAWFIXED | LBS_WANTKEYBOARDINPUT |
                              LBS_EXTENDEDSEL,
                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window,
                          reinterpret_cast<HMENU>(IDC_OUTPUTLIST), instance_, nullptr);
  if (!list_) ShowLastErrorBox("Unable to create ListBox");
  if (font_) SendMessageA(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  ShowWindow(list_, SW_SHOWNORMAL);
  Show();
}

OutputPane::~OutputPane() {
  if (HWND window = Handle()) DestroyWindow(window);
  if (font_) DeleteObject(font_);
}

void OutputPane::AddLine(const std::string& text, const std::string& file, int line) {
  // Lines come in bursts: the list redraws (and scrolls) once per burst, not once per line,
  // which under some platforms costs far more than the line itself.
  if (!batching_) {
    batching_ = true;
    followEnd_ = IsLastLineVisible();
    SendMessageA(list_, WM_SETREDRAW, FALSE, 0);
    if (Handle()) SetTimer(Handle(), kFlushTimer, 40, nullptr);
  }
  LRESULT index = SendMessageA(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  if (index < 0) return;
  kinds_.resize(static_cast<std::size_t>(index) + 1, OutputLineKind::kPlain);
  texts_.resize(static_cast<std::size_t>(index) + 1);
  texts_[static_cast<std::size_t>(index)] = text;
  if (!file.empty()) {
    const OutputLineKind kind = KindOfOutputLine(text);
    kinds_[static_cast<std::size_t>(index)] = kind;
    if (kind != OutputLineKind::kPlain) {
      std::string full;
      BuildMarks().Add(ResolveFullPath(file, full) ? full : file, line,
                       kind == OutputLineKind::kError ? MarkKind::kError : MarkKind::kWarning);
      marksChanged_ = true;
    }
    locations_.push_back(std::make_unique<ErrorLocation>(ErrorLocation{file, line}));
    SendMessageA(list_, LB_SETITEMDATA, index, reinterpret_cast<LPARAM>(locations_.back().get()));
  }
  FitExtent(text);
}

void OutputPane::Flush() {
  if (!batching_) return;
  batching_ = false;
  if (Handle()) KillTimer(Handle(), kFlushTimer);
  SendMessageA(list_, WM_SETREDRAW, TRUE, 0);
  SendMessageA(list_, LB_SETHORIZONTALEXTENT, extent_, 0);
  const int count = static_cast<int>(SendMessageA(list_, LB_GETCOUNT, 0, 0));
  if (followEnd_ && count > 0) FollowNewLine(count - 1);
  InvalidateRect(list_, nullptr, TRUE);
  if (marksChanged_) {
    marksChanged_ = false;
    RefreshGutters();
  }
}

void OutputPane::Clear() {
  Flush();
  SendMessageA(list_, LB_RESETCONTENT, 0, 0);
  locations_.clear();
  kinds_.clear();
  texts_.clear();
  if (!BuildMarks().Empty()) {
    BuildMarks().Clear();
    RefreshGutters();
  }
  extent_ = 0;
  SendMessageA(list_, LB_SETHORIZONTALEXTENT, 0, 0);
  ClearStatusNote();  // a note of F4 was about these lines
}

OutputLineKind OutputPane::KindOf(int index) const {
  return index >= 0 && index < static_cast<int>(kinds_.size()) ? kinds_[static_cast<std::size_t>(index)]
                                                               : OutputLineKind::kPlain;
}

// True when the last line is in view (or there is none): new lines then keep it in view.
bool OutputPane::IsLastLineVisible() const {
  const int count = static_cast<int>(SendMessageA(list_, LB_GETCOUNT, 0, 0));
  if (count <= 0) return true;
  RECT area{};
  GetClientRect(list_, &area);
  const int visible = lineHeight_ > 0 ? (area.bottom - area.top) / lineHeight_ : 1;
  const int top = static_cast<int>(SendMessageA(list_, LB_GETTOPINDEX, 0, 0));
  return top + (visible > 0 ? visible : 1) >= count;
}

// Scrolls so that line `index` shows at the bottom.
void OutputPane::FollowNewLine(int index) {
  RECT area{};
  GetClientRect(list_, &area);
  int visible = lineHeight_ > 0 ? (area.bottom - area.top) / lineHeight_ : 1;
  if (visible < 1) visible = 1;
  const int top = index - visible + 1;
  if (top > static_cast<int>(SendMessageA(list_, LB_GETTOPINDEX, 0, 0))) SendMessageA(list_, LB_SETTOPINDEX, top, 0);
}

void OutputPane::FitExtent(const std::string& text) {
  HDC dc = GetDC(list_);
  HGDIOBJ old = font_ ? SelectObject(dc, font_) : nullptr;
  // The font has a fixed pitch: the width is the character count times one character's width
  // (measuring a listing's 100,000-character line is slow and may fail).
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  if (old) SelectObject(dc, old);
  ReleaseDC(list_, dc);
  const long long width = static_cast<long long>(text.size()) * metrics.tmAveCharWidth + 8;
  const int limited = width > kLargestExtent ? kLargestExtent : static_cast<int>(width);
  if (limited > extent_) extent_ = limited;
}

void OutputPane::DrawLine(const DRAWITEMSTRUCT& item) {
  if (item.itemID == static_cast<UINT>(-1)) return;
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  const int index = static_cast<int>(item.itemID);
  // From the pane's own copy: the list box's text of a very long line is not read back.
  static const std::string kNone;
  const std::string& text = index < static_cast<int>(texts_.size()) ? texts_[static_cast<std::size_t>(index)] : kNone;
  COLORREF colour = GetSysColor(COLOR_WINDOWTEXT);
  if (selected)
    colour = GetSysColor(COLOR_HIGHLIGHTTEXT);
  else if (KindOf(index) == OutputLineKind::kError)
    colour = kErrorColour;
  else if (KindOf(index) == OutputLineKind::kWarning)
    colour = kWarningColour;
  HDC dc = item.hDC;
  SetBkColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  SetTextColor(dc, colour);
  HGDIOBJ old = font_ ? SelectObject(dc, font_) : nullptr;
  // The font has a fixed pitch: only the characters that fall in the visible width are drawn,
  // so a very long line (a listing's 100,000 characters) costs no more than a short one.
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  std::size_t first = 0, count = text.size();
  RECT area{};
  if (metrics.tmAveCharWidth > 0 && GetClientRect(list_, &area)) {
    const long width = metrics.tmAveCharWidth;
    const long hidden = -(item.rcItem.left + 2);
    if (hidden > 0) first = std::min(text.size(), static_cast<std::size_t>(hidden / width));
    count = std::min(text.size() - first, static_cast<std::size_t>((area.right - area.left) / width + 2));
  }
  ExtTextOutA(dc, item.rcItem.left + 2 + static_cast<int>(first) * metrics.tmAveCharWidth, item.rcItem.top, ETO_OPAQUE,
              &item.rcItem, text.c_str() + first, static_cast<UINT>(count), nullptr);
  if (old) SelectObject(dc, old);
  if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &item.rcItem);
}

int OutputPane::CurrentLine() const {
  if (SendMessageA(list_, LB_GETSELCOUNT, 0, 0) <= 0) return -1;
  const int caret = static_cast<int>(SendMessageA(list_, LB_GETCARETINDEX, 0, 0));
  if (caret >= 0 && SendMessageA(list_, LB_GETSEL, caret, 0) > 0) return caret;
  int first = -1;
  SendMessageA(list_, LB_GETSELITEMS, 1, reinterpret_cast<LPARAM>(&first));
  return first;
}

void OutputPane::SelectLine(int index) {
  SendMessageA(list_, LB_SETSEL, FALSE, -1);
  SendMessageA(list_, LB_SETSEL, TRUE, index);
  SendMessageA(list_, LB_SETCARETINDEX, index, FALSE);
}

bool OutputPane::CopySelection() {
  Flush();
  const LRESULT count = SendMessageA(list_, LB_GETSELCOUNT, 0, 0);
  if (count <= 0) return false;
  std::vector<int> selected(static_cast<std::size_t>(count));
  SendMessageA(list_, LB_GETSELITEMS, count, reinterpret_cast<LPARAM>(selected.data()));
  std::string text;
  for (int index : selected) {
    if (index < 0 || index >= static_cast<int>(texts_.size())) continue;
    text += texts_[static_cast<std::size_t>(index)] + "\r\n";
  }
  if (!OpenClipboard(Handle())) return false;
  bool copied = false;
  EmptyClipboard();
  if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1)) {
    if (char* bytes = static_cast<char*>(GlobalLock(memory))) {
      memcpy(bytes, text.c_str(), text.size() + 1);
      GlobalUnlock(memory);
      copied = SetClipboardData(CF_TEXT, memory) != nullptr;
    }
    if (!copied) GlobalFree(memory);
  }
  CloseClipboard();
  return copied;
}

void OutputPane::ShowMenu(LPARAM where) {
  POINT at{static_cast<short>(LOWORD(where)), static_cast<short>(HIWORD(where))};
  if (at.x == -1 && at.y == -1) {  // from the keyboard: at the list's corner
    at = {4, 4};
    ClientToScreen(list_, &at);
  }
  HMENU menu = CreatePopupMenu();
  if (!menu) return;
  const bool any = SendMessageA(list_, LB_GETSELCOUNT, 0, 0) > 0;
  AppendMenuA(menu, MF_STRING | (any ? 0 : MF_GRAYED), IDM_OUTPUT_COPY, "&Copy\tCtrl+C");
  AppendMenuA(menu, MF_STRING, IDM_OUTPUT_CLEAR, "C&lear");
  const int chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, Handle(), nullptr);
  DestroyMenu(menu);
  if (chosen == IDM_OUTPUT_COPY) CopySelection();
  if (chosen == IDM_OUTPUT_CLEAR) Clear();
}

void OutputPane::Show() {
  shown_ = true;
  ShowWindow(Handle(), SW_SHOWNORMAL);
  PanesChanged();
}

void OutputPane::Hide() {
  shown_ = false;
  ShowWindow(Handle(), SW_HIDE);
  PanesChanged();
}

void OutputPane::Move(int x, int y, int width, int height) { MoveWindow(Handle(), x, y, width, height, TRUE); }

bool OutputPane::OnSize(WPARAM, int width, int height) {
  if (!list_) return false;  // still being created
  MoveWindow(list_, 0, 0, width, height, TRUE);
  PanesChanged();
  return false;
}

// Only the top edge may be dragged: any other edge gets the current rectangle back.
bool OutputPane::OnSizing(WPARAM edge, RECT* proposed) {
  if (edge != WMSZ_TOP) GetWindowRect(Handle(), proposed);
  return false;
}

bool OutputPane::OnCommand(WPARAM wParam, LPARAM) {
  if (LOWORD(wParam) == IDC_OUTPUTLIST && HIWORD(wParam) == LBN_DBLCLK) OnDoubleClick();
  return false;
}

bool OutputPane::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_MEASUREITEM:
      reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = static_cast<UINT>(lineHeight_);
      break;
    case WM_DRAWITEM:
      DrawLine(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      break;
    case WM_VKEYTOITEM:
      // Ctrl+C copies; every other key does what it does in a list.
      if (LOWORD(wParam) == 'C' && GetKeyState(VK_CONTROL) < 0) {
        CopySelection();
        result = -2;
      } else {
        result = -1;
      }
      return true;
    case WM_CONTEXTMENU:
      ShowMenu(lParam);
      break;
    case WM_TIMER:
      if (wParam != kFlushTimer) return false;
      Flush();
      break;
    case kPaneClear:
      Clear();
      break;
    case kPaneShow:
      Show();
      break;
    case kPaneAddLine: {
      const auto* line = reinterpret_cast<const PaneLine*>(lParam);
      AddLine(*line->text, *line->file, line->line);
      break;
    }
    default:
      return false;
  }
  result = 1;
  return true;
}

void OutputPane::OnDoubleClick() {
  const int selected = CurrentLine();
  if (selected < 0) return;
  LRESULT data = SendMessageA(list_, LB_GETITEMDATA, selected, 0);
  if (data == 0 || data == LB_ERR) return;
  // Copy first: opening a document may run messages that change the list.
  ErrorLocation target = *reinterpret_cast<const ErrorLocation*>(data);
  OpenDocumentAtLine(target.file, target.line);
}

void OutputPane::OpenLine(int index) {
  LRESULT data = SendMessageA(list_, LB_GETITEMDATA, index, 0);
  if (data == 0 || data == LB_ERR) return;
  // Copy first: opening a document may run messages that change the list.
  ErrorLocation target = *reinterpret_cast<const ErrorLocation*>(data);
  if (!OpenDocumentAtLine(target.file, target.line)) return;
  if (target.line >= 0) ShowDocumentLine(g_app.activeDocument, target.line, true);
}

bool OutputPane::GoToError(bool forward) {
  Flush();
  std::vector<bool> targets(kinds_.size(), false);
  for (std::size_t i = 0; i < targets.size(); ++i) {
    LRESULT data = SendMessageA(list_, LB_GETITEMDATA, static_cast<WPARAM>(i), 0);
    targets[i] = data != 0 && data != LB_ERR;
  }
  const ErrorStep step = StepToErrorLine(targets, kinds_, CurrentLine(), forward);
  ShowStatusNote(step.note.c_str());
  if (step.line < 0) return false;
  SelectLine(step.line);
  OpenLine(step.line);
  return true;
}

void PaneMessenger::AddLine(const std::string& text, const std::string& file, int line) {
  PaneLine request{&text, &file, line};
  SendMessageA(pane_, kPaneAddLine, 0, reinterpret_cast<LPARAM>(&request));
}

void PaneMessenger::Clear() { SendMessageA(pane_, kPaneClear, 0, 0); }

void PaneMessenger::Show() { SendMessageA(pane_, kPaneShow, 0, 0); }

}  // namespace quillon
