// The assembler's entry: source text in, image, memory map, listing and problems out.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace cpasm {

struct Diagnostic {
  std::string file;
  int line = 0;  // counted from 1
  bool error = true;
  std::string text;
};

// Words at consecutive addresses of the image.
struct Segment {
  uint32_t address = 0;
  int page = -1;        // ECS page from "ORG address:page"; -1 when not paged
  bool ram = false;     // readable and writable (ORG attributes "=RW")
  bool narrow = false;  // 8-bit RAM (attribute N)
  std::vector<uint16_t> words;
};

// An address range of the Intellicart map with read/write attributes and no image data there.
struct MemoryRange {
  uint32_t first = 0;
  uint32_t last = 0;  // inclusive
  bool narrow = false;
};

// Image addresses first to last (inclusive) that came from one source line.
struct SourceRun {
  uint32_t first = 0;
  uint32_t last = 0;
  int line = 0;  // counted from 1
  std::string file;
};

struct Assembly {
  std::vector<Diagnostic> diagnostics;
  int errors = 0;
  int warnings = 0;
  std::string listing;            // addresses, words and source lines, with the problems among them
  std::vector<Segment> segments;  // ascending (unpaged first, then by page), never overlapping
  std::vector<MemoryRange> ram;   // RAM regions reserved under "=RW" attributes
  // Unpaged addresses RMB (RES, RESERVE) skipped outside STRUCT, where no image data went, in
  // address order; `narrow` is not used.
  std::vector<MemoryRange> reserved;
  std::vector<std::pair<std::string, std::string>> configVars;  // from CFGVAR, in source order
  std::vector<SourceRun> sourceMap;                             // in the order the words were written (ORG order)
  // Per address of the unpaged image: the memory attributes, kAttrRead | kAttrWrite | ...
  std::vector<uint8_t> attributes;
  // Every symbol's final value by its full name ("P.x" for a local), with its kind: 'L' label,
  // 'E' EQU, 'S' SET.
  struct SymbolValue {
    std::string name;
    int64_t value = 0;
    char kind = 'L';
  };
  std::vector<SymbolValue> symbols;  // sorted by name
};

enum MemoryAttribute : uint8_t { kAttrRead = 1, kAttrWrite = 2, kAttrNarrow = 4, kAttrBank = 8 };

// Reads an included file; false when it cannot be read.
using FileReader = std::function<bool(const std::string& path, std::string& text)>;

// How far an assembly may grow before it stops with an error.
struct Limits {
  int passes = 8;
  long long linesPerPass = 500000;
  size_t includeDepth = 32;
  int macroDepth = 64;
  int64_t repeatCount = 65536;
  size_t expandedLine = 1000000;
  int errors = 500;
  size_t arrayElements = 4000000;  // all array symbols together
};

struct Options {
  // Folders searched for INCLUDE after the including file's folder and the working folder:
  // those of -i first, then those of AS1600_PATH.
  std::vector<std::string> includeDirs;
  Limits limits;
  // The time TODAY_STR_LOC and its kin report, in seconds since 1970; -1 for the clock's.
  int64_t now = -1;
  // The image is a .rom: bank-switched (B) and write-only memory are accepted.
  bool romOutput = false;
};

// Assembles `text`, which came from `fileName`. INCLUDE names are resolved against the folder of
// the file that includes them, then as given, then in `options.includeDirs`, and read through
// `readFile`.
Assembly AssembleText(const std::string& fileName, std::string_view text, const FileReader& readFile,
                      const Options& options = {});

// A name the sources define, with where.
struct Definition {
  enum class Kind { kLabel, kProc, kLocal, kEqu, kSet, kMacro, kStruct };
  // As other lines refer to it: "@@x" inside PROC P is "P.x". Names, macro names too, are
  // matched exactly (instructions and directives without regard to case).
  std::string name;
  Kind kind = Kind::kLabel;
  std::string file;
  int line = 0;     // counted from 1
  int endLine = 0;  // PROC and STRUCT: the line of their ENDP or ENDS in the same file; 0 when none
};

struct SourceDefinitions {
  std::vector<Definition> definitions;  // in source order, each name once (its first definition)
  std::vector<std::string> files;       // the files read: `fileName`, then the included ones
  std::vector<std::string> expanded;    // names only macro expansions define, each once
};

// Reads the sources as the assembler's first pass does, without assembling anything, and
// reports the names they define outside macro expansions and skipped IF branches.
SourceDefinitions ReadDefinitions(const std::string& fileName, std::string_view text, const FileReader& readFile,
                                  const Options& options = {});

// Every mnemonic and every directive the assembler knows, upper case. `supported` is false for
// those it rejects as not supported (an error); those it ignores with a warning count as
// supported.
struct Keyword {
  std::string name;
  bool directive = false;
  bool supported = true;
};
std::vector<Keyword> Keywords();

// Splits AS1600_PATH: ';' always separates, ':' too off Windows; quotes around the value or an
// entry are dropped, empty entries skipped.
std::vector<std::string> SplitSearchPath(std::string_view value, bool windows);

// "<file>:<line>: ERROR - <text>" or the same with WARNING.
std::string FormatDiagnostic(const Diagnostic& diagnostic);

// The image: every segment's words in turn, each as two bytes, high byte first.
std::string ImageBytes(const Assembly& assembly);

// The .rom cartridge image: header, segments of whole 256-word pages with their CRCs, the access
// and fine-address tables, then the metadata tags. False with `error` (and nothing in `bytes`) when the program cannot
// be held in one: ECS pages, no data, or more than 255 segments.
bool RomImage(const Assembly& assembly, std::string& bytes, std::string& error);

// The metadata tags for the CFGVARs that name the cartridge, in increasing type order; empty
// when none does.
std::string MetadataTags(const std::vector<std::pair<std::string, std::string>>& configVars);
// A date tag's bytes for a CFGVAR value (a year, or "YYYY-MM-DD HH:MM:SS +hhmm" and shorter);
// false when it is not a date.
bool DateTagBody(const std::string& value, std::string& body);

// CRC-16 with polynomial 0x1021, most significant bit first, from `crc`.
uint16_t Crc16(std::string_view bytes, uint16_t crc = 0xFFFF);

// The memory map beside the image: which words of the file go to which address, then the
// CFGVAR values.
std::string MemoryMapText(const Assembly& assembly);

// The source map beside the image (game.smap): a comment line naming the format, then one line
// a run, "first last line file" (addresses as 4 upper-case hex digits).
std::string SourceMapText(const Assembly& assembly);

}  // namespace cpasm
