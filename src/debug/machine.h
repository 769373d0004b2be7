// What the debugger needs of a simulated console, so that its run loop and rules do not depend on
// how the simulator is built. No windows here.
#pragma once

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

// Something the simulator noticed at the instruction at `pc`: a warning, or the reason it stopped.
struct MachineNote {
  uint32_t pc = 0;
  std::string text;
};

class Machine {
 public:
  virtual ~Machine() = default;
  // Runs one instruction and, when one is due after it, takes the interrupt (`interrupted`).
  // False when the program cannot go on (HLT, a fault): `stop` says why.
  virtual bool Step(bool& interrupted, MachineNote& stop) = 0;
  virtual CpuState State() const = 0;
  // A word of memory as the CPU would read it, without side effects; 0xFFFF where nothing is mapped.
  virtual uint16_t Peek(uint32_t address) const = 0;
  // The warnings raised since the last call, oldest first.
  virtual void TakeWarnings(std::vector<MachineNote>& warnings) = 0;
  // The instruction at `address` as the disassembler writes it, and how many words it takes.
  virtual std::string Disassemble(uint32_t address, int& words) const = 0;
};

}  // namespace quillon
