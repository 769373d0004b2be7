#include "project/project_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "project/project.h"
#include "support/memory_platform.h"

namespace quillon {
namespace project_file_test {

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
      {"indented header", "  [source] \na.asm\n\t[include]\nb.inc\n", "demo.qlp", ".\\obj", ".\\obj\\.lst", "a.asm",
       "a.asm", "b.inc"},
      {"value that starts with a bracketed word", "[source]\n[v2]\\lib.asm\n[x] y.asm\n", "demo.qlp", ".\\obj",
       ".\\obj\\.lst", "[v2]\\lib.asm", "[x] y.asm|[v2]\\lib.asm", ""},
      {"bracketed name under its header", "[project name]\n[demo]\n\n[source]\na.asm\n", "[demo]", ".\\obj",
       ".\\obj\\.lst", "a.asm", "a.asm", ""},
      {"empty name section before a header", "[project name]\n[source]\na.asm\n", "demo.qlp", ".\\obj", ".\\obj\\.lst",
       "a.asm", "a.asm", ""},
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
      {"header with a comment after it", "[source]   ; assembled first\r\nmain.asm\r\nsprites.asm\r\n", "demo.qlp",
       ".\\obj", ".\\obj\\.lst", "main.asm", "main.asm|sprites.asm", ""},
      {"header with text right after the bracket", "[Project Name]x\nGame\n[include]; none yet\n", "Game", ".\\obj",
       ".\\obj\\.lst", "", "", ""},
      {"empty name section at the end", "[source]\na.asm\n[project name]\n[source]\n", "demo.qlp", ".\\obj",
       ".\\obj\\.lst", "a.asm", "a.asm", ""},
      {"values that look like headers but name no section", "[source]\n[v2]\\lib.asm\n[sources] x.asm\n", "demo.qlp",
       ".\\obj", ".\\obj\\.lst", "[v2]\\lib.asm", "[sources] x.asm|[v2]\\lib.asm", ""},
      {"an unknown section's values are ignored", "[source]\na.asm\n[notes]\nb.asm\n[include]\nc.inc\n", "demo.qlp",
       ".\\obj", ".\\obj\\.lst", "a.asm", "a.asm", "c.inc"},
      {"LF only, no final break", "[project name]\nGame\n[source]\na.asm\nb.asm", "Game", ".\\obj", ".\\obj\\.lst",
       "a.asm", "a.asm|b.asm", ""},
      {"CR LF with a final break", "[project name]\r\nGame\r\n[source]\r\na.asm\r\n", "Game", ".\\obj", ".\\obj\\.lst",
       "a.asm", "a.asm", ""},
  };
  for (const auto& c : cases) {
    MemoryPlatform platform;
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

// An empty bracket pair, as a hand edit leaves it, is a value: the section goes on after it, and
// the next save keeps every line.
TEST(ProjectFile, AnEmptyBracketPairDoesNotEndItsSection) {
  for (const std::string brackets : {"[]", "[ ]", "[\t]", "  []  "}) {
    for (const bool underSource : {true, false}) {
      const std::string text = "[source]\nmain.asm\n" + (underSource ? brackets + "\n" : "") + "b.asm\n[include]\n" +
                               (underSource ? "" : brackets + "\n") + "c.inc\n[other]\nnotes.txt\n";
      SCOPED_TRACE(text);
      MemoryPlatform platform;
      Settings settings;
      platform.Write("C:\\prj\\demo.qlp", text);
      Project project(platform, settings);
      ASSERT_TRUE(project.LoadProject("C:\\prj\\demo.qlp"));
      EXPECT_EQ(project.mainSource, "main.asm");
      EXPECT_EQ(GroupPaths(project, ProjectGroup::kSource), (underSource ? brackets + "|" : "") + "b.asm|main.asm");
      EXPECT_EQ(GroupPaths(project, ProjectGroup::kInclude), (underSource ? "" : brackets + "|") + "c.inc");
      EXPECT_EQ(GroupPaths(project, ProjectGroup::kOther), "notes.txt");

      project.SetOutputName("renamed");
      ASSERT_EQ(project.SaveProject(), SaveResult::kSaved);
      const ProjectRecord saved = ReadProjectText(platform.Read("C:\\prj\\demo.qlp"));
      EXPECT_EQ(saved, project.Record());
      const ProjectRecord expected = {{ProjectSection::kSource, "main.asm"},
                                      {underSource ? ProjectSection::kSource : ProjectSection::kInclude, brackets},
                                      {ProjectSection::kSource, "b.asm"},
                                      {ProjectSection::kInclude, "c.inc"},
                                      {ProjectSection::kOther, "notes.txt"}};
      for (const ProjectValue& value : expected)
        EXPECT_NE(std::find(saved.begin(), saved.end(), value), saved.end()) << value.text << " was dropped";
    }
  }
}

TEST(ProjectFile, AWrittenProjectReadsBackIdentically) {
  MemoryPlatform platform;
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
      "[source]\r\nzeta.asm\r\nC:\\games [old]\\Alpha.asm\r\nbeta.asm\r\n\r\n"
      "[include]\r\ninc\\gfx.inc\r\n\r\n"
      "[listing]\r\n.\\obj\\demo.lst\r\n\r\n"
      "[other]\r\n  notes.txt\r\n";
  ASSERT_EQ(platform.Read("C:\\prj\\demo.qlp"), expected);

  Project again(platform, settings);
  ASSERT_TRUE(again.LoadProject("C:\\prj\\demo.qlp"));
  EXPECT_EQ(again.mainSource, "zeta.asm");  // written first, so still the main source
  EXPECT_EQ(again.outputName, "renamed");
  EXPECT_EQ(again.FileIndex().size(), 6u);
  EXPECT_EQ(WriteProjectText(again.Record()), expected);
}

// Include folders: a section only when there are some, read back in order; the settings text
// drops blanks and empty lines. A file with the section, read by a version without it, loses
// only that section (an unknown header).
TEST(ProjectFile, IncludeFoldersAreKeptInTheProjectFile) {
  MemoryPlatform platform;
  Settings settings;
  platform.Write("C:\\prj\\demo.qlp", "[project name]\nDemo\n[output name]\ndemo\n[source]\nmain.asm\n");
  Project project(platform, settings);
  ASSERT_TRUE(project.LoadProject("C:\\prj\\demo.qlp"));
  const std::string before = WriteProjectText(project.Record());
  EXPECT_EQ(before.find("[include folders]"), std::string::npos);
  const std::vector<std::string> folders = FoldersFromText("  ..\\library \r\n\r\nD:\\kit\\[v2]\n\t\n");
  EXPECT_EQ(folders, (std::vector<std::string>{"..\\library", "D:\\kit\\[v2]"}));
  EXPECT_EQ(FoldersText(folders), "..\\library\r\nD:\\kit\\[v2]");
  project.SetIncludeFolders(folders);
  EXPECT_TRUE(project.settingsChanged);
  ASSERT_EQ(project.SaveProject(), SaveResult::kSaved);
  const std::string written = platform.Read("C:\\prj\\demo.qlp");
  EXPECT_NE(written.find("[output name]\r\ndemo\r\n\r\n[include folders]\r\n..\\library\r\nD:\\kit\\[v2]\r\n\r\n"),
            std::string::npos)
      << written;
  Project again(platform, settings);
  ASSERT_TRUE(again.LoadProject("C:\\prj\\demo.qlp"));
  EXPECT_EQ(again.includeFolders, folders);
  again.SetIncludeFolders(folders);
  EXPECT_FALSE(again.settingsChanged) << "the same folders change nothing";
  EXPECT_EQ(WriteProjectText(again.Record()), written);
}

// Everything a reload must give back: fields, then every group's nodes in tree order.
std::string Snapshot(const Project& project) {
  std::string text = project.projectName + "\n" + project.Root().text + "\n" + project.outputPath + "\n" +
                     project.outputName + "\n" + project.listingPath + "\n" + project.mainSource + "\n";
  for (ProjectGroup group :
       {ProjectGroup::kSource, ProjectGroup::kInclude, ProjectGroup::kListing, ProjectGroup::kOther}) {
    text += "group\n";
    for (const auto& node : project.Group(group).children) {
      text += node->text + "|" + std::to_string(node->imageSlot) + "|" + node->entry->displayName + "|" +
              node->entry->path + "\n";
    }
  }
  return text;
}

class Generator {
 public:
  explicit Generator(unsigned seed) : random_(seed) {}

  // Any one-line text, often one that looks like a section header.
  std::string Name() {
    switch (Below(6)) {
      case 0:
        return "[" + Word() + "]";
      case 1:
        return Pick({"[source]", "[project name]", " [listing] ", "[]", "   "});
      case 2:
        return std::string(260 + Below(60), 'n');
      default:
        return Text(1 + Below(30));
    }
  }

  // A path as a chooser or a project file gives it: folders and a file name with brackets,
  // blanks and '&', absolute or relative, up to 259 characters.
  std::string Path() {
    std::string path = Pick({"C:\\", "", ".\\", "..\\", "\\\\srv\\share\\", "C:\\games [old]\\"});
    const int folders = Below(4);
    for (int i = 0; i < folders; ++i) path += (Below(3) == 0 ? "[" + Word() + "]" : Text(1 + Below(12))) + "\\";
    // Often one of a few names, so that texts equal but for case meet in a group.
    path +=
        Below(3) == 0 ? Pick({"main.asm", "Main.asm", "MAIN.asm"}) : Text(1 + Below(12)) + Pick({".asm", ".inc", ""});
    if (Below(8) == 0 && path.size() < 259) path.insert(path.size() - 1, 259 - path.size(), 'p');
    return path;
  }

  int Below(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }

 private:
  std::string Pick(std::initializer_list<const char*> choices) { return *(choices.begin() + Below(choices.size())); }
  std::string Word() { return Pick({"v2", "demo", "source", "old build", "x_1"}); }
  std::string Text(int length) {
    static const std::string alphabet = "abcXYZ019_ -&[]().,'\xe9";
    std::string text;
    for (int i = 0; i < length; ++i) text += alphabet[Below(alphabet.size())];
    return text;
  }

  std::mt19937 random_;
};

// A one-value setting as the settings dialog lets it through: not a section header.
std::string SettingName(Generator& generate) {
  for (;;) {
    std::string name = generate.Name();
    ProjectSection section;
    if (KindOfLine(name, section) != LineKind::kHeader) return name;
  }
}

TEST(ProjectFile, EveryWrittenProjectReadsBackIdentically) {
  Generator generate(20261207);
  for (int round = 0; round < 300; ++round) {
    MemoryPlatform platform;
    Settings settings;
    platform.MakeFolders("C:\\prj");
    Project project(platform, settings);
    project.SetProjectName(SettingName(generate), "C:\\prj\\demo.qlp");
    project.loaded = true;
    project.SetOutputPath(SettingName(generate));
    project.SetOutputName(generate.Below(4) == 0 ? std::string() : SettingName(generate));
    std::string listing = StorablePath(generate.Path());
    project.AddListingFile(NameOf(listing), listing);
    for (int i = generate.Below(12); i > 0; --i) {
      const std::string path = StorablePath(generate.Path());
      switch (generate.Below(3)) {
        case 0:
          project.AddSourceFile(NameOf(path), path);
          break;
        case 1:
          project.AddIncludeFile(NameOf(path), path);
          break;
        default:
          project.AddOtherFile(NameOf(path), path);
      }
    }
    ASSERT_EQ(project.SaveProject(), SaveResult::kSaved);
    const std::string written = platform.Read("C:\\prj\\demo.qlp");

    Project again(platform, settings);
    ASSERT_TRUE(again.LoadProject("C:\\prj\\demo.qlp"));
    ASSERT_EQ(Snapshot(again), Snapshot(project)) << "round " << round << ", file:\n" << written;
    ASSERT_EQ(WriteProjectText(again.Record()), written) << "round " << round;
  }
}

TEST(ProjectFile, CreateProjectWritesNineLinesAndLoadsThem) {
  MemoryPlatform platform;
  Settings settings;
  platform.MakeFolders("C:\\work");
  platform.Write("C:\\work\\demo\\demo.qlp", "[project name]\nold\n");
  Project project(platform, settings);
  ASSERT_TRUE(project.CreateProject("demo", "C:\\work\\demo"));
  EXPECT_EQ(platform.Read("C:\\work\\demo\\demo.qlp"),
            "[project name]\r\ndemo\r\n\r\n[output path]\r\n.\\obj\r\n\r\n[output name]\r\ndemo\r\n\r\n");
  EXPECT_EQ(platform.FilesIn("C:\\work\\demo"), std::vector<std::string>{"C:\\work\\demo\\demo.qlp"});
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

}  // namespace project_file_test
}  // namespace quillon
