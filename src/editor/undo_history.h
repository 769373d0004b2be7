// The undo history of one document: the text as the history knows it and the changes that led
// there, one step per user action. Colour never enters it; only text does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quillon {

// What made a change; it decides which changes join into one undo step.
enum class EditKind {
  kTyped,      // characters typed at the caret
  kLineBreak,  // Enter: ends the typed run it follows
  kBackspace,  // characters taken away before the caret
  kDelete,     // characters taken away after the caret
  kOther,      // paste, cut, replace, drag, indent: a step of its own
};

struct TextSelection {
  std::size_t start = 0;
  std::size_t end = 0;
  bool operator==(const TextSelection&) const = default;
};

// One replacement: `removed` at `start` became `inserted`.
struct TextEdit {
  std::size_t start = 0;
  std::string removed;
  std::string inserted;
};

class UndoHistory {
 public:
  // A pause this long (milliseconds) ends a typed run at its next word boundary.
  static constexpr std::uint64_t kPauseMs = 1000;

  // Forgets every step; `text` is the text from now on. Unless `saved`, no undo or redo comes
  // back to the saved text any more.
  void Reset(std::string text, bool saved = false);
  const std::string& Text() const { return text_; }
  // Differs after every change of Text(), in this history or any other (a copy taken back
  // keeps its own), so that what was worked out from one text is never taken for another's.
  std::uint64_t Version() const { return version_; }

  // Records that [start, start + removedLength) of Text() became `inserted`, with `before` the
  // selection before the change, at time `nowMs`. False when the change does not fit the text
  // (the caller must then Reset: the history no longer describes the text). A change that leaves
  // the text as it was makes no step.
  bool Record(std::size_t start, std::size_t removedLength, const std::string& inserted, TextSelection before,
              EditKind kind, std::uint64_t nowMs);
  // Ends the open step: the next change starts a new one (the caret moved elsewhere).
  void CloseStep() { open_ = false; }
  // The changes recorded from BeginGroup to EndGroup make one step (Replace All made match by
  // match), taken back and made again as those changes, not as one span over all of them.
  void BeginGroup();
  void EndGroup();

  bool CanUndo() const { return done_ > 0; }
  bool CanRedo() const { return done_ < steps_.size(); }
  // Takes the latest step back from Text(): `edits` is what to do to the shown text, in order
  // (each: replace [start, start + removed.size()) with `inserted`), and `selection` the
  // selection afterwards.
  bool Undo(std::vector<TextEdit>& edits, TextSelection& selection);
  bool Redo(std::vector<TextEdit>& edits, TextSelection& selection);

  // The text now is the saved one; and whether it is.
  void MarkSaved();
  bool AtSaved() const { return saved_ == CurrentId(); }

 private:
  struct Step {
    std::vector<TextEdit> edits;  // one, but for a group: in the order they were made
    TextSelection before;
    EditKind kind = EditKind::kOther;
    std::uint64_t id = 0;
  };
  bool JoinsOpenStep(std::size_t start, std::size_t removedLength, const std::string& inserted, EditKind kind,
                     std::uint64_t nowMs) const;
  std::uint64_t CurrentId() const { return done_ == 0 ? 0 : steps_[done_ - 1].id; }

  std::string text_;
  std::uint64_t version_ = 0;
  std::vector<Step> steps_;  // [0, done_) done, [done_, size) undone
  std::size_t done_ = 0;
  bool open_ = false;          // the latest step may still grow
  bool grouping_ = false;      // between BeginGroup and EndGroup
  bool groupStarted_ = false;  // ... and the group's step is the latest
  std::uint64_t lastMs_ = 0;
  std::uint64_t nextId_ = 1;
  std::uint64_t saved_ = 0;  // id of the latest done step when saved; 0: before every step
  static constexpr std::uint64_t kNeverSaved = ~std::uint64_t{0};
};

}  // namespace quillon
