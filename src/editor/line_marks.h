// Marked lines by file, kept in step with the text: the errors and warnings of the last build,
// breakpoints, the line the program stopped at; and the width of the gutter that shows them
// with the line numbers. No windows here.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

enum class MarkKind { kError, kWarning, kBreakpoint, kCurrentLine };

struct LineMark {
  int line = 0;  // zero-based
  MarkKind kind = MarkKind::kError;
  bool operator==(const LineMark&) const = default;
};

// One change of the text as the marks see it: it began on `firstLine` (`atLineStart`: at that
// line's start), where `removed` became `inserted` (line breaks "\r").
struct LineChange {
  int firstLine = 0;
  bool atLineStart = false;
  std::string_view removed, inserted;
};

// Line marks that follow the text through `change`: the marks below it move with their lines, a
// line joined to the one above takes its mark along, and a mark whose line was deleted (all of
// its text, or its start) goes away. A line left with two marks of one place keeps one.
void FollowChange(std::vector<LineMark>& marks, const LineChange& change);

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
  // True when the file had marks (they may have moved or gone).
  bool Follow(const std::string& path, const LineChange& change);
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
