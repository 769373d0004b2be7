// Reading a built program into memory ranges: a .bin with its .cfg ([mapping], [memattr]) or a
// .rom cartridge image. Portable, no windows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cpsim {

enum class RangeKind : uint8_t { kRom, kRam16, kRam8 };

// Consecutive addresses of one kind; `words` holds their contents, or is empty for RAM that starts
// as zeros.
struct MemoryRange {
  uint16_t first = 0;
  uint16_t last = 0;
  RangeKind kind = RangeKind::kRom;
  std::vector<uint16_t> words;
};

struct Image {
  std::vector<MemoryRange> ranges;  // in the order read; later ranges lie over earlier ones
};

// A .bin (16-bit words, high byte first) placed by its .cfg text. An empty .cfg maps the whole
// .bin at $5000, as a cartridge without one is placed. False, with `error` saying why, for a .cfg
// line it cannot use, a range outside the .bin, or page-flipped memory (PAGE), which it does not
// simulate.
bool ReadBin(std::string_view bin, std::string_view cfg, Image &image, std::string &error);

// A .rom: the header, the segments with their CRCs, the access tables (RAM and 8-bit RAM windows).
bool ReadRom(std::string_view bytes, Image &image, std::string &error);

// By the file's name: `path`.rom, or `path`.bin with the .cfg of the same base name beside it
// (none: the default placement). Errors name the file.
bool ReadImageFile(const std::string &path, Image &image, std::string &error);

// The whole file, or false.
bool ReadWholeFile(const std::string &path, std::string &bytes);

// Where the emulator looks for the user's Executive ROM (exec.bin): each folder of `romPath` (the
// JZINTV_ROM_PATH value; folders separated by ';', and also by ':' outside Windows), then
// `folder` (the project's or the image's). The path of the first that exists, or "".
std::string FindRomFile(std::string_view romPath, const std::string &folder, const std::string &name = "exec.bin");
// An Executive ROM image: 8192 bytes, 4096 words high byte first. A graphics ROM: 2048 bytes.
bool ReadExecutive(const std::string &path, std::vector<uint16_t> &words, std::string &error);
bool ReadGraphicsRom(const std::string &path, std::vector<uint16_t> &bytes, std::string &error);
// The folder part of a path ("" for none), without its last separator.
std::string FolderOf(const std::string &path);

// The CRC-16 the .rom format uses (polynomial $1021, initial $FFFF, not reflected).
uint16_t RomCrc(std::string_view bytes, uint16_t crc = 0xFFFF);

}  // namespace cpsim
