// The sizes the frame's panes start with, for a client area and the screen's DPI.
#pragma once

namespace quillon {

struct PaneSizes {
  int fileWidth;     // the file pane, without the sizing border outside the client area
  int outputHeight;  // the output pane
};

// A fifth of the width for the file pane and a quarter of the height for the output pane; at
// high DPI or in a small frame never so little that their text is cut (160 and 100 pixels at
// 96 DPI), and never more than half the width or a third of the height.
PaneSizes FirstPaneSizes(int clientWidth, int clientHeight, int dpi);

}  // namespace quillon
