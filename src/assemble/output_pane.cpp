#include "assemble/output_pane.h"

#include "editor/document_window.h"
#include "resource.h"
#include "ui/frame_hooks.h"
#include "ui/reporting.h"

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

// The one pane of the process, for its window procedure.
OutputPane* g_pane = nullptr;

// Only the top edge may be dragged: any other edge gets the current rectangle back.
void KeepAllButTopEdge(HWND window, WPARAM edge, LPARAM lParam) {
  if (edge == WMSZ_TOP) return;
  GetWindowRect(window, reinterpret_cast<RECT*>(lParam));
}

bool OnPaneRequest(HWND window, UINT message, LPARAM lParam) {
  if (!g_pane || g_pane->Window() != window) return false;
  switch (message) {
    case kPaneClear:
      g_pane->Clear();
      return true;
    case kPaneShow:
      g_pane->Show();
      return true;
    case kPaneAddLine: {
      const auto* line = reinterpret_cast<const PaneLine*>(lParam);
      g_pane->AddLine(*line->text, *line->file, line->line);
      return true;
    }
  }
  return false;
}

LRESULT CALLBACK OutputPaneProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      g_pane = static_cast<OutputPane*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
      break;
    case WM_SIZE:
      if (g_pane && g_pane->Window() == window) g_pane->OnSize(LOWORD(lParam), HIWORD(lParam));
      break;
    case WM_SIZING:
      KeepAllButTopEdge(window, wParam, lParam);
      break;
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_OUTPUTLIST && HIWORD(wParam) == LBN_DBLCLK && g_pane && g_pane->Window() == window)
        g_pane->OnDoubleClick();
      break;
    case kPaneClear:
    case kPaneShow:
    case kPaneAddLine:
      return OnPaneRequest(window, message, lParam) ? 1 : 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterPaneClass(HINSTANCE instance) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = OutputPaneProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_QUILLON));
  wc.hIconSm = wc.hIcon;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = kOutputPaneClass;
  RegisterClassExA(&wc);  // fails harmlessly when already registered
}

}  // namespace

OutputPane::OutputPane(HWND frame, HINSTANCE instance) : frame_(frame), instance_(instance) {
  RegisterPaneClass(instance_);
  window_ = CreateWindowExA(0, kOutputPaneClass, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER | WS_THICKFRAME,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, frame_,
                            reinterpret_cast<HMENU>(IDC_OUTPUTPANE), instance_, this);
  if (!window_) ShowLastErrorBox("Unable to create OutputPane window");
  list_ = CreateWindowExA(0, "listbox", nullptr,
                          WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_HASSTRINGS |
                              LBS_NOINTEGRALHEIGHT | LBS_DISABLENOSCROLL,
                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_,
                          reinterpret_cast<HMENU>(IDC_OUTPUTLIST), instance_, nullptr);
  if (!list_) ShowLastErrorBox("Unable to create ListBox");
  ShowWindow(list_, SW_SHOWNORMAL);
  Show();
}

OutputPane::~OutputPane() {
  if (g_pane == this) g_pane = nullptr;
  if (window_ && IsWindow(window_)) DestroyWindow(window_);
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
  ShowWindow(window_, SW_SHOWNORMAL);
  PanesChanged();
}

void OutputPane::Hide() {
  shown_ = false;
  ShowWindow(window_, SW_HIDE);
  PanesChanged();
}

void OutputPane::Move(int x, int y, int width, int height) { MoveWindow(window_, x, y, width, height, TRUE); }

void OutputPane::OnSize(int width, int height) {
  MoveWindow(list_, 0, 0, width, height, TRUE);
  PanesChanged();
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
