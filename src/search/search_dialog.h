// What the Find and Replace dialogs share: the find text combo with the recent finds, and the
// option boxes, greyed where a regular expression knows no such option.
#pragma once

#include <cstdint>
#include <string>

#include "ui/dialog.h"

namespace quillon {

class SearchDialog : public Dialog {
 protected:
  // Fills the find text combo with the recent finds, showing `text`, or the newest when empty,
  // all of it selected and focused (OnInit then returns false).
  void ShowFindText(const std::string& text);
  // Ticks the option boxes from `flags` and greys them for a regular expression.
  void ShowOptions(std::uint32_t flags);
  // The options ticked: a regular expression alone, or whole word, case and all documents.
  std::uint32_t TickedOptions() const;
  // Greys the boxes a regular expression does not use; they keep their ticks.
  virtual void ShowRegexChoice(bool regex);
  bool OnCommand(int id, int code) override;
};

}  // namespace quillon
