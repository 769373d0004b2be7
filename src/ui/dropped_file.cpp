#include "ui/dropped_file.h"

#include "base/text_util.h"

namespace quillon {

bool TakeDroppedFile(HWND owner, HDROP drop, std::string& path) {
  char buffer[kPathBufferSize] = "";
  const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
  // A path that does not fit is refused: cut, it could name another file.
  const UINT needed = count == 1 ? DragQueryFileA(drop, 0, nullptr, 0) : 0;
  const UINT length = count == 1 && needed < sizeof buffer ? DragQueryFileA(drop, 0, buffer, sizeof buffer) : 0;
  DragFinish(drop);
  if (count >= 2) {
    MessageBoxA(owner, "Please only drop one file at a time", "Error", MB_OK);
  } else if (needed >= sizeof buffer) {
    const std::string text = FormatLimited(kFormatBufferSize,
                                           "The path of the dropped file is too long to open (%u characters, "
                                           "at most %u).",
                                           needed, static_cast<unsigned>(kPathBufferSize - 1));
    MessageBoxA(owner, text.c_str(), "Error", MB_OK);
  }
  if (length == 0 || length >= sizeof buffer) return false;
  path.assign(buffer, length);
  return true;
}

}  // namespace quillon
