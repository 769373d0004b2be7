#include "debug/debug_panes.h"

#include <cstdio>
#include <memory>
#include <new>

#include "base/file_io.h"
#include "base/settings.h"
#include "debug/debug_report.h"
#include "debug/watches.h"
#include "project/project_file.h"
#include "resource.h"
#include "ui/app_state.h"
#include "ui/window.h"

namespace quillon {

namespace {

constexpr int kDisassemblyRows = 24;
constexpr int kMemoryRows = 16;
// The least size a kept place may give the panes, and how much of its caption must show.
constexpr int kLeastWidth = 240, kLeastHeight = 160, kGrip = 48;

std::map<std::string, std::vector<std::string>> g_sourceTexts;  // by SourceMap::FileKey

class DebugPanes : public WindowObject {
 public:
  explicit DebugPanes(HWND frame) : frame_(frame) {}  // made here, not by its window
  bool Make(HWND frame);
  void Fill(const PaneView& view);
  std::vector<std::string> watches;

 private:
  bool OnCreate() override;
  bool OnClose() override {
    ShowWindow(Handle(), SW_HIDE);
    return true;
  }
  bool OnSize(WPARAM, int width, int height) override;
  bool OnCommand(WPARAM wParam, LPARAM lParam) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  HWND Child(const char* cls, const char* text, DWORD style, int id);
  void FillRegisters(const PaneView& view);
  void FillDisassembly(const PaneView& view);
  void FillMemoryRows(const PaneView& view);
  void FillWatches(const PaneView& view);
  void AddWatch();

  HWND registers_ = nullptr, disassembly_ = nullptr, memory_ = nullptr, watchList_ = nullptr;
  HWND memoryAddress_ = nullptr, watchName_ = nullptr;
  HWND labels_[4] = {};
  PaneView last_;
  HFONT font_ = nullptr;
  int rowHeight_ = 14;
  HWND frame_;
};

DebugPanes* g_panes = nullptr;
WNDPROC g_editProcedure = nullptr;

// Enter in the watch field adds the watch: the field sends its window IDOK, as a dialog's would.
LRESULT CALLBACK EnterField(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_KEYDOWN && wParam == VK_RETURN) {
    SendMessageA(GetParent(edit), WM_COMMAND, MAKEWPARAM(IDOK, 0), reinterpret_cast<LPARAM>(edit));
    return 0;
  }
  if (message == WM_CHAR && (wParam == '\r' || wParam == '\n')) return 0;
  return CallWindowProcA(g_editProcedure, edit, message, wParam, lParam);
}

HWND DebugPanes::Child(const char* cls, const char* text, DWORD style, int id) {
  HWND child = CreateWindowExA(std::string(cls) == "LISTBOX" || std::string(cls) == "EDIT" ? WS_EX_CLIENTEDGE : 0, cls,
                               text, WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, Handle(),
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), g_app.instance, nullptr);
  SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  return child;
}

bool DebugPanes::OnCreate() {
  font_ = static_cast<HFONT>(GetStockObject(ANSI_FIXED_FONT));
  if (HDC dc = GetDC(Handle())) {
    HGDIOBJ old = SelectObject(dc, font_);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    rowHeight_ = metrics.tmHeight + 1;
    SelectObject(dc, old);
    ReleaseDC(Handle(), dc);
  }
  const DWORD list = WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY;
  labels_[0] = Child("STATIC", "Registers", SS_LEFT, IDC_DEBUG_LABEL_REGISTERS);
  labels_[1] = Child("STATIC", "Disassembly", SS_LEFT, IDC_DEBUG_LABEL_DISASSEMBLY);
  labels_[2] = Child("STATIC", "Memory at", SS_LEFT, IDC_DEBUG_LABEL_MEMORY);
  labels_[3] = Child("STATIC", "Watch", SS_LEFT, IDC_DEBUG_LABEL_WATCHES);
  registers_ = Child("LISTBOX", "", list | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS, IDC_DEBUG_REGISTERS);
  disassembly_ = Child("LISTBOX", "", list, IDC_DEBUG_DISASSEMBLY);
  memoryAddress_ = Child("EDIT", "$0100", ES_AUTOHSCROLL | WS_TABSTOP, IDC_DEBUG_MEMORY_ADDRESS);
  memory_ = Child("LISTBOX", "", list, IDC_DEBUG_MEMORY);
  watchName_ = Child("EDIT", "", ES_AUTOHSCROLL | WS_TABSTOP, IDC_DEBUG_WATCH_NAME);
  watchList_ = Child("LISTBOX", "", list | LBS_WANTKEYBOARDINPUT, IDC_DEBUG_WATCHES);
  g_editProcedure =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrA(watchName_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&EnterField)));
  return true;
}

bool DebugPanes::OnSize(WPARAM, int width, int height) {
  const int gap = 4, label = rowHeight_ + 4, half = width / 2;
  const int top = (height * 55) / 100;
  MoveWindow(labels_[0], gap, gap, half - 2 * gap, label, TRUE);
  MoveWindow(registers_, gap, gap + label, half - 2 * gap, top - label - 2 * gap, TRUE);
  MoveWindow(labels_[1], half + gap, gap, half - 2 * gap, label, TRUE);
  MoveWindow(disassembly_, half + gap, gap + label, width - half - 2 * gap, top - label - 2 * gap, TRUE);
  const int labelWidth = 10 * rowHeight_ / 2;
  MoveWindow(labels_[2], gap, top + 2, labelWidth, label, TRUE);
  MoveWindow(memoryAddress_, gap + labelWidth, top, half - 2 * gap - labelWidth, label + 2, TRUE);
  MoveWindow(memory_, gap, top + label + 2 * gap, half - 2 * gap, height - top - label - 3 * gap, TRUE);
  MoveWindow(labels_[3], half + gap, top + 2, labelWidth, label, TRUE);
  MoveWindow(watchName_, half + gap + labelWidth, top, width - half - 2 * gap - labelWidth, label + 2, TRUE);
  MoveWindow(watchList_, half + gap, top + label + 2 * gap, width - half - 2 * gap, height - top - label - 3 * gap,
             TRUE);
  return true;
}

bool DebugPanes::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (LOWORD(wParam) == IDC_DEBUG_MEMORY_ADDRESS && HIWORD(wParam) == EN_CHANGE) {
    FillMemoryRows(last_);
    return true;
  }
  if (LOWORD(wParam) == IDOK) {  // Enter in one of the fields
    if (reinterpret_cast<HWND>(lParam) == watchName_) AddWatch();
    return true;
  }
  return false;
}

void DebugPanes::AddWatch() {
  char text[256] = "";
  GetWindowTextA(watchName_, text, sizeof text);
  std::string name = text;
  while (!name.empty() && name.back() == ' ') name.pop_back();
  if (name.empty()) return;
  watches.push_back(name);
  SetWindowTextA(watchName_, "");
  FillWatches(last_);
}

bool DebugPanes::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_WINDOWPOSCHANGED: {
      // A place or size the user gives the shown panes is where they open next time.
      const auto* place = reinterpret_cast<const WINDOWPOS*>(lParam);
      if ((place->flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE) && IsWindowVisible(Handle()) &&
          !IsIconic(Handle()) && !IsZoomed(Handle())) {
        RECT r{};
        GetWindowRect(Handle(), &r);
        g_settings.debugPanesLeft = r.left;
        g_settings.debugPanesTop = r.top;
        g_settings.debugPanesWidth = static_cast<std::uint32_t>(r.right - r.left);
        g_settings.debugPanesHeight = static_cast<std::uint32_t>(r.bottom - r.top);
      }
      return false;  // the default handling sends WM_SIZE and WM_MOVE
    }
    case WM_MEASUREITEM:
      reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = static_cast<UINT>(rowHeight_);
      result = TRUE;
      return true;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item->CtlID != IDC_DEBUG_REGISTERS || item->itemID == static_cast<UINT>(-1)) return false;
      char text[128] = "";
      if (SendMessageA(item->hwndItem, LB_GETTEXTLEN, item->itemID, 0) < static_cast<LRESULT>(sizeof text))
        SendMessageA(item->hwndItem, LB_GETTEXT, item->itemID, reinterpret_cast<LPARAM>(text));
      const bool changed = SendMessageA(item->hwndItem, LB_GETITEMDATA, item->itemID, 0) == 1;
      const bool selected = (item->itemState & ODS_SELECTED) != 0;
      FillRect(item->hDC, &item->rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
      SetBkMode(item->hDC, TRANSPARENT);
      SetTextColor(item->hDC, selected  ? GetSysColor(COLOR_HIGHLIGHTTEXT)
                              : changed ? RGB(200, 0, 0)
                                        : GetSysColor(COLOR_WINDOWTEXT));
      HGDIOBJ old = SelectObject(item->hDC, font_);
      RECT r = item->rcItem;
      r.left += 2;
      DrawTextA(item->hDC, text, -1, &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
      SelectObject(item->hDC, old);
      result = TRUE;
      return true;
    }
    case WM_VKEYTOITEM:  // Delete in the watch list removes the watch
      if (reinterpret_cast<HWND>(lParam) == watchList_ && LOWORD(wParam) == VK_DELETE) {
        const LRESULT at = SendMessageA(watchList_, LB_GETCURSEL, 0, 0);
        if (at >= 0 && at < static_cast<LRESULT>(watches.size())) {
          watches.erase(watches.begin() + at);
          FillWatches(last_);
        }
        result = -2;
        return true;
      }
      return false;
  }
  return false;
}

// Puts `rows` into the list, changing only the rows that differ (a step changes few of them).
void SetRows(HWND list, const std::vector<std::pair<std::string, bool>>& rows, int select = -1) {
  const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
  std::vector<char> text;
  bool frozen = false;
  const auto freeze = [&] {
    if (!frozen) SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    frozen = true;
  };
  for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
    const auto& [row, marked] = rows[static_cast<size_t>(i)];
    if (i < count) {
      const LRESULT length = SendMessageA(list, LB_GETTEXTLEN, i, 0);
      text.assign(static_cast<size_t>(length < 0 ? 0 : length) + 1, '\0');
      SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
      if (row == text.data() && (SendMessageA(list, LB_GETITEMDATA, i, 0) == 1) == marked) continue;
      freeze();
      SendMessageA(list, LB_DELETESTRING, i, 0);
    }
    freeze();
    const LRESULT at = SendMessageA(list, LB_INSERTSTRING, i, reinterpret_cast<LPARAM>(row.c_str()));
    if (at >= 0) SendMessageA(list, LB_SETITEMDATA, at, marked ? 1 : 0);
  }
  for (int i = count - 1; i >= static_cast<int>(rows.size()); --i) {
    freeze();
    SendMessageA(list, LB_DELETESTRING, i, 0);
  }
  if (select >= 0 && SendMessageA(list, LB_GETCURSEL, 0, 0) != select) {
    freeze();
    SendMessageA(list, LB_SETCURSEL, select, 0);
  }
  if (!frozen) return;
  SendMessageA(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

void DebugPanes::FillRegisters(const PaneView& view) {
  std::vector<std::pair<std::string, bool>> rows;
  if (!view.machine) {
    rows.push_back({view.status, false});
    SetRows(registers_, rows);
    return;
  }
  const CpuState s = view.machine->State();
  const CpuState* p = view.previous;
  static const char* const kNames[8] = {"R0", "R1", "R2", "R3", "R4", "R5", "R6 SP", "R7 PC"};
  char text[96];
  for (int i = 0; i < 8; ++i) {
    std::snprintf(text, sizeof text, "%-6s $%04X %6u", kNames[i], static_cast<unsigned>(s.r[i]),
                  static_cast<unsigned>(s.r[i]));
    rows.push_back({text, p && p->r[i] != s.r[i]});
  }
  std::snprintf(text, sizeof text, "Flags  %c %c %c %c %c %c", s.s ? 'S' : '-', s.z ? 'Z' : '-', s.o ? 'O' : '-',
                s.c ? 'C' : '-', s.i ? 'I' : '-', s.d ? 'D' : '-');
  rows.push_back({text, p && (p->s != s.s || p->z != s.z || p->o != s.o || p->c != s.c || p->i != s.i || p->d != s.d)});
  std::snprintf(text, sizeof text, "Cycles %llu", static_cast<unsigned long long>(s.cycles));
  std::string cycles = text;
  if (p && s.cycles >= p->cycles) cycles += " (+" + std::to_string(s.cycles - p->cycles) + ")";
  rows.push_back({cycles, false});
  std::snprintf(text, sizeof text, "Frames %llu", static_cast<unsigned long long>(s.frames));
  rows.push_back({text, p && p->frames != s.frames});
  SetRows(registers_, rows);
}

// Where to begin so that the instructions decoded from there meet PC: a line's start a few words
// before it, else PC itself.
uint32_t DisassemblyStart(const Machine& machine, const SourceMap& map, uint32_t pc) {
  for (uint32_t back = 12; back > 0; --back) {
    if (pc < back) continue;
    const uint32_t start = pc - back;
    if (!map.StartsLine(start)) continue;
    uint32_t at = start;
    for (int n = 0; n < 16 && at < pc; ++n) {
      int words = 1;
      machine.Disassemble(at, words);
      at += static_cast<uint32_t>(words < 1 ? 1 : words);
    }
    if (at == pc) return start;
  }
  return pc;
}

void DebugPanes::FillDisassembly(const PaneView& view) {
  std::vector<std::pair<std::string, bool>> rows;
  if (!view.machine) {
    SetRows(disassembly_, rows);
    return;
  }
  const uint32_t pc = view.machine->State().r[7];
  uint32_t at = DisassemblyStart(*view.machine, *view.map, pc);
  SourcePlace shown;
  int current = -1;
  char text[160];
  for (int n = 0; n < kDisassemblyRows && at <= 0xFFFF; ++n) {
    SourcePlace place;
    if (view.map->Find(at, place) && place != shown) {
      const std::vector<std::string>& lines = SourceTextLines(place.file);
      const std::string source = place.line < static_cast<int>(lines.size()) ? lines[place.line] : std::string();
      std::snprintf(text, sizeof text, "%5d: ", place.line + 1);
      rows.push_back({text + source, false});
      shown = place;
    }
    int words = 1;
    const std::string code = view.machine->Disassemble(at, words);
    if (words < 1) words = 1;
    std::string row = (at == pc ? "=> " : "   ") + HexAddress(at).substr(1) + " ";
    for (int w = 0; w < 3; ++w) {
      if (w < words) {
        std::snprintf(text, sizeof text, " %04X", static_cast<unsigned>(view.machine->Peek(at + w)));
        row += text;
      } else {
        row += "     ";
      }
    }
    row += "  " + code;
    if (at == pc) current = static_cast<int>(rows.size());
    rows.push_back({row, at == pc});
    at += static_cast<uint32_t>(words);
  }
  SetRows(disassembly_, rows, current);
}

void DebugPanes::FillMemoryRows(const PaneView& view) {
  std::vector<std::pair<std::string, bool>> rows;
  char given[256] = "";
  GetWindowTextA(memoryAddress_, given, sizeof given);
  uint32_t address = 0;
  std::string problem;
  static const std::map<std::string, uint32_t> kNone;
  if (!WatchAddress(given, view.symbols ? *view.symbols : kNone, address, problem)) {
    rows.push_back({std::string(given) + ": " + problem, false});
  } else if (view.machine) {
    address &= ~7u;
    char text[32];
    for (int row = 0; row < kMemoryRows && address <= 0xFFFF; ++row, address += 8) {
      std::string line = HexAddress(address).substr(1) + ":";
      const bool narrow = IsNarrowMemory(address);
      for (uint32_t w = 0; w < 8; ++w) {
        const uint16_t value = view.machine->Peek(address + w);
        std::snprintf(text, sizeof text, narrow ? "   %02X" : " %04X",
                      static_cast<unsigned>(narrow ? value & 0xFF : value));
        line += text;
      }
      if (narrow) line += "  8-bit RAM";
      rows.push_back({line, narrow});
    }
  }
  SetRows(memory_, rows);
}

void DebugPanes::FillWatches(const PaneView& view) {
  std::vector<std::pair<std::string, bool>> rows;
  static const std::map<std::string, uint32_t> kNone;
  for (const std::string& watch : watches) {
    uint32_t address = 0;
    std::string problem;
    if (!WatchAddress(watch, view.symbols ? *view.symbols : kNone, address, problem)) {
      rows.push_back({watch + ": " + problem, false});
      continue;
    }
    std::string row = watch + " = " + HexAddress(address);
    if (view.machine) row += ": " + WordText(address, view.machine->Peek(address));
    rows.push_back({row, false});
  }
  SetRows(watchList_, rows);
}

void DebugPanes::Fill(const PaneView& view) {
  last_ = view;
  SetWindowTextA(Handle(), (std::string("Debugger: ") + view.status).c_str());
  FillRegisters(view);
  FillDisassembly(view);
  FillMemoryRows(view);
  FillWatches(view);
}

bool DebugPanes::Make(HWND frame) {
  static bool registered = false;
  if (!registered) {
    WindowClassSpec spec;
    spec.name = kDebugPanesClass;
    spec.procedure = WindowObject::ClassProcedure<DebugPanes>;
    spec.background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    registered = RegisterWindowClass(g_app.instance, spec);
  }
  HWND window = Create(WS_EX_TOOLWINDOW, kDebugPanesClass, WS_POPUP | WS_CAPTION | WS_THICKFRAME | WS_SYSMENU, frame, 0,
                       g_app.instance);
  if (!window) return false;
  SetWindowTextA(window, "Debugger");
  RECT r{};
  GetWindowRect(frame, &r);
  int width = 64 * rowHeight_, height = 40 * rowHeight_;
  int left = r.right - width - 16 > 0 ? r.right - width - 16 : 0, top = r.top + 80;
  // Where the user last left the panes, while that still shows on a monitor.
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  const POINT corner{g_settings.debugPanesLeft, g_settings.debugPanesTop};
  if (GetMonitorInfoA(MonitorFromPoint(corner, MONITOR_DEFAULTTONEAREST), &monitor)) {
    const int area[4] = {monitor.rcWork.left, monitor.rcWork.top, monitor.rcWork.right, monitor.rcWork.bottom};
    if (UsableKeptPlace(g_settings.debugPanesLeft, g_settings.debugPanesTop, g_settings.debugPanesWidth,
                        g_settings.debugPanesHeight, kLeastWidth, kLeastHeight, area, kGrip)) {
      left = g_settings.debugPanesLeft;
      top = g_settings.debugPanesTop;
      width = static_cast<int>(g_settings.debugPanesWidth);
      height = static_cast<int>(g_settings.debugPanesHeight);
    }
  }
  MoveWindow(window, left, top, width, height, FALSE);
  return true;
}

}  // namespace

void CreateDebugPanes(HWND frame) {
  if (g_panes) return;
  g_panes = new (std::nothrow) DebugPanes(frame);
  if (g_panes && !g_panes->Make(frame)) {
    delete g_panes;
    g_panes = nullptr;
  }
}

void ShowDebugPanes(bool show) {
  if (g_panes) ShowWindow(g_panes->Handle(), show ? SW_SHOWNOACTIVATE : SW_HIDE);
}

HWND DebugPanesWindow() { return g_panes ? g_panes->Handle() : nullptr; }

void UpdateDebugPanes(const PaneView& view) {
  if (g_panes) g_panes->Fill(view);
}

void ShowDebugStatus(const char* status) {
  if (g_panes) SetWindowTextA(g_panes->Handle(), (std::string("Debugger: ") + status).c_str());
}

const std::vector<std::string>& DebugWatches() {
  static const std::vector<std::string> kNone;
  return g_panes ? g_panes->watches : kNone;
}

void DestroyDebugPanes() {
  if (!g_panes) return;
  HWND window = g_panes->Handle();
  if (window) DestroyWindow(window);
  delete g_panes;
  g_panes = nullptr;
}

const std::vector<std::string>& SourceTextLines(const std::string& path) {
  const std::string key = SourceMap::FileKey(path);
  auto found = g_sourceTexts.find(key);
  if (found != g_sourceTexts.end()) return found->second;
  std::string bytes;
  std::vector<std::string> lines;
  if (ReadWholeFile(SystemFiles(), path, bytes)) lines = SplitLines(bytes);
  return g_sourceTexts.emplace(key, std::move(lines)).first->second;
}

void ForgetSourceTexts() { g_sourceTexts.clear(); }

}  // namespace quillon
