// The debugger's rules without windows: breakpoints on lines, the stepping rule, watches, the
// warning lines of the output pane, and the breakpoints kept in the project file.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "cpasm/assembler.h"
#include "debug/breakpoints.h"
#include "debug/debug_report.h"
#include "debug/stepping.h"
#include "debug/watches.h"
#include "project/project.h"
#include "support/memory_platform.h"

namespace quillon {
namespace debug_core_test {

constexpr const char* kMain = "C:\\Game\\main.asm";

TEST(Breakpoints, TakeTheLinesTheirMarksMovedToAndMergeWhereTheyMeet) {
  Breakpoints breakpoints;
  for (int line : {6, 2, 5}) breakpoints.Set(kMain, line);
  // Lines 5 and 6 deleted: their marks met on line 4.
  breakpoints.SetLines("c:\\GAME\\main.asm", {4, 2, 4});
  EXPECT_EQ(breakpoints.LinesOf(kMain), (std::vector<int>{2, 4}));
  EXPECT_EQ(breakpoints.All().size(), 2u);
  breakpoints.SetLines(kMain, {});
  EXPECT_TRUE(breakpoints.Empty());
  EXPECT_TRUE(breakpoints.Toggle(kMain, 3));
  EXPECT_FALSE(breakpoints.Toggle("C:/game/MAIN.asm", 3));  // the same file, spelled otherwise
  EXPECT_TRUE(breakpoints.Empty());
}

TEST(Breakpoints, StopAtTheNextLineWithCodeOrSayThatTheyCannot) {
  SourceMap map;
  map.Add(0x5000, 0x5001, kMain, 4);
  map.Add(0x5002, 0x5004, kMain, 8);
  map.Add(0x6000, 0x6000, "C:\\Game\\other.asm", 1);
  map.Finish();
  Breakpoints breakpoints;
  for (int line : {4, 5, 9}) breakpoints.Set(kMain, line);
  breakpoints.Set("C:\\Game\\other.asm", 0);
  const std::vector<ResolvedBreakpoint> resolved = ResolveBreakpoints(breakpoints, map);
  ASSERT_EQ(resolved.size(), 4u);
  std::map<int, std::vector<uint32_t>> mainStops;
  for (const ResolvedBreakpoint& r : resolved) {
    if (r.place.file == kMain) mainStops[r.place.line] = r.addresses;
    if (r.place.file != kMain) {
      EXPECT_EQ(r.addresses, std::vector<uint32_t>{0x6000});
    }
  }
  EXPECT_EQ(mainStops[4], std::vector<uint32_t>{0x5000});
  EXPECT_EQ(mainStops[5], std::vector<uint32_t>{0x5002});  // a comment line stops at line 8's code
  EXPECT_TRUE(mainStops[9].empty());
  for (const ResolvedBreakpoint& r : resolved) {
    const std::string line = UnresolvedBreakpointLine(r);
    EXPECT_EQ(line.empty(), !r.addresses.empty());
    if (!line.empty()) {
      EXPECT_EQ(line.rfind("C:\\Game\\main.asm:10: WARNING - ", 0), 0u) << line;
    }
  }
}

TEST(Breakpoints, AreKeptInTheProjectFileAndReadBackWhenItIsReopened) {
  MemoryPlatform platform;
  platform.currentDirectory = "C:\\Game";
  platform.Write("C:\\Game\\game.qlp", "[project name]\r\ngame\r\n[source]\r\nmain.asm\r\n");
  platform.Write("C:\\Game\\main.asm", " NOP\r\n");
  Settings settings;
  {
    Project project(platform, settings);
    ASSERT_TRUE(project.LoadProject("C:\\Game\\game.qlp"));
    Breakpoints breakpoints;
    breakpoints.Set("C:\\Game\\main.asm", 11);
    breakpoints.Set("C:\\Game\\lib\\with blank.inc", 0);
    breakpoints.Set("D:\\Shared\\util.asm", 4);
    project.SetBreakpoints(breakpoints.ProjectLines(project.projectDir));
    EXPECT_FALSE(project.ShouldAskToSave());  // no question for breakpoints
    EXPECT_EQ(project.SaveProject(), SaveResult::kSaved);
  }
  const std::string text = platform.Read("C:\\Game\\game.qlp");
  EXPECT_NE(text.find("[breakpoints]\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("12 main.asm\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("5 D:\\Shared\\util.asm\r\n"), std::string::npos) << text;
  Project project(platform, settings);
  ASSERT_TRUE(project.LoadProject("C:\\Game\\game.qlp"));
  Breakpoints restored;
  restored.ReadProjectLines(project.Breakpoints(), project.projectDir);
  EXPECT_EQ(restored.LinesOf("C:\\Game\\main.asm"), std::vector<int>{11});
  EXPECT_EQ(restored.LinesOf("C:\\Game\\lib\\with blank.inc"), std::vector<int>{0});
  EXPECT_EQ(restored.LinesOf("D:\\Shared\\util.asm"), std::vector<int>{4});
  // Values that do not read are skipped; a project without breakpoints writes no section.
  Breakpoints odd;
  odd.ReadProjectLines({"0 main.asm", "x main.asm", "7", "3 main.asm"}, "C:\\Game");
  EXPECT_EQ(odd.All().size(), 1u);
  EXPECT_EQ(WriteProjectText({{ProjectSection::kProjectName, "p"}}).find("[breakpoints]"), std::string::npos);
}

TEST(Stepping, InstructionsThatCallAndReturnAreToldApart) {
  struct Case {
    uint16_t first, second;
    Flow flow;
  };
  const Case cases[] = {
      {0x0004, 0x0150, Flow::kCall},    // JSR R5 (rr = 01)
      {0x0004, 0x0051, Flow::kCall},    // JSRE R4
      {0x0004, 0x0250, Flow::kCall},    // JSR R6
      {0x0004, 0x0350, Flow::kOther},   // J: no return register
      {0x00AF, 0x0000, Flow::kReturn},  // MOVR R5, R7 (JR R5)
      {0x00A7, 0x0000, Flow::kReturn},  // JR R4
      {0x00B7, 0x0000, Flow::kReturn},  // JR R6
      {0x009F, 0x0000, Flow::kOther},   // MOVR R3, R7: a computed jump
      {0x00AD, 0x0000, Flow::kOther},   // MOVR R5, R5
      {0x02B7, 0x0000, Flow::kReturn},  // PULR R7
      {0x02B0, 0x0000, Flow::kOther},   // PULR R0
      {0x0017, 0x0000, Flow::kOther},   // DECR R7
  };
  for (const Case& c : cases) EXPECT_EQ(FlowOf(c.first, c.second), c.flow) << std::hex << c.first;
}

// A program of one-word lines 0..9 at $5000.., a call on line 2 to a routine on lines 7 and 8.
SourceMap StepMap() {
  SourceMap map;
  for (int line = 0; line < 10; ++line) {
    const uint32_t at = 0x5000 + static_cast<uint32_t>(line) * 3;
    map.Add(at, at + (line == 2 ? 2 : 0), kMain, line);
  }
  map.Finish();
  return map;
}
uint32_t LineAt(int line) { return 0x5000 + static_cast<uint32_t>(line) * 3; }

TEST(Stepping, StepsStopWhereTheUserExpects) {
  const SourceMap map = StepMap();
  struct Event {
    Flow executed;
    bool interrupted;
    uint32_t pc;  // where the next instruction stands
  };
  struct Case {
    const char* what;
    StepKind kind;
    uint32_t from;
    std::vector<Event> events;
    int stopsAfter;  // events taken until StopAt said yes; -1 never
  };
  const uint32_t isr = 0x5800;  // code without a source line
  const Case cases[] = {
      {"Into: the next line", StepKind::kInto, LineAt(0), {{Flow::kOther, false, LineAt(1)}}, 1},
      {"Into: into the call", StepKind::kInto, LineAt(2), {{Flow::kCall, false, LineAt(7)}}, 1},
      {"Over: the call runs to its return",
       StepKind::kOver,
       LineAt(2),
       {{Flow::kCall, false, LineAt(7)}, {Flow::kOther, false, LineAt(8)}, {Flow::kReturn, false, LineAt(3)}},
       3},
      {"Over: a recursive call returns twice before the line changes",
       StepKind::kOver,
       LineAt(2),
       {{Flow::kCall, false, LineAt(7)},
        {Flow::kCall, false, LineAt(7)},
        {Flow::kReturn, false, LineAt(8)},
        {Flow::kReturn, false, LineAt(3)}},
       4},
      {"Over: the routine of the line returns", StepKind::kOver, LineAt(8), {{Flow::kReturn, false, LineAt(3)}}, 1},
      {"Out: after the return, not at the routine's next line",
       StepKind::kOut,
       LineAt(7),
       {{Flow::kOther, false, LineAt(8)},
        {Flow::kCall, false, LineAt(7)},
        {Flow::kReturn, false, LineAt(8)},
        {Flow::kReturn, false, LineAt(3)}},
       4},
      {"Into: an interrupt's routine runs whole",
       StepKind::kInto,
       LineAt(0),
       {{Flow::kOther, true, LineAt(7)}, {Flow::kOther, false, LineAt(8)}, {Flow::kReturn, false, LineAt(1)}},
       3},
      {"Into: code without source runs on to a line",
       StepKind::kInto,
       LineAt(4),
       {{Flow::kOther, false, isr}, {Flow::kOther, false, isr + 1}, {Flow::kOther, false, LineAt(5)}},
       3},
      {"Into: a line that branches to itself stops each time round",
       StepKind::kInto,
       LineAt(5),
       {{Flow::kOther, false, LineAt(5)}},
       1},
      {"Into: from code without source, one instruction", StepKind::kInto, isr, {{Flow::kOther, false, isr + 1}}, 1},
      {"Run: only breakpoints stop it",
       StepKind::kRun,
       LineAt(0),
       {{Flow::kOther, false, LineAt(1)}, {Flow::kReturn, false, LineAt(2)}},
       -1},
  };
  for (const Case& c : cases) {
    StepRule rule(c.kind, map, c.from);
    int stopped = -1;
    for (size_t i = 0; i < c.events.size() && stopped < 0; ++i)
      if (rule.StopAt(c.events[i].executed, c.events[i].interrupted, c.events[i].pc)) stopped = static_cast<int>(i) + 1;
    EXPECT_EQ(stopped, c.stopsAfter) << c.what;
  }
}

TEST(Watches, NumbersAndNamesFindTheirAddress) {
  struct Case {
    const char* text;
    bool ok;
    uint32_t value;
  };
  const Case numbers[] = {
      {"$1F", true, 0x1F}, {"0x1f", true, 0x1F}, {"1Fh", true, 0x1F}, {"%101", true, 5}, {"0b101", true, 5},
      {"101b", true, 5},   {"258", true, 258},   {"$", false, 0},     {"12G", false, 0}, {"SCORE", false, 0},
  };
  for (const Case& c : numbers) {
    uint32_t value = 0;
    EXPECT_EQ(ReadNumber(c.text, value), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(value, c.value) << c.text;
    }
  }
  const std::map<std::string, std::vector<std::string>> files = {
      {kMain,
       {"SCORE   EQU     $0102   ; the player's score",  // 0
        "LIVES   QSET    3",                             // 1
        "SPEED   EQU     SCORE + 1",                     // 2: not a plain number
        "MAIN:   PROC",                                  // 3
        "        ; starts here",                         // 4
        "        MVII #1, R0",                           // 5
        "@@loop: B @@loop",                              // 6
        "        ENDP",                                  // 7
        "VARS:   RMB 2",                                 // 8: where it stands is the assembler's
        "TABLE:",                                        // 9
        "        ORG $6000",                             // 10
        "        DECLE 1"}},                             // 11
  };
  SourceMap map;
  map.Add(0x5000, 0x5001, kMain, 5);
  map.Add(0x5002, 0x5002, kMain, 6);
  map.Add(0x6000, 0x6000, kMain, 11);
  map.Finish();
  const std::vector<NamedSymbol> symbols = {
      {"SCORE", false, kMain, 0},    {"LIVES", false, kMain, 1}, {"SPEED", false, kMain, 2}, {"MAIN", true, kMain, 3},
      {"MAIN.loop", true, kMain, 6}, {"VARS", true, kMain, 8},   {"TABLE", true, kMain, 9},
  };
  const auto values = KnownSymbolValues(symbols, map, [&](const std::string& path, std::vector<std::string>& lines) {
    auto found = files.find(path);
    if (found == files.end()) return false;
    lines = found->second;
    return true;
  });
  const std::map<std::string, uint32_t> expected = {
      {"SCORE", 0x0102}, {"LIVES", 3}, {"MAIN", 0x5000}, {"MAIN.loop", 0x5002}};
  EXPECT_EQ(values, expected);
  // The build's assembly knows what the sources alone do not; a value that is no address is left out.
  std::string text = "        ORG     $5000\r\nNEG     EQU     -1\r\n";
  for (const std::string& line : files.at(kMain)) text += line + "\r\n";
  const cpasm::Assembly assembly =
      cpasm::AssembleText(kMain, text, [](const std::string&, std::string&) { return false; });
  ASSERT_EQ(assembly.errors, 0) << assembly.diagnostics[0].text;
  std::map<std::string, uint32_t> assembled = values;
  TakeAssembledValues(assembly.symbols, assembled);
  const std::map<std::string, uint32_t> known = {
      {"SCORE", 0x0102},     {"LIVES", 3},     {"SPEED", 0x0103}, {"MAIN", 0x5000},
      {"MAIN.loop", 0x5002}, {"VARS", 0x5004}, {"TABLE", 0x5006},
  };
  EXPECT_EQ(assembled, known);
  uint32_t address = 0;
  std::string problem;
  EXPECT_TRUE(WatchAddress(" SCORE ", values, address, problem));
  EXPECT_EQ(address, 0x0102u);
  EXPECT_TRUE(WatchAddress("$0200", values, address, problem));
  EXPECT_EQ(address, 0x0200u);
  EXPECT_FALSE(WatchAddress("score", values, address, problem));
  EXPECT_NE(problem.find("SCORE"), std::string::npos) << problem;
  EXPECT_FALSE(WatchAddress("$10000", values, address, problem));
  EXPECT_EQ(WordText(0x0102, 0x1234), "$34 (52)");  // 8-bit RAM holds a byte
  EXPECT_EQ(WordText(0x0200, 0x1234), "$1234 (4660)");
}

TEST(DebugReport, WarningsNameTheirSourceLineOnceEach) {
  SourceMap map;
  map.Add(0x5000, 0x5003, "C:\\My Game\\main.asm", 41);
  map.Finish();
  const ReportLine line =
      WarningLine(map, 0x5002, "GRAM write at $3812 outside vertical blank, dropped on the console");
  EXPECT_EQ(line.text,
            "C:\\My Game\\main.asm:42: WARNING - GRAM write at $3812 outside vertical blank, dropped on the console");
  EXPECT_EQ(line.place, (SourcePlace{"C:\\My Game\\main.asm", 41}));
  const ReportLine unmapped = WarningLine(map, 0x1234, "write to ROM at $5000");
  EXPECT_EQ(unmapped.place.line, -1);
  EXPECT_EQ(unmapped.text.find(": WARNING"), std::string::npos);  // F4 must not take it for a file line
  EXPECT_NE(unmapped.text.find("$1234"), std::string::npos);

  WarningFilter filter(2);
  bool last = false;
  EXPECT_TRUE(filter.Admit(0x5000, "a", last));
  EXPECT_FALSE(filter.Admit(0x5000, "a", last));  // every frame: once
  EXPECT_TRUE(filter.Admit(0x5001, "a", last));
  EXPECT_FALSE(last);
  EXPECT_TRUE(filter.Admit(0x5002, "a", last));
  EXPECT_TRUE(last);  // this one says the rest are left out
  EXPECT_FALSE(filter.Admit(0x5003, "a", last));
}

}  // namespace debug_core_test
}  // namespace quillon
