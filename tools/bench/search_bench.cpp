// Times Find Next and Replace All in a real 200 KB document, and a regular-expression Replace
// All with few matches in a 540 KB one, and prints the figures.
// Usage: search_bench [runs]
#include <windows.h>
#include <richedit.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "app/frame.h"
#include "app/startup.h"
#include "editor/document_window.h"
#include "editor/editor.h"
#include "editor/text_control.h"
#include "search/search_engine.h"
#include "ui/app_state.h"

using namespace quillon;

namespace {

std::atomic<bool> g_stop{false};
std::atomic<int> g_boxes{0};

// Presses OK in every box this process shows (the "N replacements made." report).
void AnswerBoxes() {
  while (!g_stop) {
    HWND box = FindWindowA("#32770", nullptr);
    DWORD pid = 0;
    if (box) GetWindowThreadProcessId(box, &pid);
    if (box && pid == GetCurrentProcessId() && IsWindowVisible(box)) {
      PostMessageA(box, WM_COMMAND, IDOK, 0);
      ++g_boxes;
      Sleep(20);
    }
    Sleep(1);
  }
}

double Ms(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since).count();
}

// About 200 KB of source lines; the first `marked` lines hold `marker` as their operand.
std::string SourceText(int lines, int marked, const char* marker, const char* last) {
  std::string text;
  for (int i = 0; i < lines; ++i) {
    char line[96];
    snprintf(line, sizeof line, "label%05d: MVII #%d, %s ; comment text for the line\r\n", i, i % 1000,
             i < marked ? marker : "R1");
    text += line;
  }
  text += last;
  return text;
}

HWND NewDocumentWith(const std::string& text) {
  NewDocument(g_app.mdiClient);
  HWND edit = DocumentTextControl(g_app.activeDocument);
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  SetSelection(edit, 0, 0);
  return edit;
}

void CloseDocument() {
  SetDocumentChanged(g_app.activeDocument, false);
  SendMessageA(g_app.mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(g_app.activeDocument), 0);
}

}  // namespace

int main(int argc, char** argv) {
  int runs = argc > 1 ? std::atoi(argv[1]) : 3;
  HINSTANCE instance = GetModuleHandleA(nullptr);
  g_app.instance = instance;
  HMODULE richEdit = LoadLibrariesForWindows();
  if (!RegisterWindowClasses(instance)) return 1;
  HWND frame = CreateFrameWindow(instance, SW_SHOWNORMAL);
  if (!frame) return 1;
  std::thread answerer(AnswerBoxes);

  const std::string needle = SourceText(3450, 0, "", "NEEDLE42 at the end\r\n");
  std::printf("document: %zu bytes\n", needle.size());
  for (int run = 0; run < runs; ++run) {
    HWND edit = NewDocumentWith(needle);
    auto t = std::chrono::steady_clock::now();
    SearchDocument(g_app.activeDocument, "NEEDLE42", 0x1);
    double plain = Ms(t);
    SetSelection(edit, 0, 0);
    t = std::chrono::steady_clock::now();
    SearchDocument(g_app.activeDocument, "NEEDLE\\d+", 0x20001);
    double regex = Ms(t);
    long start = 0, end = 0;
    GetSelection(edit, start, end);
    std::printf("Find Next, match near the end: plain %.1f ms, regular expression %.1f ms (selected %ld-%ld)\n", plain,
                regex, start, end);
    CloseDocument();
  }

  const std::string many = SourceText(3450, 2500, "R0 R0", "");  // 5,000 occurrences of R0
  for (int run = 0; run < runs; ++run) {
    for (std::uint32_t flags : {0x5u, 0x20001u}) {
      HWND edit = NewDocumentWith(many);
      auto t = std::chrono::steady_clock::now();
      int count = ReplaceAll(g_app.activeDocument, "R0", "R7", flags, g_app.mdiClient);
      double replace = Ms(t);
      t = std::chrono::steady_clock::now();
      SendMessageA(edit, EM_UNDO, 0, 0);
      double undo = Ms(t);
      std::string expected = many;  // the control keeps one character per line break
      std::erase(expected, '\n');
      bool restored = TextRange(edit, 0, TextLength(edit)) == expected;
      std::printf("Replace All (%s): %d replacements in %.0f ms (report box included); one undo %.0f ms, text %s\n",
                  flags & 0x20000 ? "regular expression" : "plain", count, replace, undo,
                  restored ? "restored" : "NOT restored");
      CloseDocument();
    }
  }
  // A large source with few matches far apart: the replacement and its undo must not take the
  // whole text through the control.
  std::string large;
  for (int i = 0; i < 9000; ++i) {
    char line[96];
    snprintf(line, sizeof line, "label%05d: %s R%d, R2 ; comment text for this line %05d\r\n", i,
             i % 45 == 0 ? "MVI@" : "MOVR", i % 6, i);
    large += line;
  }
  for (int run = 0; run < runs; ++run) {
    HWND edit = NewDocumentWith(large);
    auto t = std::chrono::steady_clock::now();
    int count = ReplaceAll(g_app.activeDocument, "MVI@ (R\\d)", "mvi@ $1", 0x20001u, g_app.mdiClient);
    double replace = Ms(t);
    t = std::chrono::steady_clock::now();
    SendMessageA(edit, EM_UNDO, 0, 0);
    double undo = Ms(t);
    std::string expected = large;
    std::erase(expected, '\n');
    bool restored = TextRange(edit, 0, TextLength(edit)) == expected;
    std::printf(
        "Replace All (regular expression, %zu KB, matches far apart): %d replacements in %.0f ms (report box "
        "included); one undo %.0f ms, text %s\n",
        large.size() / 1024, count, replace, undo, restored ? "restored" : "NOT restored");
    CloseDocument();
  }
  g_stop = true;
  answerer.join();
  DestroyWindow(frame);
  FreeLibrary(richEdit);
  return 0;
}
