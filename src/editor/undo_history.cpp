#include "editor/undo_history.h"

#include <atomic>
#include <utility>

namespace quillon {

namespace {

bool IsWordChar(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u >= 0x80 || (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u == '_';
}

// Each text any history holds has its own version; 0 is the empty text of a new history.
std::uint64_t NextVersion() {
  static std::atomic<std::uint64_t> last{0};
  return ++last;
}

}  // namespace

void UndoHistory::Reset(std::string text, bool saved) {
  text_ = std::move(text);
  version_ = NextVersion();
  steps_.clear();
  steps_.shrink_to_fit();
  done_ = 0;
  open_ = false;
  grouping_ = false;  // the group's changes from here on make steps of their own
  groupStarted_ = false;
  saved_ = saved ? 0 : kNeverSaved;
}

bool UndoHistory::JoinsOpenStep(std::size_t start, std::size_t removedLength, const std::string& inserted,
                                EditKind kind, std::uint64_t nowMs) const {
  if (!open_ || done_ == 0 || done_ != steps_.size()) return false;
  const Step& last = steps_.back();
  const TextEdit& lastEdit = last.edits.back();
  const bool paused = nowMs >= lastMs_ + kPauseMs;
  switch (kind) {
    case EditKind::kTyped:
    case EditKind::kLineBreak: {
      // Typing over text (overtype) goes on the run too.
      if (last.kind != EditKind::kTyped || inserted.empty() || start != lastEdit.start + lastEdit.inserted.size())
        return false;
      // After a pause the run ends, but never inside a word.
      const bool wordGoesOn =
          !lastEdit.inserted.empty() && IsWordChar(lastEdit.inserted.back()) && IsWordChar(inserted.front());
      return !paused || kind == EditKind::kLineBreak || wordGoesOn;
    }
    case EditKind::kBackspace:
      return !paused && last.kind == kind && inserted.empty() && start + removedLength == lastEdit.start;
    case EditKind::kDelete:
      return !paused && last.kind == kind && inserted.empty() && start == lastEdit.start;
    case EditKind::kOther:
      return false;
  }
  return false;
}

bool UndoHistory::Record(std::size_t start, std::size_t removedLength, const std::string& inserted,
                         TextSelection before, EditKind kind, std::uint64_t nowMs) {
  if (start > text_.size() || removedLength > text_.size() - start) return false;
  const std::string removed = text_.substr(start, removedLength);
  if (removed == inserted) return true;  // no change of the text: nothing to undo
  if (grouping_ && groupStarted_ && done_ > 0 && done_ == steps_.size()) {
    steps_.back().edits.push_back({start, removed, inserted});
  } else if (JoinsOpenStep(start, removedLength, inserted, kind, nowMs)) {
    TextEdit& edit = steps_.back().edits.back();
    if (kind == EditKind::kBackspace) {
      edit.start = start;
      edit.removed.insert(0, removed);
    } else {
      edit.removed += removed;
      edit.inserted += inserted;
    }
  } else {
    steps_.resize(done_);  // a new step: what was undone cannot come back
    EditKind stepKind = kind == EditKind::kLineBreak ? EditKind::kTyped : kind;
    if (grouping_) stepKind = EditKind::kOther;  // nothing typed afterwards joins a group
    steps_.push_back({{{start, removed, inserted}}, before, stepKind, nextId_++});
    done_ = steps_.size();
    groupStarted_ = grouping_;
  }
  text_.replace(start, removedLength, inserted);
  version_ = NextVersion();
  open_ = !grouping_ && kind != EditKind::kLineBreak && kind != EditKind::kOther;
  lastMs_ = nowMs;
  return true;
}

void UndoHistory::BeginGroup() {
  grouping_ = true;
  groupStarted_ = false;
  open_ = false;
}

void UndoHistory::EndGroup() {
  grouping_ = false;
  groupStarted_ = false;
  open_ = false;
}

bool UndoHistory::Undo(std::vector<TextEdit>& edits, TextSelection& selection) {
  if (!CanUndo()) return false;
  const Step& step = steps_[--done_];
  edits.clear();
  // The last change first, each taken back in the text it was made to.
  for (auto e = step.edits.rbegin(); e != step.edits.rend(); ++e) {
    edits.push_back({e->start, e->inserted, e->removed});
    text_.replace(e->start, e->inserted.size(), e->removed);
  }
  version_ = NextVersion();
  selection = step.before;
  open_ = false;
  groupStarted_ = false;
  return true;
}

bool UndoHistory::Redo(std::vector<TextEdit>& edits, TextSelection& selection) {
  if (!CanRedo()) return false;
  const Step& step = steps_[done_++];
  edits = step.edits;
  for (const TextEdit& e : edits) text_.replace(e.start, e.removed.size(), e.inserted);
  version_ = NextVersion();
  const std::size_t caret = edits.back().start + edits.back().inserted.size();
  selection = {caret, caret};
  open_ = false;
  groupStarted_ = false;
  return true;
}

void UndoHistory::MarkSaved() {
  saved_ = CurrentId();
  open_ = false;
}

}  // namespace quillon
