// Where a jump to a line lands: the line a user typed, and the view that puts a line in the
// middle. No windows here.
#pragma once

#include <string>

namespace quillon {

// The zero-based line for what was typed into Go to Line (a one-based number, blanks around
// it allowed), in a text of `lineCount` lines; past the last line gives the last line. -1 when
// it is not a number of at least 1.
int LineFromEntry(const std::string& entry, int lineCount);

// The first visible line that puts `line` in the middle of a view `visibleLines` high, in a
// text of `lineCount` lines.
int CentredFirstLine(int line, int visibleLines, int lineCount);

}  // namespace quillon
