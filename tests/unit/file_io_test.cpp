#include "base/file_io.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/memory_platform.h"

namespace quillon {
namespace file_io_test {

using Step = MemoryPlatform::Step;
using Names = std::vector<std::string>;

TEST(FileIo, AReplaceThatFailsAtAnyStepLeavesTheOldFile) {
  const std::string large(200 * 1024, 'x');  // several blocks: the failure comes part-way
  for (Step step :
       {Step::kCreateTemporary, Step::kWrite, Step::kFlush, Step::kClose, Step::kSetAttributes, Step::kReplace}) {
    for (bool readOnlyBefore : {false, true}) {
      SCOPED_TRACE(static_cast<int>(step));
      MemoryPlatform platform;
      platform.Write("C:\\prj\\demo.qlp", "old");
      platform.Write("C:\\prj\\other.asm", "other");
      platform.attributes["C:\\prj\\demo.qlp"].bits = 0x20;  // archive: kept by a replace
      platform.failAt = step;
      EXPECT_FALSE(WriteFileReplacing(platform, "C:\\prj\\demo.qlp", large));
      platform.failAt = Step::kNone;
      EXPECT_EQ(platform.Read("C:\\prj\\demo.qlp"), "old");
      EXPECT_EQ(platform.FilesIn("C:\\prj"), (Names{"C:\\prj\\demo.qlp", "C:\\prj\\other.asm"}));
      if (readOnlyBefore) platform.attributes["C:\\prj\\demo.qlp"].readOnly = true;
      EXPECT_EQ(WriteFileReplacing(platform, "C:\\prj\\demo.qlp", large), !readOnlyBefore);
      EXPECT_EQ(platform.Read("C:\\prj\\demo.qlp"), readOnlyBefore ? "old" : large);
      EXPECT_EQ(platform.attributes["C:\\prj\\demo.qlp"].bits, 0x20u);
      EXPECT_EQ(platform.FilesIn("C:\\prj").size(), 2u);
    }
  }
}

TEST(FileIo, ReplaceWritesANewFileAndEmptyText) {
  MemoryPlatform platform;
  EXPECT_TRUE(WriteFileReplacing(platform, "C:\\demo.qlp", "text"));  // in a drive's root
  EXPECT_EQ(platform.Read("C:\\demo.qlp"), "text");
  EXPECT_TRUE(WriteFileReplacing(platform, "C:\\demo.qlp", ""));
  EXPECT_TRUE(platform.Exists("C:\\demo.qlp"));
  EXPECT_EQ(platform.Read("C:\\demo.qlp"), "");
  EXPECT_FALSE(WriteFileReplacing(platform, "C:\\gone\\demo.qlp", "text"));  // no such folder
  EXPECT_FALSE(platform.Exists("C:\\gone\\demo.qlp"));
}

TEST(FileIo, AReadErrorIsNotTheEndOfTheFile) {
  for (Step step : {Step::kOpen, Step::kRead, Step::kClose}) {
    MemoryPlatform platform;
    platform.Write("C:\\prj\\demo.qlp", std::string(200 * 1024, 'x'));
    platform.failAt = step;
    std::string text = "before";
    EXPECT_FALSE(ReadWholeFile(platform, "C:\\prj\\demo.qlp", text)) << static_cast<int>(step);
    EXPECT_EQ(text, "");
    platform.failAt = Step::kNone;
    EXPECT_TRUE(ReadWholeFile(platform, "C:\\prj\\demo.qlp", text));
    EXPECT_EQ(text.size(), 200u * 1024);
  }
}

}  // namespace file_io_test
}  // namespace quillon
