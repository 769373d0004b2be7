// The symbol index: what the assembler's reader reports from a source and its INCLUDE, and which
// definition a name at a place leads to.
#include "assemble/symbol_index.h"

#include <gtest/gtest.h>

#include <map>

namespace quillon {
namespace symbol_index_test {

using Kind = SymbolDefinition::Kind;

const std::map<std::string, std::string> kFiles = {
    {"/p/main.asm",
     "        INCLUDE \"inc/defs.inc\"\n"   // 1
     "        ORG     $5000\n"              // 2
     "START:  MVII    #COUNT, R0\n"         // 3
     "MAIN    PROC\n"                       // 4
     "@@loop  DECR    R0\r\n"               // 5
     "        BNEQ    @@loop\n"             // 6
     "        ENDP\n"                       // 7
     "        show    3\n"                  // 8
     "OTHER   PROC\n"                       // 9
     "@@loop  NOP     ; same local name\n"  // 10
     "        B       MAIN.loop\n"          // 11
     "        ENDP\n"                       // 12
     "        IF 0\n"                       // 13
     "HIDDEN  EQU 1\n"                      // 14
     "        ENDI\n"},                     // 15
    {"/p/inc/defs.inc",
     "COUNT   EQU     3\n"         // 1
     "TOTAL   SET     0\n"         // 2
     "        MACRO   SHOW n\n"    // 3
     "@@in    MVII    #%n%, R1\n"  // 4: made by each use, not a definition of its own
     "        ENDM\n"              // 5
     "TOTAL   SET     1\n"},       // 6: the first SET is the definition
};

bool ReadFrom(const std::string& path, std::string& text) {
  auto it = kFiles.find(path);
  if (it == kFiles.end()) return false;
  text = it->second;
  return true;
}

TEST(SymbolIndexTest, ReadsTheSourceAndItsIncludeWithFilesAndLines) {
  SymbolIndex index;
  // The include is also a root of its own (a project lists it): it is read once.
  index.Build({"/p/main.asm", "/p/inc/defs.inc", "/p/missing.asm"}, ReadFrom);
  struct Row {
    std::string name;
    Kind kind;
    std::string file;
    int line, endLine;
  };
  const Row expected[] = {
      {"COUNT", Kind::kEqu, "/p/inc/defs.inc", 1, 0},  {"TOTAL", Kind::kSet, "/p/inc/defs.inc", 2, 0},
      {"SHOW", Kind::kMacro, "/p/inc/defs.inc", 3, 0}, {"START", Kind::kLabel, "/p/main.asm", 3, 0},
      {"MAIN", Kind::kProc, "/p/main.asm", 4, 7},      {"MAIN.loop", Kind::kLocal, "/p/main.asm", 5, 0},
      {"OTHER", Kind::kProc, "/p/main.asm", 9, 12},    {"OTHER.loop", Kind::kLocal, "/p/main.asm", 10, 0},
  };
  const std::vector<SymbolDefinition>& found = index.Definitions();
  ASSERT_EQ(found.size(), std::size(expected));
  for (std::size_t i = 0; i < found.size(); ++i) {
    SCOPED_TRACE(expected[i].name);
    EXPECT_EQ(found[i].name, expected[i].name);
    EXPECT_EQ(found[i].kind, expected[i].kind);
    EXPECT_EQ(found[i].file, expected[i].file);
    EXPECT_EQ(found[i].line, expected[i].line);
    EXPECT_EQ(found[i].endLine, expected[i].endLine);
  }
  EXPECT_EQ(index.Files(), (std::vector<std::string>{"/p/main.asm", "/p/inc/defs.inc"}));
}

TEST(SymbolIndexTest, AnIncludeUnderAnotherSpellingListsEachNameOnce) {
  // The open include is named as the editor names it, the INCLUDE reaches it through "..".
  const std::map<std::string, std::string> files = {
      {"C:\\p\\src\\main.asm", "        INCLUDE \"../lib/x.inc\"\n        MAKE\n"},
      {"C:\\p\\lib\\x.inc", "P       PROC\n@@a     NOP\n        ENDP\n        MACRO MAKE\nmade    NOP\n        ENDM\n"},
  };
  auto read = [&files](const std::string& path, std::string& text) {
    std::string key = path;
    for (char& c : key)
      if (c == '/') c = '\\';
    if (const std::size_t up = key.find("src\\..\\"); up != std::string::npos) key.erase(up, 7);  // as Windows does
    auto it = files.find(key);
    if (it == files.end()) return false;
    text = it->second;
    return true;
  };
  SymbolIndex index;
  index.Build({"C:\\p\\src\\main.asm", "C:\\p\\lib\\x.inc", "c:/P/./lib/X.inc"}, read);
  std::vector<std::string> names;
  for (const SymbolDefinition& d : index.Definitions()) names.push_back(d.name + "@" + d.file);
  EXPECT_EQ(names,
            (std::vector<std::string>{"P@C:\\p\\lib\\x.inc", "P.a@C:\\p\\lib\\x.inc", "MAKE@C:\\p\\lib\\x.inc"}));
  EXPECT_EQ(index.Files().size(), 2u);
  EXPECT_EQ(index.Expanded(), (std::vector<std::string>{"made"}));
}

TEST(SymbolIndexTest, FindsWhatANameAtAPlaceMeans) {
  SymbolIndex index;
  index.Build({"/p/main.asm"}, ReadFrom);
  struct Case {
    std::string word;
    int line;  // where it is used in main.asm
    std::string file;
    int defLine;  // 0: none
  } cases[] = {
      {"@@loop", 6, "/p/main.asm", 5},      // inside MAIN
      {"@@loop", 10, "/p/main.asm", 10},    // inside OTHER: its own
      {"@@loop", 8, "", 0},                 // between the PROCs: no PROC around it
      {"@@loop", 7, "/p/main.asm", 5},      // on MAIN's ENDP line: still inside MAIN
      {"@@loop", 12, "/p/main.asm", 10},    // on OTHER's ENDP line
      {"@@loop", 9, "/p/main.asm", 10},     // on OTHER's PROC line
      {"MAIN.loop", 11, "/p/main.asm", 5},  // from outside
      {"SHOW", 8, "/p/inc/defs.inc", 3},
      {"show", 8, "", 0},  // macro names are case-sensitive, as the assembler reads them
      {"COUNT", 3, "/p/inc/defs.inc", 1},
      {"MAIN", 1, "/p/main.asm", 4},
      {"HIDDEN", 1, "", 0},  // in a skipped IF branch
      {"R0", 5, "", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.word + " at " + std::to_string(c.line));
    const SymbolDefinition* d = index.Find(c.word, "/p/main.asm", c.line);
    if (c.defLine == 0) {
      EXPECT_EQ(d, nullptr);
      continue;
    }
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->file, c.file);
    EXPECT_EQ(d->line, c.defLine);
  }
}

TEST(SymbolIndexTest, MacrosWhoseNamesDifferInCaseAreTwo) {
  // The assembler calls each by its exact name, and a macro may take an instruction's name.
  const std::string text =
      "        MACRO   disp_ofs(r, c)\n"  // 1
      "        (%r% * 20 + %c%)\n"        // 2
      "        ENDM\n"                    // 3
      "        MACRO   DISP_OFS r, c\n"   // 4
      "        DECLE   %r%, %c%\n"        // 5
      "        ENDM\n"                    // 6
      "        MACRO   MVO reg, addr\n"   // 7
      "        mvo     %reg%, %addr%\n"   // 8
      "        ENDM\n"                    // 9
      "Disp_Ofs        EQU     3\n";      // 10
  SymbolIndex index;
  index.Build({"/p/m.asm"}, [&text](const std::string& path, std::string& out) {
    out = text;
    return path == "/p/m.asm";
  });
  std::vector<std::string> names;
  for (const SymbolDefinition& d : index.Definitions()) names.push_back(d.name + ":" + std::to_string(d.line));
  EXPECT_EQ(names, (std::vector<std::string>{"disp_ofs:1", "DISP_OFS:4", "MVO:7", "Disp_Ofs:10"}));
  const struct {
    const char* word;
    int line;  // 0: none
    Kind kind;
  } cases[] = {
      {"disp_ofs", 1, Kind::kMacro}, {"DISP_OFS", 4, Kind::kMacro},
      {"MVO", 7, Kind::kMacro},      {"mvo", 0, Kind::kMacro},      // the instruction inside the body
      {"Disp_Ofs", 10, Kind::kEqu},  {"dISP_oFS", 10, Kind::kEqu},  // a symbol, as a last resort, never a macro
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.word);
    const SymbolDefinition* d = index.Find(c.word, "/p/m.asm", 12);
    if (c.line == 0) {
      EXPECT_EQ(d, nullptr);
      continue;
    }
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->line, c.line);
    EXPECT_EQ(d->kind, c.kind);
  }
}

TEST(SymbolIndexTest, NameAtTheCaret) {
  struct Case {
    const char* line;
    int column;
    const char* name;
  } cases[] = {
      {"        BNEQ    @@loop", 18, "@@loop"},
      {"        BNEQ    @@loop", 22, "@@loop"},  // just past it
      {"START:  MVII", 0, "START"},
      {"START:  MVII", 5, "START"},
      {"  B MAIN.loop+1", 6, "MAIN.loop"},
      {"  MVII #$1F, R0", 9, ""},
      {"  MVII #10, R0", 8, ""},
      {"   ", 1, ""},
      {"x", 5, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(NameAt(c.line, c.column), c.name) << c.line << " @" << c.column;
}

TEST(SymbolIndexTest, FilterKeepsNamesContainingTheTextBestMatchFirst) {
  std::vector<SymbolDefinition> d(6);
  const char* names[] = {"MAIN", "MAIN.loop", "Count", "LOOPER", "loop", "PLAY.looping"};
  for (std::size_t i = 0; i < d.size(); ++i) d[i].name = names[i];
  EXPECT_EQ(FilterDefinitions(d, ""), (std::vector<int>{2, 4, 3, 0, 1, 5})) << "by name, any case";
  EXPECT_EQ(FilterDefinitions(d, "ma"), (std::vector<int>{0, 1}));
  // The name itself or a local's own name, then names starting with it, then own parts
  // starting with it.
  EXPECT_EQ(FilterDefinitions(d, "LOOP"), (std::vector<int>{4, 1, 3, 5}));
  EXPECT_EQ(FilterDefinitions(d, "oun"), (std::vector<int>{2}));
  EXPECT_EQ(FilterDefinitions(d, "zz"), (std::vector<int>{}));
}

TEST(SymbolIndexTest, PlaceStackGivesTheNewestBackAndKeepsTheLastFew) {
  PlaceStack stack;
  Place place;
  EXPECT_FALSE(stack.Pop(place));
  for (long i = 0; i < static_cast<long>(PlaceStack::kMost) + 5; ++i) stack.Push({"f", 0, i, i});
  EXPECT_EQ(stack.Size(), PlaceStack::kMost);
  ASSERT_TRUE(stack.Pop(place));
  EXPECT_EQ(place.start, static_cast<long>(PlaceStack::kMost) + 4);
  while (stack.Pop(place)) {
  }
  EXPECT_EQ(place.start, 5) << "the oldest five were dropped";
}

}  // namespace symbol_index_test
}  // namespace quillon
