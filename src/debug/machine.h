// What the debugger needs of a simulated console, so that its run loop and rules stay apart from
// how the simulator is built. No windows here.
#pragma once

#include <atomic>
#include <bitset>
#include <cstdint>
#include <string>
#include <vector>

namespace quillon {

struct CpuState {
  uint16_t r[8] = {};  // R7 is the program counter
  bool s = false, z = false, o = false, c = false, i = false, d = false;
  uint64_t cycles = 0;
  uint64_t frames = 0;
};

// Something the simulator noticed at the instruction at `pc`: a warning, or why it stopped.
struct MachineNote {
  uint32_t pc = 0;
  std::string text;
};

// The addresses a run stops at before their instruction runs.
using BreakAddresses = std::bitset<0x10000>;

enum class MachineResult {
  kDone,        // the step ran, or the routine returned
  kBreakpoint,  // the PC reached a breakpoint (not run yet)
  kBreak,       // the break flag was set
  kEnded,       // HLT or a fault: the program cannot go on
  kNoCaller,    // Step Out outside any routine the simulator saw called: nothing ran
};

class Machine {
 public:
  virtual ~Machine() = default;
  // The run calls return within about a millisecond of `breakFlag` being set; `note` says why a
  // run ended or refused. A breakpoint at the PC a call starts from does not stop it.
  virtual MachineResult Run(const std::atomic<bool>& breakFlag, MachineNote& note) = 0;
  // One instruction; with `over`, a call runs until it returns. An interrupt taken on the way runs
  // to its end.
  virtual MachineResult Step(bool over, const std::atomic<bool>& breakFlag, MachineNote& note) = 0;
  // Until the routine running now returns.
  virtual MachineResult StepOut(const std::atomic<bool>& breakFlag, MachineNote& note) = 0;
  virtual void SetBreakpoints(const BreakAddresses& addresses) = 0;
  virtual CpuState State() const = 0;
  // A word of memory as the CPU would read it, without side effects; $FFFF where nothing is mapped.
  virtual uint16_t Peek(uint32_t address) const = 0;
  // The warnings raised since the last call, oldest first.
  virtual void TakeWarnings(std::vector<MachineNote>& warnings) = 0;
  // The instruction at `address` as the disassembler writes it, and how many words it takes.
  virtual std::string Disassemble(uint32_t address, int& words) const = 0;
};

}  // namespace quillon
