// Which source line each word of the built image came from, and back: read from the bundled
// assembler's source map (.smap) or, for another assembler, from its listing. No windows here.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace quillon {

// A line of a source file: its full path and zero-based line.
struct SourcePlace {
  std::string file;
  int line = -1;
  bool operator==(const SourcePlace&) const = default;
};

class SourceMap {
 public:
  // Words `first` to `last` (inclusive) came from `line` (zero-based) of `file` (a full path).
  void Add(uint32_t first, uint32_t last, const std::string& file, int line);
  // After the last Add: orders the runs for the lookups by address.
  void Finish();
  void Clear();
  bool Empty() const { return runs_.empty(); }

  // The line the word at `address` came from; false when no line did.
  bool Find(uint32_t address, SourcePlace& place) const;
  // True when `address` is the first word of its line's run (where that line's code starts).
  bool StartsLine(uint32_t address) const;
  // The addresses where the code of `line` of `file` starts, lowest first (more than one when a
  // file is included twice); empty when the line made no code.
  std::vector<uint32_t> AddressesOf(const std::string& file, int line) const;
  // The first line at or after `line` of `file` that made code; -1 when there is none.
  int NextLineWithCode(const std::string& file, int line) const;
  // Files compare as Windows compares them: letter case and the kind of slash do not matter.
  static std::string FileKey(const std::string& path);

 private:
  struct Run {
    uint32_t first, last;
    int file, line;
  };
  const Run* RunAt(uint32_t address) const;
  std::vector<std::string> files_;
  std::map<std::string, int> fileIndex_;  // by FileKey
  std::vector<Run> runs_;                 // by first address once finished
  bool sorted_ = true;
  std::map<std::pair<int, int>, std::vector<uint32_t>> lineStarts_;  // (file, line): run starts
};

// Reads the text of a .smap file ("first last line path" a line, ';' comments). A line that does
// not read is skipped and named in `problems` ("line 4: ..."); the rest is still used.
void ReadSourceMapText(const std::string& text, SourceMap& map, std::vector<std::string>& problems);

// Reads a file's lines (an open document's text or the file's); false when it cannot.
using SourceLines = std::function<bool(const std::string& path, std::vector<std::string>& lines)>;

// Reads an assembler's listing, which names no files: each listed source line is matched in turn
// against the lines of `mainSource`, and an INCLUDE line goes on in the file it names (found in
// the including file's folder, then in each of `folders`). A listed line that matches no next
// source line (a macro's expansion, a REPEAT copy) belongs to the last line matched, its call.
// `problems` says when the listing could not be followed to its end.
void ReadListingText(const std::string& listing, const std::string& mainSource, const std::vector<std::string>& folders,
                     const SourceLines& read, SourceMap& map, std::vector<std::string>& problems);

// One line of a listing: the address and words it shows (none for a line without code) and the
// source text after them.
struct ListingLine {
  bool hasAddress = false;
  uint32_t address = 0;
  int words = 0;
  std::string source;
};
ListingLine SplitListingLine(const std::string& line);

}  // namespace quillon
