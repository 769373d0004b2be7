#include "editor/line_marks.h"

#include <cctype>
#include <iterator>

namespace quillon {

namespace {

// Errors and warnings share one place on a line; every other kind has its own.
bool SamePlace(MarkKind a, MarkKind b) {
  const auto build = [](MarkKind kind) { return kind == MarkKind::kError || kind == MarkKind::kWarning; };
  return a == b || (build(a) && build(b));
}

std::string Lower(const std::string& path) {
  std::string key = path;
  for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return key;
}

}  // namespace

void ShiftMarkedLines(std::vector<LineMark>& marks, int caretLine, int delta) {
  if (delta == 0) return;
  // The change began on line caretLine - delta (inserted lines end where the caret stands;
  // deleted ones were below it).
  const int changeStart = delta > 0 ? caretLine - delta : caretLine;
  for (LineMark& mark : marks) {
    if (mark.line <= changeStart) continue;
    if (delta < 0 && mark.line <= caretLine - delta)
      mark.line = caretLine;  // its line was deleted
    else
      mark.line += delta;
  }
}

void LineMarks::Add(const std::string& path, int line, MarkKind kind) {
  if (line < 0 || path.empty()) return;
  std::vector<LineMark>& marks = byFile_[Lower(path)];
  for (LineMark& mark : marks)
    if (mark.line == line && SamePlace(mark.kind, kind)) {
      if (kind == MarkKind::kError) mark.kind = kind;
      return;
    }
  marks.push_back({line, kind});
}

bool LineMarks::Remove(const std::string& path, int line, MarkKind kind) {
  auto found = byFile_.find(Lower(path));
  if (found == byFile_.end()) return false;
  std::vector<LineMark>& marks = found->second;
  const auto before = marks.size();
  std::erase_if(marks, [&](const LineMark& mark) { return mark.line == line && SamePlace(mark.kind, kind); });
  const bool removed = marks.size() != before;
  if (marks.empty()) byFile_.erase(found);
  return removed;
}

bool LineMarks::Has(const std::string& path, int line, MarkKind kind) const {
  if (const std::vector<LineMark>* marks = For(path))
    for (const LineMark& mark : *marks)
      if (mark.line == line && mark.kind == kind) return true;
  return false;
}

void LineMarks::Clear(MarkKind kind) {
  for (auto it = byFile_.begin(); it != byFile_.end();) {
    std::erase_if(it->second, [kind](const LineMark& mark) { return mark.kind == kind; });
    it = it->second.empty() ? byFile_.erase(it) : std::next(it);
  }
}

const std::vector<LineMark>* LineMarks::For(const std::string& path) const {
  auto found = byFile_.find(Lower(path));
  return found == byFile_.end() ? nullptr : &found->second;
}

void LineMarks::Shift(const std::string& path, int caretLine, int delta) {
  auto found = byFile_.find(Lower(path));
  if (found != byFile_.end()) ShiftMarkedLines(found->second, caretLine, delta);
}

int GutterWidth(int lineCount, int digitWidth, bool numbers) {
  if (!numbers) return 20;
  int digits = 1;
  for (int n = lineCount; n >= 10; n /= 10) ++digits;
  if (digits < 3) digits = 3;
  const int width = kMarkStripWidth + digits * digitWidth + 6;
  return width > 20 ? width : 20;
}

}  // namespace quillon
