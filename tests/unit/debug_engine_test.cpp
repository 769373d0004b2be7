// The debugger's run loop on the real simulator: a program built by the bundled assembler, its
// lines found through the listing, run to a breakpoint, stepped over, into and out of calls, and
// broken out of a loop that never ends.
#include "debug/debug_engine.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "cpasm/assembler.h"
#include "cpsim/image.h"
#include "debug/simulator_machine.h"

namespace quillon {
namespace debug_engine_test {

constexpr const char* kFile = "C:\\Game\\main.asm";
const std::vector<std::string> kProgram = {
    "        ROMW    16",         // 1
    "        ORG     $4800",      // 2
    "MAIN:   MVII    #5, R0",     // 3
    "        CALL    ADD2",       // 4
    "        INCR    R0",         // 5
    "        CALL    TWICE",      // 6
    "        MVO     R0, $0200",  // 7
    "LOOP:   B       LOOP",       // 8
    "ADD2:   INCR    R0",         // 9
    "        INCR    R0",         // 10
    "        JR      R5",         // 11
    "TWICE:  PSHR    R5",         // 12
    "        CALL    ADD2",       // 13
    "        CALL    ADD2",       // 14
    "        PULR    R7",         // 15
};

class DebugEngine : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string text;
    for (const std::string& line : kProgram) text += line + "\n";
    const cpasm::Assembly assembly =
        cpasm::AssembleText(kFile, text, [](const std::string&, std::string&) { return false; });
    ASSERT_EQ(assembly.errors, 0) << assembly.listing;
    cpsim::Image image;
    std::string error;
    ASSERT_TRUE(cpsim::ReadBin(cpasm::ImageBytes(assembly), cpasm::MemoryMapText(assembly), image, error)) << error;
    machine_ = MakeSimulatorMachine(image, error);
    ASSERT_TRUE(machine_) << error;
    std::vector<std::string> problems;
    ReadListingText(
        assembly.listing, kFile, {},
        [](const std::string& path, std::vector<std::string>& lines) {
          lines = kProgram;
          return path == kFile;
        },
        map_, problems);
    ASSERT_TRUE(problems.empty()) << problems[0];
  }
  // Runs `kind`; the stop's cause and the line (counted from 1) the PC is on.
  std::pair<StopCause, int> Run(StepKind kind) {
    const StopReport report = RunMachine(*machine_, kind, map_, breaks_, flag_, [](const MachineNote&) {});
    SourcePlace place;
    return {report.cause, map_.Find(machine_->State().r[7], place) ? place.line + 1 : -1};
  }
  uint32_t LineAddress(int line) { return map_.AddressesOf(kFile, line - 1).at(0); }

  std::unique_ptr<Machine> machine_;
  SourceMap map_;
  BreakAddresses breaks_;
  std::atomic<bool> flag_{false};
};

TEST_F(DebugEngine, StepsGoByLinesOverIntoAndOutOfCalls) {
  ASSERT_EQ(machine_->State().r[7], LineAddress(3));  // the boot starts the program at $4800
  breaks_.set(LineAddress(4));
  const struct {
    const char* what;
    StepKind kind;
    StopCause cause;
    int line;
    uint16_t r0;
  } steps[] = {
      {"Continue to the breakpoint on the CALL", StepKind::kRun, StopCause::kBreakpoint, 4, 5},
      {"Step Over runs the routine", StepKind::kOver, StopCause::kStepDone, 5, 7},
      {"Step Into an INCR", StepKind::kInto, StopCause::kStepDone, 6, 8},
      {"Step Into the CALL", StepKind::kInto, StopCause::kStepDone, 12, 8},
      {"Step Over the PSHR", StepKind::kOver, StopCause::kStepDone, 13, 8},
      {"Step Into a nested call", StepKind::kInto, StopCause::kStepDone, 9, 8},
      {"Step Out to the caller", StepKind::kOut, StopCause::kStepDone, 14, 10},
      {"Step Out again: back after CALL TWICE", StepKind::kOut, StopCause::kStepDone, 7, 12},
      {"Step Into the store", StepKind::kInto, StopCause::kStepDone, 8, 12},
      {"Step Into a line that branches to itself stops each time round", StepKind::kInto, StopCause::kStepDone, 8, 12},
  };
  for (const auto& step : steps) {
    const auto [cause, line] = Run(step.kind);
    EXPECT_EQ(cause, step.cause) << step.what;
    EXPECT_EQ(line, step.line) << step.what;
    EXPECT_EQ(machine_->State().r[0], step.r0) << step.what;
  }
  EXPECT_EQ(machine_->Peek(0x0200), 12);
}

TEST_F(DebugEngine, BreakStopsALoopThatNeverEndsAtOnce) {
  std::thread breaker([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    flag_ = true;
  });
  const auto [cause, line] = Run(StepKind::kRun);
  breaker.join();
  EXPECT_EQ(cause, StopCause::kBreak);
  EXPECT_EQ(line, 8);
  EXPECT_GT(machine_->State().frames, 0u);  // the display interrupt ran meanwhile
  // A Break already asked for stops the run within a few thousand instructions, whatever the
  // load on the computer: counted in the machine's cycles, not timed.
  const auto before = machine_->State().cycles;
  EXPECT_EQ(Run(StepKind::kRun).first, StopCause::kBreak);
  EXPECT_LT(machine_->State().cycles - before, 100000u);
  // Step Out where no call was seen says so and runs nothing.
  flag_ = false;
  const uint16_t pc = machine_->State().r[7];
  const StopReport refused = RunMachine(*machine_, StepKind::kOut, map_, breaks_, flag_, [](const MachineNote&) {});
  EXPECT_EQ(refused.cause, StopCause::kRefused);
  EXPECT_FALSE(refused.text.empty());
  EXPECT_EQ(machine_->State().r[7], pc);
}

}  // namespace debug_engine_test
}  // namespace quillon
