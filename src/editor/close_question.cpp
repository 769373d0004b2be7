#include "editor/close_question.h"

namespace quillon {

bool MayCloseDocument(bool modified, const CloseSteps& steps) {
  if (!modified) return true;
  Answer answer = steps.ask(kTextChangedQuestion);
  if (answer != Answer::kYes) return answer == Answer::kNo;
  SaveOutcome outcome = steps.save();
  while (outcome != SaveOutcome::kSaved) {
    answer = steps.ask(outcome == SaveOutcome::kFailed ? kSaveFailedQuestion : kNotSavedQuestion);
    if (answer != Answer::kYes) return answer == Answer::kNo;
    outcome = steps.saveAs();
  }
  return true;
}

}  // namespace quillon
