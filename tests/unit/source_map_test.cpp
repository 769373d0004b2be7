// The debugger's map between addresses and source lines, from a .smap file or from a listing.
#include "assemble/source_map.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace quillon {
namespace source_map_test {

constexpr const char* kMain = "C:\\Game\\main.asm";
constexpr const char* kInc = "C:\\Game\\lib\\print.inc";

TEST(SourceMap, SmapLinesGiveEachAddressItsLineAndEachLineItsAddresses) {
  SourceMap map;
  std::vector<std::string> problems;
  // Out of address order, as ORG order writes it; a path with blanks; a file included twice.
  ReadSourceMapText(
      "; cpasm source map 1\r\n"
      "5010 5012 20 C:\\Game\\main.asm\r\n"
      "5000 5001 12 C:\\Game\\main.asm\r\n"
      "5002 5002 13 C:\\My Games\\sub dir\\x.asm\r\n"
      "6000 6003 4 C:\\Game\\lib\\print.inc\r\n"
      "6100 6103 4 c:/game/LIB/print.inc\r\n"
      "5003 5003 14 C:\\Game\\main.asm",
      map, problems);
  EXPECT_TRUE(problems.empty());
  struct Case {
    uint32_t address;
    const char* file;  // null: no line
    int line;
  };
  const Case cases[] = {
      {0x5000, kMain, 11},  {0x5001, kMain, 11},  {0x5002, "C:\\My Games\\sub dir\\x.asm", 12},
      {0x5003, kMain, 13},  {0x5004, nullptr, 0}, {0x5012, kMain, 19},
      {0x5013, nullptr, 0}, {0x4FFF, nullptr, 0}, {0x6002, kInc, 3},
      {0x6103, kInc, 3},
  };
  for (const Case& c : cases) {
    SourcePlace place;
    const bool found = map.Find(c.address, place);
    EXPECT_EQ(found, c.file != nullptr) << std::hex << c.address;
    if (c.file && found) {
      EXPECT_EQ(SourceMap::FileKey(place.file), SourceMap::FileKey(c.file)) << std::hex << c.address;
      EXPECT_EQ(place.line, c.line) << std::hex << c.address;
    }
  }
  EXPECT_EQ(map.AddressesOf("c:\\game\\MAIN.asm", 19), std::vector<uint32_t>{0x5010});
  // A file named through "." or ".." (SRCFILE names taken in a folder) is the same file.
  EXPECT_EQ(map.AddressesOf("C:\\Game\\.\\main.asm", 19), std::vector<uint32_t>{0x5010});
  EXPECT_EQ(map.AddressesOf("C:\\Game\\lib\\..\\main.asm", 19), std::vector<uint32_t>{0x5010});
  EXPECT_TRUE(map.AddressesOf("C:\\main.asm", 19).empty());
  EXPECT_EQ(map.AddressesOf(kInc, 3), (std::vector<uint32_t>{0x6000, 0x6100}));
  EXPECT_TRUE(map.AddressesOf(kMain, 14).empty());
  EXPECT_TRUE(map.StartsLine(0x5000));
  EXPECT_FALSE(map.StartsLine(0x5001));
  // A line without code stops at the next line that has code, in the same file only.
  EXPECT_EQ(map.NextLineWithCode(kMain, 0), 11);
  EXPECT_EQ(map.NextLineWithCode(kMain, 14), 19);
  EXPECT_EQ(map.NextLineWithCode(kMain, 20), -1);
  EXPECT_EQ(map.NextLineWithCode("C:\\Game\\other.asm", 0), -1);
}

TEST(SourceMap, SmapLinesThatDoNotReadAreNamedAndSkipped) {
  const char* bad[] = {
      "5000 12 C:\\a.asm",       // one address
      "5000 4FFF 3 C:\\a.asm",   // last before first
      "5000 5001 0 C:\\a.asm",   // lines count from 1
      "5000 5001 3",             // no file
      "50G0 5001 3 C:\\a.asm",   // not hex
      "5000 5001 x3 C:\\a.asm",  // not a number
      "5000  5001 3 C:\\a.asm",  // two blanks
  };
  for (const char* line : bad) {
    SourceMap map;
    std::vector<std::string> problems;
    ReadSourceMapText(std::string("; cpasm source map 1\n") + line + "\n5008 5009 7 C:\\b.asm\n", map, problems);
    ASSERT_EQ(problems.size(), 1u) << line;
    EXPECT_EQ(problems[0].rfind("line 2: ", 0), 0u) << problems[0];
    SourcePlace place;
    EXPECT_FALSE(map.Find(0x5000, place)) << line;
    EXPECT_TRUE(map.Find(0x5009, place)) << line;  // the rest is still read
  }
}

TEST(SourceMap, ListingLinesSplitIntoAddressWordsAndSource) {
  struct Case {
    const char* line;
    bool hasAddress;
    uint32_t address;
    int words;
    const char* source;
  };
  const Case cases[] = {
      // The bundled assembler's layout.
      {"5000  0004 0150 0200       CALL    PRINT", true, 0x5000, 3, "CALL    PRINT"},
      {"5003  0001 0002 0003 0004  DECLE   1, 2, 3, 4, 5", true, 0x5003, 4, "DECLE   1, 2, 3, 4, 5"},
      {"5007  0005                     ", true, 0x5007, 1, ""},
      {"                           MAIN:   PROC", false, 0, 0, "MAIN:   PROC"},
      {"                           ", false, 0, 0, ""},
      // The reference assembler's, with its ORG column and lower-case words.
      {"7000   0000 0001 0002 0003          DECLE   0,1", true, 0x7000, 4, "DECLE   0,1"},
      {"0x7000                              ORG     $7000", false, 0, 0, "ORG     $7000"},
      {"0000 02a0                   MVI@ R4, R0", true, 0, 1, "MVI@ R4, R0"},
      // A label that reads as hex is source, not a word.
      {"5010  0280 5020            BEEF:   MVI  X, R0", true, 0x5010, 2, "BEEF:   MVI  X, R0"},
      {"C:\\x.asm:3: ERROR - bad", false, 0, 0, "C:\\x.asm:3: ERROR - bad"},
  };
  for (const Case& c : cases) {
    const ListingLine line = SplitListingLine(c.line);
    EXPECT_EQ(line.hasAddress, c.hasAddress) << c.line;
    EXPECT_EQ(line.address, c.address) << c.line;
    EXPECT_EQ(line.words, c.words) << c.line;
    EXPECT_EQ(line.source, c.source) << c.line;
  }
}

TEST(SourceMap, ListingLinesFindTheirFileThroughIncludesAndMacroCalls) {
  const std::map<std::string, std::vector<std::string>> files = {
      {kMain,
       {"        ORG $5000",                   // 0
        "MAC     MACRO",                       // 1
        "        CLRR R0",                     // 2
        "        INCR R0",                     // 3
        "        ENDM",                        // 4
        "        INCLUDE \"lib\\print.inc\"",  // 5
        "MAIN:   MAC",                         // 6
        "",                                    // 7
        "        CALL PRINT",                  // 8
        "        DECR\tPC"}},                  // 9
      {kInc, {"PRINT:  PROC", "        JR R5", "        ENDP"}},
  };
  const std::string listing =
      "                           ORG $5000\n"
      "                           MAC     MACRO\n"
      "                           CLRR R0\n"
      "                           INCR R0\n"
      "                           ENDM\n"
      "                           INCLUDE \"lib\\print.inc\"\n"
      "                           PRINT:  PROC\n"
      "5000  00AF                         JR R5\n"
      "                           ENDP\n"
      "                           MAIN:   MAC\n"
      "5001  01C0                         CLRR R0\n"  // the expansion: the call's line
      "5002  0008                         INCR R0\n"
      "                           \n"
      "5003  0004 0150 0000               CALL PRINT\n"
      "5006  0017                         DECR    PC\n"
      " ERROR SUMMARY - ERRORS DETECTED 0\n";
  const SourceLines read = [&](const std::string& path, std::vector<std::string>& lines) {
    auto found = files.find(path);
    if (found == files.end()) return false;
    lines = found->second;
    return true;
  };
  SourceMap map;
  std::vector<std::string> problems;
  ReadListingText(listing, kMain, {}, read, map, problems);
  EXPECT_TRUE(problems.empty()) << problems[0];
  const std::pair<uint32_t, SourcePlace> expected[] = {
      {0x5000, {kInc, 1}}, {0x5001, {kMain, 6}}, {0x5002, {kMain, 6}}, {0x5005, {kMain, 8}}, {0x5006, {kMain, 9}},
  };
  for (const auto& [address, place] : expected) {
    SourcePlace found;
    ASSERT_TRUE(map.Find(address, found)) << std::hex << address;
    EXPECT_EQ(found, place) << std::hex << address;
  }
  EXPECT_EQ(map.AddressesOf(kMain, 6), std::vector<uint32_t>{0x5001});  // the macro's words are one run
}

TEST(SourceMap, ListingWhoseIncludeCannotBeReadSaysSo) {
  const SourceLines read = [](const std::string& path, std::vector<std::string>& lines) {
    if (path != kMain) return false;
    lines = {" INCLUDE missing.inc", " NOP"};
    return true;
  };
  SourceMap map;
  std::vector<std::string> problems;
  ReadListingText("                           INCLUDE missing.inc\n5000  0034  NOP\n", kMain, {"C:\\Lib"}, read, map,
                  problems);
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_NE(problems[0].find("missing.inc"), std::string::npos);
  SourcePlace place;
  ASSERT_TRUE(map.Find(0x5000, place));
  EXPECT_EQ(place, (SourcePlace{kMain, 1}));
}

}  // namespace source_map_test
}  // namespace quillon
