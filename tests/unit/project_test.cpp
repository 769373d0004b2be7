#include "project/project.h"

#include <gtest/gtest.h>

#include <map>

#include "support/memory_platform.h"

namespace quillon {
namespace project_test {

// A view that rebuilds the tree from what it is told, as the file pane does.
class MirrorObserver : public ProjectObserver {
 public:
  void NodeInserted(ProjectNode& node) override {
    ASSERT_EQ(items_.count(&node), 0u);
    items_[&node].text = node.text;
    if (node.parent == nullptr) {
      top_.push_back(&node);
      return;
    }
    ASSERT_EQ(items_.count(node.parent), 1u) << "parent not shown yet";
    auto& siblings = items_[node.parent].children;
    auto position = siblings.begin();
    if (const ProjectNode* previous = node.PreviousSibling()) {
      position = std::find(siblings.begin(), siblings.end(), previous);
      ASSERT_NE(position, siblings.end());
      ++position;
    }
    siblings.insert(position, &node);
  }
  void NodeDeleting(ProjectNode& node) override {
    ASSERT_EQ(items_.count(&node), 1u);
    EXPECT_TRUE(items_[&node].children.empty()) << "children must go first";
    for (auto& [key, item] : items_) std::erase(item.children, &node);
    std::erase(top_, &node);
    items_.erase(&node);
  }
  void NodeTextChanged(ProjectNode& node) override { items_.at(&node).text = node.text; }
  void NodeExpanded(ProjectNode&) override {}
  void TreeLoaded() override {}

  std::string Shown() {
    std::string text;
    for (const ProjectNode* node : top_) Render(node, 0, text);
    return text;
  }

 private:
  struct Item {
    std::string text;
    std::vector<const ProjectNode*> children;
  };
  void Render(const ProjectNode* node, int depth, std::string& text) {
    text += std::string(depth, ' ') + items_.at(node).text + "\n";
    for (const ProjectNode* child : items_.at(node).children) Render(child, depth + 1, text);
  }
  std::map<const ProjectNode*, Item> items_;
  std::vector<const ProjectNode*> top_;
};

std::string Render(const ProjectNode& node, int depth = 0) {
  std::string text = std::string(depth, ' ') + node.text + "\n";
  for (const auto& child : node.children) text += Render(*child, depth + 1);
  return text;
}

TEST(Project, AFileIsInTheProjectOnceAcrossAllGroups) {
  const struct {
    const char* what;
    const char* display;
    const char* path;
    bool added;
  } cases[] = {
      {"same path", "main.asm", "C:\\prj\\main.asm", false},
      {"other letter case in the folder", "main.asm", "c:\\PRJ\\main.asm", false},
      {"relative to the current folder", "main.asm", "main.asm", false},
      {"dot segments", "main.asm", "sub\\..\\.\\main.asm", false},
      {"name differs in case", "Main.asm", "C:\\prj\\Main.asm", true},
      {"other folder", "main.asm", "C:\\other\\main.asm", true},
  };
  for (const auto& c : cases) {
    MemoryPlatform platform;
    platform.currentDirectory = "C:\\prj";
    Settings settings;
    Project project(platform, settings);
    ASSERT_TRUE(project.AddSourceFile("main.asm", "C:\\prj\\main.asm"));
    project.settingsChanged = false;
    EXPECT_EQ(project.AddIncludeFile(c.display, c.path), c.added) << c.what;
    EXPECT_EQ(project.settingsChanged, c.added) << c.what;
    EXPECT_EQ(project.FileIndex().size(), c.added ? 2u : 1u) << c.what;
  }
}

TEST(Project, FilesSortIgnoringCaseAndTheFirstSourceIsTheMain) {
  MemoryPlatform platform;
  Settings settings;
  Project project(platform, settings);
  project.AddSourceFile("zeta.asm", "zeta.asm");
  project.AddSourceFile("Beta.asm", "Beta.asm");
  project.AddSourceFile("alpha.asm", "alpha.asm");
  EXPECT_FALSE(project.AddMainSource("main.asm", "main.asm"));  // a main source is set
  const auto& sources = project.Group(ProjectGroup::kSource).children;
  ASSERT_EQ(sources.size(), 3u);
  EXPECT_EQ(sources[0]->text, "alpha.asm");
  EXPECT_EQ(sources[1]->text, "Beta.asm");
  EXPECT_EQ(sources[2]->text, "zeta.asm");
  EXPECT_EQ(sources[2]->imageSlot, kMainSourceImage);
  EXPECT_EQ(sources[0]->imageSlot, kSourceImage);
  EXPECT_EQ(project.mainSource, "zeta.asm");
  EXPECT_TRUE(project.AddListingFile("a.lst", "a.lst"));
  EXPECT_FALSE(project.AddListingFile("b.lst", "b.lst"));
  EXPECT_EQ(project.listingPath, "a.lst");
}

TEST(Project, RemovingAFileLetsItBeAddedAgainButGroupsStay) {
  MemoryPlatform platform;
  Settings settings;
  Project project(platform, settings);
  project.AddOtherFile("notes.txt", "C:\\notes.txt");
  EXPECT_FALSE(project.RemoveFileNode(project.Root()));
  EXPECT_FALSE(project.RemoveFileNode(project.Group(ProjectGroup::kOther)));
  project.settingsChanged = false;
  EXPECT_TRUE(project.RemoveFileNode(*project.Group(ProjectGroup::kOther).children.front()));
  EXPECT_TRUE(project.settingsChanged);
  EXPECT_TRUE(project.FileIndex().empty());
  EXPECT_TRUE(project.AddOtherFile("notes.txt", "C:\\notes.txt"));
}

TEST(Project, RemovingTheMainSourceOrTheListingLeavesNoStalePath) {
  MemoryPlatform platform;
  Settings settings;
  Project project(platform, settings);
  MirrorObserver view;
  project.SetObserver(&view);
  project.outputPath = ".\\obj";
  project.outputName = "demo";
  project.AddSourceFile("main.asm", "main.asm");
  project.AddSourceFile("b.asm", "b.asm");
  project.AddSourceFile("a.asm", "a.asm");
  project.AddListingFile("old.lst", "C:\\old.lst");
  auto& sources = project.Group(ProjectGroup::kSource).children;

  // The main source goes: the first remaining source takes its place, in the model and the view.
  ASSERT_TRUE(project.RemoveFileNode(*sources[2]));
  EXPECT_EQ(project.mainSource, "a.asm");
  EXPECT_EQ(sources[0]->imageSlot, kMainSourceImage);
  EXPECT_EQ(sources[1]->imageSlot, kSourceImage);
  ASSERT_TRUE(project.RemoveFileNode(*sources[1]));
  EXPECT_EQ(project.mainSource, "a.asm") << "removing another source keeps the main one";
  ASSERT_TRUE(project.RemoveFileNode(*sources[0]));
  EXPECT_EQ(project.mainSource, "");
  EXPECT_TRUE(project.AddSourceFile("c.asm", "c.asm"));
  EXPECT_EQ(project.mainSource, "c.asm") << "the next source added becomes the main one";

  // The listing goes: the build lists into the default path instead of "".
  ASSERT_TRUE(project.RemoveFileNode(*project.Group(ProjectGroup::kListing).children.front()));
  EXPECT_EQ(project.listingPath, ".\\obj\\demo.lst");
  EXPECT_EQ(view.Shown(), Render(project.Root()));
}

TEST(Project, NodePathsResolveAgainstTheProjectFolder) {
  MemoryPlatform platform;
  platform.currentDirectory = "C:\\elsewhere";
  Settings settings;
  Project project(platform, settings);
  const struct {
    const char* projectDir;
    const char* path;
    const char* full;
  } cases[] = {
      {"C:\\prj", ".\\obj\\demo.lst", "C:\\prj\\obj\\demo.lst"},
      {"C:\\prj", "src\\..\\main.asm", "C:\\prj\\main.asm"},
      {"C:\\prj", "D:\\lib\\x.inc", "D:\\lib\\x.inc"},
      {"", "main.asm", "C:\\elsewhere\\main.asm"},  // no project folder: the current one
  };
  for (const auto& c : cases) {
    project.projectDir = c.projectDir;
    std::string full;
    ASSERT_TRUE(project.FullPathOf(c.path, full)) << c.path;
    EXPECT_EQ(full, c.full) << c.path;
  }
  project.projectDir = "C:\\prj";
  std::string full = "unchanged";
  EXPECT_FALSE(project.FullPathOf(std::string(255, 'a'), full)) << "too long for a path buffer";
}

TEST(Project, AProjectNameMustNameAFileInTheFolderShown) {
  for (const char* good : {"demo", "my game 2", "a.b", "R&D", "x]"}) EXPECT_TRUE(IsUsableProjectName(good)) << good;
  for (const char* bad : {"", "  ", "..", "..\\up", "a/b", "a\\b", "c:x", "a*", "a?", "a\"b", "a<b", "a>b", "a|b",
                          "[demo]", " [demo", "tab\there"})
    EXPECT_FALSE(IsUsableProjectName(bad)) << bad;
}

TEST(Project, AFailedSaveSaysSoAndKeepsTheOldFile) {
  const struct {
    const char* what;
    void (*sabotage)(MemoryPlatform&);
  } cases[] = {
      {"replace fails", [](MemoryPlatform& p) { p.failAt = MemoryPlatform::Step::kReplace; }},
      {"folder gone", [](MemoryPlatform& p) { p.RemoveFolder("C:\\prj"); }},
  };
  for (const auto& c : cases) {
    MemoryPlatform platform;
    Settings settings;
    const std::string original = "[project name]\r\nDemo\r\n";
    platform.Write("C:\\prj\\demo.qlp", original);
    Project project(platform, settings);
    ASSERT_TRUE(project.LoadProject("C:\\prj\\demo.qlp"));
    project.AddSourceFile("main.asm", "main.asm");
    c.sabotage(platform);
    EXPECT_EQ(project.SaveProject(), SaveResult::kFailed) << c.what;
    EXPECT_TRUE(project.settingsChanged) << c.what;
    if (platform.Exists("C:\\prj")) {
      EXPECT_EQ(platform.Read("C:\\prj\\demo.qlp"), original) << c.what;
    }
    EXPECT_LE(platform.FilesIn("C:\\prj").size(), 1u) << c.what << ": no temporary file left";
  }
}

TEST(Project, AFileThatCannotBeReadChangesNothing) {
  MemoryPlatform platform;
  Settings settings;
  platform.Write("C:\\prj\\demo.qlp", "[project name]\nDemo\n[output path]\nbin\n[source]\nmain.asm\n");
  platform.Write("C:\\prj\\bare.qlp", "");
  platform.MakeFolders("C:\\other");
  Project project(platform, settings);
  EXPECT_EQ(project.SaveProject(), SaveResult::kNotLoaded);
  ASSERT_TRUE(project.LoadProject("C:\\prj\\demo.qlp"));
  project.AddOtherFile("notes.txt", "notes.txt");  // changed, not saved
  const std::string before = Render(project.Root());
  settings.startDirectory = "C:\\other";
  platform.currentDirectory = "C:\\other";

  EXPECT_FALSE(project.LoadProject("C:\\prj\\missing.qlp"));
  EXPECT_TRUE(project.loaded);
  EXPECT_TRUE(project.settingsChanged);
  EXPECT_EQ(Render(project.Root()), before);
  EXPECT_EQ(project.projectName, "Demo");
  EXPECT_EQ(project.mainSource, "main.asm");
  EXPECT_EQ(settings.startDirectory, "C:\\other");
  EXPECT_EQ(platform.currentDirectory, "C:\\other");

  ASSERT_TRUE(project.LoadProject("C:\\prj\\bare.qlp"));
  EXPECT_EQ(project.projectName, "bare.qlp");
  EXPECT_EQ(project.listingPath, ".\\obj\\.lst");
  EXPECT_EQ(project.FileIndex().size(), 1u);
}

// Relative entries are the project folder's files whatever the current folder is.
TEST(Project, RelativeEntriesAreTakenFromTheProjectFolderForTheDuplicateCheck) {
  MemoryPlatform platform;
  Settings settings;
  platform.MakeFolders("C:\\other");
  platform.Write("C:\\prj\\demo.qlp", "[source]\nC:\\other\\util.asm\nutil.asm\nsrc\\main.asm\n");
  platform.currentDirectory = "C:\\other";  // where a file chooser left it
  Project project(platform, settings);
  ASSERT_TRUE(project.LoadProject("C:\\prj\\demo.qlp"));
  EXPECT_EQ(GroupPaths(project, ProjectGroup::kSource), "src\\main.asm|C:\\other\\util.asm|util.asm");

  platform.currentDirectory = "C:";
  EXPECT_FALSE(project.AddSourceFile("main.asm", "C:\\prj\\src\\main.asm"));
  EXPECT_FALSE(project.AddIncludeFile("main.asm", "c:\\PRJ\\SRC\\main.asm"));
  EXPECT_TRUE(project.AddSourceFile("main.asm", "C:\\src\\main.asm"));
}

// Reading a file is no change; only a change since then writes, and then the whole file.
TEST(Project, OnlyAChangedProjectIsWritten) {
  const std::string handWritten = "; my game\r\n[source]  ; first\r\nmain.asm\r\n[notes]\r\nkeep me\r\n";
  const struct {
    const char* what;
    void (*change)(Project&);
    bool written;
  } cases[] = {
      {"nothing", [](Project&) {}, false},
      {"same settings again",
       [](Project& p) {
         p.SetProjectName(p.projectName, p.ProjectFile());
         p.SetOutputName(p.outputName);
         p.SetOutputPath(p.outputPath);
       },
       false},
      {"a duplicate refused", [](Project& p) { p.AddSourceFile("main.asm", "C:\\prj\\main.asm"); }, false},
      {"output name", [](Project& p) { p.SetOutputName("other"); }, true},
      {"project renamed, same file", [](Project& p) { p.SetProjectName("Renamed", p.ProjectFile()); }, true},
      {"output path", [](Project& p) { p.SetOutputPath("bin"); }, true},
      {"a file added", [](Project& p) { p.AddIncludeFile("x.inc", "x.inc"); }, true},
      {"a file removed", [](Project& p) { p.RemoveFileNode(*p.Group(ProjectGroup::kSource).children.front()); }, true},
  };
  for (const auto& c : cases) {
    MemoryPlatform platform;
    Settings settings;
    platform.Write("C:\\prj\\demo.qlp", handWritten);
    Project project(platform, settings);
    ASSERT_TRUE(project.LoadProject("C:\\prj\\demo.qlp"));
    c.change(project);
    EXPECT_EQ(project.ShouldAskToSave(), c.written) << c.what;
    const SaveResult result = project.SaveProject();
    EXPECT_EQ(result, c.written ? SaveResult::kSaved : SaveResult::kUnchanged) << c.what;
    const std::string text = platform.Read("C:\\prj\\demo.qlp");
    if (c.written) {
      EXPECT_EQ(text, WriteProjectText(project.Record())) << c.what;
      Project again(platform, settings);
      ASSERT_TRUE(again.LoadProject("C:\\prj\\demo.qlp")) << c.what;
      EXPECT_EQ(again.projectName, project.projectName) << c.what;
      EXPECT_EQ(again.outputName, project.outputName) << c.what;
      EXPECT_EQ(again.outputPath, project.outputPath) << c.what;
    } else
      EXPECT_EQ(text, handWritten) << c.what;
    EXPECT_EQ(project.SaveProject(), SaveResult::kUnchanged) << c.what << ": written once";
  }
}

TEST(Project, AnotherSourceCanBecomeTheMainOneAndIsWrittenFirst) {
  MemoryPlatform platform;
  Settings settings;
  platform.Write("C:\\prj\\demo.qlp", "[source]\nmain.asm\nsprites.asm\n[include]\nx.inc\n");
  Project project(platform, settings);
  MirrorObserver view;
  project.SetObserver(&view);
  ASSERT_TRUE(project.LoadProject("C:\\prj\\demo.qlp"));
  ProjectNode& sprites = *project.Group(ProjectGroup::kSource).children[1];
  EXPECT_FALSE(project.SetMainSource(*project.Group(ProjectGroup::kInclude).children[0]));
  EXPECT_FALSE(project.SetMainSource(*project.Group(ProjectGroup::kSource).children[0])) << "already the main one";
  EXPECT_FALSE(project.settingsChanged);
  ASSERT_TRUE(project.SetMainSource(sprites));
  EXPECT_EQ(project.mainSource, "sprites.asm");
  EXPECT_EQ(project.Group(ProjectGroup::kSource).children[0]->imageSlot, kSourceImage);
  EXPECT_EQ(sprites.imageSlot, kMainSourceImage);
  ASSERT_EQ(project.SaveProject(), SaveResult::kSaved);
  EXPECT_NE(platform.Read("C:\\prj\\demo.qlp").find("[source]\r\nsprites.asm\r\nmain.asm\r\n"), std::string::npos);
  Project again(platform, settings);
  ASSERT_TRUE(again.LoadProject("C:\\prj\\demo.qlp"));
  EXPECT_EQ(again.mainSource, "sprites.asm");
}

// Files inside the project folder are stored relative to it, so that the folder can move.
TEST(Project, FilesInsideTheProjectFolderAreStoredRelativeToIt) {
  const struct {
    const char* projectDir;
    const char* full;
    const char* stored;
  } cases[] = {
      {"C:\\prj", "C:\\prj\\main.asm", "main.asm"},
      {"C:\\prj\\", "C:\\prj\\src\\main.asm", "src\\main.asm"},
      {"C:\\prj", "c:\\PRJ\\main.asm", "main.asm"},
      {"C:\\prj", "C:\\prj2\\main.asm", "C:\\prj2\\main.asm"},
      {"C:\\prj", "C:\\lib\\x.inc", "C:\\lib\\x.inc"},
      {"C:\\prj", "C:\\prj", "C:\\prj"},
      {"C:\\prj", "C:\\prj\\[source]\\a.asm", ".\\[source]\\a.asm"},  // would read as a header
      {"C:\\prj", "C:\\prj\\[v2]\\a.asm", "[v2]\\a.asm"},
      {"", "C:\\prj\\main.asm", "C:\\prj\\main.asm"},
  };
  for (const auto& c : cases) EXPECT_EQ(PortablePath(c.projectDir, c.full), c.stored) << c.full;
}

TEST(Project, LongTextsAreCutOnlyWhereTheyAreShown) {
  MemoryPlatform platform;
  Settings settings;
  const std::string longName = std::string(300, 'n') + ".asm";
  const std::string longPath = "C:\\src\\" + longName;
  platform.Write("C:\\prj\\demo.qlp", "[project name]\n" + std::string(280, 'p') + "\n[other]\n" + longPath + "\n");
  Project project(platform, settings);
  ASSERT_TRUE(project.LoadProject("C:\\prj\\demo.qlp"));
  EXPECT_EQ(project.Root().text.size(), kMaxNodeText);
  EXPECT_EQ(project.projectName.size(), 280u);
  const ProjectNode& node = *project.Group(ProjectGroup::kOther).children.front();
  EXPECT_EQ(node.text, longName.substr(0, kMaxNodeText));
  EXPECT_EQ(node.entry->path, longPath);

  // Too long to resolve: compared as written.
  EXPECT_FALSE(project.AddOtherFile(longName, "c:\\SRC\\" + longName));
  EXPECT_TRUE(project.AddOtherFile(longName, "C:\\lib\\" + longName));

  ASSERT_EQ(project.SaveProject(), SaveResult::kSaved);
  EXPECT_NE(platform.Read("C:\\prj\\demo.qlp").find("\r\n" + longPath + "\r\n"), std::string::npos);
}

// What the last project's build left is dropped whenever another project takes its place, and
// only then: a file that cannot be read leaves the project open as it was.
TEST(Project, TheObserverHearsWhenTheProjectIsReplaced) {
  class Counter : public MirrorObserver {
   public:
    void ProjectReplaced() override { ++replaced; }
    int replaced = 0;
  };
  MemoryPlatform platform;
  Settings settings;
  platform.Write("C:\\prj\\demo.qlp", "[source]\na.asm\n");
  Project project(platform, settings);
  Counter counter;
  project.SetObserver(&counter);
  const struct {
    const char* what;
    bool (*step)(Project&);
    int replaced;
  } steps[] = {
      {"open", [](Project& p) { return p.LoadProject("C:\\prj\\demo.qlp"); }, 1},
      {"a file that cannot be read", [](Project& p) { return !p.LoadProject("C:\\prj\\none.qlp"); }, 0},
      {"a file added", [](Project& p) { return p.AddSourceFile("b.asm", "b.asm"); }, 0},
      {"new project", [](Project& p) { return p.CreateProject("other", "C:\\prj"); }, 1},
      {"close",
       [](Project& p) {
         p.CloseProject();
         return true;
       },
       1},
  };
  for (const auto& s : steps) {
    counter.replaced = 0;
    EXPECT_TRUE(s.step(project)) << s.what;
    EXPECT_EQ(counter.replaced, s.replaced) << s.what;
  }
  project.SetObserver(nullptr);
}

TEST(Project, AnObserverSeesTheSameTreeAsTheModel) {
  MemoryPlatform platform;
  Settings settings;
  platform.Write("C:\\prj\\demo.qlp", "[project name]\nDemo\n[source]\nb.asm\na.asm\n[other]\nx.txt\n");
  Project project(platform, settings);
  MirrorObserver mirror;
  project.SetObserver(&mirror);
  EXPECT_EQ(mirror.Shown(), Render(project.Root()));

  ASSERT_TRUE(project.LoadProject("C:\\prj\\demo.qlp"));
  EXPECT_EQ(mirror.Shown(), Render(project.Root()));
  project.AddSourceFile("ab.asm", "ab.asm");
  project.RemoveFileNode(*project.Group(ProjectGroup::kSource).children.front());
  project.SetProjectName("Renamed", project.ProjectFile());
  EXPECT_EQ(mirror.Shown(), Render(project.Root()));

  project.ResetProject();
  EXPECT_EQ(mirror.Shown(), Render(project.Root()));
  project.SetObserver(nullptr);
}

}  // namespace project_test
}  // namespace quillon
