// The questions before a changed document closes, as a rule apart from the windows that ask them.
#pragma once

#include <functional>

namespace quillon {

enum class Answer { kYes, kNo, kCancel };
enum class SaveOutcome { kSaved, kCancelled, kFailed };

// The question first asked about a changed document.
inline constexpr char kTextChangedQuestion[] = "Text has changed, would you like to save?";
// Asked again after a save that failed or whose name was not chosen.
inline constexpr char kSaveFailedQuestion[] =
    "Unable to save file.\n\nSave the text under another name? Choose No to close without saving, Cancel to "
    "keep it open.";
inline constexpr char kNotSavedQuestion[] =
    "The text has not been saved.\n\nSave it under another name? Choose No to close without saving, Cancel to "
    "keep it open.";

// What the rule may do: ask a Yes/No/Cancel question, save under the present name (an untitled
// text asks for a name), save under a new name.
struct CloseSteps {
  std::function<Answer(const char* question)> ask;
  std::function<SaveOutcome()> save;
  std::function<SaveOutcome()> saveAs;
};

// Whether a document may close. An unchanged one may. A changed one is asked about: No lets it
// close unsaved, Cancel keeps it open, Yes saves it; until a save succeeds the user is asked again
// whether to save under another name, and the text goes only on No. False: keep it open and stop
// whatever asked.
bool MayCloseDocument(bool modified, const CloseSteps& steps);

}  // namespace quillon
