// The simulated console: programs assembled by the bundled assembler and run, the boot and its
// short-cut, the display interrupt, the writes the console drops, and the debugger's run calls.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "cpsim/machine.h"
#include "support/sim_program.h"

namespace cpsim {
namespace cpsim_machine_test {

using test::Assembled;

// A cartridge whose header at $5000 starts the program at `main`.
std::string Cartridge(const std::string& body) {
  return "        ORG $5000\n"
         "        DECLE 0, 0, 0, 0, main AND $FF, main SHR 8\n" +
         body + "\n";
}

Machine Booted(const std::string& source) {
  Machine m;
  m.Load(Assembled(source));
  std::string error;
  EXPECT_TRUE(m.Boot(error)) << error;
  return m;
}

TEST(CpsimMachine, ProgramsComputeTheirResults) {
  // Multiplication by shifts and adds, a table filled through an incrementing counter, and a
  // recursive sum through the stack.
  Machine m = Booted(Cartridge(R"(
main:   MVII #123, R0
        MVII #45, R1
        CLRR R2
mul:    SARC R1
        BNC skip
        ADDR R0, R2
skip:   SLL R0
        TSTR R1
        BNEQ mul
        MVO R2, $0300
        MVII #$0200, R4
        MVII #8, R1
        MVII #$0100, R0
fill:   MVO@ R0, R4
        INCR R0
        DECR R1
        BNEQ fill
        CLRR R0
        MVII #10, R1
        CALL sum
        MVO R0, $0301
        HLT
sum:    PSHR R5
        ADDR R1, R0
        DECR R1
        BEQ done
        CALL sum
done:   PULR R7
)"));
  Stop stop = m.Run({.untilCycle = 100000});
  ASSERT_EQ(stop.reason, StopReason::kHalted) << stop.message;
  EXPECT_EQ(m.Read(0x0300), 123 * 45);
  for (uint16_t i = 0; i < 8; ++i) EXPECT_EQ(m.Read(0x0200 + i), 0x0100 + i);
  EXPECT_EQ(m.Read(0x0208), 0);
  EXPECT_EQ(m.Read(0x0301), 55);
  EXPECT_EQ(m.Cpu().r[6], kBootStack);
  EXPECT_EQ(m.CallDepth(), 0u);
}

TEST(CpsimMachine, BootShortCutFindsTheProgram) {
  struct Case {
    std::string source;
    uint16_t pc;
  } cases[] = {
      {"        ORG $7000\n        HLT\n        ORG $5000\n        DECLE 0,0,0,0,$10,$50\n", 0x7000},
      {"        ORG $4800\n        HLT\n        ORG $5000\n        DECLE 0,0,0,0,$10,$50\n", 0x4800},
      {"        ORG $5000\n        DECLE 0,0,0,0,$34,$52\n", 0x5234},
  };
  for (const Case& c : cases) {
    Machine m = Booted(c.source);
    EXPECT_EQ(m.Pc(), c.pc) << c.source;
    EXPECT_EQ(m.Cpu().r[6], 0x02F1);
    EXPECT_TRUE(m.Cpu().flags.i);
    EXPECT_EQ(m.Read(0x02F0), 0x5014);
    // The interrupt vector, in double-byte form, points to the dispatcher's exit.
    EXPECT_EQ(m.Read(0x0100) | m.Read(0x0101) << 8, kDispatcherExit);
  }
  Machine empty;
  empty.Load(Assembled("        ORG $6000\n        HLT\n"));
  std::string error;
  EXPECT_FALSE(empty.Boot(error));
  EXPECT_NE(error.find("$5000"), std::string::npos) << error;
}

TEST(CpsimMachine, DispatcherIsTheDocumentedOne) {
  // The words at $1004-$101C are what the assembler makes of the documented dispatcher.
  const char* listing = R"(
        ORG $1004
        PSHR R0
        GSWD R0
        PSHR R0
        PSHR R1
        PSHR R2
        NOP
        PSHR R3
        PSHR R4
        PSHR R5
        MOVR R7, R5
        ADDI #$0006, R5
        MVII #$0100, R4
        SDBD
        MVI@ R4, R7
        PULR R5
        PULR R4
        PULR R3
        PULR R2
        PULR R1
        PULR R0
        RSWD R0
        PULR R0
        PULR R7
)";
  Image expected = Assembled(listing);
  ASSERT_EQ(expected.ranges.size(), 1u);
  Machine m;
  for (size_t i = 0; i < expected.ranges[0].words.size(); ++i) {
    EXPECT_EQ(m.Read(static_cast<uint16_t>(0x1004 + i)), expected.ranges[0].words[i]) << i;
  }
}

TEST(CpsimMachine, ExecutiveCallWithoutItsImageStops) {
  Machine m = Booted(Cartridge("main:   JSR R5, $1738\n        HLT\n"));
  Stop stop = m.Run({.untilCycle = 100000});
  EXPECT_EQ(stop.reason, StopReason::kExecutiveCall);
  EXPECT_EQ(stop.address, 0x1738);
  EXPECT_EQ(stop.message, "The program called the Executive ROM at $1738; the simulator has no image of it");
  std::vector<Event> events = m.TakeEvents();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].kind, EventKind::kExecutiveCall);
  EXPECT_EQ(events[0].pc, 0x1738);
}

TEST(CpsimMachine, ExecutiveImageBootsAtReset) {
  // An image of our own making: it clears R0 and jumps to the cartridge at $5000.
  std::vector<uint16_t> exec(4096, 0);
  exec[0] = 0x1C0;                                                                   // CLRR R0
  exec[1] = 0x004, exec[2] = 0x300 | (0x5000 >> 10) << 2, exec[3] = 0x5000 & 0x3FF;  // J $5000
  Machine m;
  m.Load(Assembled("        ORG $5000\n        MVII #7, R1\n        HLT\n"));
  std::string error;
  ASSERT_TRUE(m.LoadExecutive(exec, error)) << error;
  ASSERT_TRUE(m.Boot(error));
  EXPECT_EQ(m.Pc(), 0x1000);
  EXPECT_FALSE(m.Cpu().flags.i);
  Stop stop = m.Run({.untilCycle = 1000});
  EXPECT_EQ(stop.reason, StopReason::kHalted);
  EXPECT_EQ(m.Cpu().r[1], 7);
  EXPECT_EQ(m.Cycles(), 6u + 12 + 8 + 4);
  EXPECT_FALSE(m.LoadExecutive(std::vector<uint16_t>(100), error));
}

// A main loop and a display interrupt routine, hooked as the interrupt documentation shows.
const char* kInterruptProgram = R"(
main:   MVII #isr, R0
        MVO R0, $100
        SWAP R0
        MVO R0, $101
        MVII #$1111, R2
        MVII #$2222, R3
        SETC
        EIS
loop:   INCR R1
        B loop
isr:    MVO R0, $0020
        MVI $0300, R0
        INCR R0
        MVO R0, $0300
        CLRR R2
        CLRR R3
        JR R5
)";

TEST(CpsimMachine, DisplayInterruptOncePerFrameKeepsTheMainLoopsRegisters) {
  Machine m = Booted(Cartridge(kInterruptProgram));
  Stop stop = m.Run({.untilFrame = 11});
  EXPECT_EQ(stop.reason, StopReason::kFrameLimit);
  EXPECT_EQ(m.Frames(), 11u);
  EXPECT_EQ(m.Read(0x0300), 10);  // frames 1-10 taken; the 11th is pending
  EXPECT_GE(m.Cycles(), 11u * kCyclesPerFrame);
  EXPECT_LT(m.Cycles(), 11u * kCyclesPerFrame + 20);
  // Back in the main loop with its registers and flags as they were.
  Stop more = m.Run({.untilCycle = m.Cycles() + 2000});
  EXPECT_EQ(more.reason, StopReason::kCycleLimit);
  EXPECT_EQ(m.Read(0x0300), 11);
  EXPECT_EQ(m.Cpu().r[2], 0x1111);
  EXPECT_EQ(m.Cpu().r[3], 0x2222);
  EXPECT_EQ(m.Cpu().r[6], kBootStack);
  EXPECT_GE(m.Pc(), 0x5000);
  EXPECT_LT(m.Pc(), 0x5020);
  EXPECT_TRUE(m.TakeEvents().empty());
}

TEST(CpsimMachine, NoInterruptWhileDisabled) {
  Machine m = Booted(Cartridge(R"(
main:   MVII #isr, R0
        MVO R0, $100
        SWAP R0
        MVO R0, $101
        DIS
loop:   B loop
isr:    MVO R0, $0300
        JR R5
)"));
  m.Run({.untilFrame = 5});
  m.Run({.untilCycle = m.Cycles() + 3000});
  EXPECT_EQ(m.Read(0x0300), 0);
}

TEST(CpsimMachine, WritesTheConsoleDropsAreWarnings) {
  Machine m = Booted(Cartridge(R"(
main:   MVII #isr, R0
        MVO R0, $100
        SWAP R0
        MVO R0, $101
        EIS
wait:   MVI $0300, R0
        TSTR R0
        BEQ wait
        MVII #400, R2
delay:  DECR R2
        BNEQ delay
        MVII #$55, R1
gram:   MVO R1, $3812
stic:   MVO R1, $0021
        HLT
isr:    MVO R0, $0020
        MVII #$AA, R0
        MVO R0, $3800
        MVO R0, $0028
        MVII #1, R0
        MVO R0, $0300
        JR R5
)"));
  Stop stop = m.Run({.untilFrame = 3});
  ASSERT_EQ(stop.reason, StopReason::kHalted) << stop.message;
  EXPECT_EQ(m.Read(0x3800), 0xAA);  // in the window after the interrupt
  EXPECT_EQ(m.Read(0x0028), 0xAA);
  EXPECT_EQ(m.Read(0x3812), 0);  // dropped
  EXPECT_EQ(m.Read(0x0021), 0);
  std::vector<Event> events = m.TakeEvents();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].kind, EventKind::kGramDropped);
  EXPECT_EQ(events[0].address, 0x3812);
  EXPECT_EQ(events[0].message, "GRAM write at $3812 outside vertical blank, dropped on the console");
  EXPECT_EQ(events[1].kind, EventKind::kSticDropped);
  EXPECT_EQ(events[1].address, 0x0021);
  EXPECT_EQ(events[1].message, "STIC register write at $0021 outside vertical blank, dropped on the console");
  EXPECT_EQ(events[1].pc, events[0].pc + 2);
}

TEST(CpsimMachine, WithTheDisplayOffGramIsOpenAnyTime) {
  // Set-up before the display is enabled: the STIC lets the CPU in whenever it likes.
  Machine m = Booted(Cartridge(R"(
main:   DIS
        MVII #2000, R2
delay:  DECR R2
        BNEQ delay
        MVII #$3C, R1
        MVO R1, $3812
        MVO R1, $0021
        HLT
)"));
  ASSERT_EQ(m.Run({.untilFrame = 10}).reason, StopReason::kHalted);
  EXPECT_GT(m.Frames(), 0u);
  EXPECT_EQ(m.Read(0x3812), 0x3C);
  EXPECT_EQ(m.Read(0x0021), 0x3C);
  EXPECT_TRUE(m.TakeEvents().empty());
}

TEST(CpsimMachine, WritesToRomAndUnmappedMemoryChangeNothing) {
  Machine m = Booted(Cartridge(R"(
main:   MVII #3, R1
again:  MVO R1, $5000
        DECR R1
        BNEQ again
        MVO R1, $9000
        HLT
)"));
  ASSERT_EQ(m.Run({.untilCycle = 10000}).reason, StopReason::kHalted);
  EXPECT_EQ(m.Read(0x5000), 0);
  EXPECT_EQ(m.Read(0x9000), 0xFFFF);
  std::vector<Event> events = m.TakeEvents();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].kind, EventKind::kRomWrite);
  EXPECT_EQ(events[0].repeats, 2u);
  EXPECT_EQ(events[0].message, "write to ROM at $5000 changes nothing");
  EXPECT_EQ(events[1].kind, EventKind::kUnmappedWrite);
  EXPECT_EQ(events[1].address, 0x9000);

  // Stopping on them: the run ends after the writing instruction.
  Machine s = Booted(Cartridge("main:   MVO R1, $5000\n        MVII #1, R2\n        HLT\n"));
  s.StopOnEvents(true);
  Stop stop = s.Run({.untilCycle = 1000});
  EXPECT_EQ(stop.reason, StopReason::kEvent);
  EXPECT_EQ(stop.address, 0x5008);
}

TEST(CpsimMachine, FaultsNameTheAddress) {
  struct Case {
    std::string body;
    uint16_t address;
    const char* message;
  } cases[] = {
      {"main:   J $6000\n", 0x6000, "The program ran into unmapped memory at $6000"},
      {"main:   DECLE $1234\n", 0x5006, "No instruction at $5006 (the word there is $1234)"},
      {"main:   DECLE $0004, $0003, $0000\n", 0x5006, "No instruction at $5006 (a jump with both interrupt bits set)"},
  };
  for (const Case& c : cases) {
    Machine m = Booted(Cartridge(c.body));
    Stop stop = m.Run({.untilCycle = 1000});
    EXPECT_EQ(stop.reason, StopReason::kFault) << c.body;
    EXPECT_EQ(stop.address, c.address) << c.body;
    EXPECT_EQ(stop.message, c.message);
    EXPECT_EQ(m.Pc(), c.address);
  }
}

const char* kCalls = R"(
main:   CALL sub
after:  MVII #1, R0
        CALL data
        DECLE 7
back:   HLT
sub:    PSHR R5
        MVII #2, R1
        CALL sub2
insub:  PULR R7
sub2:   MVII #3, R2
in2:    JR R5
data:   MVI@ R5, R3
        JR R5
)";

TEST(CpsimMachine, StepOverRunsARoutineToItsReturn) {
  Machine m = Booted(Cartridge(kCalls));
  const uint16_t main = m.Pc();
  Stop stop = m.StepOver();
  EXPECT_EQ(stop.reason, StopReason::kReturned);
  EXPECT_EQ(m.Pc(), main + 3);
  EXPECT_EQ(m.Cpu().r[1], 2);
  EXPECT_EQ(m.Cpu().r[2], 3);
  EXPECT_EQ(m.CallDepth(), 0u);
  m.StepOver();  // MVII: one instruction
  EXPECT_EQ(m.Pc(), main + 5);
  // A call followed by data the routine reads: it returns after the data.
  stop = m.StepOver();
  EXPECT_EQ(stop.reason, StopReason::kReturned);
  EXPECT_EQ(m.Pc(), main + 9);
  EXPECT_EQ(m.Cpu().r[3], 7);
  EXPECT_EQ(m.Step().reason, StopReason::kHalted);
}

TEST(CpsimMachine, StepIntoAndOut) {
  Machine m = Booted(Cartridge(kCalls));
  const uint16_t main = m.Pc();
  EXPECT_EQ(m.StepOut().reason, StopReason::kNoCaller);
  EXPECT_EQ(m.Pc(), main);
  m.Step();  // into sub
  EXPECT_EQ(m.CallDepth(), 1u);
  m.Step();
  m.Step();
  m.Step();  // into sub2
  EXPECT_EQ(m.CallDepth(), 2u);
  Stop stop = m.StepOut();
  EXPECT_EQ(stop.reason, StopReason::kReturned);
  EXPECT_EQ(m.CallDepth(), 1u);
  EXPECT_EQ(m.Cpu().r[2], 3);
  const uint16_t insub = m.Pc();
  EXPECT_EQ(m.DecodeAt(insub).info->mnemonic, std::string("PULR"));
  stop = m.StepOut();
  EXPECT_EQ(m.Pc(), main + 3);
  EXPECT_EQ(m.CallDepth(), 0u);
}

TEST(CpsimMachine, BreakpointsStopRunsAndSteps) {
  Machine m = Booted(Cartridge(kCalls));
  const uint16_t main = m.Pc();
  const uint16_t sub2 = main + 17;
  ASSERT_EQ(m.DecodeAt(sub2).info->mnemonic, std::string("MVII"));
  m.SetBreakpoint(sub2, true);
  Stop stop = m.StepOver();
  EXPECT_EQ(stop.reason, StopReason::kBreakpoint);
  EXPECT_EQ(m.Pc(), sub2);
  // Continuing from the breakpoint does not stop on it again.
  stop = m.Run({.untilCycle = 10000});
  EXPECT_EQ(stop.reason, StopReason::kHalted);
  m.SetBreakpoint(sub2, false);
  EXPECT_EQ(m.BreakpointCount(), 0u);

  Machine t = Booted(Cartridge(kCalls));
  stop = t.RunTo(sub2);
  EXPECT_EQ(stop.reason, StopReason::kReachedAddress);
  EXPECT_EQ(t.Pc(), sub2);
}

TEST(CpsimMachine, StepsRunAnInterruptThroughUnlessAskedNot) {
  // Stepping the main loop across frames: each step is one instruction of the loop, whether the
  // interrupt comes before or after it; asked to, a step stops at the dispatcher instead.
  for (bool into : {false, true}) {
    Machine m = Booted(Cartridge(kInterruptProgram));
    m.SetStepIntoInterrupts(into);
    ASSERT_EQ(m.RunTo(0x5013).reason, StopReason::kReachedAddress);  // loop: INCR R1, B loop
    bool sawDispatcher = false;
    while (m.Frames() < 3) {
      const uint16_t pc = m.Pc();
      const uint16_t r1 = m.Cpu().r[1];
      ASSERT_EQ(m.Step().reason, StopReason::kStepped);
      if (m.Pc() == kInterruptVector) {
        sawDispatcher = true;
        ASSERT_EQ(m.Run({.untilCycle = m.Cycles() + 2000}).reason, StopReason::kCycleLimit);
        continue;
      }
      ASSERT_TRUE(pc == 0x5013 || pc == 0x5014) << Hex4(pc);
      EXPECT_EQ(m.Pc(), pc == 0x5013 ? 0x5014 : 0x5013) << Hex4(pc) << " frame " << m.Frames();
      if (pc == 0x5013) {
        EXPECT_EQ(m.Cpu().r[1], static_cast<uint16_t>(r1 + 1));
      }
    }
    EXPECT_EQ(sawDispatcher, into);
    if (!into) {
      EXPECT_EQ(m.Read(0x0300), 3);
      // A frame limit stops before the frame's interrupt is taken: the next step takes it, runs it
      // through, and then steps the loop.
      ASSERT_EQ(m.Run({.untilFrame = 4}).reason, StopReason::kFrameLimit);
      ASSERT_TRUE(m.Cpu().interruptPending);
      const uint16_t pc = m.Pc();
      ASSERT_EQ(m.Step().reason, StopReason::kStepped);
      EXPECT_EQ(m.Read(0x0300), 4);
      EXPECT_EQ(m.Pc(), pc == 0x5013 ? 0x5014 : 0x5013);
    }
  }
}

TEST(CpsimMachine, StepOverACallWhileFramesGoBy) {
  Machine m = Booted(Cartridge(R"(
main:   MVII #isr, R0
        MVO R0, $100
        SWAP R0
        MVO R0, $101
        EIS
loop:   CALL sub
        B loop
sub:    INCR R2
        JR R5
isr:    MVO R0, $0020
        JR R5
)"));
  ASSERT_EQ(m.RunTo(0x500E).reason, StopReason::kReachedAddress);
  while (m.Frames() < 3) {
    const uint16_t pc = m.Pc();
    const uint16_t r2 = m.Cpu().r[2];
    Stop stop = m.StepOver();
    if (pc == 0x500E) {
      ASSERT_EQ(stop.reason, StopReason::kReturned);
      ASSERT_EQ(m.Pc(), 0x5011) << "frame " << m.Frames();
      ASSERT_EQ(m.Cpu().r[2], r2 + 1);
    } else {
      ASSERT_EQ(pc, 0x5011);
      ASSERT_EQ(m.Pc(), 0x500E);
    }
    ASSERT_EQ(m.CallDepth(), 0u);
  }
}

TEST(CpsimMachine, BreakStopsARunThatNeverEnds) {
  Machine m = Booted(Cartridge("main:   B main\n"));
  std::atomic<bool> breakFlag{false};
  std::thread breaker([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    breakFlag = true;
  });
  Stop stop = m.Run({}, &breakFlag);
  breaker.join();
  EXPECT_EQ(stop.reason, StopReason::kBreak);
  EXPECT_GT(m.Cycles(), 0u);
  // The flag is looked at every few thousand instructions: counted in cycles, not timed, so
  // that a loaded computer cannot fail it.
  const uint64_t before = m.Cycles();
  EXPECT_EQ(m.Run({}, &breakFlag).reason, StopReason::kBreak);
  EXPECT_LT(m.Cycles() - before, 100000u);
}

TEST(CpsimMachine, StatusLineAsTheDebuggerShowsIt) {
  Machine m;
  m.Load(Assembled("        ORG $1026\n        MVII #$02F1, R6\n"));
  m.StartAt(0x1026);
  m.Cpu().r[5] = 0x1003;
  m.Cpu().r[6] = 0;
  EXPECT_EQ(m.StatusLine(), " 0000 0000 0000 0000 0000 1003 0000 1026 ------i-  MVII #$02f1,R6            0");
  m.Cpu().flags = {.s = true, .z = true, .o = true, .c = true, .i = true, .d = true};
  m.Cpu().interruptible = false;
  m.Cpu().interruptPending = true;
  EXPECT_EQ(m.StatusLine().substr(41, 8), "SCOZID-q");
}

TEST(CpsimMachine, PokesBetweenRuns) {
  Machine m;
  EXPECT_TRUE(m.Write(0x0100, 0x1234));
  EXPECT_EQ(m.Read(0x0100), 0x34);
  EXPECT_TRUE(m.Write(0x0200, 0x1234));
  EXPECT_EQ(m.Read(0x0200), 0x1234);
  EXPECT_FALSE(m.Write(0x9000, 1));
  EXPECT_EQ(m.RegionAt(0x3800), Region::kGram);
  EXPECT_EQ(m.RegionAt(0x1000), Region::kNoExec);
  EXPECT_EQ(m.RegionAt(0x1004), Region::kDispatcher);
}

}  // namespace cpsim_machine_test
}  // namespace cpsim
