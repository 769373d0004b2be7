#include "base/version.h"

#include <gtest/gtest.h>

namespace quillon {
namespace version_test {

TEST(Version, TextShowsMajorMinorRevisionLetterAndBeta) {
  struct Case {
    std::uint32_t packed;
    const char* expected;
  };
  const Case cases[] = {
      {kPackedVersion, "Quillon v1.2 BETA 2"},
      {0x01020100, "Quillon v1.2a"},
      {0x01020203, "Quillon v1.2b BETA 3"},
      {0x01020000, "Quillon v1.2"},
      {0x020A0000, "Quillon v2.10"},
      {0xFF0000FF, "Quillon v255.0 BETA 255"},
      {0x00000000, "Quillon v0.0"},
  };
  for (const Case& c : cases) EXPECT_EQ(VersionText("Quillon", c.packed), c.expected) << std::hex << c.packed;
}

}  // namespace version_test
}  // namespace quillon
