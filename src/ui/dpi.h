// Sizes in pixels at the screen's DPI. The program is system-aware (see its manifest): the DPI is
// the one it started with.
#pragma once

namespace quillon {

// The screen's dots per inch (96 at 100 %).
int ScreenDpi();
// `pixels` at 96 DPI, for the screen's DPI.
int Scaled(int pixels);

// The strip left of a document's text that the error marks are drawn in, at 96 DPI.
inline constexpr int kGutterWidth96 = 20;

}  // namespace quillon
