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
  std::vector<uint16_t> words;
};

struct Assembly {
  std::vector<Diagnostic> diagnostics;
  int errors = 0;
  int warnings = 0;
  std::string listing;            // addresses, words and source lines, with the problems among them
  std::vector<Segment> segments;  // ascending, never overlapping
  std::vector<std::pair<std::string, std::string>> configVars;  // from CFGVAR, in source order
};

// Reads an included file; false when it cannot be read.
using FileReader = std::function<bool(const std::string& path, std::string& text)>;

// Assembles `text`, which came from `fileName`. INCLUDE names are resolved against the folder of
// the file that includes them and read through `readFile`.
Assembly AssembleText(const std::string& fileName, std::string_view text, const FileReader& readFile);

// "<file>:<line>: ERROR - <text>" or the same with WARNING.
std::string FormatDiagnostic(const Diagnostic& diagnostic);

// The image: every segment's words in turn, each as two bytes, high byte first.
std::string ImageBytes(const Assembly& assembly);

// The memory map beside the image: which words of the file go to which address, then the
// CFGVAR values.
std::string MemoryMapText(const Assembly& assembly);

}  // namespace cpasm
