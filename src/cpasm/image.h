// The image as it fills: the words at each address (and in each ECS page), the memory
// attributes, where the next word goes, and where each word came from.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cpasm/assembler.h"
#include "cpasm/sourcemap.h"

namespace cpasm {

// "$" and four upper-case hex digits of the value's low 16 bits.
std::string Hex4(int64_t value);

class Image {
 public:
  // What went wrong with a word, one bit each (a line reports each once).
  enum Problem { kFine = 0, kPastEnd = 1, kFilledTwice = 4, kPastPageBlock = 8 };

  // Empty, with the location at $5000 in readable memory: a new pass.
  void Reset();
  int64_t Location() const { return location_; }
  void SetLocation(int64_t location) { location_ = location; }
  bool Paged() const { return page_ >= 0; }
  // ORG: `address` from here on, written at `imageAddress` (in ECS page `page`, -1 for none), with
  // the attributes `set` and `clear` given to the addresses it fills.
  void Org(int64_t address, int64_t imageAddress, int page, int set, int clear);
  // Writes a word at the location (which is at most $FFFF) and moves past it; a problem with
  // its message, the word then not written.
  int Put(uint16_t word, std::string& message);
  // RMB: moves the location on, giving the addresses passed the ORG's attributes when `mark`.
  void Skip(int64_t count, bool mark);
  // MEMATTR on first to last (inclusive, within $0000-$FFFF).
  void SetAttributes(int64_t first, int64_t last, int set, int clear);
  SourceMapBuilder& Map() { return sourceMap_; }
  // The first address that is write-only (W without R), or -1.
  int64_t WriteOnlyAddress() const;
  // The segments, the RAM holding no data, what RMB reserved without data, and the attributes,
  // into `out`.
  void Finish(Assembly& out) const;

 private:
  std::vector<int32_t> memory_;              // per address: the word, or -1
  std::vector<std::vector<int32_t>> pages_;  // ECS pages 0-15, empty until filled
  std::vector<uint8_t> attributes_;          // per image address: kAttrRead | kAttrWrite | ...
  std::vector<bool> reserved_;               // per unpaged address: skipped by RMB
  int64_t location_ = 0;
  int64_t loadOffset_ = 0;  // image address minus location
  int page_ = -1;           // ECS page of the ORG in force
  int64_t pageBlock_ = 0;   // the 4K block (address >> 12) that page flips
  int attrSet_ = 0;         // attributes the ORG in force gives the addresses it fills
  int attrClear_ = 0;
  SourceMapBuilder sourceMap_;
};

}  // namespace cpasm
