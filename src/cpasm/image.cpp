#include "cpasm/image.h"

#include <cstdio>

namespace cpasm {

std::string Hex4(int64_t value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "$%04X", static_cast<unsigned>(value & 0xFFFF));
  return buffer;
}

namespace {

constexpr int kReadWrite = kAttrRead | kAttrWrite;

// 0 for memory that is not RAM, 1 for 16-bit RAM, 2 for 8-bit RAM.
int RamKind(const std::vector<uint8_t>* attributes, uint32_t a) {
  return attributes && ((*attributes)[a] & kReadWrite) == kReadWrite ? 1 + ((*attributes)[a] & kAttrNarrow ? 1 : 0) : 0;
}

// Cuts filled memory into segments; a segment also ends where RAM attributes change.
void AddSegments(const std::vector<int32_t>& memory, const std::vector<uint8_t>* attributes, int page,
                 std::vector<Segment>& out) {
  for (uint32_t a = 0; a < memory.size();) {
    if (memory[a] < 0) {
      ++a;
      continue;
    }
    Segment segment;
    segment.address = a;
    segment.page = page;
    const int kind = RamKind(attributes, a);
    segment.ram = kind != 0;
    segment.narrow = kind > 1;
    while (a < memory.size() && memory[a] >= 0 && RamKind(attributes, a) == kind)
      segment.words.push_back(static_cast<uint16_t>(memory[a++]));
    out.push_back(std::move(segment));
  }
}

}  // namespace

void Image::Reset() {
  memory_.assign(0x10000, -1);
  pages_.clear();
  attributes_.assign(0x10000, 0);
  reserved_.assign(0x10000, false);
  location_ = 0x5000;
  loadOffset_ = 0;
  page_ = -1;
  pageBlock_ = 0;
  attrSet_ = kAttrRead;
  attrClear_ = 0;
  sourceMap_.Reset();
}

void Image::Org(int64_t address, int64_t imageAddress, int page, int set, int clear) {
  location_ = address;
  loadOffset_ = imageAddress - address;
  page_ = page;
  pageBlock_ = address >> 12;
  attrSet_ = set;
  attrClear_ = clear;
}

int Image::Put(uint16_t word, std::string& message) {
  const int64_t at = location_ + loadOffset_;
  ++location_;
  if (at < 0 || at > 0xFFFF) {
    message = "image address runs past $FFFF";
    return kPastEnd;
  }
  std::vector<int32_t>* memory = &memory_;
  if (page_ >= 0) {
    // A page flips one 4K block of the address space.
    if ((at >> 12) != pageBlock_) {
      message = "ECS page data runs past the 4K block at " + Hex4(at & 0xF000);
      return kPastPageBlock;
    }
    if (pages_.size() <= static_cast<size_t>(page_)) pages_.resize(page_ + 1);
    if (pages_[page_].empty()) pages_[page_].assign(0x10000, -1);
    memory = &pages_[page_];
  } else {
    attributes_[at] = static_cast<uint8_t>((attributes_[at] | attrSet_) & ~attrClear_);
  }
  int problem = kFine;
  if ((*memory)[at] >= 0) {
    message = "address " + Hex4(at) + (page_ >= 0 ? " of page " + std::to_string(page_) : "") + " is filled twice";
    problem = kFilledTwice;
  }
  (*memory)[at] = word;
  sourceMap_.Word(static_cast<uint32_t>(at));
  return problem;
}

void Image::Skip(int64_t count, bool mark) {
  if (mark && page_ < 0) {
    for (int64_t k = 0; k < count; ++k) {
      const int64_t at = location_ + k + loadOffset_;
      if (at < 0 || at > 0xFFFF) break;
      attributes_[at] = static_cast<uint8_t>((attributes_[at] | attrSet_) & ~attrClear_);
      reserved_[at] = true;
    }
  }
  location_ += count;
}

void Image::SetAttributes(int64_t first, int64_t last, int set, int clear) {
  for (int64_t at = first; at <= last; ++at) attributes_[at] = static_cast<uint8_t>((attributes_[at] | set) & ~clear);
}

int64_t Image::WriteOnlyAddress() const {
  for (uint32_t a = 0; a < attributes_.size(); ++a)
    if ((attributes_[a] & kReadWrite) == kAttrWrite) return a;
  return -1;
}

void Image::Finish(Assembly& out) const {
  AddSegments(memory_, &attributes_, -1, out.segments);
  for (size_t page = 0; page < pages_.size(); ++page)
    if (!pages_[page].empty()) AddSegments(pages_[page], nullptr, static_cast<int>(page), out.segments);
  // RAM that holds no image data: reserved under read/write attributes.
  for (uint32_t a = 0; a < attributes_.size();) {
    const int kind = memory_[a] < 0 ? RamKind(&attributes_, a) : 0;
    if (!kind) {
      ++a;
      continue;
    }
    MemoryRange range;
    range.first = a;
    range.narrow = kind > 1;
    while (a < attributes_.size() && memory_[a] < 0 && RamKind(&attributes_, a) == kind) ++a;
    range.last = a - 1;
    out.ram.push_back(range);
  }
  for (uint32_t a = 0; a < reserved_.size();) {
    if (!reserved_[a] || memory_[a] >= 0) {
      ++a;
      continue;
    }
    MemoryRange range;
    range.first = a;
    while (a < reserved_.size() && reserved_[a] && memory_[a] < 0) ++a;
    range.last = a - 1;
    out.reserved.push_back(range);
  }
  out.attributes = attributes_;
}

}  // namespace cpasm
