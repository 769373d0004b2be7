#include "debug/stepping.h"

#include <string_view>

#include "cpasm/isa.h"

namespace quillon {

Flow FlowOf(uint16_t first, uint16_t second) {
  const uint16_t words[3] = {first, second, 0};
  const isa::Decoded decoded = isa::DecodeWords(0, words, 3);
  if (!decoded.info) return Flow::kOther;
  const std::string_view name = decoded.info->mnemonic;
  if (decoded.info->form == isa::Form::kJumpSave || decoded.info->form == isa::Form::kCall) return Flow::kCall;
  // JR R4/R5/R6 (MOVR Rn, R7) and PULR R7 (MVI@ R6, R7) go back to where a call came from.
  if (name == "JR" && decoded.pointer >= 4 && decoded.pointer <= 6) return Flow::kReturn;
  if (name == "PULR" && decoded.reg == 7) return Flow::kReturn;
  return Flow::kOther;
}

StepRule::StepRule(StepKind kind, const SourceMap& map, uint32_t pc) : kind_(kind), map_(map), start_(pc) {
  startMapped_ = map.Find(pc, startPlace_);
}

bool StepRule::StopAt(Flow executed, bool interrupted, uint32_t pc) {
  if (executed == Flow::kCall) ++depth_;
  if (executed == Flow::kReturn) --depth_;
  if (interrupted) {
    ++depth_;  // its routine returns through the stack as a call does
    if (interruptFloor_ < 0) interruptFloor_ = depth_;
  }
  if (interruptFloor_ >= 0) {
    if (depth_ >= interruptFloor_) return false;  // an interrupt's routine runs whole
    interruptFloor_ = -1;
  }
  switch (kind_) {
    case StepKind::kRun:
      return false;
    case StepKind::kOut:
      return depth_ < 0;
    case StepKind::kOver:
      if (depth_ > 0) return false;
      if (depth_ < 0) return true;  // the routine of the line returned
      [[fallthrough]];
    case StepKind::kInto: {
      if (!startMapped_) return true;  // no source here: one instruction
      SourcePlace place;
      if (!map_.Find(pc, place)) return false;  // code without source: on to a line that has it
      if (place != startPlace_) return true;
      return pc == start_ || map_.StartsLine(pc);  // the same line again: a loop went round
    }
  }
  return true;
}

}  // namespace quillon
