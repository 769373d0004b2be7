// A test tool that takes the assembler's place: it reads directives from the source file and
// writes the image and listing they ask for. It does not assemble anything.
#include <chrono>
#include <cstdio>
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

bool WriteLines(const std::string& path, const std::vector<std::string>& lines) {
  std::ofstream out(path, std::ios::binary);
  for (const std::string& line : lines) out << line << "\r\n";
  return static_cast<bool>(out.flush());
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
  std::this_thread::sleep_for(std::chrono::milliseconds(plan.delayMs));
  if (!WriteImage(args.image)) return Fail("cannot write " + args.image);
  if (!plan.writeListing)
    std::remove(args.listing.c_str());
  else if (!WriteLines(args.listing, plan.listing))
    return Fail("cannot write " + args.listing);
  return standin::ExitCodeOf(plan);
}
