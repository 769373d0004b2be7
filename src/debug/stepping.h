// What Step Into, Step Over, Step Out and Run to Cursor mean, instruction by instruction: the
// debugger runs the simulator one instruction at a time and asks this rule whether to stop.
// No windows here.
#pragma once

#include <cstdint>

#include "assemble/source_map.h"

namespace quillon {

// How an instruction moves the program counter, as far as calls matter.
enum class Flow {
  kOther,
  kCall,    // JSR, JSRE, JSRD: three words; the return address goes to R4, R5 or R6
  kReturn,  // JR R4/R5/R6 (MOVR Rn, R7) or PULR R7 (MVI@ R6, R7)
};
// The flow of the instruction whose first two words are `first` and `second`.
Flow FlowOf(uint16_t first, uint16_t second);
inline constexpr int kCallWords = 3;

enum class StepKind {
  kInto,  // to the next source line, into the routines it calls
  kOver,  // to the next source line at this call depth; calls run to their return
  kOut,   // until the routine running now returns
  kRun,   // until a breakpoint (Continue; Run to Cursor with its line as one)
};

class StepRule {
 public:
  // A step from `pc`, with the map (which may be empty) telling lines apart.
  StepRule(StepKind kind, const SourceMap& map, uint32_t pc);
  // After each instruction: `executed` is the flow of the one just run, `interrupted` true when the
  // CPU then took an interrupt, `pc` where the next instruction stands. True: stop here.
  bool StopAt(Flow executed, bool interrupted, uint32_t pc);
  int Depth() const { return depth_; }

 private:
  StepKind kind_;
  const SourceMap& map_;
  uint32_t start_;
  bool startMapped_;
  SourcePlace startPlace_;
  int depth_ = 0;
  int interruptFloor_ = -1;  // the depth an interrupt's routine runs at, while it runs
};

}  // namespace quillon
