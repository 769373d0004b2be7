// The memory map after a build: what the .cfg and .rom say, and the arithmetic of blocks, RAM
// and data over the console's memory.
#include "assemble/memory_map.h"

#include <gtest/gtest.h>

#include "support/memory_platform.h"

namespace quillon {
namespace memory_map_test {

TEST(MemoryMapTest, ConfigRangesAndRam) {
  const ImageMap map = ParseConfigMap(
      "[mapping]\r\n$0000 - $0FFF = $5000\r\n$1000 - $100F = $6000 PAGE 1\n$1010 - $101F = $D000 RAM 8\n"
      "bad line\n$0020 - $0010 = $7000\n\n[memattr]\n$8040 - $805F = RAM 16\n$9000 - $9000 = ROM\n[vars]\n"
      "$0000 - $0001 = $F000\n");
  ASSERT_EQ(map.filled.size(), 3u);
  EXPECT_EQ(map.filled[0].first, 0x5000u);
  EXPECT_EQ(map.filled[0].last, 0x5FFFu);
  EXPECT_EQ(map.filled[1].page, 1);
  EXPECT_TRUE(map.filled[2].ram && map.filled[2].narrow);
  ASSERT_EQ(map.ram.size(), 1u);
  EXPECT_EQ(map.ram[0].first, 0x8040u);

  const MemoryReport report = ReportMemory(map, SourceMap());
  EXPECT_EQ(report.ram8, 16);
  EXPECT_EQ(report.ram16, 32);
  EXPECT_TRUE(report.errors.empty());
  struct Row {
    std::uint32_t first;
    long used, free, largest;
    std::uint32_t largestFirst;
  } rows[] = {
      // The paged words do not fill the block for the unpaged program.
      {0x5000, 0x1000, 0x1000, 0x1000, 0x6000},
      {0xD000, 16, 0x1000 - 16, 0x1000 - 16, 0xD010},
      {0xF000, 0, 0x1000, 0x1000, 0xF000},
  };
  for (const Row& row : rows) {
    auto it = std::find_if(report.blocks.begin(), report.blocks.end(),
                           [&](const BlockUse& b) { return b.block.first == row.first; });
    ASSERT_NE(it, report.blocks.end());
    EXPECT_EQ(it->used, row.used) << std::hex << row.first;
    EXPECT_EQ(it->free, row.free) << std::hex << row.first;
    EXPECT_EQ(it->largest, row.largest) << std::hex << row.first;
    EXPECT_EQ(it->largestFirst, row.largestFirst) << std::hex << row.first;
  }
}

TEST(MemoryMapTest, LargestFreeBlockBetweenRanges) {
  ImageMap map;
  map.filled = {{0x5000, 0x50FF}, {0x5300, 0x6EFF}, {0x6F80, 0x6FFF}};
  const MemoryReport report = ReportMemory(map, SourceMap());
  const BlockUse& use = report.blocks[4];
  ASSERT_EQ(use.block.first, 0x5000u);
  EXPECT_EQ(use.free, 0x200 + 0x80);
  EXPECT_EQ(use.largest, 0x200);
  EXPECT_EQ(use.largestFirst, 0x5100u);
}

TEST(MemoryMapTest, DataOverTheConsoleIsAnErrorAtItsLine) {
  ImageMap map;
  map.filled = {{0x0FFE, 0x1001}, {0x8030, 0x8041}, {0x3000, 0x3000}};
  SourceMap sources;
  sources.Add(0x0FFE, 0x1001, "C:\\g\\game.asm", 6);
  sources.Add(0x8030, 0x8041, "C:\\g\\lib.asm", 19);
  sources.Finish();
  const MemoryReport report = ReportMemory(map, sources);
  ASSERT_EQ(report.errors.size(), 3u);
  EXPECT_EQ(report.errors[0].file, "C:\\g\\game.asm") << "where F4 goes";
  EXPECT_EQ(report.errors[0].line, 7);
  const std::vector<std::string> lines = MemoryReportLines(report);
  auto has = [&](const std::string& s) { return std::find(lines.begin(), lines.end(), s) != lines.end(); };
  EXPECT_TRUE(has("C:\\g\\game.asm:7: ERROR - data at $1000-$1001 is over the Executive ROM ($1000-$1FFF)"));
  EXPECT_TRUE(has("C:\\g\\lib.asm:20: ERROR - data at $8030-$803F is over a STIC alias ($8000-$803F)"));
  EXPECT_TRUE(has("ERROR - data at $3000 is over the GROM ($3000-$37FF)")) << "no source map: no line to name";
  EXPECT_TRUE(has("  Block $0400-$0FFF: 2 used, 3,070 free, largest free 3,070 at $0400-$0FFD"));
  EXPECT_TRUE(has("  Block $5000-$6FFF: 0 used, 8,192 free, largest free 8,192 at $5000-$6FFF"));
  EXPECT_TRUE(has("  $0FFE-$1001  4 words"));
}

TEST(MemoryMapTest, RomSegmentsAndRamWindows) {
  std::string rom = {'\xA8', '\x01', '\xFE', '\x50', '\x50'};
  rom += std::string(512, '\x01') + "cc";
  std::string access(16, '\0');
  access[5] = 0x01;
  access[13] = 0x03;  // $D000-$D7FF RAM, no data there
  rom += access + std::string(32, '\x07') + "cc";
  ImageMap map;
  ASSERT_TRUE(ParseRomMap(rom, map));
  ASSERT_EQ(map.filled.size(), 1u);
  EXPECT_EQ(map.filled[0].first, 0x5000u);
  EXPECT_EQ(map.filled[0].last, 0x50FFu);
  ASSERT_EQ(map.ram.size(), 1u);
  EXPECT_EQ(map.ram[0].first, 0xD000u);
  EXPECT_EQ(map.ram[0].last, 0xD7FFu);
  EXPECT_FALSE(ParseRomMap(rom.substr(0, rom.size() - 10), map)) << "cut short";
  EXPECT_FALSE(ParseRomMap("\xA8\x01\xFF", map)) << "bad count check";
}

// A build's outputs read back as the IDE reads them: the bundled assembler's source map, or the
// listing of another assembler, name the included file's line that put data over the GROM, give
// the included lines their addresses, and RMB's words in the console's RAM count as in use.
TEST(MemoryMapTest, ABuildsOutputsReadBackThroughIncludeAndMacros) {
  const std::string main =
      "        ORG     $100\r\nFLAGS   RMB     3\r\n        ORG     $2F0\r\nSTACK   RMB     16\r\n"
      "        ORG     $5000\r\nstart:  MVII    #isr, R0\r\n        MVO     R0, $100\r\n        SWAP    R0\r\n"
      "        MVO     R0, $101\r\n        B       start\r\n        INCLUDE \"lib\\isr.inc\"\r\n";
  const std::string lib =
      "TWICE   MACRO   r\r\n        INCR    %r%\r\n        INCR    %r%\r\n        ENDM\r\n"
      "isr:    TWICE   R1\r\n        JR      R5\r\n        ORG     $3000\r\n        DECLE   1, 2\r\n";
  const cpasm::Assembly a =
      cpasm::AssembleText("C:\\g\\game.asm", main, [&](const std::string& path, std::string& text) {
        if (path != "C:\\g\\lib\\isr.inc") return false;
        text = lib;
        return true;
      });
  ASSERT_EQ(a.errors, 0) << a.diagnostics[0].text;
  for (bool sourceMap : {true, false}) {
    MemoryPlatform files;
    files.Write("C:\\g\\game.asm", main);
    files.Write("C:\\g\\lib\\isr.inc", lib);
    files.Write("C:\\g\\game.cfg", cpasm::MemoryMapText(a));
    files.Write("C:\\g\\game.lst", a.listing);
    if (sourceMap) files.Write("C:\\g\\game.smap", cpasm::SourceMapText(a));
    // A map left from an earlier build, which another assembler's build must not read.
    else
      files.Write("C:\\g\\game.smap", "5000 5FFF 1 C:\\g\\old.asm\n");
    BuildOutputs build;
    build.directory = "C:\\g";
    build.image = "game.bin";
    build.source = "game.asm";
    build.listing = "game.lst";
    build.sourceMap = sourceMap;
    const BuildInsight insight = ReadBuildInsight(files, build);
    const char* how = sourceMap ? "source map" : "listing";
    ASSERT_TRUE(insight.mapRead) << how;
    std::uint32_t address = 0;
    EXPECT_TRUE(insight.facts.LineAddress("C:\\g\\lib\\isr.inc", 5, address)) << how << ": the macro's call";
    EXPECT_EQ(address, 0x5009u) << how;
    EXPECT_TRUE(insight.facts.LineAddress("C:\\g\\lib\\isr.inc", 6, address)) << how;
    EXPECT_EQ(address, 0x500Bu) << how;
    EXPECT_FALSE(insight.facts.LineAddress("C:\\g\\lib\\isr.inc", 2, address)) << how << ": the macro's body";
    ASSERT_EQ(insight.report.errors.size(), 1u) << how;
    EXPECT_EQ(insight.report.errors[0].file, "C:\\g\\lib\\isr.inc") << how;
    EXPECT_EQ(insight.report.errors[0].line, 8) << how;
    EXPECT_EQ(insight.report.scratch, 3) << how;
    EXPECT_EQ(insight.report.system, 16) << how;
    EXPECT_EQ(insight.report.ram8, 3) << how;
    EXPECT_EQ(insight.report.ram16, 16) << how;
    EXPECT_TRUE(insight.facts.interrupt.known) << how;
    EXPECT_EQ(insight.facts.interrupt.name, "isr") << how;
    EXPECT_TRUE(insight.facts.InInterruptRoutine("C:\\g\\lib\\isr.inc", 5, 6)) << how;
    EXPECT_FALSE(insight.facts.InInterruptRoutine("C:\\g\\game.asm", 6, 7)) << how;
    const std::vector<std::string> lines = MemoryReportLines(insight.report);
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "  RAM in use: 3 words of 8-bit (3 of the scratch RAM), 16 words of 16-bit (16 of the system "
                        "RAM)"),
              lines.end())
        << how;
  }
}

}  // namespace memory_map_test
}  // namespace quillon
