// The Find dialog: the find text, with the recent ones to pick from, and the search options.
#pragma once

#include <windows.h>

#include <string>

namespace quillon {

// Shows the dialog modally. On OK the text goes whole to `text` and the options to the
// settings' find flags; 1 after OK, 0 after Cancel.
// It starts with `initial` (the word at the caret), or the newest recent find when that is empty.
int ShowFindDialog(HWND owner, std::string& text, const std::string& initial);

}  // namespace quillon
