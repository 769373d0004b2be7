#include "debug/simulator_machine.h"

#include "cpasm/isa.h"
#include "cpsim/machine.h"

namespace quillon {

namespace {

class SimulatorMachine : public Machine {
 public:
  cpsim::Machine machine;

  MachineResult Run(const std::atomic<bool>& breakFlag, MachineNote& note) override {
    return Result(machine.Run({}, &breakFlag), note);
  }
  MachineResult Step(bool over, const std::atomic<bool>& breakFlag, MachineNote& note) override {
    return Result(over ? machine.StepOver(&breakFlag) : machine.Step(&breakFlag), note);
  }
  MachineResult StepOut(const std::atomic<bool>& breakFlag, MachineNote& note) override {
    return Result(machine.StepOut(&breakFlag), note);
  }
  void SetBreakpoints(const BreakAddresses& addresses) override {
    machine.ClearBreakpoints();
    for (uint32_t a = 0; a < 0x10000; ++a)
      if (addresses.test(a)) machine.SetBreakpoint(static_cast<uint16_t>(a), true);
  }
  CpuState State() const override {
    CpuState state;
    const cpsim::CpuState& cpu = machine.Cpu();
    for (int i = 0; i < 8; ++i) state.r[i] = cpu.r[i];
    state.s = cpu.flags.s;
    state.z = cpu.flags.z;
    state.o = cpu.flags.o;
    state.c = cpu.flags.c;
    state.i = cpu.flags.i;
    state.d = cpu.flags.d;
    state.cycles = machine.Cycles();
    state.frames = machine.Frames();
    return state;
  }
  uint16_t Peek(uint32_t address) const override { return machine.Read(static_cast<uint16_t>(address)); }
  void TakeWarnings(std::vector<MachineNote>& warnings) override {
    for (const cpsim::Event& event : machine.TakeEvents()) {
      std::string text = event.message;
      if (event.repeats > 0) text += " (and " + std::to_string(event.repeats) + " more times)";
      warnings.push_back({event.pc, text});
    }
  }
  std::string Disassemble(uint32_t address, int& words) const override {
    const isa::Decoded decoded = machine.DecodeAt(static_cast<uint16_t>(address));
    words = decoded.words;
    return isa::Disassemble(decoded);
  }

 private:
  static MachineResult Result(const cpsim::Stop& stop, MachineNote& note) {
    note = {stop.address, stop.message};
    switch (stop.reason) {
      case cpsim::StopReason::kStepped:
      case cpsim::StopReason::kReturned:
      case cpsim::StopReason::kReachedAddress:
        return MachineResult::kDone;
      case cpsim::StopReason::kBreakpoint:
        return MachineResult::kBreakpoint;
      case cpsim::StopReason::kBreak:
        return MachineResult::kBreak;
      case cpsim::StopReason::kNoCaller:
        return MachineResult::kNoCaller;
      case cpsim::StopReason::kHalted:
        note.pc = static_cast<uint16_t>(stop.address - 1);
        note.text = "the program halted (HLT at " + cpsim::Hex4(static_cast<uint16_t>(note.pc)) + ")";
        return MachineResult::kEnded;
      case cpsim::StopReason::kFault:
      case cpsim::StopReason::kExecutiveCall:
      case cpsim::StopReason::kCycleLimit:
      case cpsim::StopReason::kFrameLimit:
      case cpsim::StopReason::kEvent:
        if (note.text.empty()) note.text = "the simulator stopped at " + cpsim::Hex4(stop.address);
        return MachineResult::kEnded;
    }
    return MachineResult::kEnded;
  }
};

}  // namespace

std::unique_ptr<Machine> MakeSimulatorMachine(const cpsim::Image& image, std::string& problem) {
  auto machine = std::make_unique<SimulatorMachine>();
  machine->machine.Load(image);
  if (!machine->machine.Boot(problem)) return nullptr;
  return machine;
}

std::unique_ptr<Machine> LoadSimulatorMachine(const std::string& path, const std::string& romPath,
                                              const std::string& folder, std::string& problem) {
  cpsim::Image image;
  if (!cpsim::ReadImageFile(path, image, problem)) return nullptr;
  auto machine = std::make_unique<SimulatorMachine>();
  machine->machine.Load(image);
  const std::string exec = cpsim::FindRomFile(romPath, folder, "exec.bin");
  if (!exec.empty()) {
    std::vector<uint16_t> words;
    if (!cpsim::ReadExecutive(exec, words, problem) || !machine->machine.LoadExecutive(words, problem)) return nullptr;
    const std::string grom = cpsim::FindRomFile(romPath, folder, "grom.bin");
    std::vector<uint16_t> bytes;
    std::string ignored;
    if (!grom.empty() && cpsim::ReadGraphicsRom(grom, bytes, ignored)) machine->machine.LoadGraphicsRom(bytes, ignored);
  }
  if (!machine->machine.Boot(problem)) return nullptr;
  return machine;
}

}  // namespace quillon
