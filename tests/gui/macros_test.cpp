// The macro commands in the console helper's window, and the Macro Options sheet.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>

#include "app/startup.h"
#include "base/text_util.h"
#include "editor/document_window.h"
#include "editor/editor.h"
#include "project/project.h"
#include "resource.h"
#include "support/dialog_answerer.h"
#include "support/gui_fixture.h"
#include "support/test_files.h"
#include "ui/app_state.h"

namespace quillon::test {
namespace macros_test {

constexpr const char* kPrompt = "Press any key to close this window.";

// The console helper started by this process, or 0.
DWORD FindHelper() { return ChildProcessId(GetCurrentProcessId(), "quillon_console.exe"); }

// The text of the attached console: rows without their trailing blanks, joined by LF, and a
// full row joined to the next.
std::string ConsoleScreen() {
  HANDLE out = CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
  if (out == INVALID_HANDLE_VALUE) return "";
  CONSOLE_SCREEN_BUFFER_INFO info{};
  std::string screen;
  if (GetConsoleScreenBufferInfo(out, &info)) {
    for (SHORT y = 0; y <= info.dwCursorPosition.Y; ++y) {
      std::string row(info.dwSize.X, ' ');
      DWORD read = 0;
      ReadConsoleOutputCharacterA(out, row.data(), info.dwSize.X, COORD{0, y}, &read);
      row.resize(read);
      const bool wrapped = read == static_cast<DWORD>(info.dwSize.X) && row.back() != ' ';
      row.erase(row.find_last_not_of(' ') + 1);
      screen += wrapped ? row : row + "\n";  // a full row goes on in the next one
    }
  }
  CloseHandle(out);
  return screen;
}

void PressKey() {
  HANDLE in = CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, 0, nullptr);
  INPUT_RECORD keys[2] = {};
  for (int i = 0; i < 2; ++i) {
    keys[i].EventType = KEY_EVENT;
    keys[i].Event.KeyEvent.bKeyDown = i == 0;
    keys[i].Event.KeyEvent.wRepeatCount = 1;
    keys[i].Event.KeyEvent.wVirtualKeyCode = 'X';
    keys[i].Event.KeyEvent.uChar.AsciiChar = 'x';
  }
  DWORD written = 0;
  WriteConsoleInputA(in, keys, 2, &written);
  CloseHandle(in);
}

// From a watcher thread: waits for the helper's console to show `until`, keeps its text, then
// presses a key in it or closes its window.
class ConsoleAnswerer {
 public:
  enum class Answer { kPressKey, kCloseWindow };
  ConsoleAnswerer(Answer answer, std::string until = kPrompt)
      : answer_(answer), until_(std::move(until)), thread_([this] { Watch(); }) {}
  ~ConsoleAnswerer() {
    stop_ = true;
    thread_.join();
  }
  std::string Screen() const { return done_ ? screen_ : ""; }
  DWORD Helper() const { return done_ ? helper_ : 0; }
  bool Answered() const { return done_; }

 private:
  void Watch() {
    for (int i = 0; i < 3000 && !stop_ && !done_; ++i) {
      Sleep(10);
      const DWORD helper = FindHelper();
      if (!helper) continue;
      FreeConsole();
      if (!AttachConsole(helper)) continue;
      std::string screen = ConsoleScreen();
      if (screen.find(until_) == std::string::npos) {
        FreeConsole();
        continue;
      }
      screen_ = screen;
      helper_ = helper;
      // Answered before the key: the helper may end, and the test go on, while this thread
      // still lets go of the console (slow on a busy machine).
      done_ = true;
      HWND window = GetConsoleWindow();
      if (answer_ == Answer::kPressKey) PressKey();
      FreeConsole();  // before the close, which ends every process attached to it
      if (answer_ == Answer::kCloseWindow) PostMessageA(window, WM_CLOSE, 0, 0);
    }
  }

  Answer answer_;
  std::string until_;
  std::string screen_;
  DWORD helper_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<bool> done_{false};
  std::thread thread_;
};

class MacrosTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    static int serial = 0;
    folder_ = TempFolder("quillon_macros_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++serial));
    savedMacros_ = g_settings.macrosFilePath;
    savedAssembler_ = g_settings.assemblerPath;
    g_settings.macrosFilePath = folder_ + "\\macros.cfg";
    g_settings.assemblerPath = ProgramFolder() + "\\as1600_standin.exe";
  }
  void TearDown() override {
    FrameTest::TearDown();
    g_settings.macrosFilePath = savedMacros_;
    g_settings.assemblerPath = savedAssembler_;
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  std::string folder_;
  std::string savedMacros_;
  std::string savedAssembler_;
};

TEST_F(MacrosTest, CommandRunsEachLineInTheConsoleThenWaitsForAKey) {
  WriteText(g_settings.macrosFilePath,
            "[F7]\r\necho one\r\n\r\necho two\r\necho three> \"" + folder_ + "\\out.txt\"\r\n[F8]\r\necho four\r\n");
  ConsoleAnswerer answerer(ConsoleAnswerer::Answer::kPressKey);
  Command(IDM_MACRO_3);
  ASSERT_TRUE(answerer.Answered());
  const std::string screen = answerer.Screen();
  EXPECT_NE(screen.find("one\ntwo\n\nPress any key"), std::string::npos) << screen;
  EXPECT_EQ(screen.find("four"), std::string::npos) << screen;
  EXPECT_EQ(screen.find("recognize"), std::string::npos) << "an empty line ran as a command:\n" << screen;
  EXPECT_EQ(ReadText(folder_ + "\\out.txt"), "three\r\n");
  EXPECT_TRUE(IsWindowEnabled(frame_));
  WIN32_FIND_DATAA found{};
  HANDLE leftover = FindFirstFileA((folder_ + "\\qln*.tmp").c_str(), &found);
  EXPECT_EQ(leftover, INVALID_HANDLE_VALUE) << "a temporary file of the macros.cfg write was left";
  if (leftover != INVALID_HANDLE_VALUE) FindClose(leftover);
}

TEST_F(MacrosTest, ClosingTheConsoleLeavesTheProgramAndItsDocuments) {
  WriteText(g_settings.macrosFilePath, "[F6]\r\necho waiting\r\npause\r\n");
  Command(IDM_FILE_NEW);
  HWND document = IsDocumentWindow(g_app.activeDocument) ? g_app.activeDocument : nullptr;
  ASSERT_NE(document, nullptr);
  SetWindowTextA(DocumentTextControl(document), "unsaved work");
  ConsoleAnswerer answerer(ConsoleAnswerer::Answer::kCloseWindow, "waiting");
  Command(IDM_MACRO_2);
  ASSERT_TRUE(answerer.Answered());
  ASSERT_TRUE(IsWindow(frame_));
  EXPECT_TRUE(IsWindowEnabled(frame_));
  ASSERT_EQ(g_app.activeDocument, document);
  char text[32] = "";
  GetWindowTextA(DocumentTextControl(document), text, sizeof text);
  EXPECT_STREQ(text, "unsaved work");
  // The line that was waiting in the closed console has ended too.
  const DWORD helper = answerer.Helper();
  EXPECT_TRUE(PumpUntil([helper] { return ChildProcessId(helper, "") == 0; }, 5000)) << "a line outlived its console";
}

// Ctrl+F6 is the system's next-document key too; through the program's message loop it runs
// Command 2 while a document is open.
TEST_F(MacrosTest, CtrlF6RunsCommand2WithADocumentOpen) {
  WriteText(g_settings.macrosFilePath, "[F6]\r\necho by the key\r\n");
  Command(IDM_FILE_NEW);
  Command(IDM_FILE_NEW);
  HWND active = g_app.activeDocument;
  ASSERT_TRUE(IsDocumentWindow(active));
  HACCEL table = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_ACCELERATORS));
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  PostMessageA(DocumentTextControl(active), WM_KEYDOWN, VK_F6, 1);
  PostQuitMessage(0);
  ConsoleAnswerer answerer(ConsoleAnswerer::Answer::kPressKey);
  RunMessageLoop(frame_, table);
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  DestroyAcceleratorTable(table);
  ASSERT_TRUE(answerer.Answered());
  EXPECT_NE(answerer.Screen().find("by the key"), std::string::npos) << answerer.Screen();
  EXPECT_EQ(g_app.activeDocument, active) << "the key switched documents instead";
}

class ConsoleBuildTest : public MacrosTest {
 protected:
  void LoadProject(const std::string& source) {
    WriteText(folder_ + "\\game.asm", source);
    WriteText(folder_ + "\\game.qlp",
              "[project name]\r\nGame\r\n[output path]\r\nobj\r\n[output name]\r\ngame\r\n"
              "[source]\r\ngame.asm\r\n[listing]\r\nobj\\game.lst\r\n");
    CreateDirectoryA((folder_ + "\\obj").c_str(), nullptr);
    ASSERT_TRUE(g_app.project->LoadProject(folder_ + "\\game.qlp"));
  }
  std::string ListingText() {
    HWND document = IsDocumentWindow(g_app.activeDocument) ? g_app.activeDocument : nullptr;
    if (!document) return "";
    std::string text(GetWindowTextLengthA(DocumentTextControl(document)) + 1, '\0');
    text.resize(GetWindowTextA(DocumentTextControl(document), text.data(), static_cast<int>(text.size())));
    return text;
  }
};

TEST_F(ConsoleBuildTest, AssemblesInTheConsoleThenShowsTheFreshListing) {
  LoadProject("start:  MVII #1, R0\r\n");
  char cwd[MAX_PATH] = "";
  GetCurrentDirectoryA(sizeof cwd, cwd);
  {
    ConsoleAnswerer answerer(ConsoleAnswerer::Answer::kPressKey);
    Command(IDM_MACRO_1);
    ASSERT_TRUE(answerer.Answered());
    const std::string line =
        "\"" + g_settings.assemblerPath + "\" -o \"obj\\game.bin\" -l \"obj\\game.lst\" \"game.asm\"";
    const std::string screen = answerer.Screen();
    EXPECT_EQ(screen.find(line + "\n\n"), 0u) << screen;
    EXPECT_NE(screen.find("as1600_standin: game.asm: 0 error(s)"), std::string::npos) << screen;
    EXPECT_NE(screen.find(kPrompt), std::string::npos) << screen;
  }
  ASSERT_TRUE(IsDocumentWindow(g_app.activeDocument));
  EXPECT_TRUE(EqualsNoCase(DocumentPath(g_app.activeDocument), folder_ + "\\obj\\game.lst"))
      << DocumentPath(g_app.activeDocument);
  EXPECT_NE(ListingText().find("MVII #1, R0"), std::string::npos);
  char after[MAX_PATH] = "";
  GetCurrentDirectoryA(sizeof after, after);
  EXPECT_STREQ(after, cwd) << "the program's own folder stays";

  // The second run shows the new listing in the same window.
  HWND window = g_app.activeDocument;
  WriteText(folder_ + "\\game.asm", "again:  MVII #2, R1\r\n");
  {
    ConsoleAnswerer answerer(ConsoleAnswerer::Answer::kPressKey);
    Command(IDM_MACRO_1);
    ASSERT_TRUE(answerer.Answered());
  }
  EXPECT_EQ(g_app.activeDocument, window);
  EXPECT_NE(ListingText().find("MVII #2, R1"), std::string::npos) << ListingText();
}

TEST_F(ConsoleBuildTest, WithoutAProjectNothingRuns) {
  ConsoleAnswerer answerer(ConsoleAnswerer::Answer::kPressKey);
  Command(IDM_MACRO_1);
  ASSERT_TRUE(answerer.Answered());
  EXPECT_EQ(answerer.Screen(),
            "No project is loaded, so there is nothing to assemble.\n\nPress any key to close this window.\n");
  EXPECT_FALSE(IsDocumentWindow(g_app.activeDocument));
}

TEST_F(ConsoleBuildTest, CancelInTheOptionsEndsTheAttempt) {
  g_settings.assemblerPath.clear();
  LoadProject("start:  MVII #1, R0\r\n");
  DialogAnswerer boxes(
      [](HWND dialog, const SeenBox& seen) { PressButton(dialog, seen.caption == "Options" ? IDCANCEL : IDOK); });
  ConsoleAnswerer answerer(ConsoleAnswerer::Answer::kPressKey);
  Command(IDM_MACRO_1);
  ASSERT_TRUE(answerer.Answered());
  EXPECT_EQ(answerer.Screen(), "No assembler path is set.\n\nPress any key to close this window.\n");
  const auto seen = boxes.Seen();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].caption, "Cannot assemble");
  EXPECT_EQ(seen[1].caption, "Options");
}

// A relative assembler path is taken in the project folder, whatever the program's current one.
TEST_F(ConsoleBuildTest, RelativeAssemblerPathIsTakenInTheProjectFolder) {
  LoadProject("start:  MVII #1, R0\r\n");
  CreateDirectoryA((folder_ + "\\bin").c_str(), nullptr);
  ASSERT_TRUE(CopyFileA(g_settings.assemblerPath.c_str(), (folder_ + "\\bin\\asm.exe").c_str(), FALSE));
  g_settings.assemblerPath = "bin\\asm.exe";
  ConsoleAnswerer answerer(ConsoleAnswerer::Answer::kPressKey);
  Command(IDM_MACRO_1);
  ASSERT_TRUE(answerer.Answered());
  EXPECT_NE(answerer.Screen().find("game.asm: 0 error(s)"), std::string::npos) << answerer.Screen();
  ASSERT_TRUE(IsDocumentWindow(g_app.activeDocument));
  EXPECT_TRUE(EqualsNoCase(DocumentPath(g_app.activeDocument), folder_ + "\\obj\\game.lst"));
}

// A run that writes no listing removes the old one, says so, and opens nothing.
TEST_F(ConsoleBuildTest, NoStaleListingIsOpened) {
  LoadProject("start:  MVII #1, R0\r\n");
  WriteText(folder_ + "\\obj\\game.lst", "an old listing\r\n");
  g_settings.assemblerPath = ProgramFolder() + "\\emulator_standin.exe";  // it writes no listing
  ConsoleAnswerer answerer(ConsoleAnswerer::Answer::kPressKey);
  Command(IDM_MACRO_1);
  ASSERT_TRUE(answerer.Answered());
  EXPECT_NE(answerer.Screen().find("No listing file was written (" + folder_ + "\\obj\\game.lst)."), std::string::npos)
      << answerer.Screen();
  EXPECT_FALSE(Exists(folder_ + "\\obj\\game.lst"));
  EXPECT_FALSE(IsDocumentWindow(g_app.activeDocument));
}

// A macro line reaches the interpreter as the preview shows it; the interpreter's own variables
// are left to it.
TEST_F(ConsoleBuildTest, MacroLinesRunWithThePlaceholdersExpanded) {
  LoadProject("start:  MVII #1, R0\r\n");
  WriteText(g_settings.macrosFilePath, "[F6]\r\necho %INPUT% %OUTPUT% %COMSPEC%> \"%OUTDIR%\\line.txt\"\r\n");
  ConsoleAnswerer answerer(ConsoleAnswerer::Answer::kPressKey);
  Command(IDM_MACRO_2);
  ASSERT_TRUE(answerer.Answered());
  char comspec[MAX_PATH] = "";
  GetEnvironmentVariableA("COMSPEC", comspec, sizeof comspec);
  EXPECT_EQ(ReadText(folder_ + "\\obj\\line.txt"),
            folder_ + "\\game.asm " + folder_ + "\\obj\\game.bin " + comspec + "\r\n");
}

// The sheet's current page after switching to page `index` (0 to 3).
HWND SheetPage(HWND sheet, int index) {
  SendMessageA(sheet, PSM_SETCURSEL, index, 0);
  return reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

// Replaces the macro text as typing or pasting would (a multi-line field reports no change for
// WM_SETTEXT).
void TypeText(HWND page, const std::string& text) {
  HWND edit = GetDlgItem(page, IDC_MACRO_TEXT);
  SendMessageA(edit, EM_SETSEL, 0, -1);
  SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

std::string ItemText(HWND page, int id) {
  char text[512] = "";
  GetDlgItemTextA(page, id, text, sizeof text);
  return text;
}

constexpr const char* kFourMacros = "before\r\n[F5]\r\nm1\r\n[F6]\r\nm2\r\n[F7]\r\nm3\r\n[F8]\r\nm4";

TEST_F(MacrosTest, SheetOkWritesAllFourMacrosWithTheEditedPages) {
  WriteText(g_settings.macrosFilePath, kFourMacros);
  const std::string source = folder_ + "\\a.asm";
  WriteText(source, "x");
  ASSERT_TRUE(OpenDocumentAtLine(source, -1));
  std::string firstText, preview;
  DialogAnswerer answerer([&](HWND sheet, const SeenBox& seen) {
    if (seen.caption != "Macro Options") return;
    firstText = ItemText(SheetPage(sheet, 0), IDC_MACRO_TEXT);
    HWND second = SheetPage(sheet, 1);
    TypeText(second, "as %INPUT% %ASM%\r\n");
    preview = ItemText(second, IDC_MACRO_PREVIEW);
    SetDlgItemTextA(SheetPage(sheet, 2), IDC_MACRO_TEXT, "");  // an emptied page empties its macro
    PressButton(sheet, IDOK);
  });
  Command(IDM_MACRO_OPTIONS);
  ASSERT_EQ(answerer.Seen().size(), 1u);
  EXPECT_EQ(firstText, "m1\r\n");
  EXPECT_EQ(preview, "as " + DocumentPath(g_app.activeDocument) + " " + g_settings.assemblerPath + "\r\n");
  EXPECT_EQ(ReadText(g_settings.macrosFilePath), "[F5]\r\nm1\r\n[F6]\r\nas %INPUT% %ASM%\r\n[F7]\r\n[F8]\r\nm4\r\n");
}

TEST_F(MacrosTest, PreviewFollowsTheActiveDocumentAndPageOneSaysItIsNotRun) {
  const std::string source = folder_ + "\\a.asm";
  WriteText(source, "x");
  ASSERT_TRUE(OpenDocumentAtLine(source, -1));
  HWND frame = frame_;
  std::string before, after, note1, note2;
  DialogAnswerer answerer([&](HWND sheet, const SeenBox& seen) {
    if (seen.caption != "Macro Options") return;
    note1 = ItemText(SheetPage(sheet, 0), IDC_MACRO_NOTE);
    HWND page = SheetPage(sheet, 1);
    note2 = ItemText(page, IDC_MACRO_NOTE);
    TypeText(page, "[%INPUT%] [%OUTPUT%]");
    before = ItemText(page, IDC_MACRO_PREVIEW);
    SendMessageA(frame, WM_COMMAND, IDM_FILE_NEW, 0);  // an untitled document becomes the active one
    for (int i = 0; i < 200 && ItemText(page, IDC_MACRO_PREVIEW) == before; ++i) Sleep(10);
    after = ItemText(page, IDC_MACRO_PREVIEW);
    PressButton(sheet, IDCANCEL);
  });
  Command(IDM_MACRO_OPTIONS);
  EXPECT_EQ(before, "[" + source + "] [" + folder_ + "\\a.bin]");
  EXPECT_EQ(after, "[] []");
  EXPECT_EQ(note1, "Command 1 (Ctrl+F5) builds; this text is not run.");
  EXPECT_EQ(note2, "");
}

TEST_F(MacrosTest, SheetCancelWritesNothing) {
  WriteText(g_settings.macrosFilePath, kFourMacros);
  std::string preview;
  DialogAnswerer answerer([&](HWND sheet, const SeenBox& seen) {
    if (seen.caption != "Macro Options") return;
    HWND page = SheetPage(sheet, 3);
    TypeText(page, "%INPUT%|%LOCAL%|%input%");
    preview = ItemText(page, IDC_MACRO_PREVIEW);
    PressButton(sheet, IDCANCEL);
  });
  Command(IDM_MACRO_OPTIONS);
  EXPECT_EQ(preview, "untitled|" + g_settings.startDirectory + "|%input%");
  EXPECT_EQ(ReadText(g_settings.macrosFilePath), kFourMacros);
}

TEST_F(MacrosTest, SheetWriteFailureIsShownAndKeepsTheOldFile) {
  WriteText(g_settings.macrosFilePath, kFourMacros);
  SetFileAttributesA(g_settings.macrosFilePath.c_str(), FILE_ATTRIBUTE_READONLY);  // it cannot be replaced
  DialogAnswerer answerer([&](HWND dialog, const SeenBox& seen) {
    if (seen.caption == "Macro Options") {
      SetDlgItemTextA(SheetPage(dialog, 0), IDC_MACRO_TEXT, "new\r\n");
      PressButton(dialog, IDOK);
    } else {
      PressButton(dialog, IDOK);
    }
  });
  Command(IDM_MACRO_OPTIONS);
  const auto seen = answerer.Seen();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1].caption, "Error!");
  EXPECT_EQ(seen[1].text, "Unable to create build configfile for writing");
  EXPECT_EQ(ReadText(g_settings.macrosFilePath), kFourMacros);
  SetFileAttributesA(g_settings.macrosFilePath.c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace macros_test
}  // namespace quillon::test
