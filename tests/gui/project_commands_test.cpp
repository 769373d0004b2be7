// Opening, switching and saving projects through the frame's commands and dropped files.
#include "project/project_commands.h"

#include <windows.h>
#include <gtest/gtest.h>
#include <shellapi.h>
#include <shlobj.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "project/project.h"
#include "resource.h"
#include "support/dialog_answerer.h"
#include "support/gui_fixture.h"
#include "support/test_files.h"
#include "ui/app_state.h"

namespace quillon::test {
namespace project_commands_test {

std::string CurrentDirectory() {
  char buffer[MAX_PATH] = "";
  GetCurrentDirectoryA(MAX_PATH, buffer);
  return buffer;
}

const char kDemoProject[] = "[project name]\r\ndemo\r\n\r\n[output name]\r\ndemo\r\n\r\n[source]\r\nmain.asm\r\n";

class ProjectCommandsTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    folder_ = TempFolder("quillon_project_cmds");
    RemoveDirectoryA((folder_ + "\\obj").c_str());
  }
  void TearDown() override {
    if (g_app.project) g_app.project->settingsChanged = false;  // no question at teardown
    FrameTest::TearDown();
  }
  std::string folder_;
};

TEST_F(ProjectCommandsTest, DroppedProjectFileInCapitalsIsLoaded) {
  std::string path = folder_ + "\\DEMO.QLP";
  WriteText(path, kDemoProject);
  DialogAnswerer answerer(DialogAnswerer::Press(IDOK));
  SendMessageA(frame_, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({path})), 0);
  ASSERT_NE(g_app.project, nullptr);
  EXPECT_TRUE(g_app.project->loaded);
  EXPECT_EQ(g_app.project->projectName, "demo");
  EXPECT_EQ(g_app.project->listingPath, ".\\obj\\demo.lst");
  EXPECT_EQ(CurrentDirectory(), folder_) << "the project folder becomes the current directory";
  EXPECT_NE(GetFileAttributesA((folder_ + "\\obj").c_str()), INVALID_FILE_ATTRIBUTES) << "output folder created";
  EXPECT_TRUE(answerer.Seen().empty());
}

TEST_F(ProjectCommandsTest, OpenProjectThroughTheChooserRemembersFolderAndRecentList) {
  std::string path = folder_ + "\\demo.qlp";
  WriteText(path, kDemoProject);
  g_settings.lastDirectory = "C:\\";
  g_settings.recentProjects.clear();
  DialogAnswerer answerer([&](HWND dialog, const SeenBox& seen) {
    if (seen.caption == "Open file") {
      SetControlText(dialog, 0x47C, path);  // the file name box
      PressButton(dialog, IDOK);
    } else {
      PressButton(dialog, IDCANCEL);
    }
  });
  Command(IDM_FILE_OPENPROJECT);
  ASSERT_FALSE(answerer.Seen().empty());
  EXPECT_EQ(answerer.Seen()[0].caption, "Open file");
  EXPECT_TRUE(g_app.project->loaded);
  EXPECT_EQ(g_app.project->projectName, "demo");
  EXPECT_EQ(g_settings.lastDirectory, folder_);
  ASSERT_EQ(g_settings.recentProjects.size(), 1u);
  EXPECT_EQ(g_settings.recentProjects.back(), path);
}

TEST_F(ProjectCommandsTest, CancelledChooserChangesNothing) {
  g_settings.lastDirectory = "C:\\";
  g_settings.recentProjects.clear();
  DialogAnswerer answerer(DialogAnswerer::Press(IDCANCEL));
  Command(IDM_FILE_OPENPROJECT);
  EXPECT_EQ(answerer.Seen().size(), 1u);
  EXPECT_FALSE(g_app.project->loaded);
  EXPECT_EQ(g_settings.lastDirectory, "C:\\");
  EXPECT_TRUE(g_settings.recentProjects.empty());
}

TEST_F(ProjectCommandsTest, RecentProjectThatCannotBeOpenedIsReportedAndStaysListed) {
  std::string missing = folder_ + "\\gone.qlp";
  g_settings.recentProjects = {missing};
  DialogAnswerer answerer(DialogAnswerer::Press(IDOK));
  Command(IDM_RECENTPROJECT_FIRST);
  auto seen = answerer.Seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].caption, missing);
  EXPECT_EQ(seen[0].text, "Unable to open project file.");
  EXPECT_EQ(g_settings.recentProjects, std::vector<std::string>{missing});
}

TEST_F(ProjectCommandsTest, ClosingAsksToSaveAChangedProjectAndYesSaves) {
  std::string path = folder_ + "\\demo.qlp";
  WriteText(path, kDemoProject);
  ASSERT_TRUE(g_app.project->LoadProject(path));
  g_app.project->SetOutputName("renamed");
  DialogAnswerer answerer(DialogAnswerer::Press(IDYES));
  SendMessageA(frame_, WM_CLOSE, 0, 0);
  auto seen = answerer.Seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].caption, "demo");
  EXPECT_EQ(seen[0].text, "Project settings have changed, would you like to save?");
  EXPECT_FALSE(IsWindow(frame_));
  EXPECT_NE(ReadText(path).find("[output name]\r\nrenamed\r\n"), std::string::npos);
}

TEST_F(ProjectCommandsTest, ASaveThatFailsNamesTheFileAndKeepsTheProjectChanged) {
  std::string path = folder_ + "\\demo.qlp";
  WriteText(path, kDemoProject);
  ASSERT_TRUE(g_app.project->LoadProject(path));
  g_app.project->SetOutputName("renamed");
  // A folder now stands where the project file was, so the file cannot be replaced.
  DeleteFileA(path.c_str());
  ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
  DialogAnswerer answerer([](HWND box, const SeenBox& seen) {
    PressButton(box, seen.text.find("would you like to save") != std::string::npos ? IDYES : IDOK);
  });
  AskToSaveProject(frame_);
  RemoveDirectoryA(path.c_str());
  auto seen = answerer.Seen();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1].caption, path);
  EXPECT_EQ(seen[1].text, "Unable to save project");
  EXPECT_TRUE(g_app.project->settingsChanged) << "the changes are not lost silently";
}

TEST(ProjectFileNames, OnlyTheTextFromTheLastDotCounts) {
  struct Case {
    const char* path;
    bool project;
  };
  const Case cases[] = {{"C:\\a\\demo.qlp", true},     {"C:\\a\\DEMO.QLP", true},     {"C:\\a\\main.asm", false},
                        {"C:\\a\\noextension", false}, {"C:\\v1.qlp\\readme", false}, {"C:\\a\\x.qlpx", false}};
  for (const Case& c : cases) EXPECT_EQ(IsProjectFileName(c.path), c.project) << c.path;
}

}  // namespace project_commands_test
}  // namespace quillon::test
