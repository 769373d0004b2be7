#include "assemble/memory_map.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "base/file_io.h"
#include "cpasm/assembler.h"
#include "project/project_file.h"

namespace quillon {

namespace {

std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i)
    if (i == text.size() || text[i] == '\n') {
      std::string_view line = text.substr(start, i - start);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      lines.push_back(line);
      start = i + 1;
    }
  return lines;
}

// "$1F" or "1F" at `at`; false when there is no hexadecimal number.
bool Hex(const std::string& s, std::size_t& at, std::uint32_t& value) {
  while (at < s.size() && s[at] == ' ') ++at;
  if (at < s.size() && s[at] == '$') ++at;
  const std::size_t start = at;
  value = 0;
  while (at < s.size() && std::isxdigit(static_cast<unsigned char>(s[at])) && at - start < 8)
    value = value * 16 + static_cast<std::uint32_t>(std::isdigit(static_cast<unsigned char>(s[at]))
                                                        ? s[at] - '0'
                                                        : std::tolower(static_cast<unsigned char>(s[at])) - 'a' + 10),
    ++at;
  return at > start;
}

bool Expect(const std::string& s, std::size_t& at, char c) {
  while (at < s.size() && s[at] == ' ') ++at;
  if (at >= s.size() || s[at] != c) return false;
  ++at;
  return true;
}

std::string Hex4(std::uint32_t v) {
  char b[16];
  std::snprintf(b, sizeof b, "$%04X", static_cast<unsigned>(v));
  return b;
}

constexpr std::uint32_t kScratchFirst = 0x0100, kScratchLast = 0x01EF;
constexpr std::uint32_t kSystemFirst = 0x0200, kSystemLast = 0x035F;

std::string Count(long n) {
  std::string digits = std::to_string(n), out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

}  // namespace

ImageMap ParseConfigMap(std::string_view text) {
  ImageMap map;
  enum { kNone, kMapping, kMemattr } section = kNone;
  for (std::string_view view : Lines(text)) {
    std::string line(view);
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == ';') continue;
    if (line[first] == '[') {
      section = line.compare(first, 9, "[mapping]") == 0   ? kMapping
                : line.compare(first, 9, "[memattr]") == 0 ? kMemattr
                                                           : kNone;
      continue;
    }
    if (section == kNone) continue;
    std::size_t at = first;
    std::uint32_t a = 0, b = 0, c = 0;
    if (!Hex(line, at, a) || !Expect(line, at, '-') || !Hex(line, at, b) || !Expect(line, at, '=') || b < a) continue;
    std::string upper = line.substr(at);
    for (char& ch : upper) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    const bool ram = upper.find("RAM") != std::string::npos;
    const bool narrow = upper.find("RAM 8") != std::string::npos;
    if (section == kMemattr) {
      if (ram) map.ram.push_back({a, b, narrow});
      continue;
    }
    if (!Hex(line, at, c) || c + (b - a) > 0xFFFF) continue;
    FilledRange range{c, c + (b - a), -1, ram, narrow};
    if (const std::size_t page = upper.find("PAGE"); page != std::string::npos)
      range.page = std::atoi(upper.c_str() + page + 4);
    map.filled.push_back(range);
  }
  return map;
}

bool ParseRomMap(std::string_view bytes, ImageMap& map) {
  auto byte = [&bytes](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  if (bytes.size() < 3 || byte(0) != 0xA8 || byte(1) == 0 || ((~byte(1)) & 0xFF) != byte(2)) return false;
  map = ImageMap();
  std::size_t at = 3;
  for (int s = 0; s < byte(1); ++s) {
    if (at + 2 > bytes.size()) return false;
    const unsigned firstPage = byte(at), lastPage = byte(at + 1);
    if (lastPage < firstPage) return false;
    const std::size_t words = (lastPage - firstPage + 1) * 256u;
    if (at + 2 + words * 2 + 2 > bytes.size()) return false;
    map.filled.push_back({firstPage << 8, (lastPage << 8) | 0xFF, -1, false, false});
    at += 2 + words * 2 + 2;
  }
  if (at + 48 > bytes.size()) return false;
  for (int window = 0; window < 32; ++window) {
    const unsigned nibble = (byte(at + window / 2) >> (window % 2 ? 4 : 0)) & 0xF;
    const std::uint32_t first = static_cast<std::uint32_t>(window) << 11;
    if ((nibble & 3) == 3) {
      bool filled = false;
      for (FilledRange& r : map.filled)
        if (r.first <= first + 0x7FF && r.last >= first) r.ram = true, r.narrow = (nibble & 4) != 0, filled = true;
      if (!filled) map.ram.push_back({first, first + 0x7FF, (nibble & 4) != 0});
    }
  }
  return true;
}

const std::vector<CartridgeBlock>& CartridgeBlocks() {
  static const std::vector<CartridgeBlock> blocks = {
      {0x0400, 0x0FFF, "not $0400-$04FF on the Intellivision II; $0700-$0CFF only without the Intellivoice"},
      {0x2000, 0x2FFF, "only without the ECS"},
      {0x4040, 0x47FF, "only without the ECS"},
      {0x4800, 0x4FFF, "RAM at $4800 only with a boot ROM at $7000"},
      {0x5000, 0x6FFF, "the default cartridge area"},
      {0x7000, 0x7FFF, "only without the ECS; no RAM at $7800-$7FFF (GRAM aliases)"},
      {0x8040, 0xBFFF, "no RAM at $B800-$BFFF (GRAM aliases)"},
      {0xC040, 0xCFFF, ""},
      {0xD000, 0xDFFF, ""},
      {0xE000, 0xEFFF, "only without the ECS"},
      {0xF000, 0xFFFF, "no RAM at $F800-$FFFF (GRAM aliases)"},
  };
  return blocks;
}

const std::vector<ConsoleArea>& ConsoleAreas() {
  static const std::vector<ConsoleArea> areas = {
      {0x0000, 0x007F, "the STIC registers"},
      {0x0080, 0x00FF, "the Intellivoice, ECS and controller registers"},
      {0x0100, 0x01EF, "the 8-bit scratch RAM"},
      {0x01F0, 0x01FF, "the sound chip (PSG)"},
      {0x0200, 0x035F, "the 16-bit system RAM"},
      {0x0360, 0x03FF, "the console's own addresses"},
      {0x1000, 0x1FFF, "the Executive ROM"},
      {0x3000, 0x37FF, "the GROM"},
      {0x3800, 0x3FFF, "the GRAM"},
      {0x4000, 0x403F, "a STIC alias"},
      {0x8000, 0x803F, "a STIC alias"},
      {0xC000, 0xC03F, "a STIC alias"},
  };
  return areas;
}

MemoryReport ReportMemory(const ImageMap& map, const SourceMap& sources) {
  MemoryReport report;
  report.filled = map.filled;
  std::sort(report.filled.begin(), report.filled.end(), [](const FilledRange& a, const FilledRange& b) {
    return a.page != b.page ? a.page < b.page : a.first < b.first;
  });
  std::vector<bool> used(0x10000, false), ram8(0x10000, false), ram16(0x10000, false);
  for (const FilledRange& r : report.filled)
    for (std::uint32_t a = r.first; a <= r.last && a <= 0xFFFF; ++a) {
      if (r.page < 0) used[a] = true;
      if (r.ram) (r.narrow ? ram8 : ram16)[a] = true;
    }
  for (const RamRange& r : map.ram)
    for (std::uint32_t a = r.first; a <= r.last && a <= 0xFFFF; ++a) (r.narrow ? ram8 : ram16)[a] = true;
  for (const RamRange& r : map.reserved)
    for (std::uint32_t a = r.first; a <= r.last && a <= 0xFFFF; ++a) {
      if (a >= kScratchFirst && a <= kScratchLast) {
        ++report.scratch;
        ram8[a] = true;
      } else if (a >= kSystemFirst && a <= kSystemLast) {
        ++report.system;
        ram16[a] = true;
      }
    }
  report.ram8 = static_cast<long>(std::count(ram8.begin(), ram8.end(), true));
  report.ram16 = static_cast<long>(std::count(ram16.begin(), ram16.end(), true));
  for (const CartridgeBlock& block : CartridgeBlocks()) {
    BlockUse use;
    use.block = block;
    long run = 0;
    for (std::uint32_t a = block.first; a <= block.last; ++a) {
      if (used[a]) {
        ++use.used;
        run = 0;
        continue;
      }
      ++use.free;
      if (++run > use.largest) use.largest = run, use.largestFirst = a + 1 - static_cast<std::uint32_t>(run);
    }
    report.blocks.push_back(use);
  }
  // Data (paged or not) over the console's memory: one error per source line and area.
  for (const ConsoleArea& area : ConsoleAreas()) {
    for (const FilledRange& r : report.filled) {
      if (r.last < area.first || r.first > area.last) continue;
      const std::uint32_t first = std::max(r.first, area.first), last = std::min(r.last, area.last);
      // One error for each run of words from one line; the words no line placed together.
      auto error = [&](const SourcePlace* place, std::uint32_t a, std::uint32_t b) {
        report.errors.push_back({place ? place->file : std::string(), place ? place->line + 1 : 0,
                                 "data at " + Hex4(a) + (a == b ? "" : "-" + Hex4(b)) + " is over " + area.name + " (" +
                                     Hex4(area.first) + "-" + Hex4(area.last) + ")"});
      };
      SourcePlace runPlace;
      bool runPlaced = false;
      std::uint32_t runFirst = first;
      for (std::uint32_t a = first; a <= last; ++a) {
        SourcePlace place;
        const bool placed = sources.Find(a, place);
        if (a > first && (placed != runPlaced || (placed && !(place == runPlace)))) {
          error(runPlaced ? &runPlace : nullptr, runFirst, a - 1);
          runFirst = a;
        }
        runPlace = place;
        runPlaced = placed;
      }
      error(runPlaced ? &runPlace : nullptr, runFirst, last);
    }
  }
  return report;
}

std::vector<std::string> MemoryReportLines(const MemoryReport& report) {
  std::vector<std::string> lines;
  lines.push_back("Memory map:");
  for (const FilledRange& r : report.filled) {
    std::string line =
        "  " + Hex4(r.first) + "-" + Hex4(r.last) + "  " + Count(static_cast<long>(r.last - r.first + 1)) + " words";
    if (r.page >= 0) line += ", page " + std::to_string(r.page);
    if (r.ram) line += r.narrow ? ", RAM 8" : ", RAM 16";
    lines.push_back(line);
  }
  for (const BlockUse& use : report.blocks) {
    if (use.used == 0 && use.block.first != 0x5000) continue;
    std::string line = "  Block " + Hex4(use.block.first) + "-" + Hex4(use.block.last) + ": " + Count(use.used) +
                       " used, " + Count(use.free) + " free";
    if (use.free > 0)
      line += ", largest free " + Count(use.largest) + " at " + Hex4(use.largestFirst) + "-" +
              Hex4(use.largestFirst + static_cast<std::uint32_t>(use.largest) - 1);
    lines.push_back(line);
  }
  std::string ram = "  RAM in use: " + Count(report.ram8) + " words of 8-bit";
  if (report.scratch) ram += " (" + Count(report.scratch) + " of the scratch RAM)";
  ram += ", " + Count(report.ram16) + " words of 16-bit";
  if (report.system) ram += " (" + Count(report.system) + " of the system RAM)";
  lines.push_back(ram);
  for (const MapProblem& p : report.errors)
    lines.push_back(p.file.empty() ? "ERROR - " + p.text
                                   : p.file + ":" + std::to_string(p.line) + ": ERROR - " + p.text);
  return lines;
}

namespace {

std::string WithExtension(const std::string& path, const char* extension) {
  const std::size_t dot = path.find_last_of('.');
  const std::size_t slash = path.find_last_of("/\\");
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path + extension;
  return path.substr(0, dot) + extension;
}

bool IsFull(const std::string& path) {
  return (path.size() > 2 && path[1] == ':') || path.rfind("\\\\", 0) == 0 || (!path.empty() && path[0] == '/');
}

}  // namespace

BuildInsight ReadBuildInsight(FileSystem& files, const BuildOutputs& build) {
  BuildInsight insight;
  auto full = [&build](const std::string& path) {
    if (IsFull(path) || build.directory.empty()) return path;
    const char last = build.directory.back();
    return build.directory + (last == '\\' || last == '/' ? "" : "\\") + path;
  };
  std::string bytes;
  const std::string imagePath = full(build.image);
  const bool rom = imagePath.size() > 4 && (imagePath.compare(imagePath.size() - 4, 4, ".rom") == 0 ||
                                            imagePath.compare(imagePath.size() - 4, 4, ".ROM") == 0);
  ImageMap map;
  if (rom) {
    insight.mapRead = ReadWholeFile(files, imagePath, bytes) && ParseRomMap(bytes, map);
  } else if (ReadWholeFile(files, WithExtension(imagePath, ".cfg"), bytes)) {
    map = ParseConfigMap(bytes);
    insight.mapRead = true;
  }
  // The source lines of the addresses: the assembler's own map, or else its listing.
  const std::string sourcePath = full(build.source);
  std::vector<std::string>& problems = insight.lineProblems;
  if (build.sourceMap && ReadWholeFile(files, WithExtension(imagePath, ".smap"), bytes)) {
    ReadSourceMapText(bytes, insight.facts.lines, problems);
  } else if (!build.listing.empty() && ReadWholeFile(files, full(build.listing), bytes)) {
    std::vector<std::string> folders;
    for (const std::string& dir : build.includeDirs) folders.push_back(full(dir));
    ReadListingText(
        bytes, sourcePath, folders,
        [&files](const std::string& path, std::vector<std::string>& lines) {
          std::string text;
          if (!ReadWholeFile(files, path, text)) return false;
          lines = SplitLines(text);
          return true;
        },
        insight.facts.lines, problems);
  } else {
    problems.push_back(build.listing.empty() ? "the build wrote no listing"
                                             : "the listing " + full(build.listing) + " cannot be read");
  }
  std::string text;
  if (ReadWholeFile(files, sourcePath, text)) {
    cpasm::Options options;
    options.includeDirs = build.includeDirs;
    options.romOutput = rom;
    const cpasm::Assembly assembly = cpasm::AssembleText(
        sourcePath, text,
        [&](const std::string& path, std::string& out) { return ReadWholeFile(files, full(path), out); }, options);
    insight.facts.symbols = assembly.symbols;
    insight.facts.interrupt = FindInterruptRoutine(assembly.segments, assembly.sourceMap, assembly.symbols);
    insight.facts.built = true;
    for (const cpasm::MemoryRange& r : assembly.reserved) map.reserved.push_back({r.first, r.last, false});
  }
  if (insight.mapRead) insight.report = ReportMemory(map, insight.facts.lines);
  return insight;
}

}  // namespace quillon
