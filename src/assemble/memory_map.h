// The memory map after a build: the ranges the image fills (from the .cfg beside a .bin, or the
// segments of a .rom), how much of each block a cartridge may use is taken and free, the RAM in
// use, and data placed over the console's own memory. No windows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "assemble/program_insight.h"

namespace quillon {

struct FilledRange {
  std::uint32_t first = 0, last = 0;  // inclusive
  int page = -1;                      // ECS page; -1 when not paged
  bool ram = false, narrow = false;   // mapped as RAM (8-bit when narrow)
};
struct RamRange {
  std::uint32_t first = 0, last = 0;
  bool narrow = false;
};

// What the build's map says, and what the program reserves.
struct ImageMap {
  std::vector<FilledRange> filled;
  std::vector<RamRange> ram;       // RAM without image data ([memattr], a .rom's RAM windows)
  std::vector<RamRange> reserved;  // skipped by RMB, without image data (`narrow` unused)
};

// Reads a .cfg's [mapping] ("$0000 - $0FFF = $5000 [PAGE n] [RAM 8|16]") and [memattr]
// ("$8000 - $80FF = RAM 16") lines; others are skipped.
ImageMap ParseConfigMap(std::string_view text);
// Reads a .rom's segments and its access table (writable windows without data are RAM). False
// when the bytes are no .rom.
bool ParseRomMap(std::string_view bytes, ImageMap& map);

// A block of the address space a cartridge may use, as doc/programming/memory_map.txt lists it.
struct CartridgeBlock {
  std::uint32_t first, last;
  const char* note;  // the caveat, or ""
};
const std::vector<CartridgeBlock>& CartridgeBlocks();
// Memory the console itself holds (the Executive, GROM, GRAM, the STIC and its aliases, the
// scratch and system RAM).
struct ConsoleArea {
  std::uint32_t first, last;
  const char* name;
};
const std::vector<ConsoleArea>& ConsoleAreas();

struct BlockUse {
  CartridgeBlock block;
  long used = 0, free = 0;
  std::uint32_t largestFirst = 0;  // the largest free run, when free > 0
  long largest = 0;
};
struct MapProblem {
  std::string file;  // empty when the source map does not say
  int line = 0;
  std::string text;
};
struct MemoryReport {
  std::vector<FilledRange> filled;  // in address order
  std::vector<BlockUse> blocks;     // every block, in address order
  long ram8 = 0, ram16 = 0;         // words of 8-bit and 16-bit RAM in use
  long scratch = 0, system = 0;     // of them, words the program reserves in the console's RAM
  std::vector<MapProblem> errors;
};

// The RAM in use is the RAM the map names and what RMB reserves in it, in the console's 8-bit
// scratch RAM ($0100-$01EF) and 16-bit system RAM ($0200-$035F). `sources` name the lines that
// placed data over the console's memory.
MemoryReport ReportMemory(const ImageMap& map, const SourceMap& sources);

// The output pane's lines: ranges, blocks in use (and $5000-$6FFF always), RAM, then each error
// as "file:line: ERROR - text".
std::vector<std::string> MemoryReportLines(const MemoryReport& report);

// What the IDE keeps of a finished build: the facts the tips read and the memory map.
struct BuildInsight {
  BuildFacts facts;
  MemoryReport report;
  bool mapRead = false;                   // the image's .cfg or .rom was read
  std::vector<std::string> lineProblems;  // why facts.lines is short or empty
};
class FileSystem;
// Where a finished build left its outputs; relative paths are taken in `directory`, where it ran.
struct BuildOutputs {
  std::string directory, image, source, listing;
  bool sourceMap = true;                 // the assembler writes a source map (.smap) beside the image
  std::vector<std::string> includeDirs;  // where INCLUDE looks after the including file's folder
};
// Reads the map beside the image (the image itself for a .rom, else the .cfg of the same name),
// the source lines of its addresses (the .smap, or else the listing) and the symbols, RMB
// reservations and interrupt routine of assembling the source again in memory.
BuildInsight ReadBuildInsight(FileSystem& files, const BuildOutputs& build);

}  // namespace quillon
