// What the IDE tells about a program: tips, completion, references, renames and cycle counts.
#include "assemble/program_insight.h"

#include <gtest/gtest.h>

#include <map>

#include "assemble/cycle_count.h"

namespace quillon {
namespace program_insight_test {

std::map<std::string, std::string> Files() {
  return {
      {"/p/main.asm",
       "        INCLUDE \"lib/../lib/defs.inc\"\n"          // 1
       "        ORG     $5000\n"                            // 2
       "START:  MVII    #COUNT, R0 ; COUNT in a comment\n"  // 3
       "MAIN    PROC\n"                                     // 4
       "@@loop  DECR    R0\r\n"                             // 5
       "        BNEQ    @@loop\n"                           // 6
       "        ENDP\n"                                     // 7
       "        SHOW    COUNT\n"                            // 8
       "OTHER   PROC\n"                                     // 9
       "@@loop  NOP\n"                                      // 10
       "        B       MAIN.loop\n"                        // 11
       "        STRING  \"COUNT @@loop\"\n"                 // 12
       "        ENDP\n"                                     // 13
       "        MAKE    made\n"                             // 14
       "POS     STRUCT  $100\n"                             // 15
       "@@x     EQU     $ + 0\n"                            // 16
       "        ENDS\n"                                     // 17
       "        MVI     POS.x, R1\n"                        // 18
       "        show    2\n"},                              // 19: another macro
      {"/p/lib/defs.inc",
       "COUNT   EQU     $1F\n"        // 1
       "        MACRO   SHOW n\n"     // 2
       "        MVII    #%n%, R1\n"   // 3
       "        ENDM\n"               // 4
       "        MACRO   MAKE name\n"  // 5
       "%name%  EQU     7\n"          // 6
       "        ENDM\n"               // 7
       "NEG     EQU     -2\n"         // 8
       "        MACRO   show n\n"     // 9: not SHOW
       "        DECLE   %n%\n"        // 10
       "        ENDM\n"},             // 11
  };
}

struct Project {
  std::map<std::string, std::string> files = Files();
  SymbolIndex index;
  BuildFacts facts;
  SourceReader read = [this](const std::string& given, std::string& text) {
    std::string path = given;  // as the file system resolves "lib/../lib/"
    if (const std::size_t up = path.find("lib/../"); up != std::string::npos) path.erase(up, 7);
    auto it = files.find(path);
    if (it == files.end()) return false;
    text = it->second;
    return true;
  };
  Project() {
    index.Build({"/p/main.asm", "/p/lib/defs.inc"}, read);
    cpasm::Assembly built = cpasm::AssembleText("/p/main.asm", files["/p/main.asm"], read);
    facts.built = true;
    facts.symbols = built.symbols;
  }
  std::string Line(const std::string& file, int line) {
    std::string text = files[file];
    std::size_t at = 0;
    for (int n = 1; n < line; ++n) at = text.find('\n', at) + 1;
    std::string out = text.substr(at, text.find('\n', at) - at);
    if (!out.empty() && out.back() == '\r') out.pop_back();
    return out;
  }
  std::string Tip(int line, const std::string& word, int skip = 0) {
    std::string text = Line("/p/main.asm", line);
    std::size_t at = text.find(word);
    while (skip-- > 0) at = text.find(word, at + 1);
    return TipAt(text, static_cast<int>(at) + 1, "/p/main.asm", line, index, facts, read);
  }
};

TEST(ProgramInsightTest, TipsSayWhatAWordIs) {
  Project p;
  struct Case {
    int line;
    std::string word;
    std::vector<std::string> says;  // each must appear
  } cases[] = {
      {3, "START", {"START - label", "Address: $5000  20480", "Defined at main.asm:3"}},
      {3, "COUNT", {"COUNT - EQU", "Value: $001F  31  %0000 0000 0001 1111", "defs.inc:1"}},
      {6, "@@loop", {"@@loop = MAIN.loop - local label of MAIN", "Address: $5002", "main.asm:5"}},
      {11, "MAIN.loop", {"MAIN.loop - local label of MAIN", "main.asm:5"}},
      {8, "SHOW", {"SHOW - macro (n)", "defs.inc:2"}},
      {19, "show", {"show - macro (n)", "defs.inc:9"}},
      {18, "POS.x", {"POS.x - EQU of POS", "$0100"}},
      {2, "$5000", {"$5000: $5000  20480  %0101 0000 0000 0000"}},
      {3, "R0", {"R0: register 0", "$0000  0  %0000"}},
      {3, "MVII", {"MVII: Load", "Cycles: 8", "Flags: none changed"}},
      {6, "BNEQ", {"Cycles: 7/9 (not taken/taken)"}},
      {5, "DECR", {"Cycles: 6", "Flags: S Z"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.word);
    const std::string tip = p.Tip(c.line, c.word);
    for (const std::string& s : c.says) EXPECT_NE(tip.find(s), std::string::npos) << tip;
  }
  EXPECT_EQ(p.Tip(3, "COUNT", 1), "") << "a word in a comment has no tip";
  EXPECT_EQ(p.Tip(12, "COUNT"), "") << "nor one in a string";
  EXPECT_NE(p.Tip(14, "made").find("defined by a macro expansion"), std::string::npos);
  BuildFacts none;
  std::string text = p.Line("/p/main.asm", 3);
  EXPECT_NE(TipAt(text, 1, "/p/main.asm", 3, p.index, none, p.read).find("build to see it"), std::string::npos);
}

TEST(ProgramInsightTest, NumbersInEveryNotation) {
  struct Case {
    const char* word;
    bool ok;
    std::int64_t value;
  } cases[] = {{"$1F", true, 31},  {"0x1F", true, 31}, {"1Fh", true, 31}, {"%101", true, 5},
               {"0b101", true, 5}, {"101b", true, 5},  {"31", true, 31},  {"1F", false, 0},
               {"$", false, 0},    {"%102", false, 0}, {"0xG", false, 0}, {"R0", false, 0}};
  for (const Case& c : cases) {
    std::int64_t v = -99;
    EXPECT_EQ(NumberValue(c.word, v), c.ok) << c.word;
    if (c.ok) {
      EXPECT_EQ(v, c.value) << c.word;
    }
  }
  EXPECT_EQ(NumberText(-2), "$FFFE  -2  %1111 1111 1111 1110");
  EXPECT_EQ(NumberText(0x8000), "$8000  32768 (-32768 signed)  %1000 0000 0000 0000");
  EXPECT_EQ(NumberText(0x12345), "$12345  74565  %0001 0010 0011 0100 0101");
}

TEST(ProgramInsightTest, MacroParametersAsWritten) {
  EXPECT_EQ(MacroParameters("        MACRO   SHOW n, m ; two"), "n, m");
  EXPECT_EQ(MacroParameters("SHOW    MACRO   n"), "n");
  EXPECT_EQ(MacroParameters("        MACRO   add(a, b)"), "a, b");
  EXPECT_EQ(MacroParameters("        MACRO   NONE"), "");
}

TEST(ProgramInsightTest, CompletionFiltersAndOrders) {
  Project p;
  auto texts = [&](const std::string& prefix, int line) {
    std::vector<std::string> out;
    for (const Completion& c : CompletionsFor(prefix, "/p/main.asm", line, p.index)) out.push_back(c.text);
    return out;
  };
  // Inside MAIN its own locals come as @@names; OTHER's only by their full names.
  EXPECT_EQ(texts("@@", 6), (std::vector<std::string>{"@@loop"}));
  EXPECT_EQ(texts("@@", 2), (std::vector<std::string>{}));
  EXPECT_EQ(texts("MAIN.", 2), (std::vector<std::string>{"MAIN.loop"}));
  EXPECT_EQ(texts("POS.", 2), (std::vector<std::string>{"POS.x"}));
  // Any case matches; the case written comes first; mnemonics and directives join.
  const std::vector<std::string> co = texts("cou", 2);
  ASSERT_FALSE(co.empty());
  EXPECT_EQ(co.front(), "COUNT");
  const std::vector<std::string> ne = texts("NEG", 2);
  EXPECT_EQ(ne, (std::vector<std::string>{"NEG", "NEGR"})) << "the shorter first";
  const std::vector<std::string> mv = texts("mvi", 2);
  EXPECT_NE(std::find(mv.begin(), mv.end(), "MVII"), mv.end());
  EXPECT_NE(std::find(mv.begin(), mv.end(), "MVI@"), mv.end());
  const std::vector<std::string> sh = texts("sh", 2);
  EXPECT_NE(std::find(sh.begin(), sh.end(), "SHOW"), sh.end());
  const std::vector<std::string> st = texts("STR", 2);
  EXPECT_NE(std::find(st.begin(), st.end(), "STRUCT"), st.end());
  EXPECT_NE(std::find(st.begin(), st.end(), "STRING"), st.end());
  for (const std::string& s : texts("", 2)) EXPECT_NE(s, "MAIN.loop") << "no other PROC's locals unasked";
  // In an operand the program's names come before the mnemonics and directives.
  const auto first = [&](const std::string& prefix, bool operand) {
    const std::vector<Completion> all = CompletionsFor(prefix, "/p/main.asm", 2, p.index, operand);
    return all.empty() ? std::string() : all.front().text;
  };
  EXPECT_EQ(first("S", true), "SHOW");
  EXPECT_NE(first("S", false), "SHOW") << "at a mnemonic's place the order is the names' own";
  EXPECT_EQ(first("NEG", true), "NEG") << "with no name of the program, the mnemonics still come";
}

TEST(ProgramInsightTest, AnOperandFollowsTheMnemonicAfterAnyLabel) {
  const struct {
    const char* before;
    bool operand;
  } cases[] = {
      {"", false},                  // a label being written
      {"        ", false},          // the mnemonic's place
      {"LOOP:   ", false},          // after a label
      {"@@next\t", false},          // after a local label and a tab
      {"        MVII    #", true},  // an immediate
      {"        MVO     R0, ", true},
      {"LOOP:   B       ", true},
      {"        SHOW    ", true},  // a macro's argument
      {"X       EQU     ", true},
  };
  for (const auto& c : cases) EXPECT_EQ(InOperandField(c.before), c.operand) << '"' << c.before << '"';
}

TEST(ProgramInsightTest, ReferencesAreUsesInCodeOnly) {
  Project p;
  struct Case {
    std::string word;
    int line;
    std::vector<std::string> at;  // "file:line:column"
  } cases[] = {
      // The comment and the string on lines 3 and 12 hold none.
      {"COUNT", 3, {"defs.inc:1:0", "main.asm:3:17", "main.asm:8:16"}},
      // MAIN's loop: its definition, its @@use inside MAIN, its full name from OTHER; not
      // OTHER's own @@loop.
      {"@@loop", 6, {"main.asm:11:21", "main.asm:5:2", "main.asm:6:18"}},
      {"@@loop", 10, {"main.asm:10:2"}},
      // A PROC's name inside its locals' full names.
      {"MAIN", 4, {"main.asm:11:16", "main.asm:4:0"}},
      // Macros by their exact name, as the assembler calls them; "%n%" is no use of anything.
      {"SHOW", 8, {"defs.inc:2:16", "main.asm:8:8"}},
      {"show", 19, {"defs.inc:9:16", "main.asm:19:8"}},
      {"POS.x", 18, {"main.asm:16:2", "main.asm:18:20"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.word + " at " + std::to_string(c.line));
    const SymbolDefinition* d = p.index.Find(c.word, "/p/main.asm", c.line);
    ASSERT_NE(d, nullptr);
    std::vector<std::string> at;
    for (const Reference& r : FindReferences(*d, p.index, p.read))
      at.push_back(r.file.substr(r.file.rfind('/') + 1) + ":" + std::to_string(r.line) + ":" +
                   std::to_string(r.span.start));
    std::sort(at.begin(), at.end());
    EXPECT_EQ(at, c.at);
  }
}

TEST(ProgramInsightTest, RenameEditsEveryUseOrRefuses) {
  Project p;
  struct Refusal {
    std::string word;
    int line;
    std::string name, says;
  } refusals[] = {
      {"COUNT", 3, "START", "START already exists (main.asm:3)"},
      {"@@loop", 6, "@@loop", "new name is the old one"},
      {"made", 14, "other", "defined by a macro expansion"},
      {"COUNT", 3, "MVII", "instruction, directive or register"},
      {"COUNT", 3, "r7", "instruction, directive or register"},
      {"COUNT", 3, "9lives", "is not a name"},
      {"COUNT", 3, "a.b", "is not a name"},
      {"UNKNOWN", 3, "x", "No definition of UNKNOWN"},
      {"SHOW", 8, "MAKE", "MAKE already exists (defs.inc:5)"},
      {"show", 19, "SHOW", "SHOW already exists (defs.inc:2)"},
  };
  for (const Refusal& r : refusals) {
    const RenamePlan plan = PlanRename(r.word, "/p/main.asm", r.line, r.name, p.index, p.read);
    EXPECT_NE(plan.refusal.find(r.says), std::string::npos) << r.word << " -> " << r.name << ": " << plan.refusal;
    EXPECT_TRUE(plan.places.empty());
  }

  // A local renamed from inside its PROC: its @@uses and its full name change, OTHER's do not.
  RenamePlan plan = PlanRename("@@loop", "/p/main.asm", 6, "@@scan", p.index, p.read);
  ASSERT_EQ(plan.refusal, "");
  EXPECT_EQ(plan.places.size(), 3u);
  EXPECT_EQ(plan.files, 1);
  std::string renamed = ApplyRename(p.files["/p/main.asm"], "/p/main.asm", plan);
  EXPECT_NE(renamed.find("@@scan  DECR    R0\r\n        BNEQ    @@scan\n"), std::string::npos) << "CR LF kept";
  EXPECT_NE(renamed.find("@@loop  NOP"), std::string::npos);
  EXPECT_NE(renamed.find("B       MAIN.scan"), std::string::npos);
  EXPECT_NE(renamed.find("\"COUNT @@loop\""), std::string::npos) << "strings are left alone";

  // A macro across two files; the macro whose name differs only in case stays as it is.
  plan = PlanRename("SHOW", "/p/lib/defs.inc", 2, "DISPLAY", p.index, p.read);
  ASSERT_EQ(plan.refusal, "");
  EXPECT_EQ(plan.files, 2);
  const std::string mainRenamed = ApplyRename(p.files["/p/main.asm"], "/p/main.asm", plan);
  EXPECT_NE(mainRenamed.find("        DISPLAY    COUNT"), std::string::npos);
  EXPECT_NE(mainRenamed.find("        show    2"), std::string::npos);
  EXPECT_NE(ApplyRename(p.files["/p/lib/defs.inc"], "/p/lib/defs.inc", plan).find("MACRO   show n"), std::string::npos);
  EXPECT_NE(ApplyRename(p.files["/p/lib/defs.inc"], "/p/lib/defs.inc", plan).find("MACRO   DISPLAY n"),
            std::string::npos);

  // A part of a file, from its line 5 on, as an open document's range is replaced.
  plan = PlanRename("@@loop", "/p/main.asm", 6, "scan", p.index, p.read);
  EXPECT_EQ(ApplyRename("@@loop  DECR    R0\r        BNEQ    @@loop", "/p/main.asm", plan, 5),
            "@@scan  DECR    R0\r        BNEQ    @@scan");
  // A place whose text changed since is left as it is.
  EXPECT_EQ(ApplyRename("@@lo0p  DECR", "/p/main.asm", plan, 5), "@@lo0p  DECR");
}

// The line's address is the lowest the build gave it: a file included twice has two.
TEST(ProgramInsightTest, LineAddressesComeFromTheBuildsSourceMap) {
  BuildFacts facts;
  std::vector<std::string> problems;
  ReadSourceMapText(
      "; cpasm source map 1\n5000 5003 12 C:\\my game\\game.asm\r\n6000 6001 3 C:\\my game\\lib.inc\n"
      "5010 5011 3 C:\\my game\\lib.inc\n",
      facts.lines, problems);
  EXPECT_TRUE(problems.empty());
  std::uint32_t address = 0;
  EXPECT_TRUE(facts.LineAddress("c:/MY GAME/game.asm", 12, address));
  EXPECT_EQ(address, 0x5000u);
  EXPECT_TRUE(facts.LineAddress("C:\\my game\\lib.inc", 3, address));
  EXPECT_EQ(address, 0x5010u);
  EXPECT_FALSE(facts.LineAddress("C:\\my game\\game.asm", 11, address));
}

TEST(ProgramInsightTest, GutterNotesGiveAddressAndCycles) {
  BuildFacts facts;
  facts.lines.Add(0x5000, 0x5001, "/p/a.asm", 2);
  facts.lines.Add(0x5002, 0x5003, "/p/a.asm", 3);
  facts.lines.Finish();
  EXPECT_EQ(GutterNote("        MVII #1, R0", false, "/p/a.asm", 3, facts), "5000 8");
  EXPECT_EQ(GutterNote("        BNEQ LOOP", false, "/p/a.asm", 4, facts), "5002 7/9");
  EXPECT_EQ(GutterNote("        MVII #$1234, R0", true, "/p/a.asm", 9, facts), "10") << "not placed by the build";
  EXPECT_EQ(GutterNote("        DECLE 1", false, "/p/a.asm", 3, facts), "") << "no instruction";
  EXPECT_LE(GutterNote("        BNEQ LOOP", false, "/p/a.asm", 4, facts).size(),
            static_cast<std::size_t>(kGutterNoteCharacters));
}

TEST(CycleCountTest, LinesAndSums) {
  struct Case {
    const char* line;
    bool sdbd;
    const char* text;
  } cases[] = {
      {"        MVII    #1, R0", false, "8"},
      {"        MVII    #1, R0", true, "10"},
      {"LOOP:   BNEQ    LOOP", false, "7/9"},
      {"        B       LOOP", false, "9"},
      {"        MOVR    R1, R7 ; a jump", false, "7"},
      {"        MOVR    R1, R2", false, "6"},
      {"        MVI@    R6, R0", false, "11"},
      {"        SLL     R0, 2", false, "8"},
      {"        SLL     R0", false, "6"},
      {"        DECLE   1", false, ""},
      {"; MVII #1, R0", false, ""},
      {"X       EQU     3", false, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(CyclesText(CyclesOfLine(c.line, c.sdbd)), c.text) << c.line;

  const CycleSum sum = SumCycles({"        SDBD", "; between", "        MVII    #$1234, R0", "@@l     DECR    R0",
                                  "        BNEQ    @@l", "        DECLE   0"});
  EXPECT_EQ(sum.instructions, 4);
  EXPECT_EQ(sum.least, 4 + 10 + 6 + 7);
  EXPECT_EQ(sum.most, 4 + 10 + 6 + 9);
  EXPECT_EQ(CycleSumText(sum, true), "4 instructions, 27-29 cycles");
  EXPECT_EQ(CycleSumText({1, 8, 8}, false), "1 instruction, 8 cycles");
  EXPECT_EQ(CycleSumText({}, true), "");
  // The budgets hold inside the interrupt routine only.
  struct Budget {
    long long most;
    bool interrupt;
    const char* warning;  // null: none
  } budgets[] = {
      {2000, true, nullptr},        {2001, true, "budget for the STIC registers (2,000)"},
      {3781, true, "GRAM (3,780)"}, {2001, false, nullptr},
      {9000, false, nullptr},
  };
  for (const Budget& b : budgets) {
    const std::string text = CycleSumText({300, 1900, b.most}, b.interrupt);
    if (b.warning)
      EXPECT_NE(text.find(b.warning), std::string::npos) << b.most << " " << b.interrupt;
    else
      EXPECT_EQ(text.find("budget"), std::string::npos) << b.most << " " << b.interrupt;
  }
}

// The interrupt routine is the label whose address the program puts in the vector at $0100,
// through INCLUDE and macros, and runs to the next label that is no local of it.
TEST(CycleCountTest, TheInterruptRoutineIsTheOneTheProgramInstalls) {
  struct Case {
    const char* name;
    const char* source;
    bool known;
    const char* routine;
    std::uint32_t first, last;
  } cases[] = {
      {"the usual four lines",
       "        ORG $5000\nMAIN:   MVII #ISR, R0\n        MVO R0, $100\n        SWAP R0\n        MVO R0, $101\n"
       "        B MAIN\nISR     PROC\n@@x:    MVI $21, R0\n        JR R5\n        ENDP\nNEXT:   NOP\n",
       true, "ISR", 0x5009, 0x500B},
      {"through a macro and a name for the vector",
       "VEC     EQU $100\nSETISR  MACRO r\n        SDBD\n        MVII #%r%, R1\n        MVO R1, VEC\n"
       "        SWAP R1\n        MVO R1, VEC+1\n        ENDM\n        ORG $5000\nMAIN:   SETISR HANDLER\n"
       "        B MAIN\nHANDLER: MVI $21, R0\n        JR R5\n",
       true, "HANDLER", 0x500B, 0x500D},
      {"a value overwritten before the store",
       "        ORG $5000\nMAIN:   MVII #ISR, R0\n        CLRR R0\n        MVO R0, $100\nISR:    JR R5\n", false, "", 0,
       0},
      {"no vector stored", "        ORG $5000\nMAIN:   MVII #1, R0\n        MVO R0, $102\nISR:    JR R5\n", false, "",
       0, 0},
  };
  for (const Case& c : cases) {
    const cpasm::Assembly a = cpasm::AssembleText("/p/t.asm", c.source, {});
    ASSERT_EQ(a.errors, 0) << c.name << ": " << (a.diagnostics.empty() ? "" : a.diagnostics[0].text);
    const InterruptRoutine r = FindInterruptRoutine(a.segments, a.sourceMap, a.symbols);
    EXPECT_EQ(r.known, c.known) << c.name;
    if (!c.known) continue;
    EXPECT_EQ(r.name, c.routine) << c.name;
    EXPECT_EQ(r.first, c.first) << c.name;
    EXPECT_EQ(r.last, c.last) << c.name;
  }
}

TEST(CycleCountTest, ASelectionIsInTheInterruptRoutineWhenAllItsWordsAre) {
  BuildFacts facts;
  facts.lines.Add(0x5000, 0x5001, "/p/a.asm", 1);  // line 2
  facts.lines.Add(0x5010, 0x5011, "/p/a.asm", 9);  // line 10
  facts.lines.Add(0x5012, 0x5012, "/p/a.asm", 10);
  facts.lines.Add(0x5013, 0x5013, "/p/a.asm", 12);
  facts.lines.Finish();
  facts.interrupt = {true, "ISR", 0x5010, 0x5012};
  struct Case {
    int first, last;
    bool inside;
  } cases[] = {{10, 11, true}, {9, 11, true}, {10, 13, false}, {2, 10, false}, {3, 9, false}};
  for (const Case& c : cases)
    EXPECT_EQ(facts.InInterruptRoutine("/p/a.asm", c.first, c.last), c.inside) << c.first << "-" << c.last;
  facts.interrupt.known = false;
  EXPECT_FALSE(facts.InInterruptRoutine("/p/a.asm", 10, 11));
}

}  // namespace program_insight_test
}  // namespace quillon
