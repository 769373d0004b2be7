#include "debug/debug_engine.h"

#include <vector>

namespace quillon {

namespace {

StopReport Report(MachineResult result, const MachineNote& note, uint32_t pc) {
  StopReport report;
  report.pc = pc;
  switch (result) {
    case MachineResult::kDone:
      report.cause = StopCause::kStepDone;
      break;
    case MachineResult::kBreakpoint:
      report.cause = StopCause::kBreakpoint;
      break;
    case MachineResult::kBreak:
      report.cause = StopCause::kBreak;
      break;
    case MachineResult::kEnded:
      report.cause = StopCause::kEnded;
      report.text = note.text;
      report.pc = note.pc;
      break;
    case MachineResult::kNoCaller:
      report.cause = StopCause::kRefused;
      report.text = "Step Out: " + note.text + ".";
      break;
  }
  return report;
}

}  // namespace

StopReport RunMachine(Machine& machine, StepKind kind, const SourceMap& map, const BreakAddresses& breaks,
                      const std::atomic<bool>& breakFlag, const std::function<void(const MachineNote&)>& warning) {
  std::vector<MachineNote> warnings;
  const auto tell = [&] {
    machine.TakeWarnings(warnings);
    for (const MachineNote& note : warnings) warning(note);
    warnings.clear();
  };
  machine.SetBreakpoints(breaks);
  MachineNote note;
  if (kind == StepKind::kRun || kind == StepKind::kOut) {
    const MachineResult result =
        kind == StepKind::kRun ? machine.Run(breakFlag, note) : machine.StepOut(breakFlag, note);
    tell();
    return Report(result, note, machine.State().r[7]);
  }
  uint32_t pc = machine.State().r[7];
  StepRule rule(kind, map, pc);
  for (;;) {
    // A call Step Over runs whole counts as no call; a return still leaves the line's routine.
    Flow flow = FlowOf(machine.Peek(pc), machine.Peek(pc + 1));
    if (kind == StepKind::kOver && flow == Flow::kCall) flow = Flow::kOther;
    const MachineResult result = machine.Step(kind == StepKind::kOver, breakFlag, note);
    tell();
    pc = machine.State().r[7];
    if (result != MachineResult::kDone) return Report(result, note, pc);
    if (rule.StopAt(flow, false, pc)) return Report(MachineResult::kDone, note, pc);
    if (breaks.test(pc & 0xFFFF)) return Report(MachineResult::kBreakpoint, note, pc);
    if (breakFlag.load(std::memory_order_relaxed)) return Report(MachineResult::kBreak, note, pc);
  }
}

}  // namespace quillon
