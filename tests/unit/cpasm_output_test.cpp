// The .rom cartridge image and the source map, byte for byte.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "cpasm/assembler.h"
#include "support/assembly_text.h"

namespace cpasm {
namespace cpasm_output_test {

std::string Hex(const std::string& bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char b : bytes) {
    if (!out.empty()) out += ' ';
    out += kDigits[b >> 4];
    out += kDigits[b & 15];
  }
  return out;
}

std::string Rom(const std::string& source, std::string* error = nullptr) {
  Options options;
  options.romOutput = true;
  Assembly a = AssembleText("t.asm", source, {}, options);
  EXPECT_EQ(a.errors, 0) << test::Problems(a);
  std::string bytes, why;
  const bool ok = RomImage(a, bytes, why);
  if (error) *error = why;
  EXPECT_EQ(ok, why.empty());
  return bytes;
}

TEST(CpasmRom, CrcIsTheCommonSixteenBitOne) {
  EXPECT_EQ(Crc16("123456789"), 0x29B1);
  EXPECT_EQ(Crc16(""), 0xFFFF);
}

// The worked example: two segments of one page each, zero-filled, each with its CRC.
TEST(CpasmRom, WorkedExampleByteForByte) {
  const std::string rom =
      Rom("        ROMW 16\n"
          "        ORG $5000\n"
          "        DECLE $1234, $5678, $9ABC\n"
          "        ORG $6010\n"
          "        DECLE 1, 2\n");
  ASSERT_EQ(rom.size(), 1085u);
  std::string expected = "\xA8\x02\xFD\x50\x50\x12\x34\x56\x78\x9A\xBC" + std::string(253 * 2, '\0') + "\xD2\x6F";
  expected += "\x60\x60" + std::string(16 * 2, '\0') + std::string("\x00\x01\x00\x02", 4) + std::string(238 * 2, '\0') +
              "\x09\x21";
  std::string access(16, '\0');
  access[5] = access[6] = 1;
  std::string fine(32, '\x07');
  fine[5] = fine[6] = 0;
  expected += access + fine + "\x61\x8F";
  ASSERT_EQ(rom.size(), expected.size());
  EXPECT_EQ(Hex(rom), Hex(expected));
}

// ROM, RAM, narrow RAM, bank-switched and write-only regions, some only reserved: the access and
// fine-address tables say each window's attributes and the pages it uses.
TEST(CpasmRom, AccessAndFineTables) {
  const std::string rom =
      Rom("        ORG $5000\n"
          "        DECLE 1\n"
          "        ORG $5100\n"
          "        DECLE 1\n"
          "        ORG $57F0\n"
          "        DECLE 1\n"
          "        ORG $5800\n"
          "        DECLE 2\n"
          "        ORG $6FFF\n"
          "        DECLE 3\n"
          "        ORG $C100\n"
          "        DECLE 4\n"
          "        ORG $C300\n"
          "        DECLE 5\n"
          "        ORG $8040, $8040, \"=RWN\"\n"
          "        RMB 8\n"
          "        ORG $D000, $D000, \"=RW\"\n"
          "        RMB 16\n"
          "        ORG $E000, $E000, \"=RWB\"\n"
          "        RMB 4\n"
          "        ORG $F000, $F000, \"=W\"\n"
          "        RMB 2\n");
  // Segments: pages $50-$51, $57-$58, $6F, $C1 and $C3; reserved memory makes none.
  ASSERT_GE(rom.size(), 3u + 48 + 2);
  EXPECT_EQ(Hex(rom.substr(0, 3)), "A8 05 FA");
  const std::string tables = rom.substr(rom.size() - 50, 48);
  EXPECT_EQ(Hex(tables.substr(0, 16)), "00 00 00 00 00 11 10 00 07 00 00 00 01 03 0B 02");
  std::string fine(32, '\x07');
  fine[5] = 0x07;       // $5000-$57FF: pages 0 to 7
  fine[16 + 5] = 0x00;  // $5800: page 0
  fine[16 + 6] = 0x77;  // $6FFF: page 7
  fine[8] = 0x00;       // $8040: page 0
  fine[12] = 0x13;      // $C100 and $C300: pages 1 to 3
  fine[13] = 0x00;      // RMB 16 at $D000
  fine[14] = fine[15] = 0x00;
  EXPECT_EQ(Hex(tables.substr(16)), Hex(fine));
  EXPECT_EQ(Hex(rom.substr(rom.size() - 2)),
            Hex(std::string{static_cast<char>(Crc16(tables) >> 8), static_cast<char>(Crc16(tables) & 0xFF)}));
  EXPECT_EQ(Hex(rom.substr(3, 2)), "50 51") << "pages $50 and $51 are one segment";
}

TEST(CpasmRom, RefusesWhatItCannotHold) {
  struct Case {
    const char* source;
    const char* words;
  } cases[] = {
      {" ORG $A000:1\n DECLE 1\n", "ECS page"},
      {" ORG $100, $100, \"=RW\"\n RMB 4\n", "no words"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_EQ(Rom(c.source, &error), "") << c.source;
    EXPECT_NE(error.find(c.words), std::string::npos) << error;
  }
  // Without .rom output, bank-switched and write-only memory are errors that say why.
  for (const char* source : {" ORG $E000, $E000, \"=RWB\"\n RMB 1\n", " ORG $F000, $F000, \"=W\"\n RMB 1\n"}) {
    Assembly a = AssembleText("t.asm", source, {});
    EXPECT_EQ(a.errors, 1) << source;
    EXPECT_NE(test::Problems(a).find("name the image .rom"), std::string::npos) << test::Problems(a);
  }
}

// The worked example of the tags: increasing type order whatever the source order, one credits
// tag, both dates, compatibility codes, an uncoded publisher, a CFGVAR the tags do not hold left
// out; each tag "length type body CRC".
TEST(CpasmRom, MetadataTagsOfTheWorkedExample) {
  const std::string rom =
      Rom("        ROMW 16\n"
          "        ORG $5000\n"
          "        DECLE 1\n"
          "        CFGVAR \"description\" = \"A test of tags\"\n"
          "        CFGVAR \"name\" = \"Tag Test\"\n"
          "        CFGVAR \"author\" = \"Ann Smith\"\n"
          "        CFGVAR \"music_by\" = \"Bo Lee\"\n"
          "        CFGVAR \"year\" = 2021\n"
          "        CFGVAR \"license\" = \"CC BY\"\n"
          "        CFGVAR \"short_name\" = \"Tags\"\n"
          "        CFGVAR \"publisher\" = \"Home\"\n"
          "        CFGVAR \"ecs_compat\" = 2\n"
          "        CFGVAR \"voice_compat\" = 3\n"
          "        CFGVAR \"jlp\" = 0\n"
          "        CFGVAR \"release_date\" = \"2021-03-04\"\n"
          "        CFGVAR \"version\" = \"1.0\"\n"
          "        CFGVAR \"mine\" = 7\n");
  const size_t tablesEnd = 3 + 2 + 512 + 2 + 48 + 2;
  ASSERT_GT(rom.size(), tablesEnd);
  const auto tag = [](const char* head, const std::string& body, const char* crc) {
    return Hex(std::string(head, 2) + body) + " " + crc;
  };
  const std::string expected = tag("\x08\x01", "Tag Test", "BC 86") + " " + tag("\x05\x02", "\xFFHome", "44 F6") + " " +
                               tag("\x13\x03",
                                   std::string("\x01"
                                               "Ann Smith\0\x04"
                                               "Bo Lee\0",
                                               19),
                                   "E2 53") +
                               " " + tag("\x01\x05", "\x79", "EB E7") + " " + tag("\x03\x05", "\x79\x03\x04", "10 D5") +
                               " " + tag("\x03\x06", std::string("\x48\0\0", 3), "6C 4B") + " " +
                               tag("\x04\x08", "Tags", "C5 44") + " " + tag("\x05\x09", "CC BY", "EC C5") + " " +
                               tag("\x0E\x0A", "A test of tags", "7B E1") + " " + tag("\x03\x0C", "1.0", "51 C3");
  EXPECT_EQ(Hex(rom.substr(tablesEnd)), expected);
  // No CFGVAR that names the cartridge: no tags at all.
  EXPECT_EQ(Rom(" ORG $5000\n DECLE 1\n CFGVAR \"mine\" = 7\n").size(), tablesEnd);
}

TEST(CpasmRom, DatesAndTheirPrecision) {
  const struct {
    const char* value;
    const char* bytes;  // empty: not a date
  } cases[] = {
      {"2021", "79"},
      {"\"2021\"", "79"},
      {"85", "55"},
      {"\"1999/12\"", "63 0C"},
      {"\"2017-12-25 18:09:49\"", "75 0C 19 12 09 31"},
      {"\"2017-12-25 18:09:49 +0530\"", "75 0C 19 12 09 31 05 1E"},
      {"\"2017-12-25 18:09:49 -01:30\"", "75 0C 19 12 09 31 FE 1E"},
      {"\"2017-13-01\"", ""},
      {"\"2017-12/01\"", ""},
      {"0", ""},
      {"\"soon\"", ""},
  };
  for (const auto& c : cases) {
    std::string body;
    const bool ok = DateTagBody(c.value, body);
    EXPECT_EQ(ok, *c.bytes != '\0') << c.value;
    if (ok) {
      EXPECT_EQ(Hex(body), c.bytes) << c.value;
    }
  }
  // A date the tag cannot hold is named in a .rom build, not silently dropped.
  Options rom;
  rom.romOutput = true;
  Assembly a = AssembleText("t.asm", " ORG $5000\n DECLE 1\n CFGVAR \"year\" = \"soon\"\n", {}, rom);
  ASSERT_EQ(a.diagnostics.size(), 1u) << test::Problems(a);
  EXPECT_FALSE(a.diagnostics[0].error);
  EXPECT_NE(a.diagnostics[0].text.find("not a date"), std::string::npos) << a.diagnostics[0].text;
}

// Each run of words names the outermost line of a file the user wrote, or SRCFILE's file and
// line while it is in force; macro and REPEAT words go to the line of the call.
TEST(CpasmSourceMap, RunsOfAddressesWithTheirLines) {
  const std::map<std::string, std::string> files = {{"dir/lib.inc",
                                                     "MACRO two v\n"
                                                     " DECLE %v%\n"
                                                     " DECLE %v%\n"
                                                     "ENDM\n"},
                                                    {"dir/game.asm",
                                                     " ORG $5000\n"
                                                     " INCLUDE \"lib.inc\"\n"
                                                     " two 1\n"
                                                     " REPEAT 2\n"
                                                     " DECLE 3\n"
                                                     " ENDR\n"
                                                     " SRCFILE \"game.bas\", 12\n"
                                                     " DECLE 4\n"
                                                     " two 5\n"
                                                     " SRCFILE \"/abs/other.bas\", 3\n"
                                                     " DECLE 6\n"
                                                     " SRCFILE \"\", 0\n"
                                                     " ORG $4000\n"
                                                     " DECLE 7\n"
                                                     " SRCFILE \"game.bas\", 13\n"
                                                     " ORG $5008\n"
                                                     " DECLE 8\n"}};
  FileReader reader = [&](const std::string& path, std::string& text) {
    auto it = files.find(path);
    if (it == files.end()) return false;
    text = it->second;
    return true;
  };
  Assembly a = AssembleText("dir/game.asm", files.at("dir/game.asm"), reader);
  EXPECT_EQ(a.errors + a.warnings, 0) << test::Problems(a);
  EXPECT_EQ(SourceMapText(a),
            "; cpasm source map 1\n"
            "5000 5001 3 dir/game.asm\n"
            "5002 5003 4 dir/game.asm\n"
            "5004 5006 12 dir/game.bas\n"
            "5007 5007 3 /abs/other.bas\n"
            "4000 4000 14 dir/game.asm\n"
            "5008 5008 13 dir/game.bas\n");
}

}  // namespace cpasm_output_test
}  // namespace cpasm
