// The .rom cartridge image.
#include <array>

#include "cpasm/assembler.h"

namespace cpasm {

uint16_t Crc16(std::string_view bytes, uint16_t crc) {
  for (unsigned char byte : bytes) {
    crc = static_cast<uint16_t>(crc ^ (byte << 8));
    for (int bit = 0; bit < 8; ++bit) crc = static_cast<uint16_t>(crc & 0x8000 ? (crc << 1) ^ 0x1021 : crc << 1);
  }
  return crc;
}

namespace {

void PutWord(std::string& out, uint16_t word) {
  out += static_cast<char>(word >> 8);
  out += static_cast<char>(word & 0xFF);
}

}  // namespace

bool RomImage(const Assembly& assembly, std::string& bytes, std::string& error) {
  bytes.clear();
  std::vector<int32_t> memory(0x10000, -1);
  for (const Segment& segment : assembly.segments) {
    if (segment.page >= 0) {
      error = "ECS page data (ORG address:page) cannot be held in a .rom image: name the image .bin";
      return false;
    }
    for (size_t k = 0; k < segment.words.size(); ++k) memory[segment.address + k] = segment.words[k];
  }
  std::array<bool, 256> filled{};
  for (uint32_t a = 0; a < memory.size(); ++a)
    if (memory[a] >= 0) filled[a >> 8] = true;
  // Maximal runs of pages holding data.
  std::vector<std::pair<int, int>> runs;
  for (int page = 0; page < 256; ++page) {
    if (!filled[page]) continue;
    if (!runs.empty() && runs.back().second == page - 1)
      runs.back().second = page;
    else
      runs.push_back({page, page});
  }
  if (runs.empty()) {
    error = "the program writes no words: a .rom image needs at least one";
    return false;
  }
  if (runs.size() > 255) {
    error = "the image needs " + std::to_string(runs.size()) + " segments; a .rom holds at most 255";
    return false;
  }
  const int count = static_cast<int>(runs.size());
  bytes += static_cast<char>(0xA8);
  bytes += static_cast<char>(count);
  bytes += static_cast<char>(~count & 0xFF);
  for (const auto& [first, last] : runs) {
    std::string segment;
    segment += static_cast<char>(first);
    segment += static_cast<char>(last);
    for (uint32_t a = static_cast<uint32_t>(first) << 8; a < (static_cast<uint32_t>(last) + 1) << 8; ++a)
      PutWord(segment, static_cast<uint16_t>(memory[a] < 0 ? 0 : memory[a]));
    bytes += segment;
    PutWord(bytes, Crc16(segment));
  }
  // Per 2K window: the attributes of its addresses together, and the pages it uses.
  std::string tables(48, '\0');
  const std::vector<uint8_t>& attributes = assembly.attributes;
  for (int window = 0; window < 32; ++window) {
    int nibble = 0, firstPage = -1, lastPage = -1;
    for (int page = 0; page < 8; ++page) {
      bool used = false;
      for (uint32_t a = static_cast<uint32_t>(window * 8 + page) << 8, end = a + 256; a < end; ++a) {
        const int attr = a < attributes.size() ? attributes[a] & 0xF : 0;
        nibble |= attr;
        used = used || attr != 0 || memory[a] >= 0;
      }
      if (!used) continue;
      if (firstPage < 0) firstPage = page;
      lastPage = page;
    }
    const int block = window / 2;
    const bool upper = window % 2 == 1;
    tables[block] = static_cast<char>(tables[block] | (upper ? nibble << 4 : nibble));
    tables[16 + block + (upper ? 16 : 0)] = static_cast<char>(firstPage < 0 ? 0x07 : (firstPage << 4) | lastPage);
  }
  bytes += tables;
  PutWord(bytes, Crc16(tables));
  bytes += MetadataTags(assembly.configVars);
  return true;
}

}  // namespace cpasm
