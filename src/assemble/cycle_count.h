// Cycle counts of source lines, from the one instruction description (cpasm/isa.h), and their
// sums over a selection against the vertical-blank budgets. No windows.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "cpasm/isa.h"

namespace quillon {

// What the operands written after an instruction change in its cycles: the register it writes,
// the address register of an indirect form, a shift by 2; `afterSdbd` when an SDBD comes before.
isa::CycleContext ContextOf(const isa::InstructionInfo& info, std::string_view operands, bool afterSdbd);

// One source line's instruction: its cycles (a branch: not taken, taken).
struct LineCycles {
  const isa::InstructionInfo* info = nullptr;  // null: the line holds no instruction
  int least = 0, most = 0;
};
// The instruction of `lineText` (after its label, before its comment); `afterSdbd` when the line
// before it was an SDBD.
LineCycles CyclesOfLine(const std::string& lineText, bool afterSdbd);
// "8", or "7/9" for a branch not taken/taken; empty for no instruction.
std::string CyclesText(const LineCycles& cycles);

// The instructions of consecutive lines and their cycles together.
struct CycleSum {
  int instructions = 0;
  long long least = 0, most = 0;
};
CycleSum SumCycles(const std::vector<std::string>& lines);

// The vertical-blank budgets: GRAM can be written during about the first 3,780 cycles, the STIC
// registers during about the first 2,000.
inline constexpr long long kGramBudget = 3780;
inline constexpr long long kSticBudget = 2000;
// The status bar's text for a selection: "12 instructions, 96-104 cycles"; inside the interrupt
// routine, with a warning when the most exceeds a budget (elsewhere the vertical blank's budgets
// do not apply). Empty when the lines hold no instruction.
std::string CycleSumText(const CycleSum& sum, bool interruptRoutine);

}  // namespace quillon
