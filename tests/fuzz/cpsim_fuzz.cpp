// The simulator's image readers and CPU: any bytes as a .rom, or as a .bin with a .cfg, and what
// loads boots and runs for a bounded number of cycles through every run call, without a crash,
// and with what it reports agreeing with itself.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "cpsim/image.h"
#include "cpsim/machine.h"
#include "cpsim/source_map.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  cpsim::Image image;
  std::string error;
  bool loaded;
  if (data[0] == 0xA8) {
    loaded = cpsim::ReadRom(bytes, image, error);
  } else {
    // First byte: how much of the rest is the .cfg text; the .bin follows it.
    const std::size_t cfgSize = std::min<std::size_t>(data[0] * 4u, size - 1);
    loaded = cpsim::ReadBin(bytes.substr(1 + cfgSize), bytes.substr(1, cfgSize), image, error);
    cpsim::SourceMap map;
    map.Parse(bytes.substr(1, cfgSize));
    (void)map.Find(0x5000);
  }
  if (loaded != error.empty()) std::abort();  // refused means a message; loaded means none
  if (!loaded) return 0;
  for (const cpsim::MemoryRange& range : image.ranges) {
    if (range.last < range.first) std::abort();
    if (!range.words.empty() && range.words.size() != static_cast<std::size_t>(range.last - range.first) + 1) {
      std::abort();
    }
  }
  cpsim::Machine machine;
  machine.Load(image);
  if (!machine.Boot(error)) machine.StartAt(0x5000);
  const std::uint64_t limit = 40000;
  cpsim::Stop stop = machine.Run({.untilCycle = limit});
  if (machine.Cycles() > limit + 20) std::abort();
  if ((stop.reason == cpsim::StopReason::kFault || stop.reason == cpsim::StopReason::kExecutiveCall) &&
      stop.message.empty()) {
    std::abort();
  }
  for (int i = 0; i < 8; ++i) {
    (void)machine.StatusLine();
    const cpsim::RunLimits some{.untilCycle = machine.Cycles() + 2000};
    machine.Step(some);
    machine.StepOver({.untilCycle = machine.Cycles() + 2000});
    machine.RunTo(static_cast<std::uint16_t>(machine.Pc() + 1), {.untilCycle = machine.Cycles() + 2000});
    if (machine.CallDepth() > 0) machine.StepOut({.untilCycle = machine.Cycles() + 2000});
  }
  for (const cpsim::Event& event : machine.TakeEvents()) {
    if (event.message.empty()) std::abort();
  }
  return 0;
}
