#include "macros/build_options.h"

#include <gtest/gtest.h>

#include "macros/console_job.h"
#include "support/memory_platform.h"

namespace quillon {
namespace build_options_test {

// What a hand-written macros.cfg reads as, starting from macros that already hold "old".
TEST(BuildOptions, ReadingRules) {
  const struct {
    const char* what;
    const char* text;
    std::array<const char*, 4> macros;
  } cases[] = {
      {"lower case, blanks, text after the bracket", "  [f6] run\r\necho a\r\n", {"old", "echo a\r\n", "old", "old"}},
      {"other digits select nothing",
       "[F6]\nx\n[F1]\na\n[F9]\nb\n[F0]\nc\n[F4]\nd\n[F7]\ny\n",
       {"old", "x\r\n", "y\r\n", "old"}},
      {"two digits are body text", "[F8]\n[F10]\n", {"old", "old", "old", "[F10]\r\n"}},
      {"later duplicate wins", "[F7]\na\n[F7]\nb\n", {"old", "old", "b\r\n", "old"}},
      {"LF only, empty lines kept", "[F5]\na\n\nb\n", {"a\r\n\r\nb\r\n", "old", "old", "old"}},
      {"last line without a break", "[F5]\r\na\r\nb", {"a\r\nb\r\n", "old", "old", "old"}},
      {"header at the end", "[F5]\r\na\r\n[F6]", {"a\r\n", "", "old", "old"}},
      {"lines before the first header", "x\r\ny\r\n[F8]\r\nz\r\n", {"old", "old", "old", "z\r\n"}},
      {"byte-order mark", "\xEF\xBB\xBF[F5]\r\na\r\n", {"a\r\n", "old", "old", "old"}},
      {"Ctrl+Z ends the file", "[F5]\r\na\r\n\x1A", {"a\r\n", "old", "old", "old"}},
      {"a lone CR stays in the line", "[F5]\r\na\rb\r\n", {"a\rb\r\n", "old", "old", "old"}},
  };
  for (const auto& c : cases) {
    BuildOptions options;
    for (auto& text : options.texts) text = "old";
    ParseBuildOptions(c.text, options);
    for (std::size_t k = 0; k < 4; ++k) EXPECT_EQ(options.texts[k], c.macros[k]) << c.what << ", macro " << k + 1;
  }
}

TEST(BuildOptions, WritesFourSectionsAndReadsThemBack) {
  BuildOptions options;
  options.texts[1] = "echo one\r\necho two\r\n";
  options.texts[3] = "no line end";
  const std::string text = FormatBuildOptions(options);
  EXPECT_EQ(text, "[F5]\r\n[F6]\r\necho one\r\necho two\r\n[F7]\r\n[F8]\r\nno line end\r\n");

  BuildOptions back;
  ParseBuildOptions(text, back);
  EXPECT_EQ(back.texts[1], options.texts[1]);
  EXPECT_EQ(back.texts[3], "no line end\r\n");
  EXPECT_EQ(back.texts[0], "");
}

TEST(BuildOptions, FailedWriteKeepsTheOldFile) {
  MemoryPlatform platform;
  const std::string path = "C:\\ide\\macros.cfg";
  platform.Write(path, "[F6]\r\nkeep me\r\n");
  BuildOptions options;
  options.texts[1] = "new\r\n";

  using Step = MemoryPlatform::Step;
  for (Step step : {Step::kReplace, Step::kCreateTemporary}) {
    platform.failAt = step;
    EXPECT_FALSE(WriteBuildOptions(platform, path, options));
    EXPECT_EQ(platform.Read(path), "[F6]\r\nkeep me\r\n");
    EXPECT_EQ(platform.FilesIn("C:\\ide").size(), 1u);
  }
  platform.failAt = Step::kNone;

  EXPECT_TRUE(WriteBuildOptions(platform, path, options));
  BuildOptions back;
  EXPECT_TRUE(ReadBuildOptions(platform, path, back));
  EXPECT_EQ(back.texts[1], "new\r\n");
}

TEST(BuildOptions, MissingFileLeavesMacrosAndCreatesNothing) {
  MemoryPlatform platform;
  BuildOptions options;
  options.texts[2] = "kept\r\n";
  EXPECT_FALSE(ReadBuildOptions(platform, "C:\\ide\\macros.cfg", options));
  EXPECT_EQ(options.texts[2], "kept\r\n");
  EXPECT_FALSE(platform.Exists("C:\\ide\\macros.cfg"));
}

TEST(BuildOptions, MacroLinesDropLineEndsAndUnfinishedText) {
  using Lines = std::vector<std::string>;
  EXPECT_EQ(MacroLines("a\r\nb"), Lines{"a"});
  EXPECT_EQ(MacroLines("\r\n"), Lines{""});
  EXPECT_EQ(MacroLines("a\nb\r\n\r\n"), (Lines{"a", "b", ""}));
  EXPECT_EQ(MacroLines(""), Lines{});
}

TEST(ConsoleJob, RoundTrip) {
  const std::vector<ConsoleStep> steps = {{ConsoleStep::kFolder, "C:\\prj dir"},
                                          {ConsoleStep::kShow, ""},
                                          {ConsoleStep::kProgram, "\"C:\\as 1600.exe\" -o \"x.bin\""},
                                          {ConsoleStep::kCommand, "echo 100% %INPUT%"},
                                          {ConsoleStep::kListing, "C:\\prj dir\\game.lst"}};
  EXPECT_EQ(ParseConsoleJob(FormatConsoleJob(steps)), steps);
  // A line break inside a step cannot start a step of its own.
  const auto parsed = ParseConsoleJob(FormatConsoleJob({{ConsoleStep::kShow, "a\r\nPcalc.exe"}}));
  ASSERT_EQ(parsed.size(), 1u);
  EXPECT_EQ(parsed[0].kind, ConsoleStep::kShow);
}

}  // namespace build_options_test
}  // namespace quillon
