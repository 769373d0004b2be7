#include "debug/debug_editor.h"

#include <windows.h>

#include <functional>

#include "debug/debugger.h"
#include "editor/document_window.h"
#include "editor/editor.h"
#include "ui/app_state.h"

namespace quillon {

bool ShowCurrentLine(const SourcePlace& place) {
  DebugMarks().Clear(MarkKind::kCurrentLine);
  DebugMarks().Add(place.file, place.line, MarkKind::kCurrentLine);
  RefreshGutters();
  if (!OpenDocumentAtLine(place.file, -1)) return false;
  HWND window = g_app.activeDocument;
  if (!IsDocumentWindow(window)) return false;
  PutCaretAtLine(window, place.line);
  return true;
}

void ClearCurrentLine() {
  DebugMarks().Clear(MarkKind::kCurrentLine);
  RefreshGutters();
}

void ShowBreakpointMarks(const Breakpoints& breakpoints) {
  DebugMarks().Clear(MarkKind::kBreakpoint);
  for (const SourcePlace& place : breakpoints.All()) DebugMarks().Add(place.file, place.line, MarkKind::kBreakpoint);
  RefreshGutters();
}

bool ActiveCaretLine(std::string& path, int& line) {
  HWND window = g_app.activeDocument;
  if (!IsDocumentWindow(window)) return false;
  path = DocumentPath(window);
  if (path.empty()) return false;
  line = DocumentLineOf(window, DocumentCaret(window));
  return line >= 0;
}

std::vector<int> MarkedBreakpointLines(const std::string& path) {
  std::vector<int> lines;
  if (const std::vector<LineMark>* marks = DebugMarks().For(path))
    for (const LineMark& mark : *marks)
      if (mark.kind == MarkKind::kBreakpoint) lines.push_back(mark.line);
  return lines;
}

namespace {

void GutterClicked(HWND window, int line) {
  const std::string path = DocumentPath(window);
  if (!path.empty()) ToggleBreakpointAt(path, line);
}

void TextChanged(HWND window) {
  const std::string path = DocumentPath(window);
  if (!path.empty()) BreakpointsFollowMarks(path);
}

}  // namespace

void InstallDebugEditorHooks() {
  EditorHooks().gutterClick["debugger"] = &GutterClicked;
  EditorHooks().textChanged["debugger"] = &TextChanged;
}

}  // namespace quillon
