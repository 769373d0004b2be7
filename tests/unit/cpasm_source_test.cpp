// The source language, the image and memory map, and the listing as the IDE's parser reads it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "assemble/listing_parser.h"
#include "cpasm/assembler.h"
#include "support/assembly_text.h"

namespace cpasm {
namespace cpasm_source_test {

using test::Problems;
using test::Words;

// Included files come from this map instead of the disk.
FileReader FromMap(const std::map<std::string, std::string>& files) {
  return [files](const std::string& path, std::string& text) {
    auto it = files.find(path);
    if (it == files.end()) return false;
    text = it->second;
    return true;
  };
}

TEST(CpasmSource, LabelsScopesAndSymbols) {
  Assembly a = AssembleText("t.asm",
                            "        ORG $5000\n"
                            "A:      DECLE B          ; a label used before it is defined\n"
                            "B       DECLE A\n"
                            "CNT     SET 1\n"
                            "CNT     SET CNT+1\n"
                            "        DECLE CNT\n"
                            "X       EQU $ + 2\n"
                            "        DECLE X\n"
                            "PRINT   PROC\n"
                            "@@FLS:  DECLE @@FLS\n"
                            "        ENDP\n"
                            "OTHER   PROC\n"
                            "@@FLS   DECLE PRINT.FLS, @@FLS\n"
                            "OTHER   ENDP\n"
                            "TOP     ORG $6000\n"
                            "        DECLE TOP\n",
                            {});
  EXPECT_EQ(a.errors + a.warnings, 0) << Problems(a);
  EXPECT_EQ(Words(a), (std::vector<uint16_t>{0x5001, 0x5000, 2, 0x5005, 0x5004, 0x5004, 0x5005, 0x6000}));
}

TEST(CpasmSource, ConditionsRepeatsAndMacros) {
  Assembly a = AssembleText("t.asm",
                            "        ORG $5000\n"
                            "        IF 1\n"
                            "        DECLE 1\n"
                            "        ELSE\n"
                            "        DECLE 2\n"
                            "        ENDI\n"
                            "        IF 0\n"
                            "        IF 1\n"
                            "        DECLE 3\n"
                            "        ENDI\n"
                            "        ELSE\n"
                            "        DECLE 4\n"
                            "        ENDI\n"
                            "        REPEAT 3\n"
                            "        DECLE 5\n"
                            "        ENDR\n"
                            "LOADR   MACRO val, reg\n"
                            "        MVII #%val%, %reg%\n"
                            "        ENDM\n"
                            "        LOADR 7, R1\n"
                            "        LOADR $100, R2\n",
                            {});
  EXPECT_EQ(a.errors + a.warnings, 0) << Problems(a);
  EXPECT_EQ(Words(a), (std::vector<uint16_t>{1, 4, 5, 5, 5, 0x2B9, 7, 0x2BA, 0x100}));
}

TEST(CpasmSource, MemoryMapImageAndConfigVariables) {
  Assembly a = AssembleText("t.asm",
                            "        ORG $100, $100, \"-RWBN\"\n"
                            "VAR1    RMB 2\n"
                            "VAR2    RMB 1\n"
                            "        ORG $5000\n"
                            "        DECLE VAR1, VAR2\n"
                            "        ORG $6000, $7000\n"
                            "        DECLE $\n"
                            "        CFGVAR \"name\" = \"Demo\"\n",
                            {});
  EXPECT_EQ(a.errors + a.warnings, 0) << Problems(a);
  EXPECT_EQ(ImageBytes(a), std::string("\x01\x00\x01\x02\x60\x00", 6));
  EXPECT_EQ(MemoryMapText(a), "[mapping]\n$0000 - $0001 = $5000\n$0002 - $0002 = $7000\n\n[vars]\nname = \"Demo\"\n");

  // Attributes do not keep data out of the image.
  Assembly overlay = AssembleText("t.asm", " ORG $100, $100, \"-RWBN\"\n DECLE 1\n", {});
  EXPECT_EQ(overlay.errors, 0) << Problems(overlay);
  EXPECT_EQ(MemoryMapText(overlay), "[mapping]\n$0000 - $0000 = $0100\n");
  Assembly overlap = AssembleText("t.asm", " ORG $5000\n DECLE 1\n ORG $5000\n DECLE 2\n", {});
  EXPECT_EQ(overlap.errors, 1) << "the same address filled twice";
}

// The listing as the build sees it: written to a file and read back by the IDE's parser.
struct Line {
  std::string text;
  std::string file;
  int line;
};

struct RecordingSink : quillon::OutputSink {
  std::vector<Line> lines;
  void AddLine(const std::string& text, const std::string& file, int line) override {
    lines.push_back({text, file, line});
  }
};

std::vector<Line> ParsedListing(const Assembly& assembly) {
  std::filesystem::path path =
      std::filesystem::temp_directory_path() /
      ("cpasm_listing_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".lst");
  {
    std::ofstream out(path, std::ios::binary);
    out << assembly.listing;
  }
  RecordingSink sink;
  quillon::ParseListing(path.string(), "", sink);
  std::filesystem::remove(path);
  return sink.lines;
}

struct ProblemCase {
  const char* what;
  std::string main;
  std::map<std::string, std::string> files;
  std::string file;   // where the problem is reported
  int line;           // zero-based, as the parser hands it on
  const char* words;  // in the message
  int errors;
  int warnings;
};

TEST(CpasmListing, ProblemsReachTheIdeWithTheirFileAndLine) {
  std::string longLine = "        " + std::string(100000, 'A');
  std::vector<ProblemCase> cases = {
      {"unknown mnemonic", "t.asm", {{"t.asm", " ORG $5000\n FOO R1\n"}}, "t.asm", 1, "unknown mnemonic FOO", 1, 0},
      {"bad operand", "t.asm", {{"t.asm", " ORG $5000\n NOP\n MVII #1, R9\n"}}, "t.asm", 2, "bad operand 'R9'", 1, 0},
      {"undefined label",
       "t.asm",
       {{"t.asm", " ORG $5000\n B nowhere\n"}},
       "t.asm",
       1,
       "undefined symbol nowhere",
       1,
       0},
      {"duplicate label", "t.asm", {{"t.asm", " ORG $5000\nX: NOP\nX: NOP\n"}}, "t.asm", 2, "duplicate label X", 1, 0},
      {"error in an include file",
       "src/main.asm",
       {{"src/main.asm", " ORG $5000\n INCLUDE \"lib/a.asm\"\n"},
        {"src/lib/a.asm", " NOP\n INCLUDE \"b.asm\"\n"},
        {"src/lib/b.asm", " NOP\n NOP\n MVII #1\n"}},
       "src/lib/b.asm",
       2,
       "MVII takes 2 operand(s)",
       1,
       0},
      {"endless include loop",
       "a.asm",
       {{"a.asm", " INCLUDE \"b.asm\"\n"}, {"b.asm", " NOP\n INCLUDE \"a.asm\"\n"}},
       "b.asm",
       1,
       "endless INCLUDE loop",
       1,
       0},
      {"missing include file",
       "a.asm",
       {{"a.asm", " INCLUDE \"gone.asm\"\n"}},
       "a.asm",
       0,
       "cannot read include file gone.asm",
       1,
       0},
      {"line of 100,000 characters",
       "t.asm",
       {{"t.asm", " ORG $5000\n NOP\n" + longLine + "\n NOP\n"}},
       "t.asm",
       2,
       "unknown mnemonic AAAA",
       1,
       0},
      {"warning", "t.asm", {{"t.asm", " ORG $5000\n SDBD\n NOP\n"}}, "t.asm", 2, "SDBD has no effect on NOP", 0, 1},
      {"missing ENDI", "t.asm", {{"t.asm", " ORG $5000\n IF 1\n NOP\n"}}, "t.asm", 1, "IF without ENDI", 1, 0},
      {"unsupported directive",
       "t.asm",
       {{"t.asm", " FORCE_OVERWRITE 1\n"}},
       "t.asm",
       0,
       "FORCE_OVERWRITE is not supported",
       1,
       0},
      {"unsupported message",
       "t.asm",
       {{"t.asm", " NOP\n LISTCOL 4, 8, 32\n"}},
       "t.asm",
       1,
       "LISTCOL is not supported",
       0,
       1},
      {"unsupported function",
       "t.asm",
       {{"t.asm", " DECLE NOSUCH(1)\n"}},
       "t.asm",
       0,
       "the function NOSUCH() is not supported",
       1,
       0},
  };
  for (const ProblemCase& c : cases) {
    Assembly a = AssembleText(c.main, c.files.at(c.main), FromMap(c.files));
    std::vector<Line> lines = ParsedListing(a);
    ASSERT_EQ(lines.size(), 3u) << c.what << "\n" << Problems(a);
    EXPECT_EQ(lines[0].file, c.file) << c.what;
    EXPECT_EQ(lines[0].line, c.line) << c.what;
    EXPECT_NE(lines[0].text.find(c.words), std::string::npos) << c.what << ": " << lines[0].text.substr(0, 200);
    EXPECT_LT(lines[0].text.size(), 300u) << c.what << ": a message stays readable";
    EXPECT_EQ(lines[1].text, "Total Errors: " + std::to_string(c.errors)) << c.what;
    EXPECT_EQ(lines[2].text, "Total Warnings: " + std::to_string(c.warnings)) << c.what;
  }
}

TEST(CpasmListing, SourceThatReadsLikeAProblemLineIsNotCounted) {
  Assembly a = AssembleText("t.asm", "; seen before: game.asm:12: ERROR - x, lib.asm:3:WARNING-y\n NOP\n", {});
  std::vector<Line> lines = ParsedListing(a);
  ASSERT_EQ(lines.size(), 2u) << a.listing;
  EXPECT_EQ(lines[0].text, "Total Errors: 0");
  EXPECT_EQ(lines[1].text, "Total Warnings: 0");
}

TEST(CpasmListing, ShowsAddressesWordsAndSource) {
  Assembly a = AssembleText("t.asm", "        ORG $5000\nSTART:  MVII #$1234, R0\n        J START\n", {});
  EXPECT_NE(a.listing.find("5000  02B8 1234            START:  MVII #$1234, R0\n"), std::string::npos) << a.listing;
  EXPECT_NE(a.listing.find("5002  0004 0350 0000               J START\n"), std::string::npos) << a.listing;
}

#ifndef _WIN32
// The program as the IDE runs it: image, memory map and listing on disk, and its exit code.
TEST(CpasmProgram, WritesImageOnlyWhenTheSourceAssembles) {
  namespace fs = std::filesystem;
  fs::path dir = fs::temp_directory_path() / "cpasm_program_test";
  fs::remove_all(dir);
  fs::create_directories(dir);
  auto write = [&](const char* name, const std::string& text) { std::ofstream(dir / name, std::ios::binary) << text; };
  auto read = [&](const char* name) {
    std::ifstream in(dir / name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  };
  auto run = [&] {
    std::string command =
        "cd '" + dir.string() + "' && '" CPASM_PROGRAM "' -o \"game.bin\" -l \"game.lst\" \"game.asm\" 2>/dev/null";
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };

  write("game.asm", " ORG $5000\n INCLUDE \"inc.asm\"\n");
  write("inc.asm", " DECLE $1234\n");
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(read("game.bin"), "\x12\x34");
  EXPECT_EQ(read("game.cfg"), "[mapping]\n$0000 - $0000 = $5000\n");
  EXPECT_NE(read("game.lst").find("0 error(s), 0 warning(s)"), std::string::npos);

  write("inc.asm", " DECLE $1234\n BOGUS\n");
  EXPECT_EQ(run(), 1);
  EXPECT_EQ(read("game.bin"), "\x12\x34") << "a failed build leaves the last image as it was";
  EXPECT_NE(read("game.lst").find("inc.asm:2: ERROR - unknown mnemonic BOGUS"), std::string::npos) << read("game.lst");

  // Search folders: -i first, then AS1600_PATH; a .rom name is refused and no file appears.
  fs::create_directories(dir / "a");
  fs::create_directories(dir / "b");
  fs::remove(dir / "inc.asm");
  write("a/inc.asm", " DECLE $A\n");
  write("b/inc.asm", " DECLE $B\n");
  write("b/only.asm", " DECLE $C\n");
  write("game.asm", " ORG $5000\n INCLUDE \"inc.asm\"\n INCLUDE \"only.asm\"\n");
  auto runWith = [&](const std::string& options, const char* image) {
    std::string command = "cd '" + dir.string() + "' && AS1600_PATH='\"/nowhere;b\"' '" CPASM_PROGRAM "' " + options +
                          " -o \"" + image + "\" -l \"game.lst\" \"game.asm\" 2>/dev/null";
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  EXPECT_EQ(runWith("-i a", "game.bin"), 0) << read("game.lst");
  EXPECT_EQ(read("game.bin"), std::string("\x00\x0A\x00\x0C", 4));
  // A .rom name writes a cartridge image and its source map, and no .cfg.
  fs::remove(dir / "game.cfg");
  EXPECT_EQ(runWith("-i a", "game.rom"), 0) << read("game.lst");
  EXPECT_EQ(read("game.rom").substr(0, 5), std::string("\xA8\x01\xFE\x50\x50", 5));
  EXPECT_EQ(read("game.rom").size(), 3u + 2 + 512 + 2 + 48 + 2);
  EXPECT_FALSE(fs::exists(dir / "game.cfg"));
  const std::string full = fs::absolute(dir).lexically_normal().string();
  EXPECT_EQ(read("game.smap"),
            "; cpasm source map 1\n5000 5000 1 " + full + "/a/inc.asm\n5001 5001 1 " + full + "/b/only.asm\n");
  // ECS pages cannot be held in a .rom: an error, and no file.
  write("game.asm", " ORG $A000:1\n DECLE 1\n");
  EXPECT_EQ(runWith("", "paged.rom"), 1);
  EXPECT_FALSE(fs::exists(dir / "paged.rom"));
  EXPECT_NE(read("game.lst").find("ECS page data"), std::string::npos) << read("game.lst");
  fs::remove_all(dir);
}
#endif

TEST(CpasmProgram, SearchPathSplitsAsTheShellsWriteIt) {
  EXPECT_EQ(SplitSearchPath("\"/a/b;c:/d\"", false), (std::vector<std::string>{"/a/b", "c", "/d"}));
  EXPECT_EQ(SplitSearchPath("C:\\lib;;\"D:\\x y\"", true), (std::vector<std::string>{"C:\\lib", "D:\\x y"}));
  EXPECT_EQ(SplitSearchPath("", true), std::vector<std::string>{});
}

}  // namespace cpasm_source_test
}  // namespace cpasm

namespace cpasm {
namespace cpasm_source_test {

// A limit that stops the assembly is an error, never an image.
TEST(CpasmLimits, StoppingAtALimitIsAnError) {
  struct Case {
    const char* source;
    Limits limits;
    const char* words;
  };
  Limits fewLines, fewElements, shallow;
  fewLines.linesPerPass = 5;
  fewElements.arrayElements = 3;
  shallow.macroDepth = 4;
  const Case cases[] = {
      {" REPEAT 10\n DECLE 1\n ENDR\n", fewLines, "more than 5 lines"},
      {"A QSET 1, 2, 3, 4\n DECLE A\n", fewElements, "more than 3 elements"},
      {" DECLE $($($($($($(\"x\"))))))\n", shallow, "nested too deeply"},
  };
  for (const Case& c : cases) {
    Options options;
    options.limits = c.limits;
    Assembly a = AssembleText("t.asm", c.source, {}, options);
    EXPECT_GE(a.errors, 1) << c.source;
    EXPECT_NE(test::Problems(a).find(c.words), std::string::npos) << c.source << "\n" << test::Problems(a);
  }
}

}  // namespace cpasm_source_test
}  // namespace cpasm

namespace cpasm {
namespace cpasm_source_test {

// The IDE finds a label given to a macro call at the call, though the body defines it; macro
// names are kept with their case.
TEST(CpasmDefinitions, AMacroCallsLabelIsDefinedAtTheCall) {
  SourceDefinitions d = ReadDefinitions("t.asm",
                                        "MACRO RESERVE16 n\n"
                                        " EQU .MEM\n"
                                        ".MEM SET .MEM + %n%\n"
                                        "ENDM\n"
                                        "MACRO reserve16 n\n"
                                        "ENDM\n"
                                        ".MEM SET $100\n"
                                        "buf RESERVE16 4\n",
                                        {});
  std::vector<std::string> found;
  for (const Definition& def : d.definitions)
    found.push_back(def.name + ":" + std::to_string(def.line) + (def.kind == Definition::Kind::kMacro ? "m" : ""));
  EXPECT_EQ(found, (std::vector<std::string>{"RESERVE16:1m", "reserve16:5m", ".MEM:7", "buf:8"}));
}

}  // namespace cpasm_source_test
}  // namespace cpasm
