// Files dropped from the shell: only one at a time is taken.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

namespace quillon {

// Takes the one dropped file and releases the drop. With two or more files, shows "Please
// only drop one file at a time" (owned by `owner`) and returns false; a path longer than 259
// characters is refused with a box too, never cut.
bool TakeDroppedFile(HWND owner, HDROP drop, std::string& path);

}  // namespace quillon
