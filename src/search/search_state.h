// What Find Next and Replace go on with: the find text and the replacement, kept whole from one
// search to the next. The frame owns the one of the program.
#pragma once

#include <string>

namespace quillon {

struct SearchState {
  std::string text;         // empty until a search was asked for
  std::string replacement;  // the Replace dialog's, shown again at its next showing
};

}  // namespace quillon
