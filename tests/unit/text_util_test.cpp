#include "base/text_util.h"

#include <gtest/gtest.h>

namespace quillon {
namespace text_util_test {

TEST(TextUtil, FolderAndNameSplitAtTheLastBackslash) {
  struct Case {
    const char* path;
    const char* folder;
    const char* name;
  };
  const Case cases[] = {
      {"C:\\Work\\game.asm", "C:\\Work", "game.asm"},
      {"C:\\game.asm", "C:", "game.asm"},
      {"game.asm", "game.asm", "game.asm"},
      {"", "", ""},
      {"C:\\dir\\", "C:\\dir", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FolderOf(c.path), c.folder) << c.path;
    EXPECT_EQ(NameOf(c.path), c.name) << c.path;
  }
}

TEST(TextUtil, FormattingIsCutToTheBuffer) {
  std::string long_arg(400, 'x');
  std::string text = FormatLimited(kFormatBufferSize, "<%s>", long_arg.c_str());
  EXPECT_EQ(text.size(), 255u);
  EXPECT_EQ(text.front(), '<');
  char buffer[8];
  CopyLimited(buffer, sizeof buffer, "0123456789");
  EXPECT_STREQ(buffer, "0123456");
}

TEST(TextUtil, CaseInsensitiveComparison) {
  EXPECT_TRUE(EqualsNoCase("C:\\PRJ\\Main.ASM", "c:\\prj\\main.asm"));
  EXPECT_FALSE(EqualsNoCase("main.asm", "main.as"));
  EXPECT_LT(CompareNoCase("alpha", "Beta"), 0);
  EXPECT_GT(CompareNoCase("Zeta", "alpha"), 0);
  EXPECT_LT(CompareNoCase("abc", "ABCD"), 0);
}

TEST(TextUtil, BaseNameDropsFolderAndLastExtension) {
  struct Case {
    const char* path;
    const char* baseName;
  };
  const Case cases[] = {
      {"C:\\src\\demo.asm", "demo"}, {"C:\\src\\demo.v2.asm", "demo.v2"},   {"C:\\my.dir\\demo", "demo"},
      {"demo.asm", "demo"},          {"C:\\src\\pack.tar.inc", "pack.tar"}, {"C:\\src\\.inc", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(BaseNameOf(c.path), c.baseName) << c.path;
}

}  // namespace text_util_test
}  // namespace quillon
