// Starts quillon.exe as a user would, drives it from outside and checks what it leaves behind.
#include <windows.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "support/dialog_answerer.h"
#include "support/test_files.h"

namespace {

const char* kKey = "Software\\LarkspurWorks\\Quillon";

std::string ProgramFolder() {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string s = path;
  return s.substr(0, s.rfind('\\'));
}

std::string MakeWorkFolder(const char* name) {
  char temp[MAX_PATH] = "";
  GetTempPathA(MAX_PATH, temp);
  std::string folder = std::string(temp) + name;
  CreateDirectoryA(folder.c_str(), nullptr);
  DeleteFileA((folder + "\\Parvane.err").c_str());
  return folder;
}

struct Value {
  DWORD type = 0;
  std::string bytes;
  bool present = false;
};

Value ReadValue(const char* name) {
  Value v;
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return v;
  char data[1024];
  DWORD size = sizeof data;
  if (RegQueryValueExA(key, name, nullptr, &v.type, reinterpret_cast<BYTE*>(data), &size) == ERROR_SUCCESS) {
    v.present = true;
    v.bytes.assign(data, size);
  }
  RegCloseKey(key);
  return v;
}

void WriteString(const char* name, const std::string& text) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), text.size() + 1);
  RegCloseKey(key);
}

void WriteNumber(const char* name, DWORD n) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&n), 4);
  RegCloseKey(key);
}

std::string Text(const std::string& s) { return s + std::string(1, '\0'); }
std::string Number(DWORD n) { return std::string(reinterpret_cast<const char*>(&n), 4); }

// Takes a picture of the display with ImageMagick when the test run asks for one. The
// program is a Linux one: Wine starts it but cannot wait for it, so wait for its file.
void Screenshot() {
  const char* target = getenv("QUILLON_SCREENSHOT");
  if (!target || !*target) return;
  std::string unixTarget = target;
  std::string dosTarget = "Z:" + unixTarget;
  for (char& c : dosTarget)
    if (c == '/') c = '\\';
  DeleteFileA(dosTarget.c_str());
  std::string line = "Z:\\usr\\bin\\import -window root " + unixTarget;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    printf("screenshot: could not start import (error %lu)\n", GetLastError());
    return;
  }
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  LONGLONG last = -1;
  for (int i = 0; i < 200; ++i) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExA(dosTarget.c_str(), GetFileExInfoStandard, &data)) {
      LONGLONG size = data.nFileSizeLow;
      if (size > 0 && size == last) {
        printf("screenshot: %s\n", target);
        return;
      }
      last = size;
    }
    Sleep(100);
  }
  printf("screenshot: %s was not written\n", target);
}

// The lines of a list box of another process (read wide: Wine cuts the 8-bit text of
// another process's list box to its first character).
std::vector<std::string> ListLines(HWND list) {
  std::vector<std::string> lines;
  int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    wchar_t wide[1024] = L"";
    SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide));
    char text[1024] = "";
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    lines.push_back(text);
  }
  return lines;
}

bool WaitFor(const std::function<bool()>& done, int timeoutMs = 20000) {
  for (int waited = 0; waited < timeoutMs; waited += 50) {
    if (done()) return true;
    Sleep(50);
  }
  return done();
}

class Quillon {
 public:
  explicit Quillon(const std::string& workFolder) {
    std::string exe = ProgramFolder() + "\\quillon.exe";
    std::string line = "\"" + exe + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    auto start = std::chrono::steady_clock::now();
    started_ =
        CreateProcessA(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, workFolder.c_str(), &si, &pi_);
    if (!started_) return;
    while (std::chrono::steady_clock::now() - start < std::chrono::seconds(30)) {
      frame_ = FindWindowA("QUILLON_FRAME", "Quillon Intellivision IDE");
      if (frame_ && IsWindowVisible(frame_)) break;
      frame_ = nullptr;
      if (WaitForSingleObject(pi_.hProcess, 10) == WAIT_OBJECT_0) break;
    }
    startupMs_ =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
  }
  ~Quillon() {
    if (started_) {
      if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi_.hProcess, 99);
      CloseHandle(pi_.hProcess);
      CloseHandle(pi_.hThread);
    }
  }
  HWND frame() const { return frame_; }
  HANDLE process() const { return pi_.hProcess; }
  DWORD processId() const { return pi_.dwProcessId; }
  long startupMs() const { return startupMs_; }
  // Closes the frame as the close box would; returns the exit code, or -1 on a time-out.
  long Close() {
    PostMessageA(frame_, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi_.hProcess, 20000) != WAIT_OBJECT_0) return -1;
    DWORD code = 1234;
    GetExitCodeProcess(pi_.hProcess, &code);
    return static_cast<long>(code);
  }

 private:
  PROCESS_INFORMATION pi_{};
  bool started_ = false;
  HWND frame_ = nullptr;
  long startupMs_ = 0;
};

TEST(Smoke, FirstRunShowsTheFrameAndLeavesLogAndSettings) {
  RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
  std::string work = MakeWorkFolder("quillon_smoke_first");
  Quillon app(work);
  ASSERT_NE(app.frame(), nullptr) << "the frame did not appear";
  printf("frame shown after %ld ms\n", app.startupMs());

  // The frame carries a menu bar, and it is the program's menu resource with its seven popups.
  // (Menus of another process cannot be read item by item under every system.)
  EXPECT_NE(GetMenu(app.frame()), nullptr);
  EXPECT_GT(GetSystemMetrics(SM_CYMENU), 0);
  HMODULE program = LoadLibraryExA((ProgramFolder() + "\\quillon.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(program, nullptr);
  HMENU bar = LoadMenuA(program, MAKEINTRESOURCEA(102));
  ASSERT_NE(bar, nullptr);
  const char* titles[] = {"&File", "&Edit", "&Tools", "&Project", "&Macros", "&Window", "&Help"};
  ASSERT_EQ(GetMenuItemCount(bar), 7);
  for (int i = 0; i < 7; ++i) {
    char text[64] = "";
    GetMenuStringA(bar, i, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, titles[i]);
  }
  DestroyMenu(bar);
  FreeLibrary(program);
  EXPECT_NE(FindWindowExA(app.frame(), nullptr, "msctls_statusbar32", nullptr), nullptr);
  EXPECT_NE(FindWindowExA(app.frame(), nullptr, "MDIClient", nullptr), nullptr);

  EXPECT_EQ(app.Close(), 0);

  std::string log = quillon::test::ReadText(work + "\\Parvane.err");
  // Four lines: header, two empty lines, trailer; every line ends in CR LF.
  ASSERT_EQ(log.size(), std::string("Error log for MM/DD\r\n\r\n\r\nEnd of error log for MM/DD\r\n").size()) << log;
  EXPECT_EQ(log.substr(0, 14), "Error log for ");
  EXPECT_EQ(log.substr(16, 1), "/");
  EXPECT_EQ(log.substr(19, 27), "\r\n\r\n\r\nEnd of error log for ");
  EXPECT_EQ(log.substr(log.size() - 2), "\r\n");

  struct Expected {
    const char* name;
    DWORD type;
    std::string bytes;
  };
  const Expected values[] = {
      {"Font Name", REG_SZ, Text("Courier New")}, {"Font Size", REG_DWORD, Number(0)},
      {"Font Effects", REG_DWORD, Number(0)},     {"Assembler Path", REG_SZ, Text("")},
      {"Last Directory", REG_SZ, Text("")},       {"Find flags", REG_DWORD, Number(1)},
  };
  for (const Expected& e : values) {
    Value v = ReadValue(e.name);
    EXPECT_TRUE(v.present) << e.name;
    EXPECT_EQ(v.type, e.type) << e.name;
    EXPECT_EQ(v.bytes, e.bytes) << e.name;
  }
  for (const char* absent : {"Recent File 0", "Recent Project 0", "Recent Find 0"})
    EXPECT_FALSE(ReadValue(absent).present) << absent;
}

TEST(Smoke, StoredSettingsSurviveARunAndShortListsDoNotGrowBack) {
  RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
  WriteString("Font Name", "Lucida Console");
  WriteNumber("Font Size", 200);
  WriteString("Assembler Path", "C:\\Program Files\\as1600.exe");
  WriteString("Recent File 1", "C:\\A.asm");               // index 0 missing: the list loads as [A]
  WriteString("Recent Project 0", std::string(300, 'x'));  // too long: dropped
  WriteNumber("Find flags", 0x20005);
  std::string work = MakeWorkFolder("quillon_smoke_stored");
  Quillon app(work);
  ASSERT_NE(app.frame(), nullptr);
  EXPECT_EQ(app.Close(), 0);

  EXPECT_EQ(ReadValue("Font Name").bytes, Text("Lucida Console"));
  EXPECT_EQ(ReadValue("Font Size").bytes, Number(200));
  EXPECT_EQ(ReadValue("Assembler Path").bytes, Text("C:\\Program Files\\as1600.exe"));
  EXPECT_EQ(ReadValue("Find flags").bytes, Number(0x20005));
  EXPECT_EQ(ReadValue("Recent File 0").bytes, Text("C:\\A.asm"));
  EXPECT_FALSE(ReadValue("Recent File 1").present) << "the old value would come back as a second entry";
  EXPECT_FALSE(ReadValue("Recent Project 0").present);
}

TEST(Smoke, BuildsADocumentAndTheErrorLineOpensAtItsLine) {
  RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
  WriteString("Assembler Path", ProgramFolder() + "\\as1600_standin.exe");
  std::string work = MakeWorkFolder("quillon_smoke_build");
  std::string source = work + "\\game.asm";
  std::string text;
  for (int i = 1; i <= 80; ++i) text += "        NOP     ; line " + std::to_string(i) + "\r\n";
  text += ";@error operand out of range\r\n";  // line 81
  for (int i = 82; i <= 120; ++i) text += "        NOP     ; line " + std::to_string(i) + "\r\n";
  quillon::test::WriteText(source, text);

  Quillon app(work);
  ASSERT_NE(app.frame(), nullptr);
  {
    // File, Open... through the real chooser of the running program.
    quillon::test::DialogAnswerer answerer(
        [&](HWND dialog, const quillon::test::SeenBox&) {
          quillon::test::SetControlText(dialog, 0x47C, source);
          quillon::test::PressButton(dialog, IDOK);
        },
        app.processId());
    PostMessageA(app.frame(), WM_COMMAND, 4002, 0);
    HWND mdi = FindWindowExA(app.frame(), nullptr, "MDIClient", nullptr);
    ASSERT_TRUE(WaitFor([&] { return FindWindowExA(mdi, nullptr, "QUILLON_CHILD", nullptr) != nullptr; }));
  }
  HWND mdi = FindWindowExA(app.frame(), nullptr, "MDIClient", nullptr);
  HWND document = FindWindowExA(mdi, nullptr, "QUILLON_CHILD", nullptr);
  HWND edit = FindWindowExA(document, nullptr, nullptr, nullptr);
  ASSERT_NE(edit, nullptr);

  PostMessageA(app.frame(), WM_COMMAND, 40038, 0);  // F7
  HWND pane = FindWindowExA(app.frame(), nullptr, "QUILLON_OUTPUTPANE", nullptr);
  HWND list = GetDlgItem(pane, 51001);
  ASSERT_NE(list, nullptr);
  ASSERT_TRUE(WaitFor([&] {
    auto lines = ListLines(list);
    return !lines.empty() && lines.back() == "Finished assembly";
  }));
  auto lines = ListLines(list);
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[0], "Assembling...");
  EXPECT_EQ(lines[2], "Parsing listing file...");
  EXPECT_EQ(lines[3], source + ":81: ERROR - operand out of range");
  EXPECT_EQ(lines[4], "Total Errors:   1");
  EXPECT_EQ(lines[5], "Total Warnings: 0");
  EXPECT_EQ(lines[6], "Assembler exit code: 1");

  // Double-click the error line.
  SendMessageA(list, LB_SETCURSEL, 3, 0);
  SendMessageA(pane, WM_COMMAND, MAKEWPARAM(51001, LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
  EXPECT_EQ(SendMessageA(edit, EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0), 80) << "caret on the error's line";
  EXPECT_EQ(SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 80) << "the line scrolled to the top";
  EXPECT_EQ(FindWindowExA(mdi, document, "QUILLON_CHILD", nullptr), nullptr) << "no second window for the file";

  Sleep(1000);  // let the windows finish painting
  Screenshot();

  EXPECT_EQ(app.Close(), 0);
}

// Opens `source` through File, Open... of the running program; the document window.
HWND OpenThroughChooser(const Quillon& app, const std::string& source) {
  quillon::test::DialogAnswerer answerer(
      [&](HWND dialog, const quillon::test::SeenBox&) {
        quillon::test::SetControlText(dialog, 0x47C, source);
        quillon::test::PressButton(dialog, IDOK);
      },
      app.processId());
  PostMessageA(app.frame(), WM_COMMAND, 4002, 0);
  HWND mdi = FindWindowExA(app.frame(), nullptr, "MDIClient", nullptr);
  WaitFor([&] { return FindWindowExA(mdi, nullptr, "QUILLON_CHILD", nullptr) != nullptr; });
  return FindWindowExA(mdi, nullptr, "QUILLON_CHILD", nullptr);
}

TEST(Smoke, ClosingDuringAHungBuildAsksThenEndsTheAssemblerAndTheProcess) {
  RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
  WriteString("Assembler Path", ProgramFolder() + "\\as1600_standin.exe");
  std::string work = MakeWorkFolder("quillon_smoke_hung");
  std::string source = work + "\\hung.asm";
  quillon::test::WriteText(source, ";@delay 30000\r\n");

  Quillon app(work);
  ASSERT_NE(app.frame(), nullptr);
  ASSERT_NE(OpenThroughChooser(app, source), nullptr);
  PostMessageA(app.frame(), WM_COMMAND, 40038, 0);  // F7
  HWND list = GetDlgItem(FindWindowExA(app.frame(), nullptr, "QUILLON_OUTPUTPANE", nullptr), 51001);
  ASSERT_TRUE(WaitFor([&] { return quillon::test::ChildProcessCount(app.processId(), "as1600_standin.exe") == 1; }));
  ASSERT_EQ(ListLines(list).size(), 2u) << "the assembler is running";

  // No keeps the IDE and its build.
  {
    quillon::test::DialogAnswerer answerer(
        [](HWND box, const quillon::test::SeenBox&) { quillon::test::PressButton(box, IDNO); }, app.processId());
    PostMessageA(app.frame(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return answerer.Seen().size() == 1; }));
    EXPECT_EQ(answerer.Seen()[0].text, "A build is running. Stop it and close?");
    Sleep(300);
  }
  EXPECT_TRUE(IsWindow(app.frame()));
  EXPECT_EQ(quillon::test::ChildProcessCount(app.processId(), "as1600_standin.exe"), 1);

  // Yes: the process is gone within two seconds and leaves no assembler behind.
  std::atomic<DWORD> answeredAt{0};
  quillon::test::DialogAnswerer answerer(
      [&](HWND box, const quillon::test::SeenBox&) {
        answeredAt = GetTickCount();
        quillon::test::PressButton(box, IDYES);
      },
      app.processId());
  PostMessageA(app.frame(), WM_CLOSE, 0, 0);
  ASSERT_EQ(WaitForSingleObject(app.process(), 10000), WAIT_OBJECT_0);
  const DWORD endedAt = GetTickCount();
  ASSERT_NE(answeredAt.load(), 0u);
  printf("process ended %lu ms after Yes\n", endedAt - answeredAt.load());
  EXPECT_LT(endedAt - answeredAt.load(), 2000u);
  EXPECT_EQ(quillon::test::ChildProcessCount(app.processId(), "as1600_standin.exe"), 0);
}

// Even an IDE that is ended from outside takes its assembler with it.
TEST(Smoke, AnIdeEndedFromOutsideLeavesNoAssemblerRunning) {
  RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
  WriteString("Assembler Path", ProgramFolder() + "\\as1600_standin.exe");
  std::string work = MakeWorkFolder("quillon_smoke_killed");
  std::string source = work + "\\hung.asm";
  quillon::test::WriteText(source, ";@delay 30000\r\n");

  Quillon app(work);
  ASSERT_NE(app.frame(), nullptr);
  ASSERT_NE(OpenThroughChooser(app, source), nullptr);
  PostMessageA(app.frame(), WM_COMMAND, 40038, 0);  // F7
  ASSERT_TRUE(WaitFor([&] { return quillon::test::ChildProcessCount(app.processId(), "as1600_standin.exe") == 1; }));
  TerminateProcess(app.process(), 7);
  ASSERT_EQ(WaitForSingleObject(app.process(), 5000), WAIT_OBJECT_0);
  EXPECT_TRUE(
      WaitFor([&] { return quillon::test::ChildProcessCount(app.processId(), "as1600_standin.exe") == 0; }, 2000));
}

}  // namespace
