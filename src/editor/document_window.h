// Document windows: MDI children that hold one source file each.
#pragma once

#include <windows.h>

namespace quillon {

// Extra bytes of each document window; the first pointer-sized slot holds its document.
inline constexpr int kDocumentWindowExtraBytes = 304;

LRESULT CALLBACK DocumentWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace quillon
