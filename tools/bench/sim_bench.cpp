// Simulated cycles per second: a tight loop with interrupts off, and a program shaped like a game
// (a display interrupt every frame that writes the STIC and GRAM in its window, a main loop of
// calls, table walks, shifts and double-byte reads that waits for each frame). Goal: 100 times the
// console's 894,886 cycles a second, 90 M cycles/s. Usage: sim_bench [seconds per program]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "cpasm/assembler.h"
#include "cpsim/machine.h"

namespace {

const char kTight[] = R"(
        ORG $5000
        DECLE 0, 0, 0, 0, main AND $FF, main SHR 8
main:   DIS
        CLRR R0
        MVII #$0200, R4
loop:   INCR R0
        ADDR R0, R1
        XORR R1, R2
        MVO@ R2, R4
        DECR R4
        CMPI #$4000, R0
        BNEQ loop
        B main
)";

const char kGame[] = R"(
        ORG $5000
        DECLE 0, 0, 0, 0, main AND $FF, main SHR 8
main:   MVII #isr, R0
        MVO R0, $100
        SWAP R0
        MVO R0, $101
        EIS
frame:  MVI $0300, R0
        TSTR R0
        BEQ frame
        CLRR R0
        MVO R0, $0300
        MVII #100, R3
objects:
        CALL move
        DECR R3
        BNEQ objects
        MVII #$0100, R4
        SDBD
        MVI@ R4, R1
        B frame
move:   MVII #table, R4
        MVI@ R4, R0
        ADD@ R4, R0
        SLL R0, 2
        SAR R0
        ANDI #$00FF, R0
        MVII #$0200, R2
        ADDR R3, R2
        MVO@ R0, R2
        JR R5
isr:    MVO R0, $0020
        MVII #$0000, R4
        MVII #8, R1
        MVII #$1234, R0
sticx:  MVO@ R0, R4
        DECR R1
        BNEQ sticx
        MVII #$3800, R4
        MVII #64, R1
gram:   MVO@ R1, R4
        DECR R1
        BNEQ gram
        MVII #1, R0
        MVO R0, $0300
        JR R5
table:  DECLE 3, 5
)";

bool Run(const char *name, const char *source, double seconds) {
  cpasm::Assembly assembly = cpasm::AssembleText("bench.asm", source, {});
  cpsim::Image image;
  std::string error;
  if (assembly.errors || !cpsim::ReadBin(cpasm::ImageBytes(assembly), cpasm::MemoryMapText(assembly), image, error)) {
    std::fprintf(stderr, "sim_bench: %s does not build: %s\n", name, error.c_str());
    return false;
  }
  cpsim::Machine machine;
  machine.Load(image);
  if (!machine.Boot(error)) {
    std::fprintf(stderr, "sim_bench: %s: %s\n", name, error.c_str());
    return false;
  }
  const auto start = std::chrono::steady_clock::now();
  double elapsed = 0;
  uint64_t slice = 10'000'000;
  while (elapsed < seconds) {
    cpsim::Stop stop = machine.Run({.untilCycle = machine.Cycles() + slice});
    if (stop.reason != cpsim::StopReason::kCycleLimit) {
      std::fprintf(stderr, "sim_bench: %s stopped (%d) at $%04X: %s\n", name, static_cast<int>(stop.reason),
                   stop.address, stop.message.c_str());
      return false;
    }
    elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  const double rate = machine.Cycles() / elapsed / 1e6;
  const size_t events = machine.TakeEvents().size();
  std::printf("%-12s %7.1f M cycles/s (%llu cycles, %llu frames in %.2f s; %.0f x the console)%s\n", name, rate,
              static_cast<unsigned long long>(machine.Cycles()), static_cast<unsigned long long>(machine.Frames()),
              elapsed, rate * 1e6 / 894886.25, rate >= 90 ? "" : "  BELOW THE 90 M GOAL");
  if (events) std::printf("%-12s (%zu kinds of warnings)\n", "", events);
  return rate >= 90;
}

}  // namespace

int main(int argc, char **argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 2.0;
  bool ok = Run("tight loop", kTight, seconds);
  ok = Run("game-shaped", kGame, seconds) && ok;
  return ok ? 0 : 1;
}
