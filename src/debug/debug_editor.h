// What the debugger asks of the editor: show the line of the current instruction, the breakpoint
// marks, and where the caret is.
#pragma once

#include <string>
#include <vector>

#include "assemble/source_map.h"
#include "debug/breakpoints.h"

namespace quillon {

// Opens the file (or brings its window forward), marks the line as the current one, puts the
// caret at its start and scrolls it into view. False when the file cannot be opened.
bool ShowCurrentLine(const SourcePlace& place);
// No line is current any more (the program runs or debugging ended).
void ClearCurrentLine();
// Every document's gutter shows these breakpoints.
void ShowBreakpointMarks(const Breakpoints& breakpoints);
// The active document's full path and the caret's zero-based line; false without a saved one.
bool ActiveCaretLine(std::string& path, int& line);
// The lines of `path` the gutter marks as breakpoints now (they moved with the text).
std::vector<int> MarkedBreakpointLines(const std::string& path);
// A click in the gutter toggles a breakpoint; a change of the text moves them.
void InstallDebugEditorHooks();

}  // namespace quillon
