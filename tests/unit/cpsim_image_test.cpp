// The image readers (.bin with its .cfg, .rom) and the source map.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cpsim/image.h"
#include "cpsim/machine.h"
#include "cpsim/source_map.h"

namespace cpsim {
namespace cpsim_image_test {

std::string Words(std::initializer_list<uint16_t> words) {
  std::string bytes;
  for (uint16_t w : words) {
    bytes += static_cast<char>(w >> 8);
    bytes += static_cast<char>(w & 0xFF);
  }
  return bytes;
}

TEST(CpsimImage, BinPlacedByItsCfg) {
  Image image;
  std::string error;
  const std::string bin = Words({0x0001, 0x0002, 0x0003, 0x0004});
  ASSERT_TRUE(ReadBin(bin,
                      "; made by hand\n[mapping]\n$0000 - $0001 = $5000\r\n$0002 - $0002 = $9000 RAM 16\n"
                      "$0003 - $0003 = $D000 ROM\n\n[memattr]\n$8000 - $8063 = RAM 16\n$8064 - $8065 = RAM 8\n"
                      "[vars]\nname = x\n",
                      image, error))
      << error;
  Machine m;
  m.Load(image);
  EXPECT_EQ(m.Read(0x5000), 1);
  EXPECT_EQ(m.Read(0x5001), 2);
  EXPECT_EQ(m.RegionAt(0x5001), Region::kRom);
  EXPECT_EQ(m.RegionAt(0x5002), Region::kUnmapped);
  EXPECT_EQ(m.RegionAt(0x9000), Region::kRam16);
  EXPECT_EQ(m.Read(0x9000), 3);
  EXPECT_EQ(m.Read(0xD000), 4);
  EXPECT_EQ(m.RegionAt(0x8063), Region::kRam16);
  EXPECT_EQ(m.RegionAt(0x8065), Region::kRam8);
  EXPECT_EQ(m.RegionAt(0x8066), Region::kUnmapped);

  // No .cfg: the whole .bin at $5000.
  ASSERT_TRUE(ReadBin(bin, "", image, error));
  ASSERT_EQ(image.ranges.size(), 1u);
  EXPECT_EQ(image.ranges[0].first, 0x5000);
  EXPECT_EQ(image.ranges[0].last, 0x5003);
}

TEST(CpsimImage, BinOrCfgItCannotUseIsRefused) {
  struct Case {
    std::string bin, cfg;
    const char* error;
  } cases[] = {
      {std::string(3, '\0'), "", "odd number of bytes"},
      {Words({1, 2}), "[mapping]\n$0000 - $0002 = $5000\n", "line 2: words $0000-$0002 of the .bin, which has only 2"},
      {Words({1}), "[mapping]\n$0000 - $0000 = $5000 PAGE 1\n", "PAGE"},
      {Words({1}), "[mapping]\n$0000 $0000 = $5000\n", "line 2: expected \"$first - $last = ...\""},
      {Words({1}), "[mapping]\n$0001 - $0000 = $5000\n", "ends before it starts"},
      {Words({1, 2}), "[mapping]\n$0000 - $0001 = $FFFF\n", "past $FFFF"},
      {Words({1}), "[mapping]\n$0000 - $0000 = $5000 FAST\n", "unknown attribute \"FAST\""},
      {Words({1}), "[memattr]\n$8000 - $80FF = ROM\n", "expected RAM 8 or RAM 16"},
      {Words({1}), "[mapping]\n$0000 - $0000 =\n", "expected the address"},
      {Words({1}), "[memattr]\n$8000 - $1FFFF = RAM 16\n", "past $FFFF"},
  };
  for (const Case& c : cases) {
    Image image;
    std::string error;
    EXPECT_FALSE(ReadBin(c.bin, c.cfg, image, error)) << c.cfg;
    EXPECT_NE(error.find(c.error), std::string::npos) << c.cfg << " -> " << error;
  }
}

// The worked example of the .rom format's description: two segments and the tables.
std::string WorkedRom() {
  std::string rom = "\xA8\x02\xFD";
  rom += "\x50\x50" + Words({0x1234, 0x5678, 0x9ABC}) + std::string(253 * 2, '\0') + "\xD2\x6F";
  std::string second = std::string(16 * 2, '\0') + Words({1, 2}) + std::string(238 * 2, '\0');
  rom += "\x60\x60" + second + "\x09\x21";
  std::string tables(48, '\0');
  tables[5] = tables[6] = 0x01;
  for (int i = 16; i < 48; ++i) tables[i] = 0x07;
  tables[16 + 5] = tables[16 + 6] = 0x00;
  rom += tables + "\x61\x8F";
  return rom;
}

TEST(CpsimImage, RomAsItsFormatDescribes) {
  EXPECT_EQ(RomCrc("123456789"), 0x29B1);
  const std::string rom = WorkedRom();
  ASSERT_EQ(rom.size(), 1085u);
  Image image;
  std::string error;
  ASSERT_TRUE(ReadRom(rom, image, error)) << error;
  Machine m;
  m.Load(image);
  EXPECT_EQ(m.Read(0x5000), 0x1234);
  EXPECT_EQ(m.Read(0x5002), 0x9ABC);
  EXPECT_EQ(m.Read(0x50FF), 0);
  EXPECT_EQ(m.RegionAt(0x50FF), Region::kRom);
  EXPECT_EQ(m.RegionAt(0x5100), Region::kUnmapped);
  EXPECT_EQ(m.Read(0x6010), 1);
  EXPECT_EQ(m.Read(0x6011), 2);
}

TEST(CpsimImage, RomRamWindowsFromTheAccessTable) {
  std::string rom = WorkedRom();
  const size_t tables = rom.size() - 50;
  rom[tables + 13] = 0x03;           // $D000-$D7FF readable and writable
  rom[tables + 16 + 13] = 0x00;      // page 0 only
  rom[tables + 8] = 0x70;            // $8800-$8FFF: 8-bit RAM
  rom[tables + 16 + 16 + 8] = 0x11;  // page 1 only
  const uint16_t crc = RomCrc(std::string_view(rom).substr(tables, 48));
  rom[tables + 48] = static_cast<char>(crc >> 8);
  rom[tables + 49] = static_cast<char>(crc & 0xFF);
  Image image;
  std::string error;
  ASSERT_TRUE(ReadRom(rom, image, error)) << error;
  Machine m;
  m.Load(image);
  EXPECT_EQ(m.RegionAt(0xD000), Region::kRam16);
  EXPECT_EQ(m.RegionAt(0xD0FF), Region::kRam16);
  EXPECT_EQ(m.RegionAt(0xD100), Region::kUnmapped);
  EXPECT_EQ(m.RegionAt(0x8800), Region::kUnmapped);
  EXPECT_EQ(m.RegionAt(0x8900), Region::kRam8);
  EXPECT_EQ(m.RegionAt(0x89FF), Region::kRam8);
}

TEST(CpsimImage, DamagedRomIsRefused) {
  const std::string good = WorkedRom();
  struct Case {
    std::string bytes;
    const char* error;
  } cases[] = {
      {"", "not a .rom"},
      {"\xA9\x01\xFE", "not a .rom"},
      {"\xA8\x02\xFC", "segment count"},
      {good.substr(0, 600), "ends inside segment 2 of 2"},
      {good.substr(0, good.size() - 10), "before its access tables"},
      {good.substr(0, 10) + "\x01" + good.substr(11), "segment 1 of the .rom ($5000) fails its CRC"},
      {good.substr(0, good.size() - 1) + std::string(1, '\0'), "tables fail their CRC"},
      {std::string("\xA8\x01\xFE\x51\x50", 5), "ends before it starts"},
  };
  for (const Case& c : cases) {
    Image image;
    std::string error;
    EXPECT_FALSE(ReadRom(c.bytes, image, error)) << c.error;
    EXPECT_NE(error.find(c.error), std::string::npos) << c.error << " -> " << error;
  }
}

TEST(CpsimSourceMap, FindsTheLineOfAnAddress) {
  SourceMap map;
  map.Parse(
      "; cpasm source map 1\n"
      "5000 5003 12 C:\\path\\to\\game.asm\n"
      "5004 5004 7 C:\\My Games\\a b.bas\r\n"
      "garbage line\n"
      "6000 5000 3 x.asm\n"
      "5002 5002 40 C:\\path\\to\\macros.mac\n"
      "4000 4001 12 C:\\path\\to\\game.asm\n");
  EXPECT_EQ(map.SkippedLines(), 2u);
  EXPECT_EQ(map.SkippedLineNumbers(), (std::vector<size_t>{4, 5}));
  ASSERT_NE(map.Find(0x5001), nullptr);
  EXPECT_EQ(map.Find(0x5001)->line, 12);
  EXPECT_EQ(map.Find(0x5002)->file, "C:\\path\\to\\macros.mac");
  EXPECT_EQ(map.Find(0x5004)->file, "C:\\My Games\\a b.bas");
  EXPECT_EQ(map.Find(0x5005), nullptr);
  EXPECT_EQ(map.AddressesOf("c:/PATH/to/game.asm", 12), (std::vector<uint16_t>{0x4000, 0x5000}));
}

}  // namespace cpsim_image_test
}  // namespace cpsim
