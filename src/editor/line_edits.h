// Edits of whole lines that the editor's keys make: the indent Enter keeps, indenting and
// outdenting selected lines, and commenting them. Lines here are separated by '\r' (the text
// control's line break).
#pragma once

#include <string>

namespace quillon {

// The blanks (spaces and tabs) that start `line`.
std::string LeadingBlanks(const std::string& line);

// `lines` with a tab before each line that holds anything.
std::string IndentLines(const std::string& lines);
// `lines` with one indent taken from each line start: a tab, or up to `tabWidth` spaces (a tab
// after fewer spaces goes with them).
std::string OutdentLines(const std::string& lines, int tabWidth);
// When every line that holds anything starts with ";" after its blanks, `lines` with that ";"
// taken away; otherwise with ";" put at the start of each line that holds anything.
std::string ToggleLineComments(const std::string& lines);

}  // namespace quillon
