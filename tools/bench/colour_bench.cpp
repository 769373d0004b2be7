// Measures keyword colouring in real text controls against plain ones: opening 200 KB, 1 MB and
// 2 MB coloured against a plain load; one keystroke's whole-line colouring pass; the colouring
// of a 1,000-line paste; a bare control's layout when its size changes; in a 200 KB document of
// the frame, a 1,000-line paste (against the same paste into a plain control), its Undo and
// Redo, and keystrokes (against a bare control, and with line numbers and 1,000 build marks);
// and, with a 512 KB document maximised in the frame, how long the IDE does not answer when the
// frame narrows, the output pane is hidden or shown, or the document is restored or maximised.
// Prints the times and the ratios.
// Usage: colour_bench [runs]
#include <windows.h>
#include <richedit.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/frame.h"
#include "app/startup.h"
#include "base/error_log.h"
#include "editor/colouring.h"
#include "editor/document_window.h"
#include "editor/editor.h"
#include "editor/gutter.h"
#include "editor/line_marks.h"
#include "editor/syntax_colours.h"
#include "editor/text_control.h"
#include "editor/text_view.h"
#include "resource.h"
#include "ui/app_state.h"

using namespace quillon;

namespace {

// Writes `text` to `name` in the temporary folder; its path, or empty when it could not be
// written whole (the bench then never times an older file of that name).
std::string TempFile(const char* name, const std::string& text) {
  char folder[MAX_PATH] = "";
  GetTempPathA(MAX_PATH, folder);
  const std::string path = std::string(folder) + name;
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return {};
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  return std::fclose(file) == 0 && written ? path : std::string();
}

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A source of about `size` characters, with instructions, labels, registers and comments.
std::string Source(std::size_t size) {
  static const char* const kLines[] = {
      "        MVII    #$1234, R0      ; load the counter\r\n",
      "loop:   MVI@    R4, R1\r\n",
      "        ADDR    R1, R2          ; add the next value\r\n",
      "        DECR    R0\r\n",
      "        BNEQ    loop\r\n",
      "        MVO     R2, TOTAL       ; keep the sum\r\n",
      "table:  DECLE   1, 2, 3, 4, 5, 6, 7, 8\r\n",
      "; -------------------------------------------------------------\r\n",
  };
  std::string text;
  for (std::size_t i = 0; text.size() < size; ++i) text += kLines[i % 8];
  text.resize(size);
  return text;
}

struct Reader {
  const std::string* text;
  std::size_t offset = 0;
};

DWORD CALLBACK ReadText(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* got) {
  auto* r = reinterpret_cast<Reader*>(cookie);
  std::size_t n = std::min(static_cast<std::size_t>(wanted), r->text->size() - r->offset);
  std::copy_n(r->text->data() + r->offset, n, buffer);
  r->offset += n;
  *got = static_cast<LONG>(n);
  return 0;
}

HWND g_parent;

HWND FreshControl() {
  HWND edit = CreateTextControl(g_parent);
  MoveWindow(edit, 0, 0, 800, 600, TRUE);
  SetTextFont(edit, "Courier New", 0, 200);
  SetTextLimit(edit, 0x7FFFFFFE);
  return edit;
}

double PlainLoad(const std::string& text) {
  HWND edit = FreshControl();
  Reader reader{&text};
  EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&reader), 0, ReadText};
  auto start = Clock::now();
  SendMessageA(edit, EM_STREAMIN, SF_TEXT, reinterpret_cast<LPARAM>(&stream));
  double ms = Since(start);
  DestroyWindow(edit);
  return ms;
}

double ColouredLoad(const std::string& text, HWND* keep = nullptr) {
  HWND edit = FreshControl();
  auto start = Clock::now();
  PutColouredText(edit, text);
  double ms = Since(start);
  if (keep)
    *keep = edit;
  else
    DestroyWindow(edit);
  return ms;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// Pumps the frame's messages until `done` or 3 s have passed; the longest single message is how
// long the IDE did not answer.
double PumpUntil(const std::function<bool()>& done, double& total) {
  double longest = 0;
  const auto begin = Clock::now();
  while (Since(begin) < 3000) {
    MSG msg;
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      const auto start = Clock::now();
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
      longest = std::max(longest, Since(start));
    } else if (done()) {
      break;
    } else {
      Sleep(1);
    }
  }
  total = Since(begin);
  return longest;
}

// A 512 KB coloured document maximised in the frame: the frame narrowed by 40 px, the output pane
// hidden and shown, the document restored and maximised again. For each, the longest time the IDE
// did not answer (the call itself or any one message after it) until the text's view fits its window.
void FrameFreezes(HWND frame, const std::string& big) {
  const std::string path = TempFile("quillon_bench_512k.asm", big);
  SetWindowPos(frame, nullptr, 0, 0, 1000, 720, SWP_NOZORDER);
  if (path.empty() || !OpenDocumentAtLine(path, -1) || !DocumentTextControl(g_app.activeDocument)) {
    std::printf("frame: the 512 KB file did not open\n");
    return;
  }
  HWND window = g_app.activeDocument;
  SendMessageA(g_app.mdiClient, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(window), 0);
  // The text covers the window's new size and the scroll bar pages by it.
  const auto fitted = [window] {
    HWND edit = DocumentTextControl(window);
    RECT client{}, text{};
    GetClientRect(window, &client);
    GetClientRect(edit, &text);
    POINT origin{0, 0};  // the control's corner in the window: the gutter's width less the view's shift
    MapWindowPoints(edit, window, &origin, 1);
    const long gutter = origin.x + ShownTextRect(window).left;
    SCROLLINFO bar{};
    bar.cbSize = sizeof bar;
    bar.fMask = SIF_PAGE;
    GetScrollInfo(window, SB_VERT, &bar);
    return text.right >= client.right - gutter && text.bottom >= client.bottom &&
           bar.nPage == static_cast<UINT>(client.bottom);
  };
  double total = 0;
  PumpUntil(fitted, total);
  const struct {
    const char* name;
    std::function<void()> act;
  } steps[] = {
      {"narrow the frame by 40 px", [&] { SetWindowPos(frame, nullptr, 0, 0, 960, 720, SWP_NOZORDER | SWP_NOMOVE); }},
      {"hide the output pane", [&] { SendMessageA(frame, WM_COMMAND, IDM_TOOLS_OUTPUTPANE, 0); }},
      {"show the output pane", [&] { SendMessageA(frame, WM_COMMAND, IDM_TOOLS_OUTPUTPANE, 0); }},
      {"restore the document",
       [&] { SendMessageA(g_app.mdiClient, WM_MDIRESTORE, reinterpret_cast<WPARAM>(window), 0); }},
      {"maximise the document",
       [&] { SendMessageA(g_app.mdiClient, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(window), 0); }},
  };
  for (const auto& step : steps) {
    const auto start = Clock::now();
    step.act();
    const double call = Since(start);
    const double longest = PumpUntil(fitted, total);
    std::printf("frame with a 512 KB document, %s: longest wait %.0f ms (the call %.0f ms, shown after %.0f ms)\n",
                step.name, std::max(call, longest), call, total + call);
  }
  SetDocumentChanged(window, false);
  SendMessageA(g_app.mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(window), 0);
  DeleteFileA(path.c_str());
}

// What line numbers and 1,000 build marks add to a keystroke near the end of a 200 KB document of
// the frame: typed characters, and Enter, which moves the marks below it.
void MarkedKeys(const std::string& text, const char* typed) {
  const std::string path = TempFile("quillon_bench_marks.asm", text);
  HWND edit = !path.empty() && OpenDocumentAtLine(path, -1) ? DocumentTextControl(g_app.activeDocument) : nullptr;
  if (!edit) {
    std::printf("marks: the 200 KB file did not open\n");
    return;
  }
  HWND window = g_app.activeDocument;
  const bool numbers = g_settings.lineNumbers;
  g_settings.lineNumbers = true;
  for (const int marks : {0, 1000}) {
    const int lines = LineCount(edit);
    for (int i = 0; i < marks; ++i) BuildMarks().Add(DocumentPath(window), i * (lines / marks), MarkKind::kError);
    RefreshGutters();
    const long at = LineIndex(edit, lines - 20) + 8;  // some marks below it
    SetSelection(edit, at, at);
    std::vector<double> keys, enters;
    for (int i = 0; i < 80; ++i) {
      const bool enter = i >= 60;
      const auto start = Clock::now();
      if (enter) SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);  // Enter goes in on its key, as typed
      SendMessageA(edit, WM_CHAR, enter ? '\r' : static_cast<unsigned char>(typed[i % std::strlen(typed)]), 0);
      (enter ? enters : keys).push_back(Since(start));
    }
    std::printf("keystroke with line numbers and %d marks: median %.2f ms, worst %.2f ms; Enter: median %.2f ms%s\n",
                marks, Median(keys), *std::max_element(keys.begin(), keys.end()), Median(enters),
                LineCount(edit) == lines + 20 ? "" : " (the Enters did not all go in)");
  }
  BuildMarks().Clear();
  g_settings.lineNumbers = numbers;
  RefreshGutters();
  SetDocumentChanged(window, false);
  SendMessageA(g_app.mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(window), 0);
  DeleteFileA(path.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  g_app.instance = GetModuleHandleA(nullptr);
  HMODULE richEdit = LoadLibrariesForWindows();
  LoadSyntaxFile(g_settings.exeDirectory + "\\syntax.cfg", g_syntaxTable, Log());
  std::printf("keywords: %zu\n", g_syntaxTable.Keywords().size());
  g_parent = CreateWindowExA(0, "STATIC", "colour bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 820, 640, nullptr,
                             nullptr, g_app.instance, nullptr);

  std::printf("%-10s %12s %12s %8s\n", "size", "plain ms", "coloured ms", "ratio");
  for (std::size_t size : {204800u, 1048576u, 2097152u}) {
    const std::string text = Source(size);
    std::vector<double> plain, coloured;
    for (int i = 0; i < (size == 204800u ? runs : 1); ++i) {
      plain.push_back(PlainLoad(text));
      coloured.push_back(ColouredLoad(text));
    }
    double p = *std::min_element(plain.begin(), plain.end());
    double c = *std::min_element(coloured.begin(), coloured.end());
    auto build = Clock::now();
    const std::size_t rtfSize = ColouredRtf(text, g_syntaxTable, {"Courier New", 200, 0, 0}, GetACP()).size();
    std::printf("%-10zu %12.1f %12.1f %8.2f   (RTF of %zu bytes built in %.1f ms)\n", size, p, c, c / p, rtfSize,
                Since(build));
  }

  // Keystrokes near the end of the 200 KB document, as the text-change handler colours them.
  HWND edit = nullptr;
  ColouredLoad(Source(204800), &edit);
  SendMessageA(edit, EM_SETEVENTMASK, 0, 0);
  const int lines = LineCount(edit);
  long caret = LineIndex(edit, lines - 20) + 8;
  SetSelection(edit, caret, caret);
  Change before{caret, caret, lines};
  std::vector<double> keys;
  const char typed[] = "MVI R0, R1 ; x";
  for (int i = 0; i < 60; ++i) {
    SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(typed[i % (sizeof typed - 1)]), 0);
    auto start = Clock::now();
    ColourChangedLines(edit, before);
    keys.push_back(Since(start));
  }
  std::printf("keystroke colouring, whole-line pass: median %.2f ms, worst %.2f ms (%zu keys)\n", Median(keys),
              *std::max_element(keys.begin(), keys.end()), keys.size());

  // A paste of 1,000 lines in the middle of it.
  std::string block;
  for (int i = 0; i < 1000; ++i) block += (i % 2) ? "        MVO     R2, TOTAL ; keep\r\n" : "loop2:  B loop2\r\n";
  caret = LineIndex(edit, lines / 2);
  SetSelection(edit, caret, caret);
  before = {caret, caret, LineCount(edit)};
  SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(block.c_str()));
  auto start = Clock::now();
  ColourChangedLines(edit, before);
  std::printf("paste of 1,000 lines into a bare control, coloured run by run afterwards: %.1f ms\n", Since(start));

  DestroyWindow(edit);

  // The control lays out its whole text again when its size changes: a 512 KB text, plain and
  // coloured, narrowed by 40 pixels.
  const std::string big = Source(512 * 1024);
  for (bool coloured : {false, true}) {
    HWND control = FreshControl();
    if (coloured) {
      PutColouredText(control, big);
    } else {
      Reader reader{&big};
      EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&reader), 0, ReadText};
      SendMessageA(control, EM_STREAMIN, SF_TEXT, reinterpret_cast<LPARAM>(&stream));
    }
    auto resize = Clock::now();
    MoveWindow(control, 0, 0, 760, 600, TRUE);
    UpdateWindow(control);
    std::printf("resize of a 512 KB %s text by 40 px: %.0f ms\n", coloured ? "coloured" : "plain", Since(resize));
    DestroyWindow(control);
  }

  // Undo of a 1,000-line paste in a document of the frame: the paste as the user makes it
  // (coloured and recorded), then one Undo and one Redo, each coloured again.
  if (RegisterWindowClasses(g_app.instance)) {
    HWND frame = CreateFrameWindow(g_app.instance, SW_SHOWNORMAL);
    NewDocument(g_app.mdiClient);
    HWND window = g_app.activeDocument;
    if (frame && DocumentTextControl(window)) {
      HWND text = DocumentTextControl(window);
      PutColouredText(text, Source(204800));
      const std::string original = TextRange(text, 0, TextLength(text));
      std::vector<double> pastes, undos, redos;
      bool same = true;
      for (int i = 0; i < runs; ++i) {
        const long at = LineIndex(text, LineCount(text) / 2);
        SetSelection(text, at, at);
        start = Clock::now();
        SendMessageA(text, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(block.c_str()));
        pastes.push_back(Since(start));
        start = Clock::now();
        SendMessageA(text, EM_UNDO, 0, 0);
        undos.push_back(Since(start));
        same = same && TextRange(text, 0, TextLength(text)) == original;
        start = Clock::now();
        SendMessageA(text, EM_REDO, 0, 0);
        redos.push_back(Since(start));
        SendMessageA(text, EM_UNDO, 0, 0);
      }
      // The same paste into a plain control holding the same text, as a plain program makes it.
      std::vector<double> plainPastes, plainDeletes;
      HWND plain = FreshControl();
      Reader reader{&original};
      EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&reader), 0, ReadText};
      SendMessageA(plain, EM_STREAMIN, SF_TEXT, reinterpret_cast<LPARAM>(&stream));
      for (int i = 0; i < runs; ++i) {
        const long at = LineIndex(plain, LineCount(plain) / 2);
        SetSelection(plain, at, at);
        start = Clock::now();
        SendMessageA(plain, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(block.c_str()));
        plainPastes.push_back(Since(start));
        start = Clock::now();
        SetSelection(plain, at, at + static_cast<long>(LineIndex(plain, LineCount(plain) / 2 + 1000) - at));
        SendMessageA(plain, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(""));
        plainDeletes.push_back(Since(start));
      }
      DestroyWindow(plain);
      std::printf(
          "document of 200 KB, paste of 1,000 lines: paste %.1f ms (plain control %.1f ms, %.2fx), undo %.1f ms "
          "(%.2fx the paste; deleting the lines in the plain control %.1f ms), redo %.1f ms; text after undo %s\n",
          Median(pastes), Median(plainPastes), Median(pastes) / Median(plainPastes), Median(undos),
          Median(undos) / Median(pastes), Median(plainDeletes), Median(redos), same ? "as before" : "DIFFERENT");
      // Keystrokes in the document (recorded and coloured) against the same keys in a bare
      // control holding the same text.
      HWND bare = FreshControl();
      PutColouredText(bare, original);
      std::vector<double> inDocument, inBare;
      for (HWND target : {text, bare}) {
        const long at = LineIndex(target, LineCount(target) - 20) + 8;
        SetSelection(target, at, at);
        for (int i = 0; i < 60; ++i) {
          start = Clock::now();
          SendMessageA(target, WM_CHAR, static_cast<unsigned char>(typed[i % (sizeof typed - 1)]), 0);
          (target == text ? inDocument : inBare).push_back(Since(start));
        }
      }
      DestroyWindow(bare);
      std::printf("keystroke in the 200 KB document: median %.2f ms, bare control %.2f ms (+%.2f ms)\n",
                  Median(inDocument), Median(inBare), Median(inDocument) - Median(inBare));
      SetDocumentChanged(window, false);
      MarkedKeys(original, typed);
    }
    if (frame) {
      FrameFreezes(frame, big);
      DestroyWindow(frame);
    }
  }

  DestroyWindow(g_parent);
  FreeLibrary(richEdit);
  return 0;
}
