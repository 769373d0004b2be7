// Checks an unpacked release as a new user meets it: starts its quillon.exe, opens the sample
// project and its source, builds with F7 after confirming the bundled assembler that the
// program offers, optionally takes a screenshot, and closes the program.
// Usage: package_check <folder of quillon.exe> [screenshot.png [folder for dialog screenshots]]
// (screenshot paths are Linux paths).
// Exit code 0 when every step passed; each step prints one line.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "resource.h"
#include "support/dialog_answerer.h"
#include "support/test_files.h"

namespace {

using quillon::test::DialogAnswerer;
using quillon::test::SeenBox;

int g_failures = 0;

void Step(bool ok, const std::string& what) {
  std::printf("package check: %s %s\n", ok ? "ok  " : "FAIL", what.c_str());
  std::fflush(stdout);
  if (!ok) ++g_failures;
}

bool WaitFor(const std::function<bool()>& done, int timeoutMs) {
  for (int waited = 0; waited < timeoutMs; waited += 50) {
    if (done()) return true;
    Sleep(50);
  }
  return done();
}

// The lines of another process's list box, read wide (Wine cuts its 8-bit text).
std::vector<std::string> ListLines(HWND list) {
  std::vector<std::string> lines;
  const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, i, 0);
    std::wstring wide(length > 0 ? length + 1 : 1, L'\0');
    SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide.data()));
    char text[1024] = "";
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, text, sizeof text, nullptr, nullptr);
    lines.push_back(text);
  }
  return lines;
}

bool Contains(const std::vector<std::string>& lines, const std::string& text) {
  for (const std::string& line : lines)
    if (line.find(text) != std::string::npos) return true;
  return false;
}

std::string ReadRegistryString(const char* name) {
  char data[1024] = "";
  DWORD size = sizeof data;
  if (RegGetValueA(HKEY_CURRENT_USER, "Software\\LarkspurWorks\\Quillon", name, RRF_RT_REG_SZ, nullptr, data, &size) !=
      ERROR_SUCCESS)
    return "";
  return data;
}

// Opens `path` through a file chooser that `command` shows.
void ChooseFile(HWND frame, DWORD processId, int command, const std::string& path) {
  DialogAnswerer answerer(
      [&](HWND dialog, const SeenBox&) {
        quillon::test::SetControlText(dialog, 0x47C, path);
        quillon::test::PressButton(dialog, IDOK);
      },
      processId);
  PostMessageA(frame, WM_COMMAND, command, 0);
  WaitFor([&] { return answerer.Seen().size() == 1; }, 10000);
  Sleep(300);  // the chooser closes and the program opens the file
}

// ImageMagick's picture of the whole display; waits until the file stops growing.
bool Screenshot(const std::string& unixTarget) {
  std::string dosTarget = "Z:" + unixTarget;
  for (char& c : dosTarget)
    if (c == '/') c = '\\';
  DeleteFileA(dosTarget.c_str());
  PROCESS_INFORMATION pi{};
  if (!quillon::test::StartProcess("Z:\\usr\\bin\\import -window root \"" + unixTarget + "\"", "", &pi)) return false;
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  LONGLONG last = -1;
  return WaitFor(
      [&] {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!GetFileAttributesExA(dosTarget.c_str(), GetFileExInfoStandard, &data)) return false;
        const LONGLONG size = data.nFileSizeLow;
        const bool steady = size > 0 && size == last;
        last = size;
        return steady;
      },
      20000);
}

// Opens each dialog of the program through its command, takes a screenshot of it into
// `unixFolder`/<name>.png, and closes it.
void DialogScreenshots(HWND frame, DWORD processId, const std::string& unixFolder) {
  struct Shown {
    int command;
    const char* name;
  };
  const Shown dialogs[] = {
      {IDM_HELP_ABOUT, "about"},
      {IDM_HELP_SHORTCUTS, "shortcuts"},
      {IDM_TOOLS_OPTIONS, "ide-options"},
      {IDM_PROJECT_SETTINGS, "project-settings"},
      {IDM_FILE_NEWPROJECT, "new-project"},
      {IDM_MACRO_OPTIONS, "macro-options"},
      {IDM_EDIT_FIND, "find"},
      {IDM_EDIT_REPLACE, "replace"},
  };
  for (const Shown& shown : dialogs) {
    HWND dialog = nullptr;
    DialogAnswerer answerer([&](HWND window, const SeenBox&) { dialog = window; }, processId);
    PostMessageA(frame, WM_COMMAND, shown.command, 0);
    const bool open = WaitFor([&] { return dialog != nullptr; }, 5000);
    Sleep(200);  // drawn
    Step(open && Screenshot(unixFolder + "/" + shown.name + ".png"), std::string("dialog ") + shown.name);
    if (dialog) PostMessageA(dialog, WM_CLOSE, 0, 0);
    WaitFor([&] { return !dialog || !IsWindow(dialog); }, 5000);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: package_check <folder of quillon.exe> [screenshot.png]\n");
    return 2;
  }
  const std::string folder = argv[1];
  const std::string sample = folder + "\\samples\\hello";
  const std::string bundled = folder + "\\cpasm.exe";
  DeleteFileA((sample + "\\obj\\hello.bin").c_str());
  Step(ReadRegistryString("Assembler Path").empty(), "a fresh setup: no assembler path in the registry");

  PROCESS_INFORMATION pi{};
  const bool started = quillon::test::StartProcess("\"" + folder + "\\quillon.exe\"", folder, &pi);
  Step(started, "start " + folder + "\\quillon.exe");
  if (!started) return 1;
  HWND frame = nullptr;
  Step(WaitFor(
           [&] {
             frame = FindWindowA("QUILLON_FRAME", "Quillon Intellivision IDE");
             return frame && IsWindowVisible(frame);
           },
           30000),
       "the frame shows");
  if (!frame) {
    TerminateProcess(pi.hProcess, 1);
    return 1;
  }

  ChooseFile(frame, pi.dwProcessId, IDM_FILE_OPENPROJECT, sample + "\\hello.qlp");
  HWND tree = GetDlgItem(GetDlgItem(frame, IDC_FILEPANE), IDC_FILETREE);
  Step(WaitFor([&] { return SendMessageA(tree, TVM_GETCOUNT, 0, 0) >= 3; }, 10000),
       "the sample project opens (file pane filled)");
  ChooseFile(frame, pi.dwProcessId, IDM_FILE_OPEN, sample + "\\hello.asm");
  HWND mdi = FindWindowExA(frame, nullptr, "MDIClient", nullptr);
  Step(WaitFor([&] { return FindWindowExA(mdi, nullptr, "QUILLON_CHILD", nullptr) != nullptr; }, 10000),
       "its source opens");

  std::string offered;
  {
    DialogAnswerer answerer(
        [&](HWND dialog, const SeenBox& seen) {
          if (seen.caption == "Options") {
            char text[MAX_PATH * 2] = "";
            GetDlgItemTextA(dialog, IDC_OPTIONS_PATH, text, sizeof text);
            offered = text;
          }
          quillon::test::PressButton(dialog, IDOK);
        },
        pi.dwProcessId);
    // F7 as the keyboard gives it: through the program's message loop and accelerators.
    PostMessageA(frame, WM_KEYDOWN, VK_F7, 1);
    PostMessageA(frame, WM_KEYUP, VK_F7, 0xC0000001);
    WaitFor([&] { return answerer.Seen().size() >= 2; }, 15000);
    const auto seen = answerer.Seen();
    Step(seen.size() >= 2 && seen[0].caption == "Cannot assemble" && seen[1].caption == "Options",
         "F7 asks for the assembler and offers one");
  }
  Step(offered == bundled, "the offered assembler is the bundled one: " + offered);
  HWND list = GetDlgItem(GetDlgItem(frame, IDC_OUTPUTPANE), IDC_OUTPUTLIST);
  const bool finished = WaitFor([&] { return Contains(ListLines(list), "Finished assembly"); }, 20000);
  const auto lines = ListLines(list);
  for (const std::string& line : lines) std::printf("  | %s\n", line.c_str());
  Step(finished && Contains(lines, "Total Errors: 0") && Contains(lines, "\"" + bundled + "\""),
       "the build ran the bundled assembler without errors");
  Step(quillon::test::Exists(sample + "\\obj\\hello.bin") && quillon::test::Exists(sample + "\\obj\\hello.cfg"),
       "the image and its memory map are written");

  if (argc > 2) Step(Screenshot(argv[2]), std::string("screenshot ") + argv[2]);
  if (argc > 3) DialogScreenshots(frame, pi.dwProcessId, argv[3]);

  DialogAnswerer noToQuestions(DialogAnswerer::Press(IDNO), pi.dwProcessId);
  PostMessageA(frame, WM_CLOSE, 0, 0);
  const bool ended = WaitForSingleObject(pi.hProcess, 20000) == WAIT_OBJECT_0;
  DWORD code = 1;
  if (ended) GetExitCodeProcess(pi.hProcess, &code);
  Step(ended && code == 0, "closes with exit code 0");
  if (!ended) TerminateProcess(pi.hProcess, 1);
  Step(ReadRegistryString("Assembler Path") == bundled, "the confirmed path is kept in the settings");
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  std::printf("package check: %s\n", g_failures ? "FAILED" : "passed");
  return g_failures ? 1 : 0;
}
