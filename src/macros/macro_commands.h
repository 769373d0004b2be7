// The Macros menu commands: the console build (index 0) and macros 2 to 4 (indexes 1 to 3).
#pragma once

#include <windows.h>

#include <string>

namespace quillon {

// Runs one command in a console of the helper's own and returns when that console has gone.
// The frame is disabled meanwhile but keeps painting.
void RunMacroCommand(HWND frame, int index);

// %LOCAL% is the working directory; %INPUT% and %OUTPUT% are the path of `document`'s record,
// "untitled" when there is no window or no record.
std::string ExpandMacro(std::string text, HWND document);

}  // namespace quillon
