// The simulated console: a CP1610 with the console's memory (STIC registers, 8-bit scratch RAM,
// the sound chip's registers, 16-bit system RAM, GRAM), the program's image, the display
// interrupt once a frame and the Executive's boot. Portable, no windows, no threads of its own.
//
// Use from a debugger:
//   Machine m;
//   m.Load(image);                  // the program (image.h reads .bin + .cfg or .rom)
//   m.LoadExecutive(words);         // optional: the user's own exec.bin
//   m.Boot(error);                  // reset as the console does (or its documented short-cut)
//   m.SetBreakpoint(0x5010, true);
//   Stop s = m.Run({}, &breakFlag);  // on a worker thread; another thread sets breakFlag to Break
//   ... s.reason, m.Registers(), m.Read(a), m.TakeEvents() between runs ...
//   m.Step(); m.StepOver(); m.StepOut(); m.RunTo(address);
// Every run call returns within about a millisecond of the break flag being set, and never runs
// past the limits it is given. Between runs (never during one), any thread may read and write the
// state; the machine is not otherwise thread-safe.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "cpasm/isa.h"
#include "cpsim/image.h"

namespace cpsim {

// NTSC timing (the console's interrupt documentation).
inline constexpr uint32_t kCyclesPerFrame = 14934;  // one display interrupt every this many cycles
inline constexpr uint32_t kSticWindow = 2000;       // STIC registers open after the interrupt
inline constexpr uint32_t kGramWindow = 3780;       // GRAM open after the interrupt
inline constexpr uint16_t kExecStart = 0x1000, kExecEnd = 0x1FFF;
inline constexpr uint16_t kInterruptVector = 0x1004;  // where the CPU goes to take an interrupt
inline constexpr uint16_t kDispatcherExit = 0x1014;   // the dispatcher's return code
inline constexpr uint16_t kBootStack = 0x02F1;

// What a memory address is.
enum class Region : uint8_t {
  kUnmapped,
  kRom,         // the program's ROM (writes are events and change nothing)
  kRam16,       // 16-bit RAM (the console's system RAM, or the program's)
  kRam8,        // 8-bit RAM: the upper byte reads as zero
  kStic,        // STIC registers: writes open only in vertical blank while the display is on
  kGram,        // graphics RAM, 8 bits: as the STIC, with a longer window
  kPsg,         // the sound chip's registers, 8 bits
  kExec,        // the user's Executive ROM image
  kDispatcher,  // the interrupt dispatcher the boot short-cut supplies in place of the Executive's
  kNoExec,      // the Executive's addresses without its image: running code there stops
};

struct Flags {
  bool s = false, z = false, o = false, c = false;
  bool i = false;  // interrupts enabled
  bool d = false;  // SDBD in force for the next instruction
};

struct CpuState {
  uint16_t r[8] = {};  // R0-R7; R6 is the stack pointer, R7 the program counter
  Flags flags;
  bool interruptible = true;  // the last instruction lets an interrupt be taken before the next
  bool interruptPending = false;
};

enum class EventKind : uint8_t {
  kRomWrite,       // a write to ROM: changes nothing
  kUnmappedWrite,  // a write where nothing is mapped: changes nothing
  kSticDropped,    // a STIC register write outside vertical blank, dropped as on the console
  kGramDropped,    // a GRAM write outside vertical blank, dropped as on the console
  kExecutiveCall,  // code ran into the Executive's addresses without its image
  kInterruptLost,  // the display interrupt went untaken for its whole window
};

struct Event {
  EventKind kind;
  uint16_t pc;       // the instruction that caused it
  uint16_t address;  // the address it concerns
  uint64_t cycle;
  uint64_t frame;
  uint32_t repeats;     // how many more times the same kind at the same pc happened since (see TakeEvents)
  std::string message;  // "GRAM write at $3812 outside vertical blank, dropped on the console"
};

enum class StopReason : uint8_t {
  kHalted,          // HLT ran (the PC is after it)
  kFault,           // no instruction at the PC, or the PC in unmapped memory (message says which)
  kExecutiveCall,   // the PC in the Executive's addresses without its image (message as the event)
  kBreakpoint,      // the PC reached a breakpoint (it has not run)
  kBreak,           // the break flag was set
  kCycleLimit,      // the cycle count reached RunLimits::untilCycle
  kFrameLimit,      // the frame count reached RunLimits::untilFrame
  kEvent,           // an event happened while StopOnEvents is on (the instruction has run)
  kStepped,         // Step: one instruction ran
  kReturned,        // StepOver / StepOut: back in the caller
  kReachedAddress,  // RunTo: the PC reached the address
  kNoCaller,        // StepOut outside any routine the machine saw called: nothing ran
};

struct Stop {
  StopReason reason = StopReason::kStepped;
  uint16_t address = 0;  // the PC now, or the faulting address
  std::string message;   // for faults, the Executive call and events; otherwise empty
};

// Absolute limits (0: none); a run stops before an instruction once one is reached.
struct RunLimits {
  uint64_t untilCycle = 0;
  uint64_t untilFrame = 0;
};

// What each run call reports back; `trace` (optional) is called before every instruction.
class Tracer {
 public:
  virtual ~Tracer() = default;
  virtual void BeforeInstruction(const class Machine &) = 0;
};

class Machine {
 public:
  Machine();

  // The program's memory on top of the console's regions; replaces what an earlier Load put.
  void Load(const Image &image);
  // The user's Executive ROM: 4096 words for $1000-$1FFF. False if it is not that size.
  bool LoadExecutive(const std::vector<uint16_t> &words, std::string &error);
  bool HasExecutive() const { return hasExec_; }
  // The graphics ROM (2048 bytes for $3000-$37FF), when the user has one beside the Executive.
  bool LoadGraphicsRom(const std::vector<uint16_t> &bytes, std::string &error);

  // Reset: with the Executive, the PC at $1000 as on the console. Without it, the short-cut: SP =
  // $02F1, $5014 at $02F0, the interrupt vector at $0100-$0101 pointing to the dispatcher's exit,
  // interrupts enabled, and the PC at $7000 or $4800 when ROM is there, else the start address of
  // the cartridge header ($5004-$5005, low byte first). False when there is nothing to start.
  bool Boot(std::string &error);
  // Reset, then start at `pc` with interrupts off (a routine run as a test), SP = $02F1.
  void StartAt(uint16_t pc);

  // The run calls. `breakFlag`: set by another thread to stop (the call clears nothing; the caller
  // resets it). A breakpoint at the PC where a call starts does not stop it again.
  Stop Run(const RunLimits &limits = {}, const std::atomic<bool> *breakFlag = nullptr);
  Stop Step(const std::atomic<bool> *breakFlag = nullptr);      // one instruction (see below)
  Stop StepOver(const std::atomic<bool> *breakFlag = nullptr);  // a JSR runs until it returns
  Stop StepOut(const std::atomic<bool> *breakFlag = nullptr);   // until the current routine returns
  // The same within limits (a routine that never returns stops at them).
  Stop Step(const RunLimits &limits, const std::atomic<bool> *breakFlag = nullptr);
  Stop StepOver(const RunLimits &limits, const std::atomic<bool> *breakFlag = nullptr);
  Stop StepOut(const RunLimits &limits, const std::atomic<bool> *breakFlag = nullptr);
  Stop RunTo(uint16_t address, const RunLimits &limits = {}, const std::atomic<bool> *breakFlag = nullptr);
  // Step, StepOver and StepOut run an interrupt taken on the way through to its end (stopping at a
  // breakpoint inside it), unless this is on.
  void SetStepIntoInterrupts(bool on) { stepIntoInterrupts_ = on; }

  void SetBreakpoint(uint16_t address, bool on);
  void ClearBreakpoints();
  bool Breakpoint(uint16_t address) const { return breakpoints_[address] != 0; }
  size_t BreakpointCount() const { return breakpointCount_; }
  // Stop a run at every event (including repeats), not only collect it.
  void StopOnEvents(bool on) { stopOnEvents_ = on; }
  void SetTracer(Tracer *tracer) { tracer_ = tracer; }

  // State between runs.
  const CpuState &Cpu() const { return cpu_; }
  CpuState &Cpu() { return cpu_; }
  uint16_t Pc() const { return cpu_.r[7]; }
  uint64_t Cycles() const { return cycles_; }
  uint64_t Frames() const { return frames_; }
  Region RegionAt(uint16_t address) const { return static_cast<Region>(region_[address]); }
  // Memory as the program sees it, without side effects (unmapped reads $FFFF).
  uint16_t Read(uint16_t address) const;
  // Changes memory whatever its region (as a debugger's poke); false for unmapped addresses.
  // 8-bit regions keep the low byte.
  bool Write(uint16_t address, uint16_t value);
  // How many routines deep the machine has seen the program go (JSRs and interrupts not yet
  // returned from).
  size_t CallDepth() const { return calls_.size(); }
  // The instruction at `address` as memory holds it now (`sdbd`: after an SDBD).
  isa::Decoded DecodeAt(uint16_t address, bool sdbd = false) const;

  // The events since the last call, oldest first. The same kind at the same instruction is reported
  // once per machine; later ones only count in the first's `repeats` until it is taken.
  std::vector<Event> TakeEvents();

  // The status line of the console's debugger for the instruction at the PC:
  // " 0000 0000 0000 0000 0000 1003 0000 1026 --------  MVII #$02f1,R6           13"
  std::string StatusLine() const;

 private:
  enum class Mode : uint8_t { kRun, kStep, kOver, kOut, kTo };
  struct CallFrame {
    uint16_t returnTo;
    bool interrupt;
  };
  Stop Execute(Mode mode, uint16_t target, size_t depth, const RunLimits &limits, const std::atomic<bool> *breakFlag);
  // One instruction at the PC; false with `stop` set when it could not run.
  bool ExecuteOne(Stop &stop);
  void StartFrame();
  void TakeInterrupt();
  uint16_t ReadBus(uint16_t address);
  void WriteBus(uint16_t address, uint16_t value);
  void AddEvent(EventKind kind, uint16_t address, std::string message);
  void ResetState();
  void LayOut();  // memory and regions from the console, the Executive and the image
  void PushCall(uint16_t returnTo, bool interrupt);

  CpuState cpu_;
  uint64_t cycles_ = 0;
  uint64_t frames_ = 0;
  uint64_t frameStart_ = 0;  // the cycle the current frame's interrupt was asserted
  uint64_t nextFrame_ = kCyclesPerFrame;
  bool acknowledged_ = false;  // the CPU took this frame's interrupt
  bool displayOn_ = false;     // the display was enabled in this frame's window
  bool hasExec_ = false;
  bool stepIntoInterrupts_ = false;
  bool stopOnEvents_ = false;
  bool eventStop_ = false;
  bool hasBreakpoints_ = false;
  size_t breakpointCount_ = 0;
  bool returnLike_ = false;  // the last instruction wrote the PC as a return would
  uint16_t pcOfInstruction_ = 0;
  Tracer *tracer_ = nullptr;

  Image image_;
  std::vector<uint16_t> exec_, grom_;
  std::vector<uint16_t> memory_;
  std::vector<uint8_t> region_;
  std::vector<uint8_t> breakpoints_;
  std::vector<CallFrame> calls_;
  std::vector<Event> events_;
  std::map<std::pair<int, uint16_t>, size_t> seen_;  // (kind, pc) -> index in events_, or SIZE_MAX once taken
};

// "$1234"
std::string Hex4(uint16_t value);

}  // namespace cpsim
