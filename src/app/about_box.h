// The About box.
#pragma once

#include <windows.h>

namespace quillon {

// The modal About box with the version text and the links to the maker.
void ShowAbout(HWND owner);

}  // namespace quillon
