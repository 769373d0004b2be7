// The debugger's run loop: runs the machine instruction by instruction on the worker's thread
// until a step is done, a breakpoint is reached, Break is asked for, or the program stops. No
// windows here.
#pragma once

#include <atomic>
#include <bitset>
#include <cstdint>
#include <functional>
#include <string>

#include "debug/machine.h"
#include "debug/source_map.h"
#include "debug/stepping.h"

namespace quillon {

enum class StopCause { kStepDone, kBreakpoint, kBreak, kEnded };

struct StopReport {
  StopCause cause = StopCause::kStepDone;
  std::string text;  // for kEnded: why the program cannot go on
  uint32_t pc = 0;   // where it stopped (for kEnded: the instruction that ended it)
  uint64_t instructions = 0;
};

// The addresses a run stops at before their instruction runs.
using BreakAddresses = std::bitset<0x10000>;

// Runs from the machine's PC by `kind`. An instruction at a breakpoint address stops the run before
// it runs, except the first one (the run starts from a breakpoint there). `breakFlag` is read
// every few thousand instructions and stops the run when set. `warning` hears of each warning as
// it is raised.
StopReport RunMachine(Machine& machine, StepKind kind, const SourceMap& map, const BreakAddresses& breaks,
                      const std::atomic<bool>& breakFlag, const std::function<void(const MachineNote&)>& warning);

}  // namespace quillon
