// cpsim: runs a CP1610 program on the simulated console from the command line.
//   cpsim [--trace] [--start ADDR] [--set Rn=VALUE]... [--cycles N] [--frames N] [--exec exec.bin]
//         [--dump FROM-TO] image.bin|image.rom
// Exit 0 after HLT or the cycle or frame limit, 2 after a fault (or bad arguments, an image that
// does not load).
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cpsim/machine.h"
#include "cpsim/source_map.h"

namespace {

const char kUsage[] =
    "usage: cpsim [--trace] [--start ADDR] [--set Rn=VALUE]... [--cycles N] [--frames N] [--exec exec.bin]\n"
    "             [--dump FROM-TO] image.bin|image.rom\n";

int Fail(const std::string &message) {
  std::fprintf(stderr, "cpsim: %s\n", message.c_str());
  return 2;
}

// "$4800", "0x4800" or "18432"; false for anything else or anything over `max`.
bool Number(const std::string &text, uint64_t max, uint64_t &value) {
  size_t at = 0;
  int base = 10;
  if (text.size() > 1 && text[0] == '$') {
    base = 16;
    at = 1;
  } else if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    at = 2;
  }
  if (at >= text.size()) return false;
  value = 0;
  for (; at < text.size(); ++at) {
    const char c = text[at];
    int digit;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (base == 16 && c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    } else if (base == 16 && c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else {
      return false;
    }
    if (value > (max - digit) / base) return false;
    value = value * base + digit;
  }
  return true;
}

int RegisterNumber(std::string name) {
  for (char &c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (name.size() == 2 && name[0] == 'R' && name[1] >= '0' && name[1] <= '7') return name[1] - '0';
  if (name == "SP") return 6;
  if (name == "PC") return 7;
  return -1;
}

class TraceLines : public cpsim::Tracer {
 public:
  void BeforeInstruction(const cpsim::Machine &machine) override {
    std::string line = machine.StatusLine();
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
  }
};

}  // namespace

int main(int argc, char **argv) {
  bool trace = false;
  bool haveStart = false;
  uint16_t start = 0;
  std::vector<std::pair<int, uint16_t>> sets;
  uint64_t cycles = 0, frames = 0;
  std::string execPath, imagePath;
  bool haveDump = false;
  uint16_t dumpFrom = 0, dumpTo = 0;

  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&](std::string &out) {
      if (i + 1 >= argc) return false;
      out = argv[++i];
      return true;
    };
    std::string v;
    uint64_t n = 0;
    if (arg == "--trace") {
      trace = true;
    } else if (arg == "--start") {
      if (!value(v) || !Number(v, 0xFFFF, n)) return Fail("--start needs an address from $0000 to $FFFF");
      haveStart = true;
      start = static_cast<uint16_t>(n);
    } else if (arg == "--set") {
      const size_t eq = value(v) ? v.find('=') : std::string::npos;
      const int reg = eq == std::string::npos ? -1 : RegisterNumber(v.substr(0, eq));
      if (reg < 0 || !Number(v.substr(eq + 1), 0xFFFF, n)) {
        return Fail("--set needs Rn=VALUE, R0 to R7 and a value from $0000 to $FFFF (not \"" + v + "\")");
      }
      sets.emplace_back(reg, static_cast<uint16_t>(n));
    } else if (arg == "--cycles") {
      if (!value(v) || !Number(v, UINT64_MAX, n) || n == 0) return Fail("--cycles needs a count above 0");
      cycles = n;
    } else if (arg == "--frames") {
      if (!value(v) || !Number(v, UINT64_MAX, n) || n == 0) return Fail("--frames needs a count above 0");
      frames = n;
    } else if (arg == "--exec") {
      if (!value(execPath)) return Fail("--exec needs the Executive ROM image's path");
    } else if (arg == "--dump") {
      uint64_t from = 0, to = 0;
      const size_t dash = value(v) ? v.find('-') : std::string::npos;
      if (dash == std::string::npos || !Number(v.substr(0, dash), 0xFFFF, from) ||
          !Number(v.substr(dash + 1), 0xFFFF, to) || to < from) {
        return Fail("--dump needs FROM-TO, two addresses with FROM not after TO (not \"" + v + "\")");
      }
      haveDump = true;
      dumpFrom = static_cast<uint16_t>(from);
      dumpTo = static_cast<uint16_t>(to);
    } else if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (!arg.empty() && arg[0] == '-') {
      std::fputs(kUsage, stderr);
      return Fail("unknown option " + arg);
    } else if (imagePath.empty()) {
      imagePath = arg;
    } else {
      std::fputs(kUsage, stderr);
      return Fail("one image only (" + imagePath + ", then " + arg + ")");
    }
  }
  if (imagePath.empty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }

  std::string error;
  cpsim::Image image;
  if (!cpsim::ReadImageFile(imagePath, image, error)) return Fail(error);
  cpsim::Machine machine;
  machine.Load(image);

  if (execPath.empty() && !haveStart) {
    const char *romPath = std::getenv("JZINTV_ROM_PATH");
    execPath = cpsim::FindRomFile(romPath ? romPath : "", cpsim::FolderOf(imagePath));
  }
  if (!execPath.empty()) {
    std::vector<uint16_t> words;
    if (!cpsim::ReadExecutive(execPath, words, error) || !machine.LoadExecutive(words, error)) return Fail(error);
    const std::string grom = cpsim::FindRomFile("", cpsim::FolderOf(execPath), "grom.bin");
    if (!grom.empty() && (!cpsim::ReadGraphicsRom(grom, words, error) || !machine.LoadGraphicsRom(words, error))) {
      return Fail(error);
    }
  }

  if (haveStart) {
    machine.StartAt(start);
  } else if (!machine.Boot(error)) {
    return Fail(imagePath + ": " + error);
  }
  for (auto [reg, v] : sets) machine.Cpu().r[reg] = v;

  TraceLines tracer;
  if (trace) machine.SetTracer(&tracer);
  cpsim::RunLimits limits;
  limits.untilCycle = cycles;
  limits.untilFrame = frames;
  const cpsim::Stop stop = machine.Run(limits);
  std::fflush(stdout);

  // Warnings, with their source lines when the bundled assembler's map is beside the image.
  cpsim::SourceMap map;
  std::string mapText;
  const size_t dot = imagePath.find_last_of('.');
  const std::string base =
      dot == std::string::npos || dot < cpsim::FolderOf(imagePath).size() ? imagePath : imagePath.substr(0, dot);
  if (cpsim::ReadWholeFile(base + ".smap", mapText)) map.Parse(mapText);
  for (const cpsim::Event &event : machine.TakeEvents()) {
    if (event.kind == cpsim::EventKind::kExecutiveCall) continue;  // the stop says it
    std::string text = event.message + " (at " + cpsim::Hex4(event.pc);
    if (event.repeats) text += ", " + std::to_string(event.repeats) + " more times";
    text += ")";
    const cpsim::SourceLine *line = map.Find(event.pc);
    if (line) {
      std::fprintf(stderr, "%s:%d: WARNING - %s\n", line->file.c_str(), line->line, text.c_str());
    } else {
      std::fprintf(stderr, "cpsim: warning: %s\n", text.c_str());
    }
  }

  int code = 0;
  const std::string where = " at " + cpsim::Hex4(machine.Pc()) + " after " + std::to_string(machine.Cycles()) +
                            " cycles, " + std::to_string(machine.Frames()) + " frames";
  switch (stop.reason) {
    case cpsim::StopReason::kHalted:
      std::fprintf(stderr, "cpsim: halted%s\n", where.c_str());
      break;
    case cpsim::StopReason::kCycleLimit:
    case cpsim::StopReason::kFrameLimit:
      std::fprintf(stderr, "cpsim: stopped%s\n", where.c_str());
      break;
    default:
      std::fprintf(stderr, "cpsim: %s (after %llu cycles)\n", stop.message.c_str(),
                   static_cast<unsigned long long>(machine.Cycles()));
      code = 2;
      break;
  }

  if (haveDump) {
    for (uint32_t a = dumpFrom; a <= dumpTo; a += 8) {
      std::string line = cpsim::Hex4(static_cast<uint16_t>(a)) + ":";
      for (uint32_t k = a; k < a + 8 && k <= dumpTo; ++k) {
        const cpsim::Region region = machine.RegionAt(static_cast<uint16_t>(k));
        char word[8];
        if (region == cpsim::Region::kUnmapped || region == cpsim::Region::kNoExec) {
          std::snprintf(word, sizeof word, " ----");
        } else {
          std::snprintf(word, sizeof word, " %04X", machine.Read(static_cast<uint16_t>(k)));
        }
        line += word;
      }
      std::printf("%s\n", line.c_str());
    }
  }
  return code;
}
