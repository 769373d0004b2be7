#include "app/pane_sizes.h"

#include <gtest/gtest.h>

namespace quillon {
namespace pane_sizes_test {

TEST(PaneSizes, FirstSizesAreShareOfTheFrameButNotSoSmallThatTextIsCut) {
  struct Case {
    int width, height, dpi;
    int fileWidth, outputHeight;
  };
  const Case cases[] = {
      {1000, 600, 96, 200, 150},    // a fifth and a quarter
      {1000, 600, 192, 320, 200},   // 200 %: 160 and 100 pixels at 96 DPI, doubled
      {1000, 600, 144, 240, 150},   // 150 %
      {2000, 1600, 192, 400, 400},  // a large frame at 200 %: the shares again
      {500, 240, 192, 250, 80},     // a small frame: at most half the width, a third of the height
      {0, 0, 96, 0, 0},
      {-5, -5, 96, 0, 0},
  };
  for (const Case& c : cases) {
    const PaneSizes sizes = FirstPaneSizes(c.width, c.height, c.dpi);
    EXPECT_EQ(sizes.fileWidth, c.fileWidth) << c.width << "x" << c.height << " at " << c.dpi;
    EXPECT_EQ(sizes.outputHeight, c.outputHeight) << c.width << "x" << c.height << " at " << c.dpi;
  }
}

}  // namespace pane_sizes_test
}  // namespace quillon
