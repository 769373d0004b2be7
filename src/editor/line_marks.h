// The lines the last build found errors and warnings on, by file, kept in step with the text,
// and the width of the gutter that shows them with the line numbers. No windows here.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace quillon {

enum class MarkKind { kError, kWarning };

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
  // `path` is a full path; files compare without regard to case. An error and a warning on one
  // line show as the error.
  void Add(const std::string& path, int line, MarkKind kind);
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
