// Starts quillon.exe as a user would, drives it from outside and checks what it leaves behind.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "support/dialog_answerer.h"
#include "support/test_files.h"

namespace smoke_test {

const char* kKey = "Software\\LarkspurWorks\\Quillon";

using quillon::test::ProgramFolder;

std::string MakeWorkFolder(const char* name) {
  std::string folder = quillon::test::TempFolder(name);
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

// A fresh settings key that names the stand-in as the assembler, and the work folder `name`.
std::string StandInWorkFolder(const char* name) {
  RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
  WriteString("Assembler Path", ProgramFolder() + "\\as1600_standin.exe");
  return MakeWorkFolder(name);
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
  PROCESS_INFORMATION pi{};
  if (!quillon::test::StartProcess("Z:\\usr\\bin\\import -window root " + unixTarget, "", &pi)) {
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
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, i, 0);
    std::vector<wchar_t> wide(length > 0 ? length + 1 : 1, L'\0');
    SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide.data()));
    std::string text(wide.size() * 2, '\0');
    const int n =
        WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, text.data(), static_cast<int>(text.size()), nullptr, nullptr);
    text.resize(n > 0 ? n - 1 : 0);
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
    auto start = std::chrono::steady_clock::now();
    started_ = quillon::test::StartProcess("\"" + ProgramFolder() + "\\quillon.exe\"", workFolder, &pi_);
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

// Opens a source on which the stand-in assembler waits 30 s and starts its build (F7); true once
// the stand-in runs.
// Whether process `id` belongs to a job.
bool InAJob(DWORD id) {
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, id);
  if (!process) return false;
  BOOL in = FALSE;
  const bool asked = IsProcessInJob(process, nullptr, &in);
  CloseHandle(process);
  return asked && in;
}

// Builds a source whose assembler takes 30 s; true once the assembler runs. It exists from its
// creation, suspended until the IDE has put it in its job: only then is it running.
bool StartHungBuild(const Quillon& app, const std::string& work) {
  const std::string source = work + "\\hung.asm";
  quillon::test::WriteText(source, ";@delay 30000\r\n");
  if (!OpenThroughChooser(app, source)) return false;
  PostMessageA(app.frame(), WM_COMMAND, 40038, 0);  // F7
  return WaitFor([&] {
    const DWORD id = quillon::test::ChildProcessId(app.processId(), "as1600_standin.exe");
    return id != 0 && InAJob(id);
  });
}

// Ends what is left of the IDE's assemblers, so that a failed test does not leave one holding
// the test run's output open.
void EndLeftAssemblers(DWORD ideId) {
  for (int tries = 0; tries < 10; ++tries) {
    const DWORD id = quillon::test::ChildProcessId(ideId, "as1600_standin.exe");
    if (!id) return;
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
    if (!process) return;
    TerminateProcess(process, 9);
    WaitForSingleObject(process, 5000);
    CloseHandle(process);
  }
}

TEST(Smoke, FirstRunShowsTheFrameAndLeavesLogAndSettings) {
  RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
  std::string work = MakeWorkFolder("quillon_smoke_first");
  Quillon app(work);
  ASSERT_NE(app.frame(), nullptr) << "the frame did not appear";
  printf("frame shown after %ld ms\n", app.startupMs());

  // The frame carries a menu bar, and it is the program's menu resource with its nine popups.
  // (Menus of another process cannot be read item by item under every system.)
  EXPECT_NE(GetMenu(app.frame()), nullptr);
  EXPECT_GT(GetSystemMetrics(SM_CYMENU), 0);
  HMODULE program = LoadLibraryExA((ProgramFolder() + "\\quillon.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(program, nullptr);
  HMENU bar = LoadMenuA(program, MAKEINTRESOURCEA(102));
  ASSERT_NE(bar, nullptr);
  const char* titles[] = {"&File", "&Edit", "&Tools", "&Project", "&Build", "&Debug", "&Macros", "&Window", "&Help"};
  ASSERT_EQ(GetMenuItemCount(bar), 9);
  for (int i = 0; i < 9; ++i) {
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
      {"Emulator Path", REG_SZ, Text("")},        {"Emulator Arguments", REG_SZ, Text("\"%OUTPUT%\"")},
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
  std::string work = StandInWorkFolder("quillon_smoke_build");
  std::string source = work + "\\game.asm";
  std::string text;
  for (int i = 1; i <= 80; ++i) text += "        NOP     ; line " + std::to_string(i) + "\r\n";
  text += ";@error operand out of range\r\n";  // line 81
  for (int i = 82; i <= 120; ++i) text += "        NOP     ; line " + std::to_string(i) + "\r\n";
  quillon::test::WriteText(source, text);

  Quillon app(work);
  ASSERT_NE(app.frame(), nullptr);
  HWND document = OpenThroughChooser(app, source);
  ASSERT_NE(document, nullptr);
  HWND mdi = FindWindowExA(app.frame(), nullptr, "MDIClient", nullptr);
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
  EXPECT_EQ(lines[4], "Total Errors: 1");
  EXPECT_EQ(lines[5], "Total Warnings: 0");
  EXPECT_EQ(lines[6], "Assembler exit code: 1");

  // Double-click the error line.
  SendMessageA(list, LB_SETSEL, TRUE, 3);  // the pane's list selects several lines
  SendMessageA(list, LB_SETCARETINDEX, 3, FALSE);
  SendMessageA(pane, WM_COMMAND, MAKEWPARAM(51001, LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
  EXPECT_EQ(SendMessageA(edit, EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0), 80) << "caret on the error's line";
  EXPECT_EQ(SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 80) << "the line scrolled to the top";
  EXPECT_EQ(FindWindowExA(mdi, document, "QUILLON_CHILD", nullptr), nullptr) << "no second window for the file";

  Sleep(1000);  // let the windows finish painting
  Screenshot();

  EXPECT_EQ(app.Close(), 0);
}

TEST(Smoke, ClosingDuringAHungBuildAsksThenEndsTheAssemblerAndTheProcess) {
  std::string work = StandInWorkFolder("quillon_smoke_hung");
  Quillon app(work);
  ASSERT_NE(app.frame(), nullptr);
  ASSERT_TRUE(StartHungBuild(app, work));
  HWND list = GetDlgItem(FindWindowExA(app.frame(), nullptr, "QUILLON_OUTPUTPANE", nullptr), 51001);
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
  std::string work = StandInWorkFolder("quillon_smoke_killed");
  Quillon app(work);
  ASSERT_NE(app.frame(), nullptr);
  ASSERT_TRUE(StartHungBuild(app, work));
  TerminateProcess(app.process(), 7);
  ASSERT_EQ(WaitForSingleObject(app.process(), 5000), WAIT_OBJECT_0);
  EXPECT_TRUE(
      WaitFor([&] { return quillon::test::ChildProcessCount(app.processId(), "as1600_standin.exe") == 0; }, 2000));
  EndLeftAssemblers(app.processId());
}

// Answers a probe from another process: the longest wait for the frame to answer a message
// while `running` holds, in milliseconds, and whether every probe was answered within 5 s.
struct Responsiveness {
  DWORD longestMs = 0;
  int probes = 0;
  bool allAnswered = true;
};

Responsiveness ProbeWhile(HWND frame, const std::function<bool()>& running) {
  Responsiveness r;
  while (running()) {
    const DWORD start = GetTickCount();
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(frame, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result)) r.allAnswered = false;
    r.longestMs = std::max(r.longestMs, GetTickCount() - start);
    ++r.probes;
    Sleep(50);
  }
  return r;
}

// An assembler that crashes, floods the listing, writes bytes that are no text or never ends:
// the IDE keeps answering, the pane says what happened and the source is untouched.
TEST(Smoke, AMisbehavingAssemblerLeavesTheIdeUsableAndTheSourceIntact) {
  struct Case {
    const char* name;
    std::string source;
    bool stop;  // ended with the stop key
    std::function<void(const std::vector<std::string>&)> check;
  };
  const std::string bigLine = ":3: ERROR - " + std::string(100000, 'L');
  const Case cases[] = {
      {"crash", "start:  MVII #1, R0\r\n;@error before the crash\r\n;@crash\r\n", false,
       [](const std::vector<std::string>& lines) {
         ASSERT_EQ(lines.size(), 8u);
         EXPECT_EQ(lines[2], "Parsing listing file...");
         EXPECT_TRUE(lines[3].ends_with("crash.asm:2: ERROR - before the crash")) << lines[3];
         EXPECT_EQ(lines[4], "Total Errors: 1");
         EXPECT_EQ(lines[6], "Assembler exit code: 3221225477");  // 0xC0000005
       }},
      {"crash before any listing", ";@no-listing\r\n;@crash\r\n", false,
       [](const std::vector<std::string>& lines) {
         ASSERT_EQ(lines.size(), 5u);
         EXPECT_TRUE(lines[2].starts_with("Build failed: no listing file was written")) << lines[2];
         EXPECT_EQ(lines[3], "Assembler exit code: 3221225477");
       }},
      {"50 MB listing", ";@huge-listing 50 20000\r\n", false,
       [](const std::vector<std::string>& lines) {
         ASSERT_GE(lines.size(), 6u);
         const std::size_t errors = lines.size() - 6;  // Assembling, command, Parsing, totals 2, Finished
         EXPECT_GT(errors, 50u);
         EXPECT_EQ(lines[lines.size() - 3], "Total Errors: " + std::to_string(errors));
       }},
      {"binary garbage", ";@garbage 1000000\r\n;@warning after the garbage\r\n", false,
       [](const std::vector<std::string>& lines) {
         ASSERT_GE(lines.size(), 6u);
         EXPECT_TRUE(lines[lines.size() - 4].ends_with("garbage.asm:2: WARNING - after the garbage"));
         EXPECT_EQ(lines[lines.size() - 2], "Total Warnings: 1");
       }},
      {"100,000-character line", "\r\n\r\n;@long-line 100000\r\n", false,
       [&](const std::vector<std::string>& lines) {
         ASSERT_EQ(lines.size(), 8u);
         EXPECT_TRUE(lines[3].ends_with("big.asm" + bigLine)) << "the line is shown whole";
       }},
      {"never ends", ";@hang\r\n", true,
       [](const std::vector<std::string>& lines) {
         ASSERT_EQ(lines.size(), 4u);
         EXPECT_EQ(lines[2], "Build stopped.");
       }},
  };
  const char* files[] = {"crash.asm", "early.asm", "huge.asm", "garbage.asm", "big.asm", "hang.asm"};
  std::string work = StandInWorkFolder("quillon_smoke_misbehaving");
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    const std::string source = work + "\\" + files[i];
    quillon::test::WriteText(source, c.source);
    Quillon app(work);
    ASSERT_NE(app.frame(), nullptr);
    HWND list = GetDlgItem(FindWindowExA(app.frame(), nullptr, "QUILLON_OUTPUTPANE", nullptr), 51001);
    ASSERT_NE(OpenThroughChooser(app, source), nullptr) << c.name;
    const DWORD start = GetTickCount();
    PostMessageA(app.frame(), WM_COMMAND, 40038, 0);  // F7
    bool stopped = false;
    auto running = [&] {
      auto lines = ListLines(list);
      if (lines.size() >= 3 && lines.back() == "Finished assembly") return false;
      // The stop key two seconds into a build that never ends, with the assembler running.
      if (c.stop && !stopped && GetTickCount() - start > 2000 &&
          quillon::test::ChildProcessCount(app.processId(), "as1600_standin.exe") == 1) {
        PostMessageA(app.frame(), WM_COMMAND, 40039, 0);
        stopped = true;
      }
      return GetTickCount() - start < 120000;
    };
    const Responsiveness r = ProbeWhile(app.frame(), running);
    auto finished = [&] {
      auto lines = ListLines(list);
      return lines.size() >= 3 && lines.back() == "Finished assembly";
    };
    ASSERT_TRUE(finished()) << c.name;
    const auto lines = ListLines(list);
    printf("%s: %zu pane lines after %lu ms; the IDE answered %d probes, the slowest in %lu ms\n", c.name, lines.size(),
           GetTickCount() - start, r.probes, r.longestMs);
    EXPECT_TRUE(r.allAnswered) << c.name;
    EXPECT_EQ(lines[0], "Assembling...") << c.name;
    c.check(lines);
    EXPECT_EQ(quillon::test::ReadText(source), c.source) << c.name << ": the source is untouched";
    EXPECT_EQ(quillon::test::ChildProcessCount(app.processId(), "as1600_standin.exe"), 0) << c.name;
    EXPECT_EQ(app.Close(), 0) << c.name;
  }
}

// The window with the keyboard focus in the program's window thread.
HWND FocusOf(HWND frame) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(frame, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

// Presses `key` on the keyboard (with Ctrl held), as the user would: through the system's input.
void PressKey(WORD key, bool ctrl = false) {
  std::vector<INPUT> keys;
  const auto add = [&keys](WORD vk, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    keys.push_back(input);
  };
  if (ctrl) add(VK_CONTROL, false);
  add(key, false);
  add(key, true);
  if (ctrl) add(VK_CONTROL, true);
  SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT));
  Sleep(100);
}

std::string EditText(HWND edit) {
  char text[4096] = {};
  SendMessageA(edit, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

// A visible dialog of the program's process, or null.
HWND ProgramDialog(DWORD processId) {
  for (HWND w = FindWindowA("#32770", nullptr); w; w = FindWindowExA(nullptr, w, "#32770", nullptr)) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == processId && IsWindowVisible(w)) return w;
  }
  return nullptr;
}

// After Go to Line closed with Esc, after the Replace dialog's Close and after Ctrl+F4 closed a
// document, the keys go to the text of the active document: what is typed next lands there.
TEST(Smoke, TheKeyboardGoesBackToTheTextAfterADialogOrADocumentCloses) {
  const std::string work = MakeWorkFolder("quillon_smoke_focus");
  const std::string first = work + "\\first.asm", second = work + "\\second.asm";
  quillon::test::WriteText(first, "; one\r\n");
  quillon::test::WriteText(second, "; two\r\n");
  Quillon app(work);
  ASSERT_NE(app.frame(), nullptr);
  HWND firstWindow = OpenThroughChooser(app, first);
  ASSERT_NE(firstWindow, nullptr);
  HWND firstEdit = FindWindowExA(firstWindow, nullptr, nullptr, nullptr);
  SetForegroundWindow(app.frame());
  ASSERT_TRUE(WaitFor([&] { return FocusOf(app.frame()) == firstEdit; }, 5000)) << "the opened text has the keys";

  struct Step {
    const char* what;
    std::function<void()> open, close;
    WORD typed;
  };
  const Step steps[] = {
      {"Go to Line, Esc", [] { PressKey('G', true); }, [] { PressKey(VK_ESCAPE); }, 'A'},
      {"Replace, Close", [] { PressKey('H', true); },
       [&] { PostMessageA(GetDlgItem(ProgramDialog(app.processId()), IDCANCEL), BM_CLICK, 0, 0); }, 'B'},
  };
  for (const Step& step : steps) {
    step.open();
    ASSERT_TRUE(WaitFor([&] { return ProgramDialog(app.processId()) != nullptr; }, 5000)) << step.what;
    step.close();
    ASSERT_TRUE(WaitFor([&] { return ProgramDialog(app.processId()) == nullptr; }, 5000)) << step.what;
    EXPECT_TRUE(WaitFor([&] { return FocusOf(app.frame()) == firstEdit; }, 2000)) << step.what;
    PressKey(step.typed);
    EXPECT_TRUE(WaitFor(
        [&] { return EditText(firstEdit).find(static_cast<char>(step.typed | 0x20)) != std::string::npos; }, 2000))
        << step.what << ": the typed letter is in the text";
  }

  HWND mdi = FindWindowExA(app.frame(), nullptr, "MDIClient", nullptr);
  const auto active = [mdi] { return reinterpret_cast<HWND>(SendMessageA(mdi, WM_MDIGETACTIVE, 0, 0)); };
  {
    quillon::test::DialogAnswerer answerer(
        [&](HWND dialog, const quillon::test::SeenBox&) {
          quillon::test::SetControlText(dialog, 0x47C, second);
          quillon::test::PressButton(dialog, IDOK);
        },
        app.processId());
    PostMessageA(app.frame(), WM_COMMAND, 4002, 0);
    ASSERT_TRUE(WaitFor([&] { return active() != firstWindow; })) << "the second document opened";
  }
  SetForegroundWindow(app.frame());
  PressKey(VK_F4, true);
  ASSERT_TRUE(WaitFor([&] { return active() == firstWindow; })) << "Ctrl+F4 closed the second document";
  EXPECT_TRUE(WaitFor([&] { return FocusOf(app.frame()) == firstEdit; }, 2000)) << "Ctrl+F4";
  PressKey('C');
  EXPECT_TRUE(WaitFor([&] { return EditText(firstEdit).find('c') != std::string::npos; }, 2000))
      << "Ctrl+F4: the typed letter is in the text";

  // What was typed is not saved.
  quillon::test::DialogAnswerer answerer(
      [](HWND box, const quillon::test::SeenBox&) { quillon::test::PressButton(box, IDNO); }, app.processId());
  EXPECT_EQ(app.Close(), 0);
  EXPECT_EQ(quillon::test::ReadText(first), "; one\r\n");
}

}  // namespace smoke_test
