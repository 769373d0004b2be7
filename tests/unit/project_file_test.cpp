#include "project/project_file.h"

#include <gtest/gtest.h>

#include "fake_project_platform.h"
#include "project/project.h"

namespace quillon {
namespace {

// What a hand-written file reads as. The file is C:\prj\demo.qlp.
TEST(ProjectFile, ReadingRules) {
  const struct {
    const char* what;
    const char* text;
    const char* name;
    const char* outputPath;
    const char* listing;
    const char* mainSource;
    const char* sources;
    const char* includes;
  } cases[] = {
      {"no header", "just a line\r\n", "demo.qlp", ".\\obj", ".\\obj\\.lst", "", "", ""},
      {"headers ignore case", "[Project Name]\nGame\n[OUTPUT PATH]\nbin\n[Output Name]\ngame\n[SOURCE]\nmain.asm\n",
       "Game", "bin", "bin\\game.lst", "main.asm", "main.asm", ""},
      {"unknown sections", "[ project name]\nX\n[project  name]\nY\n[]\nZ\n[source]\na.asm\n", "demo.qlp", ".\\obj",
       ".\\obj\\.lst", "a.asm", "a.asm", ""},
      {"bracket inside a value", "[source]\nC:\\games [old]\\main.asm\nb.asm\n", "demo.qlp", ".\\obj", ".\\obj\\.lst",
       "C:\\games [old]\\main.asm", "b.asm|C:\\games [old]\\main.asm", ""},
      {"indented header, text after it", "  [source] more\na.asm\n\t[include]\nb.inc\n", "demo.qlp", ".\\obj",
       ".\\obj\\.lst", "a.asm", "a.asm", "b.inc"},
      {"byte-order mark", "\xEF\xBB\xBF[source]\r\na.asm\r\n", "demo.qlp", ".\\obj", ".\\obj\\.lst", "a.asm", "a.asm",
       ""},
      {"last line without a break", "[source]\r\na.asm\r\nb.asm", "demo.qlp", ".\\obj", ".\\obj\\.lst", "a.asm",
       "a.asm|b.asm", ""},
      {"spaces are kept", "[source]\n  a.asm  \n   \n", "demo.qlp", ".\\obj", ".\\obj\\.lst", "  a.asm  ",
       "   |  a.asm  ", ""},
      {"second name and second listing", "[project name]\nA\nB\n[listing]\nx.lst\ny.lst\n", "B", ".\\obj", "x.lst", "",
       "", ""},
      {"build before source", "[build]\nmain.asm\n[source]\nmain.asm\nz.asm\n", "demo.qlp", ".\\obj", ".\\obj\\.lst",
       "main.asm", "main.asm|z.asm", ""},
      {"build after source", "[source]\nz.asm\n[build]\nmain.asm\n", "demo.qlp", ".\\obj", ".\\obj\\.lst", "z.asm",
       "z.asm", ""},
      {"one file in two groups", "[include]\nC:\\prj\\a.asm\n[source]\nc:\\PRJ\\a.asm\n", "demo.qlp", ".\\obj",
       ".\\obj\\.lst", "", "", "C:\\prj\\a.asm"},
      {"lines before the first header", "stray\n\n[source]\n\na.asm\n", "demo.qlp", ".\\obj", ".\\obj\\.lst", "a.asm",
       "a.asm", ""},
  };
  for (const auto& c : cases) {
    FakeProjectPlatform platform;
    Settings settings;
    platform.Write("C:\\prj\\demo.qlp", c.text);
    Project project(platform, settings);
    ASSERT_TRUE(project.LoadProject("C:\\prj\\demo.qlp")) << c.what;
    EXPECT_TRUE(project.loaded);
    EXPECT_FALSE(project.settingsChanged) << c.what;
    EXPECT_EQ(project.projectName, c.name) << c.what;
    EXPECT_EQ(project.Root().text, c.name) << c.what;
    EXPECT_EQ(project.ProjectFile(), "C:\\prj\\demo.qlp") << c.what;
    EXPECT_EQ(project.projectDir, "C:\\prj") << c.what;
    EXPECT_EQ(project.outputPath, c.outputPath) << c.what;
    EXPECT_EQ(project.listingPath, c.listing) << c.what;
    EXPECT_EQ(GroupPaths(project, ProjectGroup::kListing), c.listing) << c.what;
    EXPECT_EQ(project.mainSource, c.mainSource) << c.what;
    EXPECT_EQ(GroupPaths(project, ProjectGroup::kSource), c.sources) << c.what;
    EXPECT_EQ(GroupPaths(project, ProjectGroup::kInclude), c.includes) << c.what;
  }
}

TEST(ProjectFile, AWrittenProjectReadsBackIdentically) {
  FakeProjectPlatform platform;
  Settings settings;
  platform.Write("C:\\prj\\demo.qlp", "[project name]\nDemo\n[output name]\ndemo\n[source]\nzeta.asm\n");
  Project project(platform, settings);
  ASSERT_TRUE(project.LoadProject("C:\\prj\\demo.qlp"));
  EXPECT_EQ(project.mainSource, "zeta.asm");
  project.AddSourceFile("Alpha.asm", "C:\\games [old]\\Alpha.asm");
  project.AddSourceFile("beta.asm", "beta.asm");
  project.AddIncludeFile("gfx.inc", "inc\\gfx.inc");
  project.AddOtherFile("notes.txt", "  notes.txt");
  project.SetOutputName("renamed");  // the listing stays where it was fixed
  ASSERT_EQ(project.SaveProject(), SaveResult::kSaved);
  EXPECT_FALSE(project.settingsChanged);

  const std::string expected =
      "[project name]\r\nDemo\r\n\r\n"
      "[output path]\r\n.\\obj\r\n\r\n"
      "[output name]\r\nrenamed\r\n\r\n"
      "[source]\r\nC:\\games [old]\\Alpha.asm\r\nbeta.asm\r\nzeta.asm\r\n\r\n"
      "[include]\r\ninc\\gfx.inc\r\n\r\n"
      "[listing]\r\n.\\obj\\demo.lst\r\n\r\n"
      "[other]\r\n  notes.txt\r\n";
  ASSERT_EQ(platform.Read("C:\\prj\\demo.qlp"), expected);

  Project again(platform, settings);
  ASSERT_TRUE(again.LoadProject("C:\\prj\\demo.qlp"));
  EXPECT_EQ(again.mainSource, "C:\\games [old]\\Alpha.asm");  // the first [source] line
  EXPECT_EQ(again.outputName, "renamed");
  EXPECT_EQ(again.FileIndex().size(), 6u);
  ASSERT_EQ(again.SaveProject(), SaveResult::kSaved);
  EXPECT_EQ(platform.Read("C:\\prj\\demo.qlp"), expected);
}

TEST(ProjectFile, CreateProjectWritesNineLinesAndLoadsThem) {
  FakeProjectPlatform platform;
  Settings settings;
  platform.MakeFolders("C:\\work");
  platform.Write("C:\\work\\demo\\demo.qlp", "[project name]\nold\n");
  Project project(platform, settings);
  ASSERT_TRUE(project.CreateProject("demo", "C:\\work\\demo"));
  EXPECT_EQ(platform.Read("C:\\work\\demo\\demo.qlp"),
            "[project name]\r\ndemo\r\n\r\n[output path]\r\n.\\obj\r\n\r\n[output name]\r\ndemo\r\n\r\n");
  EXPECT_FALSE(platform.Exists("C:\\work\\demo\\demo.qlp.tmp"));
  EXPECT_TRUE(project.loaded);
  EXPECT_EQ(project.projectName, "demo");
  EXPECT_EQ(project.listingPath, ".\\obj\\demo.lst");
  EXPECT_TRUE(platform.Exists("C:\\work\\demo\\obj"));
  EXPECT_EQ(settings.startDirectory, "C:\\work\\demo");
  EXPECT_EQ(platform.currentDirectory, "C:\\work\\demo");
  EXPECT_TRUE(project.Group(ProjectGroup::kSource).expanded);

  // Only one folder level is created.
  EXPECT_FALSE(project.CreateProject("game", "C:\\missing\\game"));
  EXPECT_EQ(project.projectName, "demo");
}

}  // namespace
}  // namespace quillon
