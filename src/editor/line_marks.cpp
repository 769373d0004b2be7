#include "editor/line_marks.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <utility>

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

void FollowChange(std::vector<LineMark>& marks, const LineChange& change) {
  const auto breaks = [](std::string_view text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\r'));
  };
  const int removedBreaks = breaks(change.removed), delta = breaks(change.inserted) - removedBreaks;
  const int first = change.firstLine;
  // The first line goes when it was removed whole; the lines after it whose start was removed go
  // too, but not one that begins right where the removed text ends (its text is all there).
  const bool firstGone = change.atLineStart && removedBreaks > 0;
  const int lastGone = first + removedBreaks - (change.removed.ends_with('\r') ? 1 : 0);
  // A change at the start of a line it leaves whole pushes that line's text (and mark) down.
  const bool firstMoves = change.atLineStart && removedBreaks == 0;
  std::vector<LineMark> kept;
  kept.reserve(marks.size());
  for (LineMark mark : marks) {
    if (mark.line > first || (mark.line == first && firstMoves)) {
      if (mark.line > first && mark.line <= lastGone) continue;
      mark.line += delta;
    } else if (mark.line == first && firstGone) {
      continue;
    }
    auto same = std::find_if(kept.begin(), kept.end(), [&](const LineMark& other) {
      return other.line == mark.line && SamePlace(other.kind, mark.kind);
    });
    if (same == kept.end())
      kept.push_back(mark);
    else if (mark.kind == MarkKind::kError)
      same->kind = mark.kind;
  }
  marks = std::move(kept);
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

bool LineMarks::Follow(const std::string& path, const LineChange& change) {
  auto found = byFile_.find(Lower(path));
  if (found == byFile_.end()) return false;
  FollowChange(found->second, change);
  if (found->second.empty()) byFile_.erase(found);
  return true;
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
