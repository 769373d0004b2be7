// Times reading a large macros.cfg and expanding a macro text full of placeholders, as the
// Macro Options preview does on every keystroke.
// Usage: macros_bench [kilobytes of macros.cfg] [placeholders in the text]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "macros/build_options.h"
#include "macros/expand_macro.h"

namespace {

constexpr int kRuns = 5;

template <typename F>
double BestMilliseconds(F&& run) {
  double best = 1e30;
  for (int i = 0; i < kRuns; ++i) {
    const auto start = std::chrono::steady_clock::now();
    run();
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  const int kilobytes = argc > 1 ? std::atoi(argv[1]) : 1024;
  const int placeholders = argc > 2 ? std::atoi(argv[2]) : 20000;

  std::string file;
  for (int section = 0; file.size() < static_cast<std::size_t>(kilobytes) * 1024; ++section) {
    file += "[F" + std::to_string(5 + section % 4) + "]\r\n";
    for (int line = 0; line < 100; ++line) file += "copy %INPUT% \"C:\\games\\build\\obj\\level.bin\" /y\r\n";
  }
  quillon::BuildOptions options;
  const double readMs = BestMilliseconds([&] { quillon::ParseBuildOptions(file, options); });

  std::string text;
  for (int i = 0; i < placeholders; ++i) text += i % 3 ? "as %INPUT% %ASM% " : "%LOCAL%\\out ";
  std::size_t size = 0;
  const quillon::PlaceholderValues values{"C:\\tools\\cpasm.exe", "C:\\games\\demo", "C:\\games\\demo\\obj",
                                          "C:\\games\\demo\\main.asm", "C:\\games\\demo\\obj\\main.bin"};
  const double expandMs = BestMilliseconds([&] { size = quillon::ExpandPlaceholders(text, values).size(); });

  std::printf("macros.cfg of %zu bytes read: %.2f ms (best of %d)\n", file.size(), readMs, kRuns);
  std::printf("text of %zu bytes with %d placeholders expanded to %zu bytes: %.2f ms (best of %d)\n", text.size(),
              placeholders, size, expandMs, kRuns);
  return 0;
}
