// Hand-written and moved project files through the real frame: opened, built with F7 (which saves
// everything first) and read back from disk.
#include <windows.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "assemble/output_pane.h"
#include "base/text_util.h"
#include "editor/editor.h"
#include "project/file_pane.h"
#include "project/project.h"
#include "project/project_commands.h"
#include "resource.h"
#include "support/dialog_answerer.h"
#include "support/gui_fixture.h"
#include "support/test_files.h"
#include "ui/app_state.h"

namespace quillon::test {
namespace project_files_test {

class ProjectFilesTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    ASSERT_NE(g_app.project, nullptr);
    static int serial = 0;
    folder_ = TempFolder("quillon_prjfiles_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++serial));
    savedAssembler_ = g_settings.assemblerPath;
    savedProjects_ = g_settings.recentProjects;
    savedFiles_ = g_settings.recentFiles;
    g_settings.assemblerPath = ProgramFolder() + "\\as1600_standin.exe";
  }
  void TearDown() override {
    EXPECT_TRUE(PumpUntil([] { return g_app.buildThread == nullptr; }, 20000));
    if (g_app.project) g_app.project->settingsChanged = false;
    FrameTest::TearDown();
    g_settings.assemblerPath = savedAssembler_;
    g_settings.recentProjects = savedProjects_;
    g_settings.recentFiles = savedFiles_;
    SetCurrentDirectoryA("C:\\");
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  void Drop(const std::string& path) {
    SendMessageA(frame_, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({path})), 0);
  }
  // F7, then wait until the frame has joined the worker.
  void Build() {
    Command(IDM_BUILD);
    ASSERT_TRUE(PumpUntil([] { return g_app.buildThread == nullptr; }, 20000)) << "the build did not finish";
  }
  // The project file chooser of Add Source Files answered with `path`.
  static DialogAnswerer::Answer Choose(const std::string& path) {
    return [path](HWND dialog, const SeenBox&) {
      SetControlText(dialog, 0x47C, path);
      PressButton(dialog, IDOK);
    };
  }
  std::string folder_;
  std::string savedAssembler_;
  std::vector<std::string> savedProjects_, savedFiles_;
};

// A header with a comment after it keeps its sources, and a file that did not change is not
// rewritten by F7.
TEST_F(ProjectFilesTest, AHandWrittenProjectBuildsAndStaysAsWritten) {
  const std::string text =
      "; the game\r\n[project name]\r\nGame\r\n[output path]\r\n.\r\n[output name]\r\ngame\r\n"
      "[source]   ; assembled first\r\nmain.asm\r\nsprites.asm\r\n[notes]\r\nkept by hand\r\n";
  WriteText(folder_ + "\\game.qlp", text);
  WriteText(folder_ + "\\main.asm", "start: MVII #1, R0\r\n");
  WriteText(folder_ + "\\sprites.asm", "; sprites\r\n");
  Drop(folder_ + "\\game.qlp");
  ASSERT_TRUE(g_app.project->loaded);
  EXPECT_EQ(g_app.project->mainSource, "main.asm");
  EXPECT_EQ(g_app.project->FileIndex().size(), 3u) << "two sources and the listing";
  Build();
  EXPECT_TRUE(Exists(folder_ + "\\game.bin")) << "the main source was assembled";
  EXPECT_EQ(ReadText(folder_ + "\\game.qlp"), text);

  // A change writes the whole file, sources included.
  g_app.project->SetOutputName("game2");
  Build();
  const std::string written = ReadText(folder_ + "\\game.qlp");
  EXPECT_NE(written.find("[source]\r\nmain.asm\r\nsprites.asm\r\n"), std::string::npos) << written;
  EXPECT_NE(written.find("[output name]\r\ngame2\r\n"), std::string::npos) << written;
}

// The project's own util.asm and another folder's util.asm are two files, whatever folder a file
// chooser left current; the same file added again under its full path is refused.
TEST_F(ProjectFilesTest, RelativeEntriesBelongToTheProjectFolder) {
  const std::string other = folder_ + "\\other";
  CreateDirectoryA(other.c_str(), nullptr);
  CreateDirectoryA((folder_ + "\\src").c_str(), nullptr);
  WriteText(other + "\\util.asm", "; theirs\r\n");
  WriteText(folder_ + "\\util.asm", "; ours\r\n");
  WriteText(folder_ + "\\src\\main.asm", "start: MVII #1, R0\r\n");
  WriteText(folder_ + "\\game.qlp",
            "[project name]\r\nGame\r\n[output path]\r\n.\r\n[output name]\r\ngame\r\n[source]\r\n" + other +
                "\\util.asm\r\nutil.asm\r\n");
  {
    DialogAnswerer answerer(Choose(other + "\\util.asm"));
    Command(IDM_FILE_OPEN);
  }
  SetCurrentDirectoryA(other.c_str());  // where the chooser may leave it
  Drop(folder_ + "\\game.qlp");
  ASSERT_TRUE(g_app.project->loaded);
  EXPECT_EQ(g_app.project->FileIndex().size(), 3u) << "both util.asm and the listing";
  {
    DialogAnswerer answerer(Choose(folder_ + "\\src\\main.asm"));
    Command(IDM_PROJECT_ADDSOURCE);
  }
  SetCurrentDirectoryA("C:\\");
  {
    DialogAnswerer answerer(Choose(folder_ + "\\src\\main.asm"));
    Command(IDM_PROJECT_ADDSOURCE);  // the same file again
  }
  EXPECT_EQ(g_app.project->FileIndex().size(), 4u);
  Build();
  const std::string written = ReadText(folder_ + "\\game.qlp");
  EXPECT_NE(written.find("[source]\r\n" + other + "\\util.asm\r\nsrc\\main.asm\r\nutil.asm\r\n"), std::string::npos)
      << written;
}

// An unreadable project file is reported and changes nothing.
TEST_F(ProjectFilesTest, AProjectFileThatCannotBeReadChangesNothing) {
  WriteText(folder_ + "\\game.qlp", "[project name]\r\nGame\r\n[source]\r\nmain.asm\r\n");
  WriteText(folder_ + "\\main.asm", "start: MVII #1, R0\r\n");
  Drop(folder_ + "\\game.qlp");
  ASSERT_TRUE(g_app.project->loaded);
  Drop(folder_ + "\\main.asm");
  ASSERT_NE(g_app.activeDocument, nullptr);
  const std::string missing = folder_ + "\\gone.qlp";
  DialogAnswerer answerer(DialogAnswerer::Press(IDOK));
  Drop(missing);
  const auto seen = answerer.Seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text, "Unable to open project file.");
  EXPECT_EQ(seen[0].caption, missing);
  EXPECT_TRUE(g_app.project->loaded);
  EXPECT_EQ(g_app.project->projectName, "Game");
  EXPECT_NE(g_app.activeDocument, nullptr) << "the document stays open";
}

// One file reached by two spellings is one recent entry; a new project is a recent project.
TEST_F(ProjectFilesTest, RecentListsHoldEachFileOnce) {
  g_settings.recentFiles.clear();
  g_settings.recentProjects.clear();
  WriteText(folder_ + "\\hello.asm", "; hello\r\n");
  SetCurrentDirectoryA(folder_.c_str());
  for (const std::string& spelling : {folder_ + "\\hello.asm", std::string("HELLO.ASM"), folder_ + "\\.\\hello.asm"}) {
    DialogAnswerer answerer(Choose(spelling));
    Command(IDM_FILE_OPEN);
  }
  ASSERT_EQ(g_settings.recentFiles.size(), 1u);
  EXPECT_TRUE(EqualsNoCase(g_settings.recentFiles[0], folder_ + "\\hello.asm")) << g_settings.recentFiles[0];

  DialogAnswerer answerer([&](HWND dialog, const SeenBox& seen) {
    if (seen.caption == "New Project") {
      SetControlText(dialog, IDC_PROJECT_NAME, "fresh");
      SetControlText(dialog, IDC_PROJECT_LOCATION, folder_);
      PressButton(dialog, IDOK);
    } else {
      PressButton(dialog, IDNO);
    }
  });
  Command(IDM_FILE_NEWPROJECT);
  ASSERT_TRUE(g_app.project->loaded);
  EXPECT_EQ(g_settings.recentProjects, std::vector<std::string>{folder_ + "\\fresh.qlp"});
}

// Close Project: Cancel keeps everything; No closes without writing.
TEST_F(ProjectFilesTest, CloseProjectAsksAndCancelKeepsTheProject) {
  const std::string text = "[project name]\r\nGame\r\n[source]\r\nmain.asm\r\n";
  WriteText(folder_ + "\\game.qlp", text);
  WriteText(folder_ + "\\main.asm", "; main\r\n");
  Drop(folder_ + "\\game.qlp");
  g_app.project->SetOutputName("changed");
  {
    DialogAnswerer answerer(DialogAnswerer::Press(IDCANCEL));
    Command(IDM_PROJECT_CLOSE);
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(answerer.Seen()[0].text, "Project settings have changed, would you like to save?");
  }
  EXPECT_TRUE(g_app.project->loaded);
  {
    DialogAnswerer answerer(DialogAnswerer::Press(IDNO));
    Command(IDM_PROJECT_CLOSE);
  }
  EXPECT_FALSE(g_app.project->loaded);
  EXPECT_EQ(ReadText(folder_ + "\\game.qlp"), text);
}

// Set as Main Source from the pane's menu, then F7 builds that file and the file says so.
TEST_F(ProjectFilesTest, SetAsMainSourceBuildsThatFile) {
  WriteText(
      folder_ + "\\game.qlp",
      "[project name]\r\nGame\r\n[output path]\r\n.\r\n[output name]\r\ngame\r\n[source]\r\nold.asm\r\nnew.asm\r\n");
  WriteText(folder_ + "\\old.asm", ";@error old is built\r\n");
  WriteText(folder_ + "\\new.asm", "start: MVII #1, R0\r\n");
  Drop(folder_ + "\\game.qlp");
  ASSERT_NE(g_app.filePane, nullptr);
  HWND tree = g_app.filePane->Tree();
  const ProjectNode* node = nullptr;
  for (const auto& child : g_app.project->Group(ProjectGroup::kSource).children)
    if (child->text == "new.asm") node = child.get();
  ASSERT_NE(node, nullptr);
  SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node->viewItem));
  g_app.filePane->RunNodeCommand(IDM_PANE_SETMAIN);
  Build();
  EXPECT_EQ(g_app.project->mainSource, "new.asm");
  EXPECT_NE(ReadText(folder_ + "\\game.qlp").find("[source]\r\nnew.asm\r\nold.asm\r\n"), std::string::npos);
  EXPECT_EQ(ReadText(folder_ + "\\game.lst").find("old is built"), std::string::npos);

  // Remove asks first; No keeps the file in the project.
  {
    DialogAnswerer answerer(DialogAnswerer::Press(IDNO));
    g_app.filePane->RunNodeCommand(IDM_PANE_REMOVE);
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(answerer.Seen()[0].text, "Remove new.asm from the project?");
  }
  EXPECT_EQ(g_app.project->FileIndex().size(), 3u);
}

// A problem at line 0 opens its file without moving the caret to a line that is not the problem's.
TEST_F(ProjectFilesTest, AProblemAtLineZeroLeavesTheCaretWhereItWas) {
  WriteText(folder_ + "\\game.qlp",
            "[project name]\r\nGame\r\n[output path]\r\n.\r\n[output name]\r\ngame\r\n[source]\r\n"
            "game.asm\r\n[listing]\r\ngame.lst\r\n");
  WriteText(folder_ + "\\game.asm", "one\r\ntwo\r\nthree\r\n;@warning-in game.asm 0 PROC PST013 has no ENDP\r\n");
  Drop(folder_ + "\\game.qlp");
  Drop(folder_ + "\\game.asm");
  HWND document = IsDocumentWindow(g_app.activeDocument) ? g_app.activeDocument : nullptr;
  ASSERT_NE(document, nullptr);
  const LRESULT third = SendMessageA(DocumentTextControl(document), EM_LINEINDEX, 2, 0);
  SendMessageA(DocumentTextControl(document), EM_SETSEL, third, third);
  Build();
  HWND list = g_app.outputPane->List();
  const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
  int found = -1;
  for (int i = 0; i < count; ++i) {
    char text[256] = "";
    if (SendMessageA(list, LB_GETTEXTLEN, i, 0) < 255)
      SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
    if (std::string(text).find("PST013") != std::string::npos) found = i;
  }
  ASSERT_GE(found, 0);
  g_app.outputPane->SelectLine(found);
  SendMessageA(g_app.outputPane->Window(), WM_COMMAND, MAKEWPARAM(IDC_OUTPUTLIST, LBN_DBLCLK),
               reinterpret_cast<LPARAM>(list));
  DWORD start = 0;
  SendMessageA(DocumentTextControl(document), EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
  EXPECT_EQ(SendMessageA(DocumentTextControl(document), EM_LINEFROMCHAR, start, 0), 2) << "the caret stays on line 3";
}

// The command line's project and files, and the last project when the command line has none.
TEST_F(ProjectFilesTest, StartOpensTheCommandLineOrTheLastProject) {
  WriteText(folder_ + "\\game.qlp", "[project name]\r\nGame\r\n[source]\r\nmain.asm\r\n");
  WriteText(folder_ + "\\last.qlp", "[project name]\r\nLast\r\n");
  WriteText(folder_ + "\\main.asm", "; main\r\n");
  WriteText(folder_ + "\\other.inc", "; other\r\n");
  const std::string savedOpen = g_settings.openProject;
  const bool savedReopen = g_settings.reopenProject;
  g_settings.openProject = folder_ + "\\last.qlp";
  g_settings.reopenProject = true;
  SetCurrentDirectoryA(folder_.c_str());
  OpenFilesAtStart(frame_, "\"C:\\x\\quillon.exe\" main.asm \"" + folder_ + "\\other.inc\" game.qlp");
  EXPECT_EQ(g_app.project->projectName, "Game");
  HWND active = IsDocumentWindow(g_app.activeDocument) ? g_app.activeDocument : nullptr;
  ASSERT_NE(active, nullptr);
  EXPECT_TRUE(EqualsNoCase(DocumentPath(active), folder_ + "\\other.inc")) << DocumentPath(active);

  OpenFilesAtStart(frame_, "quillon.exe");
  EXPECT_EQ(g_app.project->projectName, "Last");
  g_settings.reopenProject = false;
  g_app.project->CloseProject();
  OpenFilesAtStart(frame_, "quillon.exe");
  EXPECT_FALSE(g_app.project->loaded);
  g_settings.openProject = savedOpen;
  g_settings.reopenProject = savedReopen;
}

}  // namespace project_files_test
}  // namespace quillon::test
