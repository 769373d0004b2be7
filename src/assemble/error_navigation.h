// Which line of the output pane Next Error (F4) and Previous Error (Shift+F4) open, and how a
// line of the pane is shown. No windows here.
#pragma once

#include <string>
#include <vector>

namespace quillon {

enum class OutputLineKind { kPlain, kError, kWarning };

// An error line of the listing ("file:12: ERROR - ..."), a warning line, or any other line.
// A line that reads as both counts as an error, as the listing's totals count it.
OutputLineKind KindOfOutputLine(const std::string& text);

// The next line after `current` (backwards: before it) whose entry in `targets` is true, or -1
// at the end. With no current line (-1) forwards starts at the first line, backwards at the last.
int NextErrorLine(const std::vector<bool>& targets, int current, bool forward);

// The status-bar note when NextErrorLine found none: the pane holds no error or warning line at
// all, or none after (backwards: before) the current one.
const char* NoErrorLineNote(const std::vector<bool>& targets, bool forward);

// One step of F4 (forwards) or Shift+F4: the line it opens (-1: none) and the status-bar note,
// "Error 2 of 3" or "Warning 3 of 3" by the line's kind in `kinds`, or why no line is left.
// The steps stop at the pane's ends; they do not go round.
struct ErrorStep {
  int line = -1;
  std::string note;
  bool operator==(const ErrorStep&) const = default;
};
ErrorStep StepToErrorLine(const std::vector<bool>& targets, const std::vector<OutputLineKind>& kinds, int current,
                          bool forward);

}  // namespace quillon
