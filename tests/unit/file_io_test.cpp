#include "project/file_io.h"

#include <gtest/gtest.h>

#include <string>

#include "fake_project_platform.h"

namespace quillon {
namespace {

using Fault = FakeProjectPlatform::Fault;

// The failing streams need the C library's custom streams; the native build has them.
#if defined(__GLIBC__)
#define SKIP_WITHOUT_FAILING_STREAMS()
#else
#define SKIP_WITHOUT_FAILING_STREAMS() GTEST_SKIP() << "no custom streams in this C library"
#endif

TEST(FileIo, AWriteThatFailsAtAnyStepLeavesTheOldFile) {
  SKIP_WITHOUT_FAILING_STREAMS();
  const std::string large(64 * 1024, 'x');  // more than the stream's buffer: the write itself fails
  const struct {
    const char* what;
    Fault fault;
    bool failReplace;
    std::string text;
  } cases[] = {
      {"write stops short", Fault::kShortWrite, false, large},
      {"flush at close fails", Fault::kShortWrite, false, "small"},
      {"close fails", Fault::kFailedClose, false, "small"},
      {"replace fails", Fault::kNone, true, large},
  };
  for (const auto& c : cases) {
    FakeProjectPlatform platform;
    platform.Write("C:\\prj\\demo.qlp", "old");
    platform.fault = c.fault;
    platform.failReplace = c.failReplace;
    EXPECT_FALSE(WriteFileReplacing(platform, "C:\\prj\\demo.qlp", c.text)) << c.what;
    platform.fault = Fault::kNone;
    EXPECT_EQ(platform.Read("C:\\prj\\demo.qlp"), "old") << c.what;
    EXPECT_FALSE(platform.Exists("C:\\prj\\demo.qlp.tmp")) << c.what;
  }
}

TEST(FileIo, AReadErrorIsNotTheEndOfTheFile) {
  SKIP_WITHOUT_FAILING_STREAMS();
  FakeProjectPlatform platform;
  platform.Write("C:\\prj\\demo.qlp", std::string(64 * 1024, 'x'));
  platform.fault = Fault::kReadError;
  std::string text = "before";
  EXPECT_FALSE(ReadWholeFile(platform, "C:\\prj\\demo.qlp", text));
  EXPECT_EQ(text, "");
}

}  // namespace
}  // namespace quillon
