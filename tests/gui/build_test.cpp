// F7 with the stand-in assembler, the output pane's lines and jump targets, and its placement.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <richedit.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/startup.h"
#include "assemble/build_runner.h"
#include "assemble/insight_commands.h"
#include "assemble/output_pane.h"
#include "assemble/symbol_index.h"
#include "base/text_util.h"
#include "editor/document_file.h"
#include "editor/document_window.h"
#include "editor/editor.h"
#include "editor/text_control.h"
#include "project/file_pane.h"
#include "project/project.h"
#include "resource.h"
#include "support/dialog_answerer.h"
#include "support/gui_fixture.h"
#include "support/test_files.h"
#include "ui/app_state.h"

namespace quillon::test {
namespace build_test {

// One line of the pane as the user sees it, with its jump target (file empty: none).
struct PaneLine {
  std::string text;
  std::string file;
  int line = -1;
  bool operator==(const PaneLine&) const = default;
};

std::ostream& operator<<(std::ostream& out, const PaneLine& l) {
  return out << '"' << l.text << "\" -> " << (l.file.empty() ? "none" : l.file + ":" + std::to_string(l.line));
}

std::vector<PaneLine> ReadPane() {
  std::vector<PaneLine> lines;
  HWND list = g_app.outputPane->List();
  const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    std::string text(SendMessageA(list, LB_GETTEXTLEN, i, 0), '\0');
    std::vector<char> buffer(text.size() + 1);
    SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(buffer.data()));
    PaneLine line{buffer.data(), "", -1};
    if (auto* target = reinterpret_cast<const ErrorLocation*>(SendMessageA(list, LB_GETITEMDATA, i, 0))) {
      line.file = target->file;
      line.line = target->line;
    }
    lines.push_back(line);
  }
  return lines;
}

PaneLine Plain(const std::string& text) { return {text, "", -1}; }

std::string StandIn() { return ProgramFolder() + "\\as1600_standin.exe"; }

class BuildTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    ASSERT_NE(g_app.outputPane, nullptr);
    ASSERT_NE(g_app.project, nullptr);
    char cwd[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof cwd, cwd);
    savedDirectory_ = cwd;
    savedAssembler_ = g_settings.assemblerPath;
    static int serial = 0;
    folder_ = TempFolder("quillon_build_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++serial));
    g_settings.assemblerPath = StandIn();
    ASSERT_TRUE(Exists(StandIn())) << StandIn();
  }

  void TearDown() override {
    EXPECT_TRUE(PumpUntil([] { return g_app.buildThread == nullptr; }, 30000)) << "a build is still running";
    FrameTest::TearDown();
    SetCurrentDirectoryA(savedDirectory_.c_str());
    g_settings.assemblerPath = savedAssembler_;
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  // A project "game" whose main source holds `source`; the image and listing go to its folder.
  void LoadProject(const std::string& source, const std::string& outputName = "game") {
    WriteText(folder_ + "\\game.asm", source);
    WriteText(folder_ + "\\game.qlp", "[project name]\r\nGame\r\n[output path]\r\n.\r\n[output name]\r\n" + outputName +
                                          "\r\n[source]\r\ngame.asm\r\n[listing]\r\ngame.lst\r\n");
    ASSERT_TRUE(g_app.project->LoadProject(folder_ + "\\game.qlp"));
  }

  std::string ProjectCommandLine(const std::string& program, const std::string& outputName = "game") const {
    return "\"" + program + "\" -o \".\\" + outputName + ".bin\" -l \"game.lst\" \"game.asm\"";
  }

  // F7, then wait until the frame has joined the worker.
  void Build() {
    Command(IDM_BUILD);
    ASSERT_TRUE(PumpUntil([] { return g_app.buildThread == nullptr; }, 20000)) << "the build did not finish";
  }

  std::string folder_;
  std::string savedDirectory_;
  std::string savedAssembler_;
};

TEST_F(BuildTest, CleanProjectBuildListsEveryStepWithZeroTotals) {
  LoadProject("start:  MVII #1, R0\r\n        DECR R0\r\n");
  Build();
  const std::vector<PaneLine> expected = {
      Plain("Assembling..."),   Plain(ProjectCommandLine(StandIn())), Plain("Parsing listing file..."),
      Plain("Total Errors: 0"), Plain("Total Warnings: 0"),           Plain("Finished assembly"),
  };
  EXPECT_EQ(ReadPane(), expected);
  EXPECT_TRUE(Exists(folder_ + "\\game.bin")) << "the assembler ran in the project folder";
}

TEST_F(BuildTest, ErrorsAndWarningsCarryTheirFileAndZeroBasedLine) {
  LoadProject(
      "start:  MVII #1, R0\r\n"
      ";@error undefined symbol FOO\r\n"
      ";@warning-in \"inc\\my defs.inc\" 12 label shadows a register\r\n"
      ";@error-in C:\\src\\other.asm 1 bad operand\r\n"
      ";@raw game.asm:7: error - lower case is not an error line\r\n");
  Build();
  const std::vector<PaneLine> expected = {
      Plain("Assembling..."),
      Plain(ProjectCommandLine(StandIn())),
      Plain("Parsing listing file..."),
      {"game.asm:2: ERROR - undefined symbol FOO", folder_ + "\\game.asm", 1},
      {"inc\\my defs.inc:12: WARNING - label shadows a register", folder_ + "\\inc\\my defs.inc", 11},
      {"C:\\src\\other.asm:1: ERROR - bad operand", "C:\\src\\other.asm", 0},
      Plain("Total Errors: 2"),
      Plain("Total Warnings: 1"),
      Plain("Assembler exit code: 1"),
      Plain("Finished assembly"),
  };
  EXPECT_EQ(ReadPane(), expected);
  EXPECT_EQ(g_app.outputPane->LocationCount(), 3u);

  // Hiding and showing keeps the lines; the next build releases the old jump targets.
  SendMessageA(frame_, WM_COMMAND, MAKEWPARAM(IDM_TOOLS_OUTPUTPANE, 1), 0);
  Command(IDM_TOOLS_OUTPUTPANE);
  EXPECT_EQ(ReadPane(), expected);
  LoadProject("start:  MVII #1, R0\r\n");
  Build();
  EXPECT_EQ(g_app.outputPane->LocationCount(), 0u);
  EXPECT_EQ(ReadPane().size(), 6u);
}

std::string StatusNote() {
  char text[128] = "";
  SendMessageA(g_app.statusBar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
  return text;
}

// Another project starts with an empty pane and no marks, so F4 cannot walk the old errors; the
// F4 note goes with the lines it was about.
TEST_F(BuildTest, AnotherProjectStartsWithAnEmptyPaneAndTheF4NoteGoesWithTheLines) {
  LoadProject(";@error undefined symbol FOO\r\n");
  Build();
  ASSERT_EQ(g_app.outputPane->LocationCount(), 1u);
  ASSERT_FALSE(BuildMarks().Empty());
  Command(IDM_BUILD_NEXTERROR);
  Command(IDM_BUILD_NEXTERROR);
  EXPECT_EQ(StatusNote(), "No more errors or warnings after this one");
  Build();
  EXPECT_EQ(StatusNote(), "") << "the note stayed through the next build";

  WriteText(folder_ + "\\other.qlp", "[project name]\r\nOther\r\n[source]\r\nother.asm\r\n");
  ASSERT_TRUE(g_app.project->LoadProject(folder_ + "\\other.qlp"));
  EXPECT_TRUE(ReadPane().empty());
  EXPECT_EQ(g_app.outputPane->LocationCount(), 0u);
  EXPECT_TRUE(BuildMarks().Empty());
  Command(IDM_BUILD_NEXTERROR);
  EXPECT_EQ(StatusNote(), "No errors or warnings in the output pane");

  LoadProject(";@error undefined symbol FOO\r\n");
  Build();
  ASSERT_EQ(g_app.outputPane->LocationCount(), 1u);
  g_app.project->CloseProject();
  EXPECT_TRUE(ReadPane().empty());
  EXPECT_TRUE(BuildMarks().Empty());
}

// The listing names files relative to the build's folder; the file chooser and the build move
// the current directory, so a document must never keep such a name.
TEST_F(BuildTest, AnErrorLineOpensAndSavesTheBuiltFileWhateverTheCurrentFolder) {
  LoadProject(";@error undefined symbol FOO\r\n");
  Build();
  const std::string decoyFolder = TempFolder("quillon_build_decoy");
  const std::string decoy = decoyFolder + "\\game.asm";
  WriteText(decoy, "decoy\r\n");
  ASSERT_TRUE(SetCurrentDirectoryA(decoyFolder.c_str()));

  HWND pane = g_app.outputPane->Window();
  HWND list = FindWindowExA(pane, nullptr, "LISTBOX", nullptr);
  ASSERT_NE(list, nullptr);
  g_app.outputPane->SelectLine(3);
  SendMessageA(pane, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
  HWND document = IsDocumentWindow(g_app.activeDocument) ? g_app.activeDocument : nullptr;
  ASSERT_NE(document, nullptr);
  EXPECT_EQ(DocumentPath(document), folder_ + "\\game.asm");
  EXPECT_EQ(WindowText(g_app.activeDocument), folder_ + "\\game.asm");

  SendMessageA(DocumentTextControl(document), WM_CHAR, ';', 0);
  Command(IDM_FILE_SAVE);
  EXPECT_EQ(ReadText(folder_ + "\\game.asm"), ";;@error undefined symbol FOO\r\n");
  EXPECT_EQ(ReadText(decoy), "decoy\r\n");
  DeleteFileA(decoy.c_str());
}

// F7 saves changed documents first and leaves the others alone.
TEST_F(BuildTest, BuildingWritesOnlyChangedDocuments) {
  LoadProject("start:  MVII #1, R0\r\n");
  const std::string untouched = folder_ + "\\untouched.asm";
  const std::string edited = folder_ + "\\edited.asm";
  WriteText(untouched, "one\ntwo\r\n");
  WriteText(edited, "one\n");
  ASSERT_TRUE(OpenDocumentAtLine(untouched, -1));
  ASSERT_TRUE(OpenDocumentAtLine(edited, -1));
  SendMessageA(DocumentTextControl(g_app.activeDocument), WM_CHAR, 'x', 0);
  // Make a rewrite visible even when it writes the same bytes.
  HANDLE file =
      CreateFileA(untouched.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  FILETIME old{0x10000000, 0x01D00000};
  ASSERT_TRUE(SetFileTime(file, nullptr, nullptr, &old));
  CloseHandle(file);
  const FileStamp before = StampOfFile(untouched);
  for (HWND child = GetWindow(g_app.mdiClient, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (DocumentPath(child) == untouched) ReloadUnmodifiedDocument(child);  // it knows the new stamp

  Build();
  EXPECT_TRUE(StampOfFile(untouched) == before) << "an unchanged document was written";
  EXPECT_EQ(ReadText(untouched), "one\ntwo\r\n");
  EXPECT_EQ(ReadText(edited), "xone\n");
  EXPECT_FALSE(DocumentModified(g_app.activeDocument));
}

TEST_F(BuildTest, CommandLineLongerThanAPathBufferReachesTheAssemblerWhole) {
  const std::string longName(220, 'n');
  LoadProject(";@error seen by the assembler\r\n", longName);
  Build();
  const std::vector<PaneLine> lines = ReadPane();
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_GE(lines[1].text.size(), 260u);
  EXPECT_EQ(lines[1].text, ProjectCommandLine(StandIn(), longName));
  EXPECT_EQ(lines[3], (PaneLine{"game.asm:1: ERROR - seen by the assembler", folder_ + "\\game.asm", 0}));
  EXPECT_EQ(lines[4].text, "Total Errors: 1");
}

TEST_F(BuildTest, WithoutAProjectTheActiveDocumentIsBuiltInItsFolder) {
  const std::string source = folder_ + "\\demo.asm";
  WriteText(source, ";@warning from the document\r\n");
  ASSERT_TRUE(OpenDocumentAtLine(source, -1));
  Build();
  const std::vector<PaneLine> expected = {
      Plain("Assembling..."),
      Plain("\"" + StandIn() + "\" -o \"demo.bin\" -l \"demo.lst\" \"" + source + "\""),
      Plain("Parsing listing file..."),
      {source + ":1: WARNING - from the document", source, 0},
      Plain("Total Errors: 0"),
      Plain("Total Warnings: 1"),
      Plain("Finished assembly"),
  };
  EXPECT_EQ(ReadPane(), expected);
  char cwd[MAX_PATH] = "";
  GetCurrentDirectoryA(sizeof cwd, cwd);
  EXPECT_EQ(std::string(cwd), folder_) << "the document's folder stays the current directory";
  EXPECT_TRUE(Exists(folder_ + "\\demo.bin"));
}

TEST_F(BuildTest, NoProjectAndNoDocumentGivesNoFileToBuildAndShowsThePane) {
  // Esc hides the pane; the build shows it again, and the check mark follows the pane.
  SendMessageA(frame_, WM_COMMAND, MAKEWPARAM(IDM_TOOLS_OUTPUTPANE, 1), 0);
  ASSERT_FALSE(IsWindowVisible(g_app.outputPane->Window()));
  DialogAnswerer answerer(DialogAnswerer::Press(IDOK));
  Build();
  EXPECT_EQ(ReadPane(), (std::vector<PaneLine>{Plain("Assembling..."), Plain("No file to build.")}));
  EXPECT_TRUE(IsWindowVisible(g_app.outputPane->Window()));
  EXPECT_EQ(GetMenuState(GetMenu(frame_), IDM_TOOLS_OUTPUTPANE, MF_BYCOMMAND) & MF_CHECKED, UINT(MF_CHECKED));
  // So the menu item now hides it at the first choice.
  Command(IDM_TOOLS_OUTPUTPANE);
  EXPECT_FALSE(IsWindowVisible(g_app.outputPane->Window()));
  EXPECT_TRUE(answerer.Seen().empty());
}

// Whatever the assembler did, the pane shows this run's result and never an older listing's.
TEST_F(BuildTest, OnlyTheListingOfThisRunIsReportedWithTheAssemblersExitCode) {
  const std::string staleError = "game.asm:9: ERROR - left by an earlier build";
  const struct {
    const char* what;
    const char* source;
    std::vector<PaneLine> tail;  // after the command line
  } cases[] = {
      {"no listing written",
       ";@no-listing\r\n;@exit 3\r\n",
       {Plain("Build failed: no listing file was written (" + folder_ + "\\game.lst)."),
        Plain("Assembler exit code: 3"), Plain("Finished assembly")}},
      {"no listing, exit code 0",
       ";@no-listing\r\n",
       {Plain("Build failed: no listing file was written (" + folder_ + "\\game.lst)."), Plain("Finished assembly")}},
      {"clean listing, failing exit code",
       ";@exit 2\r\n",
       {Plain("Parsing listing file..."), Plain("Total Errors: 0"), Plain("Total Warnings: 0"),
        Plain("Assembler exit code: 2"), Plain("Finished assembly")}},
  };
  for (const auto& c : cases) {
    LoadProject(c.source);
    WriteText(folder_ + "\\game.lst", staleError + "\r\n");
    Build();
    std::vector<PaneLine> expected = {Plain("Assembling..."), Plain(ProjectCommandLine(StandIn()))};
    expected.insert(expected.end(), c.tail.begin(), c.tail.end());
    EXPECT_EQ(ReadPane(), expected) << c.what;
  }
}

TEST_F(BuildTest, AnOldListingThatCannotBeRemovedStopsTheBuildBeforeTheAssembler) {
  LoadProject(";@error never assembled\r\n");
  const std::string listing = folder_ + "\\game.lst";
  WriteText(listing, "game.asm:1: ERROR - left by an earlier build\r\n");
  SetFileAttributesA(listing.c_str(), FILE_ATTRIBUTE_READONLY);
  Build();
  SetFileAttributesA(listing.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(ReadPane(),
            (std::vector<PaneLine>{Plain("Assembling..."), Plain(ProjectCommandLine(StandIn())),
                                   Plain("Build failed: the old listing file cannot be removed (" + listing + ")."),
                                   Plain("Finished assembly")}));
  EXPECT_FALSE(Exists(folder_ + "\\game.bin"));
}

TEST_F(BuildTest, AssemblerThatCannotStartIsReportedAndNoOldListingIsShown) {
  const std::string missing = folder_ + "\\no such folder\\as1600.exe";
  g_settings.assemblerPath = missing;
  LoadProject(";@error never assembled\r\n");
  WriteText(folder_ + "\\game.lst", "game.asm:1: ERROR - left by an earlier build\r\n");
  DialogAnswerer answerer(DialogAnswerer::Press(IDOK));
  Build();
  const std::vector<PaneLine> expected = {
      Plain("Assembling..."),
      Plain(ProjectCommandLine(missing)),
      Plain("Build failed: the assembler could not be started."),
      Plain("Finished assembly"),
  };
  EXPECT_EQ(ReadPane(), expected);
  auto seen = answerer.Seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].caption, "CreateProcess Failure");
}

// Another folder made current while the assembler runs (a project opened, a chooser browsing)
// changes nothing: the build's paths were fixed when it started.
TEST_F(BuildTest, ChangingTheCurrentFolderDuringABuildDoesNotChangeItsResult) {
  LoadProject(";@delay 1500\r\n;@warning the real one\r\n");
  const std::string elsewhere = folder_ + "\\elsewhere";
  CreateDirectoryA(elsewhere.c_str(), nullptr);
  WriteText(elsewhere + "\\game.lst", "game.asm:5: ERROR - a decoy\r\n");
  Command(IDM_BUILD);
  ASSERT_TRUE(PumpUntil([] { return ReadPane().size() >= 2; }));
  SetCurrentDirectoryA(elsewhere.c_str());
  ASSERT_TRUE(PumpUntil([] { return g_app.buildThread == nullptr; }, 20000));
  const std::vector<PaneLine> expected = {
      Plain("Assembling..."),           Plain(ProjectCommandLine(StandIn())),
      Plain("Parsing listing file..."), {"game.asm:2: WARNING - the real one", folder_ + "\\game.asm", 1},
      Plain("Total Errors: 0"),         Plain("Total Warnings: 1"),
      Plain("Finished assembly"),
  };
  EXPECT_EQ(ReadPane(), expected);
}

// F7 with nothing on disk to assemble runs no assembler and says why.
TEST_F(BuildTest, NothingSavedToAssembleIsRefusedWithoutRunningTheAssembler) {
  const struct {
    const char* what;
    bool untitled;  // an untitled document whose Save As is cancelled; else a project without sources
    const char* refusal;
  } cases[] = {
      {"untitled document", true, "Build failed: save the document first."},
      {"project without a main source", false, "Build failed: the project has no main source."},
  };
  for (const auto& c : cases) {
    DialogAnswerer answerer(DialogAnswerer::Press(IDCANCEL));
    if (c.untitled) {
      Command(IDM_FILE_NEW);
      ASSERT_NE(g_app.activeDocument, nullptr);
    } else {
      WriteText(folder_ + "\\empty.qlp", "[project name]\r\nEmpty\r\n\r\n[source]\r\n");
      ASSERT_TRUE(g_app.project->LoadProject(folder_ + "\\empty.qlp"));
    }
    Build();
    EXPECT_EQ(ReadPane(), (std::vector<PaneLine>{Plain("Assembling..."), Plain(c.refusal), Plain("Finished assembly")}))
        << c.what;
    EXPECT_FALSE(Exists(folder_ + "\\.bin")) << c.what;
    EXPECT_EQ(ChildProcessCount(GetCurrentProcessId(), "as1600_standin.exe"), 0) << c.what;
  }
}

TEST_F(BuildTest, ADocumentThatCannotBeSavedIsNotAssembled) {
  const std::string source = folder_ + "\\locked.asm";
  WriteText(source, ";@error on disk\r\n");
  ASSERT_TRUE(OpenDocumentAtLine(source, -1));
  HWND edit = DocumentTextControl(g_app.activeDocument);
  SendMessageA(edit, WM_CHAR, 'x', 0);
  ASSERT_TRUE(DocumentModified(g_app.activeDocument));
  SetFileAttributesA(source.c_str(), FILE_ATTRIBUTE_READONLY);
  {
    DialogAnswerer answerer(DialogAnswerer::Press(IDOK));  // "Unable to save file."
    Build();
    EXPECT_EQ(answerer.Seen().size(), 1u);
  }
  SetFileAttributesA(source.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(ReadPane(), (std::vector<PaneLine>{Plain("Assembling..."), Plain("Build failed: save the document first."),
                                               Plain("Finished assembly")}));
  EXPECT_FALSE(Exists(folder_ + "\\locked.bin"));
  SetDocumentChanged(g_app.activeDocument, false);  // leave without questions
}

TEST_F(BuildTest, CancelInTheOptionsEndsThisBuildAndTheNextOneAsksAgain) {
  g_settings.assemblerPath.clear();
  LoadProject("start:  MVII #1, R0\r\n");
  DialogAnswerer answerer(
      [](HWND dialog, const SeenBox& seen) { PressButton(dialog, seen.caption == "Options" ? IDCANCEL : IDOK); });
  for (int attempt = 1; attempt <= 2; ++attempt) {
    Build();
    EXPECT_EQ(ReadPane(),
              (std::vector<PaneLine>{Plain("Assembling..."), Plain("Build failed: no assembler path is set."),
                                     Plain("Finished assembly")}));
    const std::vector<SeenBox> seen = answerer.Seen();
    ASSERT_EQ(seen.size(), 2u * attempt);
    EXPECT_EQ(seen[2 * attempt - 2].caption, "Cannot assemble");
    EXPECT_EQ(seen[2 * attempt - 1].caption, "Options");
  }
  EXPECT_FALSE(Exists(folder_ + "\\game.bin"));
}

TEST_F(BuildTest, CtrlBreakStopsTheAssemblerAndNoProcessIsLeft) {
  LoadProject(";@delay 60000\r\n");
  Command(IDM_BUILD);
  ASSERT_TRUE(PumpUntil([] { return ReadPane().size() >= 2; }));
  ASSERT_TRUE(PumpUntil([] { return ChildProcessCount(GetCurrentProcessId(), "as1600_standin.exe") == 1; }));
  const DWORD start = GetTickCount();
  Command(IDM_BUILD_STOP);
  ASSERT_TRUE(PumpUntil([] { return g_app.buildThread == nullptr; }, 5000));
  EXPECT_LT(GetTickCount() - start, 2000u);
  EXPECT_EQ(ReadPane(), (std::vector<PaneLine>{Plain("Assembling..."), Plain(ProjectCommandLine(StandIn())),
                                               Plain("Build stopped."), Plain("Finished assembly")}));
  EXPECT_EQ(ChildProcessCount(GetCurrentProcessId(), "as1600_standin.exe"), 0);
  Command(IDM_BUILD_STOP);  // nothing running: nothing happens
}

TEST_F(BuildTest, SecondBuildWhileOneRunsIsRefusedVisiblyAndTheFirstCompletes) {
  LoadProject(";@delay 1500\r\n;@warning slow\r\n");
  Command(IDM_BUILD);
  HANDLE first = g_app.buildThread;
  ASSERT_NE(first, nullptr);
  ASSERT_TRUE(PumpUntil([] { return ReadPane().size() >= 2; }));  // the assembler is running
  Command(IDM_BUILD);
  EXPECT_EQ(g_app.buildThread, first);
  ASSERT_TRUE(PumpUntil([] { return g_app.buildThread == nullptr; }, 20000));
  const std::vector<PaneLine> expected = {
      Plain("Assembling..."),
      Plain(ProjectCommandLine(StandIn())),
      Plain("A build is already running."),
      Plain("Parsing listing file..."),
      {"game.asm:2: WARNING - slow", folder_ + "\\game.asm", 1},
      Plain("Total Errors: 0"),
      Plain("Total Warnings: 1"),
      Plain("Finished assembly"),
  };
  EXPECT_EQ(ReadPane(), expected);
}

TEST_F(BuildTest, EmptyAssemblerPathIsAskedForUntilOneIsGiven) {
  g_settings.assemblerPath.clear();
  LoadProject("start:  MVII #1, R0\r\n");
  int optionsShown = 0;
  const std::string standIn = StandIn();
  DialogAnswerer answerer([&](HWND dialog, const SeenBox& seen) {
    if (seen.caption == "Options") {
      // First OK with the field empty, then with the path.
      SetControlText(dialog, IDC_OPTIONS_PATH, ++optionsShown == 1 ? "" : standIn);
    }
    PressButton(dialog, IDOK);
  });
  Build();
  const std::vector<SeenBox> seen = answerer.Seen();
  ASSERT_EQ(seen.size(), 4u);
  for (int i : {0, 2}) {
    EXPECT_EQ(seen[i].caption, "Cannot assemble");
    EXPECT_EQ(seen[i].text, "Please specify the path to AS1600.exe");
  }
  EXPECT_EQ(seen[1].caption, "Options");
  EXPECT_EQ(seen[3].caption, "Options");
  EXPECT_EQ(g_settings.assemblerPath, standIn);
  const std::vector<PaneLine> lines = ReadPane();
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[1].text, ProjectCommandLine(standIn));
  EXPECT_EQ(lines[5].text, "Finished assembly");
}

// F7 on a fresh setup: "Cannot assemble", OK in the Options dialog with the bundled assembler
// filled in, and a real image; then an error in an included file leads to that file and line.
TEST_F(BuildTest, BundledAssemblerBuildsARealImageOnceItsOfferedPathIsConfirmed) {
  g_settings.assemblerPath.clear();
  const std::string bundled = ProgramFolder() + "\\cpasm.exe";
  CreateDirectoryA((folder_ + "\\lib").c_str(), nullptr);
  WriteText(folder_ + "\\lib\\print.asm", "PRINT   PROC\r\n@@FLS:  MVO@ R1, R4\r\n        JR R5\r\n        ENDP\r\n");
  LoadProject(
      "        ROMW 16\r\n        ORG $5000\r\nstart:  MVII #$200, R4\r\n        CALL PRINT.FLS\r\n"
      "        B start\r\n        INCLUDE \"lib\\print.asm\"\r\n");
  std::string offered;
  {
    DialogAnswerer answerer([&](HWND dialog, const SeenBox& seen) {
      if (seen.caption == "Options") {
        char text[MAX_PATH] = "";
        GetDlgItemTextA(dialog, IDC_OPTIONS_PATH, text, sizeof text);
        offered = text;
      }
      PressButton(dialog, IDOK);
    });
    Build();
  }
  EXPECT_EQ(offered, bundled);
  EXPECT_EQ(g_settings.assemblerPath, bundled);
  // The memory map follows the totals.
  const std::vector<PaneLine> clean = {
      Plain("Assembling..."),
      Plain(ProjectCommandLine(bundled)),
      Plain("Parsing listing file..."),
      Plain("Total Errors: 0"),
      Plain("Total Warnings: 0"),
      Plain("Memory map:"),
      Plain("  $5000-$5008  9 words"),
      Plain("  Block $5000-$6FFF: 9 used, 8,183 free, largest free 8,183 at $5009-$6FFF"),
      Plain("  RAM in use: 0 words of 8-bit, 0 words of 16-bit"),
      Plain("Finished assembly"),
  };
  EXPECT_EQ(ReadPane(), clean);
  const std::string bytes = ReadText(folder_ + "\\game.bin");
  EXPECT_EQ(bytes.size(), 2u * 9) << "MVII 2, CALL 3, B 2, MVO@ 1, JR 1 words";
  EXPECT_TRUE(Exists(folder_ + "\\game.cfg"));

  WriteText(folder_ + "\\lib\\print.asm", "PRINT   PROC\r\n@@FLS:  MVO@ R1, R9\r\n        JR R5\r\n        ENDP\r\n");
  Build();
  const std::vector<PaneLine> lines = ReadPane();
  ASSERT_GE(lines.size(), 7u);
  EXPECT_EQ(lines[3].file, folder_ + "\\lib\\print.asm");
  EXPECT_EQ(lines[3].line, 1);
  EXPECT_NE(lines[3].text.find("lib\\print.asm:2: ERROR - bad operand 'R9'"), std::string::npos) << lines[3].text;
  EXPECT_EQ(lines[4].text, "Total Errors: 1");
}

// After a build the Memory Map window shows each block with its use; data over the Executive
// fails the build with an error line.
TEST_F(BuildTest, MemoryMapAfterABuild) {
  g_settings.assemblerPath = ProgramFolder() + "\\cpasm.exe";
  LoadProject(
      "        ROMW 16\r\n        ORG $5000\r\nstart:  B start\r\n        ORG $D000\r\n        DECLE 1, 2, 3\r\n");
  Build();
  EXPECT_TRUE(LastBuildSucceeded());
  std::vector<std::string> rows;
  {
    DialogAnswerer answerer([&](HWND dialog, const SeenBox& seen) {
      EXPECT_EQ(seen.caption, "Memory Map");
      HWND list = GetDlgItem(dialog, IDC_MEMORYMAP_LIST);
      for (int i = 0; i < static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0)); ++i) {
        std::vector<char> text(SendMessageA(list, LB_GETTEXTLEN, i, 0) + 1);
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        rows.push_back(text.data());
      }
      PressButton(dialog, IDOK);
    });
    Command(IDM_BUILD_MEMORYMAP);
  }
  auto has = [&](const std::string& row) { return std::find(rows.begin(), rows.end(), row) != rows.end(); };
  EXPECT_TRUE(has("$5000-$6FFF\t2 used, 8190 free, largest free 8190")) << rows.size();
  EXPECT_TRUE(has("$D000-$DFFF\t3 used, 4093 free, largest free 4093"));
  EXPECT_TRUE(has("$F000-$FFFF\t0 used, 4096 free, largest free 4096"));
  EXPECT_TRUE(has("$D000-$D002  3 words"));

  // RMB in the console's RAM is in use; data over the Executive is an error at its line, where F4 goes.
  LoadProject("        ROMW 16\r\n        ORG $100\r\nFLAGS   RMB 4\r\n        ORG $1000\r\n        DECLE 1\r\n");
  Build();
  EXPECT_FALSE(LastBuildSucceeded()) << "data over the Executive";
  const std::vector<PaneLine> lines = ReadPane();
  const PaneLine error{folder_ + "\\game.asm:5: ERROR - data at $1000 is over the Executive ROM ($1000-$1FFF)",
                       folder_ + "\\game.asm", 4};
  EXPECT_NE(std::find(lines.begin(), lines.end(), error), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(),
                      Plain("  RAM in use: 4 words of 8-bit (4 of the scratch RAM), 0 words of 16-bit")),
            lines.end());
  Key(VK_F4);
  ASSERT_TRUE(IsDocumentWindow(g_app.activeDocument));
  EXPECT_TRUE(SameSourcePath(DocumentPath(g_app.activeDocument), folder_ + "\\game.asm"));
  long start = 0, end = 0;
  GetSelection(DocumentTextControl(g_app.activeDocument), start, end);
  EXPECT_EQ(SendMessageA(DocumentTextControl(g_app.activeDocument), EM_EXLINEFROMCHAR, 0, start), 4);
}

// After a build with the bundled assembler, the gutter shows the address of each instruction of an
// included file; a selection's cycles are held against the vertical blank's budget only inside
// the interrupt routine the program installs.
TEST_F(BuildTest, AddressesInTheGutterAndTheInterruptRoutinesBudget) {
  g_settings.assemblerPath = ProgramFolder() + "\\cpasm.exe";
  std::string nops;
  for (int i = 0; i < 340; ++i) nops += "        NOP\r\n";
  CreateDirectoryA((folder_ + "\\lib").c_str(), nullptr);
  WriteText(folder_ + "\\lib\\isr.inc", "isr:    MVI $21, R0\r\n" + nops + "        JR R5\r\n");
  LoadProject(
      "        ROMW 16\r\n        ORG $5000\r\nstart:  MVII #isr, R0\r\n        MVO R0, $100\r\n"
      "        SWAP R0\r\n        MVO R0, $101\r\nwait:\r\n" +
      nops + "        B start\r\n        INCLUDE \"lib\\isr.inc\"\r\n");
  Build();
  ASSERT_TRUE(LastBuildSucceeded());
  ASSERT_TRUE(OpenDocumentAtLine(folder_ + "\\lib\\isr.inc", -1));
  HWND window = g_app.activeDocument;
  Command(IDM_TOOLS_CYCLECOLUMN);
  ASSERT_TRUE(EditorHooks().gutterNote);
  // MVII, MVO, SWAP, MVO: 7 words; 340 NOPs; B: 2 words.
  EXPECT_EQ(EditorHooks().gutterNote(window, 0), "515D 10");
  EXPECT_EQ(EditorHooks().gutterNote(window, 1), "515F 6");
  Command(IDM_TOOLS_CYCLECOLUMN);

  auto selectionNote = [&](int fromLine, int lines) {
    HWND edit = DocumentTextControl(g_app.activeDocument);
    SetFocus(edit);
    SetSelection(edit, LineIndex(edit, fromLine), LineIndex(edit, fromLine + lines - 1));
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    PostMessageA(edit, WM_KEYDOWN, VK_DOWN, 1);
    PostMessageA(edit, WM_KEYUP, VK_DOWN, 0xC0000001);
    PumpMessages(20);
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    char text[256] = "";
    SendMessageA(g_app.statusBar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
    return std::string(text);
  };
  EXPECT_EQ(selectionNote(0, 342),
            "342 instructions, 2057 cycles - over the vertical blank's budget for the STIC registers (2,000)");
  ASSERT_TRUE(OpenDocumentAtLine(folder_ + "\\game.asm", -1));
  EXPECT_EQ(selectionNote(7, 341), "341 instructions, 2049 cycles") << "the main loop has no such budget";
}

// The sample project that ships beside the program builds to an image with the bundled assembler.
TEST_F(BuildTest, SampleProjectBuildsCleanlyWithTheBundledAssembler) {
  for (const char* name : {"hello.qlp", "hello.asm", "hello.inc"}) {
    ASSERT_TRUE(
        CopyFileA((ProgramFolder() + "\\samples\\hello\\" + name).c_str(), (folder_ + "\\" + name).c_str(), FALSE))
        << name;
  }
  g_settings.assemblerPath = ProgramFolder() + "\\cpasm.exe";
  ASSERT_TRUE(g_app.project->LoadProject(folder_ + "\\hello.qlp"));
  Build();
  const std::vector<PaneLine> lines = ReadPane();
  ASSERT_GE(lines.size(), 7u);
  EXPECT_EQ(lines[3].text, "Total Errors: 0");
  EXPECT_EQ(lines[4].text, "Total Warnings: 0");
  EXPECT_EQ(lines[5].text, "Memory map:");
  EXPECT_EQ(lines.back().text, "Finished assembly");
  const std::string bytes = ReadText(folder_ + "\\obj\\hello.bin");
  EXPECT_GT(bytes.size(), 40u) << "header, title and program";
  EXPECT_EQ(bytes.substr(0, 2), std::string("\x00\x0D", 2)) << "the header's first word, low byte of ZERO";
  EXPECT_TRUE(Exists(folder_ + "\\obj\\hello.cfg"));
}

// Run (F5) with the stand-in emulator, which records its folder and arguments.
class RunTest : public BuildTest {
 protected:
  void SetUp() override {
    BuildTest::SetUp();
    saved_ = g_settings;
    g_settings.emulatorPath = Emulator();
    g_settings.emulatorArguments = "\"%OUTPUT%\" -z1 %NOSUCH%";
  }
  void TearDown() override {
    BuildTest::TearDown();
    g_settings.emulatorPath = saved_.emulatorPath;
    g_settings.emulatorArguments = saved_.emulatorArguments;
  }
  static std::string Emulator() { return ProgramFolder() + "\\emulator_standin.exe"; }
  // F5 through the program's accelerators, then the end of the build as the frame hears of it.
  void PressF5AndWait() {
    HACCEL table = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_ACCELERATORS));
    PostMessageA(frame_, WM_KEYDOWN, VK_F5, 1);
    PostQuitMessage(0);
    RunMessageLoop(frame_, table);
    DestroyAcceleratorTable(table);
    ASSERT_TRUE(PumpUntil([] { return g_app.buildThread == nullptr; }, 20000));
    PumpMessages(100);
  }
  std::string Record() const {
    const std::string path = folder_ + "\\emulator_standin.txt";
    return Exists(path) ? ReadText(path) : std::string();
  }

  Settings saved_;
};

TEST_F(RunTest, F5AfterAGoodBuildStartsTheEmulatorInTheProjectFolderEveryTime) {
  LoadProject("start:  MVII #1, R0\r\n;@warning only a warning\r\n");
  PressF5AndWait();
  const std::string shown = "\"" + folder_ + "\\game.bin\"";
  EXPECT_EQ(ReadPane().back(), Plain("Running: \"" + Emulator() + "\" " + shown + " -z1 %NOSUCH%"));
  ASSERT_TRUE(PumpUntil([&] { return !Record().empty(); }, 5000)) << "the emulator did not start";
  const std::string block = "start\nfolder " + folder_ + "\narg " + folder_ + "\\game.bin\narg -z1\narg %NOSUCH%\n";
  EXPECT_TRUE(EqualsNoCase(Record(), block)) << Record();
  PressF5AndWait();  // a second run starts a second emulator
  EXPECT_TRUE(PumpUntil([&] { return Record().size() == 2 * block.size(); }, 5000)) << Record();
}

TEST_F(RunTest, AFailedBuildStartsNothing) {
  for (const char* source :
       {";@error undefined symbol\r\n", ";@error undefined symbol\r\n;@exit 0\r\n", ";@exit 2\r\n"}) {
    LoadProject(source);
    PressF5AndWait();
    PumpMessages(200);
    EXPECT_EQ(Record(), "") << source;
    EXPECT_EQ(ReadPane().back(), Plain("Finished assembly")) << source;
  }
}

TEST_F(RunTest, WithoutAnEmulatorPathItSaysSoAndOpensOptionsOnTheEmulatorField) {
  g_settings.emulatorPath.clear();
  LoadProject("start:  MVII #1, R0\r\n");
  int focused = 0;
  DialogAnswerer answerer([&](HWND dialog, const SeenBox&) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info)) focused = GetDlgCtrlID(info.hwndFocus);
    PressButton(dialog, IDCANCEL);
  });
  Command(IDM_BUILD_RUN);
  EXPECT_EQ(ReadPane(), (std::vector<PaneLine>{Plain("Run: no emulator path is set (Tools, IDE Options).")}));
  ASSERT_EQ(answerer.Seen().size(), 1u);
  EXPECT_EQ(answerer.Seen()[0].caption, "Options");
  EXPECT_EQ(focused, IDC_OPTIONS_EMULATOR);
  EXPECT_EQ(g_app.buildThread, nullptr) << "Cancel ends the run before the build";
}

TEST_F(RunTest, AnEmulatorThatCannotStartIsReportedWithTheSystemsReason) {
  g_settings.emulatorPath = folder_ + "\\missing.exe";
  LoadProject("start:  MVII #1, R0\r\n");
  PressF5AndWait();
  const std::vector<PaneLine> lines = ReadPane();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_TRUE(lines[lines.size() - 2].text.starts_with("Running: \"" + folder_ + "\\missing.exe\""));
  EXPECT_TRUE(lines.back().text.starts_with("Run failed: ") && lines.back().text.size() > 14) << lines.back();
}

using OutputPaneLayoutTest = FrameTest;

TEST_F(OutputPaneLayoutTest, PaneTakesAQuarterOfTheHeightAtFirstAndKeepsItsDraggedHeight) {
  RECT client;
  GetClientRect(frame_, &client);
  const int b = g_app.frameBorder;
  RECT pane = RectIn(g_app.outputPane->Window(), frame_);
  RECT status = RectIn(g_app.statusBar, frame_);
  RECT tools = RectIn(g_app.toolBar, frame_);
  RECT mdi = RectIn(g_app.mdiClient, frame_);
  EXPECT_EQ(pane.bottom - pane.top, client.bottom / 4);
  EXPECT_EQ(pane.left, -b);
  EXPECT_EQ(pane.right, client.right + b);
  EXPECT_EQ(pane.bottom, status.top);
  EXPECT_EQ(mdi.top, tools.bottom - tools.top);  // the toolbar's height
  EXPECT_EQ(mdi.bottom, pane.top);
  EXPECT_EQ(mdi.left, RectIn(g_app.filePane->Window(), frame_).right);
  EXPECT_EQ(mdi.right, client.right);

  // Dragging the top edge makes the pane 60 pixels taller; the MDI client gives way.
  SetWindowPos(g_app.outputPane->Window(), nullptr, pane.left, pane.top - 60, pane.right - pane.left,
               pane.bottom - pane.top + 60, SWP_NOZORDER);
  const int dragged = pane.bottom - pane.top + 60;
  EXPECT_EQ(RectIn(g_app.mdiClient, frame_).bottom, pane.top - 60);

  // A larger frame keeps the dragged height.
  RECT frameRect;
  GetWindowRect(frame_, &frameRect);
  SetWindowPos(frame_, nullptr, 0, 0, frameRect.right - frameRect.left + 100, frameRect.bottom - frameRect.top + 80,
               SWP_NOZORDER | SWP_NOMOVE);
  PumpMessages(20);
  GetClientRect(frame_, &client);
  pane = RectIn(g_app.outputPane->Window(), frame_);
  EXPECT_EQ(pane.bottom - pane.top, dragged);
  EXPECT_EQ(pane.right, client.right + b);
  EXPECT_EQ(pane.bottom, RectIn(g_app.statusBar, frame_).top);
  EXPECT_EQ(RectIn(g_app.mdiClient, frame_).bottom, pane.top);
}

TEST_F(OutputPaneLayoutTest, EscOnlyHidesAndTheMenuItemAlternatesWithItsCheckMark) {
  struct Step {
    bool fromAccelerator;
    bool shownAfter;
  };
  const Step steps[] = {{true, false}, {true, false}, {false, true}, {false, false}, {false, true}, {true, false}};
  HMENU menu = GetMenu(frame_);
  for (const Step& step : steps) {
    SendMessageA(frame_, WM_COMMAND, MAKEWPARAM(IDM_TOOLS_OUTPUTPANE, step.fromAccelerator ? 1 : 0), 0);
    EXPECT_EQ(IsWindowVisible(g_app.outputPane->Window()) != 0, step.shownAfter);
    EXPECT_EQ(g_app.outputPane->IsShown(), step.shownAfter);
    EXPECT_EQ(GetMenuState(menu, IDM_TOOLS_OUTPUTPANE, MF_BYCOMMAND) == MF_CHECKED, step.shownAfter);
    // The MDI client reaches down to the pane, or to the status bar while the pane is hidden.
    const int bottom =
        step.shownAfter ? RectIn(g_app.outputPane->Window(), frame_).top : RectIn(g_app.statusBar, frame_).top;
    EXPECT_EQ(RectIn(g_app.mdiClient, frame_).bottom, bottom);
  }
}

TEST_F(OutputPaneLayoutTest, OnlyTheTopEdgeCanBeDragged) {
  HWND pane = g_app.outputPane->Window();
  RECT current;
  GetWindowRect(pane, &current);
  const struct {
    int edge;
    bool moves;
  } cases[] = {{WMSZ_TOP, true},      {WMSZ_LEFT, false},     {WMSZ_RIGHT, false},      {WMSZ_BOTTOM, false},
               {WMSZ_TOPLEFT, false}, {WMSZ_TOPRIGHT, false}, {WMSZ_BOTTOMRIGHT, false}};
  for (const auto& c : cases) {
    RECT proposed{current.left - 30, current.top - 40, current.right + 30, current.bottom + 40};
    const RECT original = proposed;
    SendMessageA(pane, WM_SIZING, c.edge, reinterpret_cast<LPARAM>(&proposed));
    const RECT& expected = c.moves ? original : current;
    EXPECT_TRUE(EqualRect(&proposed, &expected)) << "edge " << c.edge;
  }
}

}  // namespace build_test
}  // namespace quillon::test
