// Document windows: open, type, save, save as, close, and the file at a line.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <richedit.h>

#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "editor/document_file.h"
#include "editor/document_state.h"
#include "editor/document_window.h"
#include "editor/editor.h"
#include "editor/text_control.h"
#include "project/project.h"
#include "project/project_commands.h"
#include "resource.h"
#include "support/dialog_answerer.h"
#include "support/gui_fixture.h"
#include "support/memory_platform.h"
#include "support/test_files.h"
#include "ui/app_state.h"

namespace quillon::test {
namespace document_test {

int DocumentCount() {
  int count = 0;
  for (HWND child = GetWindow(g_app.mdiClient, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (IsDocumentWindow(child)) ++count;
  return count;
}

bool SaveIsEnabled(HWND frame) {
  return !(GetMenuState(GetMenu(frame), IDM_FILE_SAVE, MF_BYCOMMAND) & MF_GRAYED) &&
         SendMessageA(g_app.toolBar, TB_ISBUTTONENABLED, IDM_FILE_SAVE, 0);
}

void Type(HWND edit, const std::string& text) {
  for (char c : text) SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 0);
}

class DocumentTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    folder_ = TempFolder("quillon_documents");
  }
  void TearDown() override {
    // Leave without questions.
    for (HWND child = GetWindow(g_app.mdiClient, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
      SetDocumentChanged(child, false);
    FrameTest::TearDown();
  }
  std::string File(const std::string& name, const std::string& text) {
    std::string path = folder_ + "\\" + name;
    WriteText(path, text);
    return path;
  }
  std::string folder_;
};

// Line breaks in `bytes`, counting CR LF once.
int Breaks(const std::string& bytes) {
  int n = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i)
    if (bytes[i] == '\n' || (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n'))) ++n;
  return n;
}

std::string Repeat(const std::string& line, std::size_t atLeast) {
  std::string text;
  while (text.size() < atLeast) text += line;
  return text;
}

TEST_F(DocumentTest, OpenSaveTypeSaveKeepsTheFileBytesThroughTheRealControl) {
  std::string high, low;
  for (int b = 0x80; b <= 0xFF; ++b) high += static_cast<char>(b);
  for (int b = 0x01; b < 0x80; ++b)
    if (b != '\r' && b != '\n') low += static_cast<char>(b);
  const std::string mark = "\xEF\xBB\xBF";
  struct Case {
    const char* name;
    std::string bytes;
    std::string saved;  // an unedited save; empty: the bytes read
  };
  const Case cases[] = {
      {"crlf.asm", "MVII #1, R0\r\nloop: B loop\r\n", ""},
      {"lf.asm", "MVII #1, R0\nloop: B loop\n", ""},
      {"cr.asm", "MVII #1, R0\rloop: B loop\r", ""},
      {"nofinal.asm", "first\r\nlast line without break", ""},
      {"crcrlf.asm", "a\r\r\nb\r\n", "a\r\n\r\nb\r\n"},
      {"mixed.asm", "a\nb\nc\r\nd\r", "a\nb\nc\nd\n"},
      {"mark.asm", mark + "caf\xC3\xA9 \xCE\xB1 \xE4\xB8\xAD\r\n", ""},
      {"twomarks.asm", mark + mark + "x\n", ""},
      {"highbytes.asm", high + "\r\n" + high, ""},
      {"lowbytes.asm", low + "\n" + low + "\n", ""},
      {"blocks.asm", Repeat(std::string(4095, 'x') + "\r\n", 5 * 4097), ""},
      {"big.asm", Repeat("        MVII    #$1234, R0      ; five megabytes\n", 5 * 1024 * 1024), ""},
  };
  for (const Case& c : cases) {
    const std::string saved = c.saved.empty() ? c.bytes : c.saved;
    const std::string path = File(c.name, c.bytes);
    ASSERT_TRUE(OpenDocumentAtLine(path, -1)) << c.name;
    HWND window = g_app.activeDocument;
    HWND document = IsDocumentWindow(window) ? window : nullptr;
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(WindowText(window), path);
    EXPECT_EQ(LineCount(DocumentTextControl(document)), Breaks(c.bytes) + 1) << c.name << ": no line joined or split";
    EXPECT_FALSE(DocumentModified(document));
    EXPECT_FALSE(SaveIsEnabled(frame_));

    Command(IDM_FILE_SAVE);
    EXPECT_TRUE(ReadText(path) == saved) << c.name << ": unedited save";

    SetSelection(DocumentTextControl(document), 0, 0);
    Type(DocumentTextControl(document), ";");
    EXPECT_EQ(WindowText(window), path + "*");
    EXPECT_TRUE(SaveIsEnabled(frame_));
    Command(IDM_FILE_SAVE);
    const std::size_t at = saved.compare(0, 3, mark) == 0 ? 3 : 0;
    EXPECT_TRUE(ReadText(path) == saved.substr(0, at) + ";" + saved.substr(at)) << c.name << ": typed save";
    EXPECT_EQ(WindowText(window), path);
    EXPECT_FALSE(SaveIsEnabled(frame_));
    SendMessageA(g_app.mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(window), 0);
  }
}

TEST_F(DocumentTest, SaveAsToANameWithoutExtension) {
  std::string target = folder_ + "\\demo";
  DeleteFileA(target.c_str());
  Command(IDM_FILE_NEW);
  HWND window = g_app.activeDocument;
  ASSERT_TRUE(IsDocumentWindow(window));
  EXPECT_EQ(WindowText(window), "untitled");
  Type(DocumentTextControl(window), "hello");
  EXPECT_EQ(WindowText(window), "untitled*");

  DialogAnswerer answerer([&](HWND dialog, const SeenBox& seen) {
    if (seen.caption == "Save file as...") SetControlText(dialog, 0x47C, target);
    PressButton(dialog, IDOK);
  });
  Command(IDM_FILE_SAVEAS);
  ASSERT_EQ(answerer.Seen().size(), 1u);
  EXPECT_EQ(ReadText(target), "hello");
  EXPECT_EQ(DocumentPath(window), target);
  EXPECT_EQ(DocumentBaseName(window), "demo");
  EXPECT_EQ(WindowText(window), target);
  EXPECT_EQ(g_settings.lastDirectory, folder_);
}

TEST_F(DocumentTest, SavingAnUntitledDocumentAsksForANameAndCancelKeepsItUntitled) {
  Command(IDM_FILE_NEW);
  HWND window = g_app.activeDocument;
  Type(DocumentTextControl(window), "x");
  DialogAnswerer answerer(DialogAnswerer::Press(IDCANCEL));
  Command(IDM_FILE_SAVE);
  ASSERT_EQ(answerer.Seen().size(), 1u);
  EXPECT_EQ(answerer.Seen()[0].caption, "Save file as...");
  EXPECT_EQ(WindowText(window), "untitled*");
  EXPECT_TRUE(DocumentModified(window));
}

TEST_F(DocumentTest, AFileAlreadyShownIsActivatedNotReadAgain) {
  std::string path = File("Shown.asm", "one\r\ntwo\r\n");
  ASSERT_TRUE(OpenDocumentAtLine(path, -1));
  HWND first = g_app.activeDocument;
  Type(DocumentTextControl(first), "typed");
  Command(IDM_FILE_NEW);
  ASSERT_NE(g_app.activeDocument, first);

  // Another letter case and a relative form of the same path.
  char current[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, current);
  SetCurrentDirectoryA(folder_.c_str());
  EXPECT_TRUE(OpenDocumentAtLine("..\\quillon_documents\\SHOWN.ASM", 1));
  SetCurrentDirectoryA(current);
  EXPECT_EQ(g_app.activeDocument, first);
  EXPECT_EQ(DocumentCount(), 2);
  EXPECT_TRUE(DocumentModified(first)) << "not reloaded";
  long start = 0, end = 0;
  GetSelection(DocumentTextControl(first), start, end);
  EXPECT_EQ(start, LineIndex(DocumentTextControl(first), 1)) << "still moves to the line";
}

TEST_F(DocumentTest, TheLineIsScrolledToTheTopWithTheCaretAtItsStart) {
  std::string text;
  for (int i = 0; i < 400; ++i) text += "line " + std::to_string(i) + "\r\n";
  std::string path = File("long.asm", text);
  for (int line : {57, 0, 200}) {
    ASSERT_TRUE(OpenDocumentAtLine(path, line));
    HWND edit = DocumentTextControl(g_app.activeDocument);
    EXPECT_EQ(FirstVisibleLine(edit), line);
    long start = -1, end = -1;
    GetSelection(edit, start, end);
    EXPECT_EQ(start, LineIndex(edit, line));
    EXPECT_EQ(end, start);
    std::string expected = "line " + std::to_string(line);
    EXPECT_EQ(TextRange(edit, start, start + static_cast<long>(expected.size())), expected);
  }
  EXPECT_EQ(DocumentCount(), 1);
}

// What the text control tells its window when files are dropped on it.
void DropOnText(HWND window, const std::vector<std::string>& files) {
  ENDROPFILES drop{};
  drop.nmhdr.hwndFrom = DocumentTextControl(window);
  drop.nmhdr.idFrom = kEditControlId;
  drop.nmhdr.code = EN_DROPFILES;
  drop.hDrop = MakeDrop(files);
  EXPECT_EQ(SendMessageA(window, WM_NOTIFY, kEditControlId, reinterpret_cast<LPARAM>(&drop)), 0)
      << "the control itself never inserts the file";
}

TEST_F(DocumentTest, AFileDroppedOnTheTextOpensAndTwoFilesOpenNeither) {
  std::string project = File("dropped.qlp", "[project name]\r\nx\r\n");
  std::string other = File("other.asm", "x\r\n");
  Command(IDM_FILE_NEW);
  HWND window = g_app.activeDocument;
  {
    DialogAnswerer answerer(DialogAnswerer::Press(IDOK));
    DropOnText(window, {project, other});
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(answerer.Seen()[0].text, "Please only drop one file at a time");
  }
  EXPECT_EQ(DocumentCount(), 1);
  DropOnText(window, {project});
  EXPECT_EQ(DocumentCount(), 2) << "a project file dropped on the text opens as text";
  EXPECT_EQ(DocumentPath(g_app.activeDocument), project);
  EXPECT_FALSE(g_app.project->loaded);
}

TEST_F(DocumentTest, AFileThatCannotBeOpenedLeavesNoWindowBehind) {
  std::string missing = folder_ + "\\missing.asm";
  DeleteFileA(missing.c_str());
  DialogAnswerer answerer(DialogAnswerer::Press(IDOK));
  EXPECT_FALSE(OpenDocumentAtLine(missing, 3));
  ASSERT_EQ(answerer.Seen().size(), 1u);
  EXPECT_EQ(answerer.Seen()[0].text, "Unable to open file.");
  EXPECT_EQ(answerer.Seen()[0].caption, missing);
  EXPECT_EQ(DocumentCount(), 0);
}

TEST_F(DocumentTest, CloseAllAsksOnceForEachChangedDocument) {
  std::string a = File("a.asm", "a\r\n"), b = File("b.asm", "b\r\n"), c = File("c.asm", "c\r\n");
  for (const std::string& path : {a, b, c}) ASSERT_TRUE(OpenDocumentAtLine(path, -1));
  Type(DocumentTextControl(g_app.activeDocument), "changed");  // c
  OpenDocumentAtLine(a, -1);
  Type(DocumentTextControl(g_app.activeDocument), "changed");  // a
  DialogAnswerer answerer(DialogAnswerer::Press(IDNO));
  Command(IDM_WINDOW_CLOSEALL);
  auto seen = answerer.Seen();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].text, "Text has changed, would you like to save?");
  EXPECT_EQ(seen[0].caption, a) << "the active document is asked first";
  EXPECT_EQ(seen[1].caption, c);
  EXPECT_EQ(DocumentCount(), 0);
  EXPECT_EQ(ReadText(a), "a\r\n") << "No keeps the file as it was";
}

TEST_F(DocumentTest, ExitAsksForTheProjectThenEachChangedDocumentAndNoSavesNothing) {
  std::string project = File("exit.qlp", "[project name]\r\nexit\r\n");
  ASSERT_TRUE(g_app.project->LoadProject(project));
  g_app.project->SetOutputName("changed");
  std::string a = File("exit_a.asm", "a\r\n"), b = File("exit_b.asm", "b\r\n");
  ASSERT_TRUE(OpenDocumentAtLine(a, -1));
  Type(DocumentTextControl(g_app.activeDocument), "1");
  ASSERT_TRUE(OpenDocumentAtLine(b, -1));
  Type(DocumentTextControl(g_app.activeDocument), "2");

  DialogAnswerer answerer(DialogAnswerer::Press(IDNO));
  Command(IDM_FILE_EXIT);
  PumpUntil([&] { return !IsWindow(frame_); });
  auto seen = answerer.Seen();
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0].caption, "exit");
  EXPECT_EQ(seen[1].caption, b) << "the active document first";
  EXPECT_EQ(seen[2].caption, a);
  EXPECT_FALSE(IsWindow(frame_));
  EXPECT_EQ(ReadText(a), "a\r\n");
  EXPECT_EQ(ReadText(b), "b\r\n");
  EXPECT_EQ(ReadText(project), "[project name]\r\nexit\r\n");
}

// Cancel (or Esc) on any close question stops the whole operation: every document stays open and
// changed, the project stays, and no file is written.
TEST_F(DocumentTest, CancelOnACloseQuestionClosesNothingAndWritesNothing) {
  struct Case {
    const char* name;
    bool projectChanged;       // the project question comes first
    std::vector<int> answers;  // in the order the boxes come up
    std::function<void(HWND window)> run;
  };
  const std::string kProject = "[project name]\r\ncancel\r\n";
  const Case cases[] = {
      {"close the window", false, {IDCANCEL}, [](HWND w) { SendMessageA(w, WM_CLOSE, 0, 0); }},
      {"Close All, No then Cancel", false, {IDNO, IDCANCEL}, [this](HWND) { Command(IDM_WINDOW_CLOSEALL); }},
      {"Exit, No then Cancel", false, {IDNO, IDCANCEL}, [this](HWND) { Command(IDM_FILE_EXIT); }},
      {"Exit, Cancel on the project", true, {IDCANCEL}, [this](HWND) { Command(IDM_FILE_EXIT); }},
      {"end of session",
       false,
       {IDNO, IDCANCEL},
       [this](HWND) { EXPECT_EQ(SendMessageA(frame_, WM_QUERYENDSESSION, 0, 0), FALSE); }},
      {"end of session, Cancel on the project",
       true,
       {IDCANCEL},
       [this](HWND) { EXPECT_EQ(SendMessageA(frame_, WM_QUERYENDSESSION, 0, 0), FALSE); }},
      {"open another project",
       false,
       {IDNO, IDCANCEL},
       [this](HWND) { SwitchToProject(File("other.qlp", "[project name]\r\nother\r\n")); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string project = File("cancel.qlp", kProject);
    ASSERT_TRUE(g_app.project->LoadProject(project));
    if (c.projectChanged) g_app.project->SetOutputName("changed");
    const std::string a = File("cancel_a.asm", "a\r\n"), b = File("cancel_b.asm", "b\r\n");
    ASSERT_TRUE(OpenDocumentAtLine(a, -1));
    Type(DocumentTextControl(g_app.activeDocument), "1");
    ASSERT_TRUE(OpenDocumentAtLine(b, -1));
    Type(DocumentTextControl(g_app.activeDocument), "2");
    const HWND active = g_app.activeDocument;

    std::size_t asked = 0;
    DialogAnswerer answerer([&](HWND box, const SeenBox&) {
      PressButton(box, asked < c.answers.size() ? c.answers[asked] : IDNO);
      ++asked;
    });
    c.run(active);
    PumpUntil([&] { return answerer.Seen().size() >= c.answers.size(); }, 2000);
    PumpMessages(50);
    const auto seen = answerer.Seen();
    EXPECT_EQ(seen.size(), c.answers.size()) << "Cancel ends the questions";

    ASSERT_TRUE(IsWindow(frame_));
    EXPECT_EQ(DocumentCount(), 2);
    EXPECT_EQ(WindowText(active), b + "*");
    for (HWND child = GetWindow(g_app.mdiClient, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
      if (IsDocumentWindow(child)) {
        EXPECT_TRUE(DocumentModified(child)) << DocumentPath(child);
      }
    EXPECT_EQ(ReadText(a), "a\r\n");
    EXPECT_EQ(ReadText(b), "b\r\n");
    EXPECT_EQ(ReadText(project), kProject);
    EXPECT_EQ(g_app.project->ProjectFile(), project) << "the project stays";
    EXPECT_EQ(g_app.project->settingsChanged, c.projectChanged);

    // Leave the next case a clean frame.
    for (HWND child = GetWindow(g_app.mdiClient, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
      SetDocumentChanged(child, false);
    g_app.project->settingsChanged = false;
    ASSERT_TRUE(CloseAllDocuments(g_app.mdiClient));
  }
}

TEST_F(DocumentTest, AFailedSaveIsReportedAndClosingNeverDropsTextSilently) {
  std::string path = File("locked.asm", "original\r\n");
  ASSERT_TRUE(OpenDocumentAtLine(path, -1));
  HWND window = g_app.activeDocument;
  SetSelection(DocumentTextControl(window), 0, 0);
  Type(DocumentTextControl(window), "new ");
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);

  {
    DialogAnswerer answerer(DialogAnswerer::Press(IDOK));
    Command(IDM_FILE_SAVE);
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(answerer.Seen()[0].text, "Unable to save file.");
    EXPECT_EQ(answerer.Seen()[0].caption, path);
  }
  EXPECT_EQ(ReadText(path), "original\r\n");
  EXPECT_EQ(WindowText(window), path + "*");

  // Closing: Yes to save, the save fails, the user saves the text under another name.
  std::string other = folder_ + "\\rescued.asm";
  DeleteFileA(other.c_str());
  DialogAnswerer answerer([&](HWND dialog, const SeenBox& seen) {
    if (seen.caption == "Save file as...") {
      SetControlText(dialog, 0x47C, other);
      PressButton(dialog, IDOK);
    } else {
      PressButton(dialog, IDYES);
    }
  });
  SendMessageA(window, WM_CLOSE, 0, 0);
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  auto seen = answerer.Seen();
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0].text, "Text has changed, would you like to save?");
  EXPECT_NE(seen[1].text.find("Unable to save file."), std::string::npos);
  EXPECT_EQ(seen[2].caption, "Save file as...");
  EXPECT_EQ(ReadText(other), "new original\r\n");
  EXPECT_EQ(DocumentCount(), 0);
}

TEST_F(DocumentTest, ClosingDiscardsOnlyWhenTheUserSaysSo) {
  Command(IDM_FILE_NEW);
  HWND window = g_app.activeDocument;
  Type(DocumentTextControl(window), "draft");
  int questions = 0;
  DialogAnswerer answerer([&](HWND dialog, const SeenBox& seen) {
    if (seen.caption == "Save file as...") {
      PressButton(dialog, IDCANCEL);  // changed their mind about the name
    } else {
      PressButton(dialog, ++questions == 1 ? IDYES : IDNO);
    }
  });
  SendMessageA(window, WM_CLOSE, 0, 0);
  auto seen = answerer.Seen();
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_NE(seen[2].text.find("has not been saved"), std::string::npos);
  EXPECT_EQ(DocumentCount(), 0);
}

TEST_F(DocumentTest, AFileLargerThanTheDefaultLimitIsReadAndSavedWhole) {
  std::string text;
  while (text.size() < 300000) text += "        MVII    #$1234, R0      ; a line of a large program\r\n";
  std::string path = File("large.asm", text);
  ASSERT_TRUE(OpenDocumentAtLine(path, -1));
  HWND document = IsDocumentWindow(g_app.activeDocument) ? g_app.activeDocument : nullptr;
  EXPECT_GT(TextLimit(DocumentTextControl(document)), kTextRoom) << "the limit grew for the file";
  EXPECT_EQ(TextLength(DocumentTextControl(document)), static_cast<long>(text.size() - text.size() / 61))
      << "a line break is one";
  Command(IDM_FILE_SAVE);
  std::string saved = ReadText(path);
  EXPECT_EQ(saved.size(), text.size());
  EXPECT_TRUE(saved == text) << "the file is written back byte for byte";
}

TEST_F(DocumentTest, ADocumentWithoutTextControlNeverWritesOverItsFile) {
  std::string path = File("precious.asm", "precious\r\n");
  std::string richEdit = g_app.richEditClass;
  g_app.richEditClass.clear();
  Command(IDM_FILE_NEW);
  g_app.richEditClass = richEdit;
  HWND window = g_app.activeDocument;
  ASSERT_TRUE(IsDocumentWindow(window));
  EXPECT_EQ(DocumentTextControl(window), nullptr);
  // Saved under the file's name, its replacement confirmed: the failure is reported instead.
  DialogAnswerer answerer([&](HWND dialog, const SeenBox& seen) {
    if (GetDlgItem(dialog, IDYES)) return PressButton(dialog, IDYES);
    if (seen.caption == "Save file as...") SetControlText(dialog, 0x47C, path);
    PressButton(dialog, IDOK);
  });
  EXPECT_FALSE(SaveDocumentAs(window));
  ASSERT_FALSE(answerer.Seen().empty());
  EXPECT_NE(answerer.Seen().back().text.find("Unable to save file."), std::string::npos);
  EXPECT_EQ(ReadText(path), "precious\r\n");
  EXPECT_EQ(DocumentPath(window), "");
}

// The document's files in memory, where one step fails as a full disk, a lost network or a
// locked file would. The file on disk stays as it is, so its stamp does not change.
class FailingFiles : public MemoryPlatform {
 public:
  FailingFiles() { SetDocumentFiles(this); }
  ~FailingFiles() override { SetDocumentFiles(nullptr); }
};

TEST_F(DocumentTest, AWriteThatFailsAtAnyStepLeavesTheFileAndReportsIt) {
  using Step = MemoryPlatform::Step;
  const std::string original = Repeat("original line\n", 100000);  // more than one block
  for (Step step :
       {Step::kCreateTemporary, Step::kWrite, Step::kFlush, Step::kClose, Step::kSetAttributes, Step::kReplace}) {
    SCOPED_TRACE(static_cast<int>(step));
    const std::string path = File("failing.asm", original);
    FailingFiles files;
    files.Write(path, original);
    const std::vector<std::string> before = files.FilesIn(folder_);
    ASSERT_TRUE(OpenDocumentAtLine(path, -1));
    HWND window = g_app.activeDocument;
    Type(DocumentTextControl(window), "new ");
    {
      files.failAt = step;
      DialogAnswerer answerer(DialogAnswerer::Press(IDOK));
      Command(IDM_FILE_SAVE);
      ASSERT_EQ(answerer.Seen().size(), 1u);
      EXPECT_EQ(answerer.Seen()[0].text, "Unable to save file.");
      files.failAt = Step::kNone;
    }
    EXPECT_TRUE(files.Read(path) == original);
    EXPECT_EQ(files.FilesIn(folder_), before) << "no temporary file left";
    EXPECT_TRUE(DocumentModified(window));
    EXPECT_EQ(WindowText(window), path + "*");
    // The same text saves once the fault is gone.
    Command(IDM_FILE_SAVE);
    EXPECT_TRUE(files.Read(path) == "new " + original);
    SendMessageA(g_app.mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(window), 0);
  }
}

TEST_F(DocumentTest, AReadErrorOpensNothing) {
  const std::string path = File("unreadable.asm", Repeat("line\r\n", 100000));
  FailingFiles files;
  files.Write(path, Repeat("line\r\n", 100000));
  files.failAt = MemoryPlatform::Step::kRead;
  DialogAnswerer answerer(DialogAnswerer::Press(IDOK));
  EXPECT_FALSE(OpenDocumentAtLine(path, -1));
  ASSERT_EQ(answerer.Seen().size(), 1u);
  EXPECT_EQ(answerer.Seen()[0].text, "Unable to open file.");
  EXPECT_EQ(DocumentCount(), 0);
}

TEST_F(DocumentTest, SaveAsNeverWritesOverAnotherWindowsFileAndKeepsTheNameWhenItFails) {
  const std::string shown = File("shown.asm", "AAAA\r\n");
  const std::string locked = File("locked.asm", "locked\r\n");
  const std::string mine = File("mine.asm", "mine\r\n");
  ASSERT_TRUE(OpenDocumentAtLine(shown, -1));
  ASSERT_TRUE(OpenDocumentAtLine(mine, -1));
  HWND window = g_app.activeDocument;
  Type(DocumentTextControl(window), "x");
  SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY);
  struct Case {
    const std::string& target;
    const char* box;  // the message after the chooser
  };
  for (const Case& c : {Case{shown, "This file is open in another window"}, Case{locked, "Unable to save file."}}) {
    DialogAnswerer answerer([&](HWND dialog, const SeenBox& seen) {
      if (seen.caption == "Save file as..." && seen.text.empty()) {
        SetControlText(dialog, 0x47C, c.target);
        PressButton(dialog, IDOK);
      } else {
        PressButton(dialog, seen.text.find("already exists") != std::string::npos ? IDYES : IDOK);
      }
    });
    EXPECT_FALSE(SaveDocumentAs(window));
    const auto seen = answerer.Seen();
    ASSERT_FALSE(seen.empty());
    EXPECT_NE(seen.back().text.find(c.box), std::string::npos) << c.target << ": " << seen.back().text;
    EXPECT_EQ(DocumentPath(window), mine) << c.target;
    EXPECT_EQ(WindowText(window), mine + "*") << c.target;
  }
  SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(ReadText(shown), "AAAA\r\n");
  EXPECT_EQ(ReadText(locked), "locked\r\n");
  EXPECT_EQ(ReadText(mine), "mine\r\n");
}

TEST_F(DocumentTest, AFileChangedByAnotherProgramIsNeverOverwrittenWithoutAQuestion) {
  const std::string path = File("shared.asm", "v1\r\n");
  ASSERT_TRUE(OpenDocumentAtLine(path, -1));
  HWND window = g_app.activeDocument;
  PumpMessages(50);
  Type(DocumentTextControl(window), "t");
  WriteText(path, "v2 written by another program\r\n");
  const std::string question = path + "\nThis file has been changed by another program. Overwrite it?";
  for (int answer : {IDNO, IDYES}) {
    DialogAnswerer answerer(DialogAnswerer::Press(answer));
    Command(IDM_FILE_SAVE);
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(answerer.Seen()[0].text, question);
    EXPECT_EQ(ReadText(path), answer == IDYES ? "tv1\r\n" : "v2 written by another program\r\n");
    EXPECT_EQ(DocumentModified(window), answer == IDNO);
  }
  // Once saved, the next save asks nothing.
  Type(DocumentTextControl(window), "u");
  DialogAnswerer none(DialogAnswerer::Press(IDOK));
  Command(IDM_FILE_SAVE);
  EXPECT_TRUE(none.Seen().empty());
  EXPECT_EQ(ReadText(path), "tuv1\r\n");
}

TEST_F(DocumentTest, AnActivatedDocumentFollowsItsFileAndAsksBeforeDroppingChanges) {
  const std::string a = File("a.asm", "a1\r\n");
  const std::string b = File("b.asm", "b1\r\n");
  ASSERT_TRUE(OpenDocumentAtLine(a, -1));
  HWND windowA = g_app.activeDocument;
  ASSERT_TRUE(OpenDocumentAtLine(b, -1));
  HWND windowB = g_app.activeDocument;
  PumpMessages(50);
  auto text = [](HWND window) { return DocumentText(window); };

  // Unchanged: loaded again without a question.
  WriteText(a, "a2 from elsewhere\n");
  {
    DialogAnswerer none(DialogAnswerer::Press(IDOK));
    SendMessageA(g_app.mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(windowA), 0);
    PumpMessages(100);
    EXPECT_TRUE(none.Seen().empty());
  }
  EXPECT_EQ(text(windowA), "a2 from elsewhere\r");
  EXPECT_FALSE(DocumentModified(windowA));

  // Changed: No keeps the text and asks no more; Yes after a further change loads it.
  Type(DocumentTextControl(windowB), "typed ");
  for (int answer : {IDNO, IDYES}) {
    WriteText(b, answer == IDNO ? "b2\r\n" : "b3 newest\r\n");
    DialogAnswerer answerer(DialogAnswerer::Press(answer));
    SendMessageA(g_app.mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(windowA), 0);
    SendMessageA(g_app.mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(windowB), 0);
    PumpMessages(100);
    SendMessageA(g_app.mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(windowA), 0);
    SendMessageA(g_app.mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(windowB), 0);
    PumpMessages(100);
    ASSERT_EQ(answerer.Seen().size(), 1u) << "asked once for each change on disk: " << answerer.Seen().back().text;
    EXPECT_NE(answerer.Seen()[0].text.find("changed by another program"), std::string::npos);
    EXPECT_EQ(text(windowB), answer == IDNO ? "typed b1\r" : "b3 newest\r");
    EXPECT_EQ(DocumentModified(windowB), answer == IDNO);
  }
}

// A reload the control takes only in part (out of memory half-way) leaves the document as it was:
// its text, its changes marked, its undo history; and a box says why.
TEST_F(DocumentTest, AReloadThatFailsHalfWayLeavesTheDocumentAsItWas) {
  const std::string path = File("reload.asm", "first line\r\nsecond line\r\n");
  ASSERT_TRUE(OpenDocumentAtLine(path, -1));
  HWND window = g_app.activeDocument;
  HWND edit = DocumentTextControl(window);
  Type(edit, "typed ");
  WriteText(path, Repeat("changed elsewhere\r\n", 20000));
  {
    DialogAnswerer answerer([](HWND box, const SeenBox&) { PressButton(box, GetDlgItem(box, IDYES) ? IDYES : IDOK); });
    FailNextStreamInAfter(4096);
    CheckFileOnDisk(window);
    FailNextStreamInAfter(static_cast<std::size_t>(-1));
    ASSERT_EQ(answerer.Seen().size(), 2u) << "the question, then the failure";
    EXPECT_NE(answerer.Seen()[1].text.find("Unable to open file."), std::string::npos);
    EXPECT_NE(answerer.Seen()[1].text.find("as it was"), std::string::npos) << answerer.Seen()[1].text;
  }
  EXPECT_EQ(TextRange(edit, 0, TextLength(edit)), "typed first line\rsecond line\r");
  EXPECT_TRUE(DocumentModified(window));
  EXPECT_EQ(WindowText(window), path + "*");
  SendMessageA(edit, WM_UNDO, 0, 0);
  EXPECT_EQ(TextRange(edit, 0, TextLength(edit)), "first line\rsecond line\r") << "the history is the one before";
}

// A change on disk is noticed whichever way the IDE or the text becomes active again.
TEST_F(DocumentTest, AChangeOnDiskIsSeenOnEveryWayBackToTheText) {
  const std::string path = File("back.asm", "v0\r\n");
  ASSERT_TRUE(OpenDocumentAtLine(path, -1));
  HWND edit = DocumentTextControl(g_app.activeDocument);
  PumpMessages(50);
  struct Case {
    const char* name;
    std::function<void()> comeBack;
  };
  const Case cases[] = {
      {"the IDE becomes the active program", [&] { SendMessageA(frame_, WM_ACTIVATEAPP, TRUE, 0); }},
      {"the frame is activated", [&] { SendMessageA(frame_, WM_ACTIVATE, WA_CLICKACTIVE, 0); }},
      {"the text gets the focus",
       [&] {
         SetFocus(g_app.statusBar);
         SetFocus(edit);
       }},
  };
  int version = 0;
  for (const Case& c : cases) {
    const std::string now = "v" + std::to_string(++version) + " from elsewhere, " + c.name;
    WriteText(path, now + "\r\n");
    PumpMessages(20);
    c.comeBack();
    PumpMessages(100);
    EXPECT_EQ(TextRange(edit, 0, TextLength(edit)), now + "\r") << c.name;
  }
}

TEST_F(DocumentTest, EndingTheSessionAsksTheExitQuestionsAndKeepsTheWindows) {
  Command(IDM_FILE_NEW);
  Type(DocumentTextControl(g_app.activeDocument), "unsaved");
  DialogAnswerer answerer(DialogAnswerer::Press(IDNO));
  EXPECT_EQ(SendMessageA(frame_, WM_QUERYENDSESSION, 0, 0), TRUE);
  ASSERT_EQ(answerer.Seen().size(), 1u);
  EXPECT_EQ(answerer.Seen()[0].text, "Text has changed, would you like to save?");
  EXPECT_EQ(DocumentCount(), 1);
}

}  // namespace document_test
}  // namespace quillon::test

namespace quillon::test {
namespace document_test {

// The Window menu lists each document under the name its title bar shows.
TEST_F(DocumentTest, TheWindowMenuShowsTheTitleOfEachDocument) {
  const std::string a = File("menu_a.asm", "a\r\n");
  Command(IDM_FILE_NEW);
  ASSERT_TRUE(OpenDocumentAtLine(a, -1));
  Type(DocumentTextControl(g_app.activeDocument), "x");  // the title gets its "*"
  HMENU windowMenu = nullptr;  // the popup holding Cascade (a maximised document adds an item before it)
  for (int i = 0; i < GetMenuItemCount(GetMenu(frame_)) && !windowMenu; ++i)
    if (HMENU popup = GetSubMenu(GetMenu(frame_), i);
        popup && GetMenuState(popup, IDM_WINDOW_CASCADE, MF_BYCOMMAND) != ~0u)
      windowMenu = popup;
  ASSERT_NE(windowMenu, nullptr);
  std::vector<std::string> listed;
  for (int i = 0; i < GetMenuItemCount(windowMenu); ++i) {
    const UINT id = GetMenuItemID(windowMenu, i);
    if (id < IDM_FIRSTCHILD || id >= IDM_FIRSTCHILD + 100) continue;
    char text[512] = "";
    GetMenuStringA(windowMenu, i, text, sizeof text, MF_BYPOSITION);
    listed.push_back(text);
  }
  ASSERT_EQ(listed.size(), 2u);
  EXPECT_EQ(listed[0], "&1 untitled");
  EXPECT_EQ(listed[1], "&2 " + a + "*");
}

}  // namespace document_test
}  // namespace quillon::test
