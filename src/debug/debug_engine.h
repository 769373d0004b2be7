// The debugger's run loop on the worker's thread: Continue and Step Out are the simulator's own
// runs; Step Into and Step Over go instruction by instruction until the source line changes. No
// windows here.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "assemble/source_map.h"
#include "debug/machine.h"
#include "debug/stepping.h"

namespace quillon {

enum class StopCause { kStepDone, kBreakpoint, kBreak, kEnded, kRefused };

struct StopReport {
  StopCause cause = StopCause::kStepDone;
  std::string text;  // kEnded, kRefused: why
  uint32_t pc = 0;   // where it stopped (kEnded: where the fault was)
};

// Runs the machine by `kind` until that is done, a breakpoint in `breaks` is reached, the break
// flag is set or the program ends. `warning` hears of each warning the machine raised.
StopReport RunMachine(Machine& machine, StepKind kind, const SourceMap& map, const BreakAddresses& breaks,
                      const std::atomic<bool>& breakFlag, const std::function<void(const MachineNote&)>& warning);

}  // namespace quillon
