#include "assemble/output_pane.h"

#include "editor/document_window.h"
#include "resource.h"
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

void RegisterPaneClass(HINSTANCE instance) {
  WindowClassSpec spec;
  spec.name = kOutputPaneClass;
  spec.procedure = WindowObject::ClassProcedure<OutputPane>;
  RegisterWindowClass(instance, spec);  // fails harmlessly when already registered
}

}  // namespace

OutputPane::OutputPane(HWND frame, HINSTANCE instance) : frame_(frame), instance_(instance) {
  RegisterPaneClass(instance_);
  HWND window =
      Create(0, kOutputPaneClass, WS_CHILD | WS_VISIBLE | WS_BORDER | WS_THICKFRAME, frame_, IDC_OUTPUTPANE, instance_);
  if (!window) ShowLastErrorBox("Unable to create OutputPane window");
  list_ = CreateWindowExA(0, "listbox", nullptr,
                          WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_HASSTRINGS |
                              LBS_NOINTEGRALHEIGHT | LBS_DISABLENOSCROLL,
                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window,
                          reinterpret_cast<HMENU>(IDC_OUTPUTLIST), instance_, nullptr);
  if (!list_) ShowLastErrorBox("Unable to create ListBox");
  ShowWindow(list_, SW_SHOWNORMAL);
  Show();
}

OutputPane::~OutputPane() {
  if (HWND window = Handle()) DestroyWindow(window);
}

void OutputPane::AddLine(const std::string& text, const std::string& file, int line) {
  LRESULT index = SendMessageA(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  if (file.empty() || index < 0) return;
  locations_.push_back(std::make_unique<ErrorLocation>(ErrorLocation{file, line}));
  SendMessageA(list_, LB_SETITEMDATA, index, reinterpret_cast<LPARAM>(locations_.back().get()));
}

void OutputPane::Clear() {
  SendMessageA(list_, LB_RESETCONTENT, 0, 0);
  locations_.clear();
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

bool OutputPane::OnMessage(UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
  switch (message) {
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
  LRESULT selected = SendMessageA(list_, LB_GETCURSEL, 0, 0);
  if (selected < 0) return;
  LRESULT data = SendMessageA(list_, LB_GETITEMDATA, selected, 0);
  if (data == 0 || data == LB_ERR) return;
  // Copy first: opening a document may run messages that change the list.
  ErrorLocation target = *reinterpret_cast<const ErrorLocation*>(data);
  OpenDocumentAtLine(target.file, target.line);
}

void PaneMessenger::AddLine(const std::string& text, const std::string& file, int line) {
  PaneLine request{&text, &file, line};
  SendMessageA(pane_, kPaneAddLine, 0, reinterpret_cast<LPARAM>(&request));
}

void PaneMessenger::Clear() { SendMessageA(pane_, kPaneClear, 0, 0); }

void PaneMessenger::Show() { SendMessageA(pane_, kPaneShow, 0, 0); }

}  // namespace quillon
