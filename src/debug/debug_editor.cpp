#include "debug/debug_editor.h"

#include <windows.h>
#include <richedit.h>

#include "editor/document.h"
#include "editor/document_window.h"
#include "editor/text_control.h"
#include "ui/app_state.h"

namespace quillon {

namespace {

SourcePlace g_current;

}  // namespace

bool ShowCurrentLine(const SourcePlace& place) {
  g_current = place;
  if (!OpenDocumentAtLine(place.file, place.line)) return false;
  Document* document = ActiveDocument();
  if (!document || !document->edit) return false;
  const long start = LineIndex(document->edit, place.line);
  SetSelection(document->edit, start, start);
  SendMessageA(document->edit, EM_SCROLLCARET, 0, 0);
  return true;
}

void ClearCurrentLine() { g_current = {}; }

void ShowBreakpointMarks(const Breakpoints&) {}

bool ActiveCaretLine(std::string& path, int& line) {
  const Document* document = ActiveDocument();
  if (!document || !document->edit || document->path.empty()) return false;
  long start = 0, end = 0;
  GetSelection(document->edit, start, end);
  path = document->path;
  line = static_cast<int>(SendMessageA(document->edit, EM_EXLINEFROMCHAR, 0, start));
  return true;
}

}  // namespace quillon
