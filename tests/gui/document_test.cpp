// Document windows: open, type, save, save as, close, and the file at a line.
#include "editor/document.h"

#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <richedit.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "editor/document_window.h"
#include "editor/text_control.h"
#include "project/project.h"
#include "resource.h"
#include "support/dialog_answerer.h"
#include "support/gui_fixture.h"
#include "support/test_files.h"
#include "ui/app_state.h"

namespace quillon::test {
namespace {

int DocumentCount() {
  int count = 0;
  for (HWND child = GetWindow(g_app.mdiClient, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (GetDocument(child)) ++count;
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
      if (Document* d = GetDocument(child)) d->modified = false;
    FrameTest::TearDown();
  }
  std::string File(const std::string& name, const std::string& text) {
    std::string path = folder_ + "\\" + name;
    WriteText(path, text);
    return path;
  }
  std::string folder_;
};

TEST_F(DocumentTest, OpenTypeSaveKeepsEveryByteAndFollowsTheModifiedState) {
  struct Case {
    const char* name;
    std::string text;
  };
  const Case cases[] = {
      {"crlf.asm", "MVII #1, R0\r\nloop: B loop\r\n"},
      {"nofinal.asm", "first\r\nlast line without break"},
      {"empty.asm", ""},
  };
  for (const Case& c : cases) {
    std::string path = File(c.name, c.text);
    ASSERT_TRUE(OpenDocumentAtLine(path, -1)) << c.name;
    HWND window = g_app.activeDocument;
    Document* document = GetDocument(window);
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(WindowText(window), path);
    EXPECT_EQ(document->baseName, std::string(c.name).substr(0, std::string(c.name).find('.')));
    EXPECT_FALSE(document->modified);
    EXPECT_FALSE(SaveIsEnabled(frame_)) << "a freshly opened document has nothing to save";

    SetSelection(document->edit, 0, 0);
    Type(document->edit, ";");
    EXPECT_EQ(WindowText(window), path + "*");
    EXPECT_TRUE(SaveIsEnabled(frame_));

    Command(IDM_FILE_SAVE);
    EXPECT_EQ(ReadText(path), ";" + c.text) << c.name;
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
  ASSERT_NE(GetDocument(window), nullptr);
  EXPECT_EQ(WindowText(window), "untitled");
  Type(GetDocument(window)->edit, "hello");
  EXPECT_EQ(WindowText(window), "untitled*");

  DialogAnswerer answerer([&](HWND dialog, const SeenBox& seen) {
    if (seen.caption == "Save file as...") SetControlText(dialog, 0x47C, target);
    PressButton(dialog, IDOK);
  });
  Command(IDM_FILE_SAVEAS);
  ASSERT_EQ(answerer.Seen().size(), 1u);
  EXPECT_EQ(ReadText(target), "hello");
  EXPECT_EQ(GetDocument(window)->path, target);
  EXPECT_EQ(GetDocument(window)->baseName, "demo");
  EXPECT_EQ(WindowText(window), target);
  EXPECT_EQ(g_settings.lastDirectory, folder_);
}

TEST_F(DocumentTest, SavingAnUntitledDocumentAsksForANameAndCancelKeepsItUntitled) {
  Command(IDM_FILE_NEW);
  HWND window = g_app.activeDocument;
  Type(GetDocument(window)->edit, "x");
  DialogAnswerer answerer(DialogAnswerer::Press(IDCANCEL));
  Command(IDM_FILE_SAVE);
  ASSERT_EQ(answerer.Seen().size(), 1u);
  EXPECT_EQ(answerer.Seen()[0].caption, "Save file as...");
  EXPECT_EQ(WindowText(window), "untitled*");
  EXPECT_TRUE(GetDocument(window)->modified);
}

TEST_F(DocumentTest, AFileAlreadyShownIsActivatedNotReadAgain) {
  std::string path = File("Shown.asm", "one\r\ntwo\r\n");
  ASSERT_TRUE(OpenDocumentAtLine(path, -1));
  HWND first = g_app.activeDocument;
  Type(GetDocument(first)->edit, "typed");
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
  EXPECT_TRUE(GetDocument(first)->modified) << "not reloaded";
  long start = 0, end = 0;
  GetSelection(GetDocument(first)->edit, start, end);
  EXPECT_EQ(start, LineIndex(GetDocument(first)->edit, 1)) << "still moves to the line";
}

TEST_F(DocumentTest, TheLineIsScrolledToTheTopWithTheCaretAtItsStart) {
  std::string text;
  for (int i = 0; i < 400; ++i) text += "line " + std::to_string(i) + "\r\n";
  std::string path = File("long.asm", text);
  for (int line : {57, 0, 200}) {
    ASSERT_TRUE(OpenDocumentAtLine(path, line));
    HWND edit = GetDocument(g_app.activeDocument)->edit;
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
  drop.nmhdr.hwndFrom = GetDocument(window)->edit;
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
  EXPECT_EQ(GetDocument(g_app.activeDocument)->path, project);
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
  Type(GetDocument(g_app.activeDocument)->edit, "changed");  // c
  OpenDocumentAtLine(a, -1);
  Type(GetDocument(g_app.activeDocument)->edit, "changed");  // a
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
  Type(GetDocument(g_app.activeDocument)->edit, "1");
  ASSERT_TRUE(OpenDocumentAtLine(b, -1));
  Type(GetDocument(g_app.activeDocument)->edit, "2");

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

TEST_F(DocumentTest, AFailedSaveIsReportedAndClosingNeverDropsTextSilently) {
  std::string path = File("locked.asm", "original\r\n");
  ASSERT_TRUE(OpenDocumentAtLine(path, -1));
  HWND window = g_app.activeDocument;
  SetSelection(GetDocument(window)->edit, 0, 0);
  Type(GetDocument(window)->edit, "new ");
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
  Type(GetDocument(window)->edit, "draft");
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
  Document* document = GetDocument(g_app.activeDocument);
  EXPECT_GT(document->textLimitKb, kDefaultTextLimitKb);
  EXPECT_EQ(TextLength(document->edit), static_cast<long>(text.size() - text.size() / 61)) << "a line break is one";
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
  ASSERT_NE(GetDocument(window), nullptr);
  EXPECT_EQ(GetDocument(window)->edit, nullptr);
  SetDocumentPath(*GetDocument(window), path);
  DialogAnswerer answerer(DialogAnswerer::Press(IDOK));
  EXPECT_FALSE(SaveDocument(window));
  EXPECT_EQ(ReadText(path), "precious\r\n");
}

TEST_F(DocumentTest, ALongTitleShowsTheEndOfThePath) {
  Command(IDM_FILE_NEW);
  HWND window = g_app.activeDocument;
  std::string longPath = "C:\\" + std::string(300, 'd') + "\\game.asm";
  SetDocumentPath(*GetDocument(window), longPath);
  Type(GetDocument(window)->edit, "x");
  std::string title = WindowText(window);
  EXPECT_EQ(title.size(), 255u);
  EXPECT_EQ(title.substr(0, 3), "...");
  EXPECT_EQ(title.substr(title.size() - 9), "game.asm*");
}

}  // namespace
}  // namespace quillon::test
