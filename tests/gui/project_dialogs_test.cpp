// New Project and Project Settings through their real dialogs, answered from a watcher thread.
#include "project/project_dialogs.h"

#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "project/project.h"
#include "project/project_commands.h"
#include "resource.h"
#include "support/dialog_answerer.h"
#include "support/gui_fixture.h"
#include "support/test_files.h"
#include "ui/app_state.h"

namespace quillon::test {
namespace project_dialogs_test {

std::string ControlText(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }

void WaitGone(HWND window) {
  for (int i = 0; i < 250 && IsWindow(window); ++i) Sleep(20);
}

class ProjectDialogsTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    folder_ = TempFolder("quillon_project_dialogs");
    savedStart_ = g_settings.startDirectory;
    savedLast_ = g_settings.lastDirectory;
  }
  void TearDown() override {
    if (g_app.project) g_app.project->settingsChanged = false;
    FrameTest::TearDown();
    g_settings.startDirectory = savedStart_;
    g_settings.lastDirectory = savedLast_;
  }
  std::string folder_, savedStart_, savedLast_;
};

TEST_F(ProjectDialogsTest, TheLocationFollowsTheNameUntilEditedAndRestartsAfterBrowsing) {
  g_settings.startDirectory = folder_;
  const std::string base = folder_.substr(folder_.rfind('\\') + 1);
  HWND dialog = nullptr;
  std::vector<std::string> shown;
  DialogAnswerer answerer([&](HWND window, const SeenBox& seen) {
    if (seen.caption == "New Project") {
      dialog = window;
      shown.push_back(ControlText(window, IDC_PROJECT_LOCATION));
      for (const char* typed : {"d", "de", "dem", "demo"}) SetControlText(window, IDC_PROJECT_NAME, typed);
      shown.push_back(ControlText(window, IDC_PROJECT_LOCATION));
      SetControlText(window, IDC_PROJECT_LOCATION, "C:\\typed");
      SetControlText(window, IDC_PROJECT_NAME, "demo2");
      shown.push_back(ControlText(window, IDC_PROJECT_LOCATION));
      PressButton(window, IDC_PROJECT_BROWSE);
    } else {  // the folder browser, opened on the base folder
      for (int i = 0; i < 300 && SelectedFolderName(window) != base; ++i) Sleep(30);
      PressButton(window, IDOK);
      WaitGone(window);
      shown.push_back(ControlText(dialog, IDC_PROJECT_LOCATION));
      SetControlText(dialog, IDC_PROJECT_NAME, "demo2x");
      shown.push_back(ControlText(dialog, IDC_PROJECT_LOCATION));
      PressButton(dialog, IDCANCEL);
    }
  });
  std::string name = "unchanged", location = "unchanged";
  EXPECT_FALSE(RunNewProjectDialog(frame_, name, location));
  EXPECT_EQ(shown, (std::vector<std::string>{folder_, folder_ + "\\demo", "C:\\typed", folder_, folder_ + "\\demo2x"}));
  EXPECT_EQ(name, "unchanged");
  EXPECT_EQ(location, "unchanged");
}

TEST_F(ProjectDialogsTest, NewProjectRefusesUnsafeNamesAndReplacesAFileOnlyWhenTheUserAgrees) {
  const std::string file = folder_ + "\\demo.qlp";
  const std::string existing = "[project name]\r\nkept\r\n[source]\r\nkept.asm\r\n";
  WriteText(file, existing);
  struct Attempt {
    std::string name, location;
  };
  const std::vector<Attempt> attempts = {
      {"", folder_},          {"..\\demo", folder_},
      {"sub\\demo", folder_}, {"a:b", folder_},
      {"[demo]", folder_},    {std::string(300, 'n'), folder_},
      {"demo", ""},           {"demo", folder_ + "\\" + std::string(250, 'f')},
      {"demo", folder_},  // exists: the answer decides
  };
  for (int answer : {IDNO, IDYES}) {
    std::size_t next = 0;
    HWND dialog = nullptr;
    auto tryNext = [&] {
      if (next >= attempts.size()) {
        PressButton(dialog, IDCANCEL);
        return;
      }
      SetControlText(dialog, IDC_PROJECT_NAME, attempts[next].name);
      SetControlText(dialog, IDC_PROJECT_LOCATION, attempts[next].location);
      ++next;
      PressButton(dialog, IDOK);
    };
    std::vector<std::string> texts;  // of the message boxes, in order
    DialogAnswerer answerer([&](HWND window, const SeenBox& seen) {
      if (GetDlgItem(window, IDC_PROJECT_NAME)) {
        dialog = window;
        tryNext();
        return;
      }
      texts.push_back(seen.text);
      if (seen.caption == "Error") {
        PressButton(window, IDOK);
        WaitGone(window);
        tryNext();
      } else {
        PressButton(window, answer);
      }
    });
    Command(IDM_FILE_NEWPROJECT);
    const std::vector<std::string> expected = {"Invalid project name specified",
                                               "Invalid project name specified",
                                               "Invalid project name specified",
                                               "Invalid project name specified",
                                               "Invalid project name specified",
                                               "Invalid project name specified",
                                               "Invalid project path specified",
                                               "Invalid project path specified",
                                               file + " already exists.\nDo you want to replace it?"};
    EXPECT_EQ(texts, expected);
    EXPECT_EQ(g_settings.lastDirectory, folder_);
    if (answer == IDNO) {
      EXPECT_EQ(ReadText(file), existing) << "No keeps the file";
      EXPECT_FALSE(g_app.project->loaded);
    } else {
      EXPECT_NE(ReadText(file), existing);
      EXPECT_TRUE(g_app.project->loaded);
      EXPECT_EQ(g_app.project->projectName, "demo");
    }
  }
}

TEST_F(ProjectDialogsTest, SettingsRenameAndCreateTheNewOutputFolder) {
  // Without a project the fields are disabled and OK changes nothing.
  bool enabled = true;
  {
    DialogAnswerer answerer([&](HWND window, const SeenBox&) {
      enabled = IsWindowEnabled(GetDlgItem(window, IDC_PROJECT_NAME)) ||
                IsWindowEnabled(GetDlgItem(window, IDC_PROJECT_BROWSEOUTPUT));
      PressButton(window, IDOK);
    });
    Command(IDM_PROJECT_SETTINGS);
  }
  EXPECT_FALSE(enabled);
  EXPECT_FALSE(g_app.project->settingsChanged);

  const std::string file = folder_ + "\\demo.qlp";
  WriteText(file, "[project name]\r\ndemo\r\n[output name]\r\ndemo\r\n[output path]\r\n.\\obj\r\n");
  RemoveDirectoryA((folder_ + "\\bin").c_str());
  ASSERT_TRUE(g_app.project->LoadProject(file));
  SetCurrentDirectoryA("C:\\");  // a chooser may have moved it: the folder is made in the project's
  const struct {
    std::string name, outputPath;
    std::vector<std::string> boxes;
  } cases[] = {
      {"[x]", "bin", {"Invalid project name specified"}},
      {"Renamed", "bin", {}},
      {"Renamed", "no such\\deeper", {"Unable to create output directory"}},
  };
  for (const auto& c : cases) {
    g_app.project->settingsChanged = false;
    HWND dialog = nullptr;
    std::string shownPath;
    std::vector<std::string> boxes;
    DialogAnswerer answerer([&](HWND window, const SeenBox& seen) {
      if (GetDlgItem(window, IDC_PROJECT_OUTPUTPATH)) {
        dialog = window;
        shownPath = ControlText(window, IDC_PROJECT_OUTPUTPATH);
        SetControlText(window, IDC_PROJECT_NAME, c.name);
        SetControlText(window, IDC_PROJECT_OUTPUTPATH, c.outputPath);
        PressButton(window, IDOK);
      } else {
        boxes.push_back(seen.text);
        PressButton(window, IDOK);
        WaitGone(window);
        if (IsWindow(dialog)) PressButton(dialog, IDCANCEL);
      }
    });
    Command(IDM_PROJECT_SETTINGS);
    EXPECT_EQ(boxes, c.boxes) << c.name << " " << c.outputPath;
  }
  EXPECT_TRUE(Exists(folder_ + "\\bin")) << "created at OK, in the project folder";
  EXPECT_EQ(g_app.project->outputPath, "no such\\deeper");
  EXPECT_TRUE(g_app.project->settingsChanged);
  ASSERT_EQ(g_app.project->SaveProject(), SaveResult::kSaved);
  EXPECT_NE(ReadText(file).find("[project name]\r\nRenamed\r\n"), std::string::npos) << ReadText(file);
}

// Include folders: one a line, Enter in the list starts a new line instead of pressing OK, a
// line that would read back as a section header is refused, and OK keeps the list.
TEST_F(ProjectDialogsTest, SettingsKeepIncludeFoldersOneALine) {
  const std::string file = folder_ + "\\inc.qlp";
  WriteText(file, "[project name]\r\ninc\r\n[output name]\r\ninc\r\n[include folders]\r\n..\\lib\r\n");
  ASSERT_TRUE(g_app.project->LoadProject(file));
  g_app.project->settingsChanged = false;
  const struct {
    std::string typed;
    std::vector<std::string> boxes;
  } cases[] = {
      {"..\\lib\r\n[include]", {"Invalid include folder specified: [include]"}},
      {"  ..\\lib \r\n\r\nD:\\kit", {}},
  };
  for (const auto& c : cases) {
    HWND dialog = nullptr;
    std::string shown, afterEnter;
    bool openAfterEnter = false;
    std::vector<std::string> boxes;
    DialogAnswerer answerer([&](HWND window, const SeenBox& seen) {
      if (GetDlgItem(window, IDC_PROJECT_INCLUDEFOLDERS)) {
        dialog = window;
        HWND list = GetDlgItem(window, IDC_PROJECT_INCLUDEFOLDERS);
        shown = ControlText(window, IDC_PROJECT_INCLUDEFOLDERS);
        SendMessageA(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list), TRUE);
        SendMessageA(list, EM_SETSEL, 0, -1);
        PostMessageA(list, WM_KEYDOWN, VK_RETURN, 1);
        PostMessageA(list, WM_CHAR, '\r', 1);
        PostMessageA(list, WM_KEYUP, VK_RETURN, 0xC0000001);
        Sleep(300);
        openAfterEnter = IsWindowVisible(window) != FALSE;
        afterEnter = ControlText(window, IDC_PROJECT_INCLUDEFOLDERS);
        SetControlText(window, IDC_PROJECT_INCLUDEFOLDERS, c.typed);
        PressButton(window, IDOK);
      } else {
        boxes.push_back(seen.text);
        PressButton(window, IDOK);
        WaitGone(window);
        if (IsWindow(dialog)) PressButton(dialog, IDCANCEL);
      }
    });
    Command(IDM_PROJECT_SETTINGS);
    EXPECT_EQ(shown, "..\\lib") << "the folders of the project file";
    EXPECT_TRUE(openAfterEnter) << "Enter in the list pressed OK";
    EXPECT_NE(afterEnter.find("\r\n"), std::string::npos) << afterEnter;
    EXPECT_EQ(boxes, c.boxes) << c.typed;
  }
  EXPECT_EQ(g_app.project->includeFolders, (std::vector<std::string>{"..\\lib", "D:\\kit"}));
  EXPECT_TRUE(g_app.project->settingsChanged);
  ASSERT_EQ(g_app.project->SaveProject(), SaveResult::kSaved);
  EXPECT_NE(ReadText(file).find("[include folders]\r\n..\\lib\r\nD:\\kit\r\n"), std::string::npos) << ReadText(file);
}

}  // namespace project_dialogs_test
}  // namespace quillon::test
