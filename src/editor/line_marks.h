// Marked lines by file, kept in step with the text: the errors and warnings of the last build,
// breakpoints, the line the program stopped at; and the width of the gutter that shows them
// with the line numbers. No windows here.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace quillon {

enum class MarkKind { kError, kWarning, kBreakpoint, kCurrentLine };

struct LineMark {
  int line = 0;  // zero-based
  MarkKind kind = MarkKind::kError;
  bool operator==(const LineMark&) const = default;
};

// Line marks that follow the text: after a change that left the caret on `caretLine` and
// changed the line count by `delta`, the marked lines below the change move with their text;
// marks on deleted lines go to the line the deletion left.
void ShiftMarkedLines(std::vector<LineMark>& marks, int caretLine, int delta);

class LineMarks {
 public:
  void Clear() { byFile_.clear(); }
  // `path` is a full path; files compare without regard to case. A line holds one mark of each
  // kind, and an error and a warning on one line show as the error.
  void Add(const std::string& path, int line, MarkKind kind);
  // Takes away the line's mark of `kind` (for kError and kWarning: either). True when it had one.
  bool Remove(const std::string& path, int line, MarkKind kind);
  bool Has(const std::string& path, int line, MarkKind kind) const;
  // Takes away every mark of `kind` in every file.
  void Clear(MarkKind kind);
  // The marks of a file, or null when it has none.
  const std::vector<LineMark>* For(const std::string& path) const;
  void Shift(const std::string& path, int caretLine, int delta);
  bool Empty() const { return byFile_.empty(); }

 private:
  std::map<std::string, std::vector<LineMark>> byFile_;  // by lower-case path
};

// The gutter's width in pixels for a text of `lineCount` lines: a strip for the marks, and with
// numbers room for at least three digits of `digitWidth` pixels.
int GutterWidth(int lineCount, int digitWidth, bool numbers);
// Where the marks strip ends and the right-aligned numbers begin.
inline constexpr int kMarkStripWidth = 8;

}  // namespace quillon
