// Times opening a large project with its tree shown, switching to a small one, and the model's
// load alone for two sizes, in a real frame under Wine.
// Usage: project_bench [files]   (default 5000; the model is also timed with twice as many)
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "app/frame.h"
#include "app/startup.h"
#include "base/settings.h"
#include "project/file_pane.h"
#include "project/project.h"
#include "project/win32_project_platform.h"
#include "ui/app_state.h"

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

// A project of `files` sources in a sub-folder: in the order the program writes them (by name),
// or shuffled as a hand-edited file might be.
std::string WriteProject(const std::string& folder, const std::string& name, int files, bool shuffled = false) {
  const std::string path = folder + "\\" + name + ".qlp";
  std::ofstream out(path, std::ios::binary);
  out << "[project name]\r\n" << name << "\r\n[output name]\r\n" << name << "\r\n";
  for (int i = 0; i < files; ++i) {
    char file[32];
    std::snprintf(file, sizeof file, "file%06d.asm", shuffled ? static_cast<int>((i * 7919LL) % files) : i);
    out << "[source]\r\nsrc\\" << file << "\r\n";
  }
  return path;
}

double ModelLoad(const std::string& path) {
  quillon::Win32ProjectPlatform platform;
  quillon::Settings settings;
  quillon::Project project(platform, settings);
  const auto start = Clock::now();
  project.LoadProject(path);
  return MillisecondsSince(start);
}

}  // namespace

int main(int argc, char** argv) {
  const int files = argc > 1 ? std::atoi(argv[1]) : 5000;
  char temp[MAX_PATH] = "";
  GetTempPathA(sizeof temp, temp);
  const std::string folder = std::string(temp) + "quillon_project_bench";
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string big = WriteProject(folder, "big", files);
  const std::string twice = WriteProject(folder, "twice", files * 2);
  const std::string small = WriteProject(folder, "small", 3);
  const std::string shuffled = WriteProject(folder, "shuffled", files, true);
  const std::string shuffledTwice = WriteProject(folder, "shuffled_twice", files * 2, true);

  HINSTANCE instance = GetModuleHandleA(nullptr);
  quillon::g_app.instance = instance;
  quillon::LoadLibrariesForWindows();
  if (!quillon::RegisterWindowClasses(instance)) return 1;
  HWND frame = quillon::CreateFrameWindow(instance, SW_SHOWNORMAL);
  if (!frame || !quillon::g_app.project || !quillon::g_app.filePane) return 1;
  Pump();

  HWND tree = quillon::g_app.filePane->Tree();
  auto start = Clock::now();
  quillon::g_app.project->LoadProject(big);
  UpdateWindow(tree);
  Pump();
  std::printf("open a project of %d files and show its tree: %.0f ms\n", files, MillisecondsSince(start));

  start = Clock::now();
  quillon::g_app.project->LoadProject(small);
  UpdateWindow(tree);
  Pump();
  std::printf("switch from it to a project of 3 files:       %.0f ms\n", MillisecondsSince(start));

  const double one = ModelLoad(big), two = ModelLoad(twice);
  std::printf("model load, %d files: %.0f ms; %d files: %.0f ms (ratio %.2f)\n", files, one, files * 2, two,
              one > 0 ? two / one : 0.0);
  const double oneShuffled = ModelLoad(shuffled), twoShuffled = ModelLoad(shuffledTwice);
  std::printf("the same, files listed out of order: %.0f ms; %.0f ms (ratio %.2f)\n", oneShuffled, twoShuffled,
              oneShuffled > 0 ? twoShuffled / oneShuffled : 0.0);

  quillon::g_app.project->settingsChanged = false;
  DestroyWindow(frame);
  DeleteFileA(big.c_str());
  DeleteFileA(twice.c_str());
  DeleteFileA(small.c_str());
  DeleteFileA(shuffled.c_str());
  DeleteFileA(shuffledTwice.c_str());
  return 0;
}
