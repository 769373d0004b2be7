// Generates a listing, times ParseListing over it and compares with `grep -cE` on the same file.
// Usage: listing_bench [lines] [listing path]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "assemble/listing_parser.h"

namespace {

constexpr int kRuns = 5;
constexpr const char* kGrepPattern = "'^(.+):([0-9]+):\\s*(ERROR|WARNING)\\s*-'";

struct CountingSink : quillon::OutputSink {
  int located = 0;
  void AddLine(const std::string&, const std::string& file, int) override {
    if (!file.empty()) ++located;
  }
};

// One line in ten reports a problem, alternating error and warning; CR LF line ends.
void WriteListing(const std::string& path, int lines) {
  std::ofstream out(path, std::ios::binary);
  char text[160];
  for (int i = 0; i < lines; ++i) {
    if (i % 10 == 9) {
      const char* kind = (i / 10) % 2 ? "WARNING" : "ERROR";
      std::snprintf(text, sizeof text, "C:\\work\\game\\level%d.asm:%d: %s - undefined symbol LABEL_%d", i % 7,
                    i / 3 + 1, kind, i);
    } else {
      std::snprintf(text, sizeof text, " %6d  %04X  %04X         MVII    #%d, R%d     ; step %d", i + 1,
                    0x5000 + i % 0x1000, i % 0xFFFF, i % 256, i % 6, i);
    }
    out << text << "\r\n";
  }
}

template <typename Action>
double BestSeconds(Action action) {
  double best = 1e9;
  for (int run = 0; run < kRuns; ++run) {
    const auto start = std::chrono::steady_clock::now();
    action();
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    best = std::min(best, elapsed.count());
  }
  return best;
}

int ReadCount(const std::string& path) {
  std::ifstream in(path);
  int count = -1;
  in >> count;
  return count;
}

void Report(const char* name, double seconds, int lines, int matches) {
  std::printf("%-13s %9.2f ms total  %8.1f ns/line  %6d lines matched\n", name, seconds * 1e3, seconds * 1e9 / lines,
              matches);
}

}  // namespace

int main(int argc, char** argv) {
  const int lines = argc > 1 ? std::atoi(argv[1]) : 100000;
  const std::string path = argc > 2 ? argv[2] : "listing_bench.lst";
  if (lines <= 0) {
    std::fprintf(stderr, "usage: listing_bench [lines] [listing path]\n");
    return 2;
  }
  WriteListing(path, lines);

  int parsed = 0;
  const double parseSeconds = BestSeconds([&] {
    CountingSink sink;
    quillon::ParseListing(path, "", sink);
    parsed = sink.located;
  });

  const std::string countPath = path + ".count";
  const std::string grep = "grep -cE " + std::string(kGrepPattern) + " '" + path + "' > '" + countPath + "'";
  int grepStatus = 0;
  const double grepSeconds = BestSeconds([&] { grepStatus = std::system(grep.c_str()); });
  const int grepped = ReadCount(countPath);
  std::remove(countPath.c_str());
  std::remove(path.c_str());

  std::printf("listing: %d lines, best of %d runs\n", lines, kRuns);
  Report("ParseListing", parseSeconds, lines, parsed);
  Report("grep -cE", grepSeconds, lines, grepped);
  std::printf("ratio: ParseListing takes %.1fx the time of grep (grep time includes starting a shell)\n",
              parseSeconds / grepSeconds);
  if (grepStatus != 0 || grepped != parsed) {
    std::fprintf(stderr, "listing_bench: counts differ (grep status %d)\n", grepStatus);
    return 1;
  }
  return 0;
}
