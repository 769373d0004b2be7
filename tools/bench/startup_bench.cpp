// Starts quillon.exe several times and prints how long each start takes until the frame is
// shown, then closes it. Usage: startup_bench [runs]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string ProgramFolder() {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string s = path;
  return s.substr(0, s.rfind('\\'));
}

// Milliseconds until the frame is visible, or -1.
long OneStart(const std::string& exe) {
  std::string line = "\"" + exe + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  auto start = std::chrono::steady_clock::now();
  if (!CreateProcessA(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return -1;
  long ms = -1;
  HWND frame = nullptr;
  while (std::chrono::steady_clock::now() - start < std::chrono::seconds(30)) {
    frame = FindWindowA("QUILLON_FRAME", "Quillon Intellivision IDE");
    if (frame && IsWindowVisible(frame)) {
      ms = static_cast<long>(
          std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count());
      break;
    }
    Sleep(2);
  }
  if (frame) PostMessageA(frame, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(pi.hProcess, 20000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  return ms;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = argc > 1 ? std::atoi(argv[1]) : 5;
  std::string exe = ProgramFolder() + "\\quillon.exe";
  std::vector<long> times;
  for (int i = 0; i < runs; ++i) {
    long ms = OneStart(exe);
    std::printf("start %d: %ld ms\n", i + 1, ms);
    if (ms < 0) return 1;
    times.push_back(ms);
  }
  std::sort(times.begin(), times.end());
  std::printf("frame shown after: median %ld ms, best %ld ms, worst %ld ms (%d starts)\n", times[times.size() / 2],
              times.front(), times.back(), runs);
  return 0;
}
