// A test tool that takes the assembler's place: it reads directives from the source file and
// writes the image and listing they ask for. It does not assemble anything.
#ifdef _WIN32
#include <windows.h>
#endif

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "directives.h"

namespace {

struct Arguments {
  std::string image;
  std::string listing;
  std::string source;
};

// Accepts -o <image> -l <listing> <source>, options in any order.
bool ParseArguments(int argc, char** argv, Arguments& args) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if ((arg == "-o" || arg == "-l") && i + 1 < argc)
      (arg == "-o" ? args.image : args.listing) = argv[++i];
    else if (args.source.empty() && !arg.empty() && arg[0] != '-')
      args.source = arg;
    else
      return false;
  }
  return !args.image.empty() && !args.listing.empty() && !args.source.empty();
}

// A listing of ordinary lines of `bytes` in all, with an error line after every `errorEvery`.
void WriteHugeListing(std::ostream& out, const standin::Bulk& bulk) {
  std::size_t written = 0;
  char line[64];
  for (std::size_t n = 1; written < bulk.bytes; ++n) {
    const int length = std::snprintf(line, sizeof line, "%7zu  0x5000  0280 0001  MVII #1, R0\r\n", n);
    out.write(line, length);
    written += static_cast<std::size_t>(length);
    if (bulk.errorEvery != 0 && n % bulk.errorEvery == 0) {
      const std::string error = bulk.sourceName + ":" + std::to_string(n) + ": ERROR - huge listing line\r\n";
      out << error;
      written += error.size();
    }
  }
}

// Bytes of every value, NUL, CR and LF included, from a fixed sequence.
void WriteGarbage(std::ostream& out, std::size_t bytes) {
  std::uint32_t state = 12345;
  for (std::size_t i = 0; i < bytes; ++i) {
    state = state * 1103515245u + 12345u;
    out.put(static_cast<char>(state >> 16));
  }
}

// The listing lines and blocks before line `end`.
bool WriteListing(const std::string& path, const standin::RunPlan& plan, std::size_t end) {
  std::ofstream out(path, std::ios::binary);
  std::size_t next = 0;
  for (std::size_t i = 0; i < end; ++i) {
    for (; next < plan.bulk.size() && plan.bulk[next].at <= i; ++next) {
      if (plan.bulk[next].kind == standin::Bulk::Kind::kHugeListing)
        WriteHugeListing(out, plan.bulk[next]);
      else
        WriteGarbage(out, plan.bulk[next].bytes);
    }
    out << plan.listing[i] << "\r\n";
  }
  return static_cast<bool>(out.flush());
}

bool WriteLines(const std::string& path, const std::vector<std::string>& lines) {
  standin::RunPlan plan;
  plan.listing = lines;
  return WriteListing(path, plan, lines.size());
}

// Ends the process as a program that crashed does: at once, with an access violation's code.
[[noreturn]] void Crash() {
#ifdef _WIN32
  TerminateProcess(GetCurrentProcess(), 0xC0000005);
#endif
  std::_Exit(139);
}

bool WriteImage(const std::string& path) {
  std::ofstream out(path, std::ios::binary);
  out << "QUILLON-STANDIN-IMAGE\r\n";
  return static_cast<bool>(out.flush());
}

int Fail(const std::string& message) {
  std::cerr << "as1600_standin: " << message << "\n";
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  Arguments args;
  if (!ParseArguments(argc, argv, args)) {
    std::cerr << "usage: as1600_standin -o <image.bin> -l <listing.lst> <source.asm>\n";
    return 2;
  }
  std::ifstream source(args.source, std::ios::binary);
  if (!source) {
    WriteLines(args.listing, {args.source + ":1: ERROR - cannot open source file"});
    return Fail("cannot open " + args.source);
  }
  const standin::RunPlan plan = standin::PlanRun(source, args.source);
  std::cout << "as1600_standin: " << args.source << ": " << plan.errors << " error(s), " << plan.warnings
            << " warning(s)\n";
  std::cout.flush();
  std::this_thread::sleep_for(std::chrono::milliseconds(plan.delayMs));
  while (plan.hang) std::this_thread::sleep_for(std::chrono::hours(1));
  if (plan.crash) {
    if (plan.writeListing) WriteListing(args.listing, plan, plan.crashAt);
    Crash();
  }
  if (!WriteImage(args.image)) return Fail("cannot write " + args.image);
  if (!plan.writeListing)
    std::remove(args.listing.c_str());
  else if (!WriteListing(args.listing, plan, plan.listing.size()))
    return Fail("cannot write " + args.listing);
  return standin::ExitCodeOf(plan);
}
