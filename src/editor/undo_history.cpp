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
  saved_ = saved ? 0 : kNeverSaved;
}

bool UndoHistory::JoinsOpenStep(std::size_t start, std::size_t removedLength, const std::string& inserted,
                                EditKind kind, std::uint64_t nowMs) const {
  if (!open_ || done_ == 0 || done_ != steps_.size()) return false;
  const Step& last = steps_.back();
  const bool paused = nowMs >= lastMs_ + kPauseMs;
  switch (kind) {
    case EditKind::kTyped:
    case EditKind::kLineBreak: {
      // Typing over text (overtype) goes on the run too.
      if (last.kind != EditKind::kTyped || inserted.empty() || start != last.edit.start + last.edit.inserted.size())
        return false;
      // After a pause the run ends, but never inside a word.
      const bool wordGoesOn =
          !last.edit.inserted.empty() && IsWordChar(last.edit.inserted.back()) && IsWordChar(inserted.front());
      return !paused || kind == EditKind::kLineBreak || wordGoesOn;
    }
    case EditKind::kBackspace:
      return !paused && last.kind == kind && inserted.empty() && start + removedLength == last.edit.start;
    case EditKind::kDelete:
      return !paused && last.kind == kind && inserted.empty() && start == last.edit.start;
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
  if (JoinsOpenStep(start, removedLength, inserted, kind, nowMs)) {
    TextEdit& edit = steps_.back().edit;
    if (kind == EditKind::kBackspace) {
      edit.start = start;
      edit.removed.insert(0, removed);
    } else {
      edit.removed += removed;
      edit.inserted += inserted;
    }
  } else {
    steps_.resize(done_);  // a new step: what was undone cannot come back
    steps_.push_back(
        {{start, removed, inserted}, before, kind == EditKind::kLineBreak ? EditKind::kTyped : kind, nextId_++});
    done_ = steps_.size();
  }
  text_.replace(start, removedLength, inserted);
  version_ = NextVersion();
  open_ = kind != EditKind::kLineBreak && kind != EditKind::kOther;
  lastMs_ = nowMs;
  return true;
}

bool UndoHistory::Undo(TextEdit& edit, TextSelection& selection) {
  if (!CanUndo()) return false;
  const Step& step = steps_[--done_];
  edit = {step.edit.start, step.edit.inserted, step.edit.removed};
  text_.replace(edit.start, edit.removed.size(), edit.inserted);
  version_ = NextVersion();
  selection = step.before;
  open_ = false;
  return true;
}

bool UndoHistory::Redo(TextEdit& edit, TextSelection& selection) {
  if (!CanRedo()) return false;
  const Step& step = steps_[done_++];
  edit = step.edit;
  text_.replace(edit.start, edit.removed.size(), edit.inserted);
  version_ = NextVersion();
  const std::size_t caret = edit.start + edit.inserted.size();
  selection = {caret, caret};
  open_ = false;
  return true;
}

void UndoHistory::MarkSaved() {
  saved_ = CurrentId();
  open_ = false;
}

}  // namespace quillon
