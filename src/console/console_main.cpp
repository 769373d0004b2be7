// quillon_console.exe: runs the steps of a job file in its own console, then waits for a key.
// The program starts it with a new console, so closing that console or pressing Ctrl+C there
// ends this process at most, never the program and its documents. Only after the key does it
// remove the job file; the program then leaves alone what its lines started.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "macros/console_job.h"

namespace {

using quillon::ConsoleStep;

HANDLE g_out = INVALID_HANDLE_VALUE;

void Write(const std::string& text) {
  DWORD written = 0;
  if (!text.empty()) WriteFile(g_out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

// Ctrl+C and Ctrl+Break stop the running line (which gets the event too), not the prompt.
BOOL WINAPI KeepRunning(DWORD event) { return event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT; }

void ShowStartFailure() {
  const DWORD code = GetLastError();
  char* text = nullptr;
  FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                 code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&text), 0, nullptr);
  MessageBoxA(nullptr, text ? text : "", "CreateProcess Failure", MB_OK | MB_ICONINFORMATION);
  if (text) LocalFree(text);
}

// Runs one command line to its end; false when it could not be started.
bool Run(const char* application, const std::string& commandLine, const std::string& folder) {
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(application, line.data(), nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS, nullptr,
                      folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
    return false;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return true;
}

// The interpreter named by COMSPEC, or cmd.exe found along the search path.
std::string Interpreter() {
  DWORD size = GetEnvironmentVariableA("COMSPEC", nullptr, 0);
  if (size == 0) return "";
  std::string value(size, '\0');
  size = GetEnvironmentVariableA("COMSPEC", value.data(), size);
  value.resize(size);
  return value;
}

void WaitForKey() {
  HANDLE in = CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, 0, nullptr);
  if (in == INVALID_HANDLE_VALUE) return;
  FlushConsoleInputBuffer(in);  // keys typed while the lines ran do not close the window unseen
  Write("\nPress any key to close this window.");
  SetConsoleMode(in, 0);
  char byte = 0;
  DWORD read = 0;
  ReadFile(in, &byte, 1, &read, nullptr);  // one key; a failed or empty read ends the wait too
  CloseHandle(in);
}

std::string ReadJob(const char* path) {
  std::string text;
  if (std::FILE* file = std::fopen(path, "rb")) {
    char block[4096];
    std::size_t n;
    while ((n = std::fread(block, 1, sizeof block, file)) > 0) text.append(block, n);
    std::fclose(file);
  }
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  g_out = CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                      OPEN_EXISTING, 0, nullptr);
  if (g_out == INVALID_HANDLE_VALUE) return 2;
  SetStdHandle(STD_OUTPUT_HANDLE, g_out);
  SetStdHandle(STD_ERROR_HANDLE, g_out);
  SetConsoleCtrlHandler(KeepRunning, TRUE);
  SetConsoleTitleA("Quillon");

  const std::string comspec = Interpreter();
  const std::string job = argc > 1 ? ReadJob(argv[1]) : std::string();
  std::string folder;
  bool interpreterStarts = true;
  for (const ConsoleStep& step : quillon::ParseConsoleJob(job)) {
    switch (step.kind) {
      case ConsoleStep::kFolder:
        folder = step.text;
        break;
      case ConsoleStep::kShow:
        Write(step.text + "\r\n");
        break;
      case ConsoleStep::kProgram:
        if (!Run(nullptr, step.text, folder)) ShowStartFailure();
        break;
      case ConsoleStep::kCommand:
        if (!interpreterStarts) break;  // reported once; the rest cannot start either
        if (comspec.empty()) {
          interpreterStarts = Run(nullptr, "cmd.exe /c " + step.text, folder);
        } else {
          interpreterStarts = Run(comspec.c_str(), "\"" + comspec + "\" /c " + step.text, folder);
        }
        if (!interpreterStarts) ShowStartFailure();
        break;
      case ConsoleStep::kListing:
        if (GetFileAttributesA(step.text.c_str()) == INVALID_FILE_ATTRIBUTES)
          Write("\r\nNo listing file was written (" + step.text + ").\r\n");
        break;
    }
  }
  WaitForKey();
  if (argc > 1) DeleteFileA(argv[1]);  // tells the program that the console ended at the key
  return 0;
}
