#include "editor/document_lines.h"

#include <richedit.h>

#include "editor/document.h"
#include "editor/text_control.h"
#include "editor/text_model.h"

namespace quillon {

DocumentLines::DocumentLines(Document& document) : edit_(document.edit) {
  if (!edit_) return;
  length_ = TextLength(edit_);
  const TextModel& model = document.model;
  if (document.editDepth > 0 || document.applyingHistory || static_cast<long>(model.Text().size()) != length_) return;
  const TextLines& lines = model.Lines();
  if (document.linesChecked != model.history.Version()) {
    document.linesInStep = lines.Count() == LineCount(edit_);
    document.linesChecked = model.history.Version();
  }
  if (document.linesInStep) model_ = &lines;
}

int DocumentLines::Count() const { return model_ ? model_->Count() : LineCount(edit_); }

int DocumentLines::LineOf(long position) const {
  if (model_ && position >= 0 && position <= length_) return model_->LineOf(position);
  return static_cast<int>(SendMessageA(edit_, EM_EXLINEFROMCHAR, 0, position));
}

long DocumentLines::StartOf(int line) const {
  if (model_ && line >= 0) return model_->StartOf(line);
  return LineIndex(edit_, line);
}

}  // namespace quillon
