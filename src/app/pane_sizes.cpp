#include "app/pane_sizes.h"

#include <algorithm>

namespace quillon {

namespace {

int AtDpi(int pixels96, int dpi) { return dpi > 0 ? pixels96 * dpi / 96 : pixels96; }

}  // namespace

PaneSizes FirstPaneSizes(int clientWidth, int clientHeight, int dpi) {
  const int width = std::max(clientWidth, 0);
  const int height = std::max(clientHeight, 0);
  PaneSizes sizes;
  sizes.fileWidth = std::min(std::max(width / 5, AtDpi(160, dpi)), width / 2);
  sizes.outputHeight = std::min(std::max(height / 4, AtDpi(100, dpi)), height / 3);
  return sizes;
}

}  // namespace quillon
