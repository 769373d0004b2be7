#include "debug/debug_engine.h"

#include <vector>

namespace quillon {

StopReport RunMachine(Machine& machine, StepKind kind, const SourceMap& map, const BreakAddresses& breaks,
                      const std::atomic<bool>& breakFlag, const std::function<void(const MachineNote&)>& warning) {
  StopReport report;
  uint32_t pc = machine.State().r[7];
  StepRule rule(kind, map, pc);
  std::vector<MachineNote> warnings;
  // About 2,000 instructions take well under a millisecond: Break answers at once.
  constexpr uint64_t kCheckEvery = 2048;
  for (;;) {
    if (report.instructions % kCheckEvery == 0 && breakFlag.load(std::memory_order_relaxed)) {
      report.cause = StopCause::kBreak;
      break;
    }
    if (report.instructions > 0 && breaks.test(pc & 0xFFFF)) {
      report.cause = StopCause::kBreakpoint;
      break;
    }
    const Flow flow = FlowOf(machine.Peek(pc), machine.Peek(pc + 1));
    bool interrupted = false;
    MachineNote stop;
    const bool goes = machine.Step(interrupted, stop);
    ++report.instructions;
    machine.TakeWarnings(warnings);
    for (const MachineNote& note : warnings) warning(note);
    warnings.clear();
    if (!goes) {
      report.cause = StopCause::kEnded;
      report.text = stop.text;
      report.pc = stop.pc;
      return report;
    }
    pc = machine.State().r[7];
    if (rule.StopAt(flow, interrupted, pc)) {
      report.cause = StopCause::kStepDone;
      break;
    }
  }
  report.pc = pc;
  return report;
}

}  // namespace quillon
