// The simulated CPU, one instruction form at a time: registers, flags and cycles as the processor's
// documentation gives them.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "cpsim/machine.h"
#include "support/sim_program.h"

namespace cpsim {
namespace cpsim_cpu_test {

struct Case {
  std::string source;                            // at $5000; one instruction a line
  std::vector<std::pair<int, uint16_t>> regs;    // set first
  const char* flags;                             // set first: letters of S Z O C I
  std::vector<std::pair<int, uint16_t>> expect;  // registers after
  const char* flagsAfter;                        // S Z O C I exactly
  int cycles;                                    // for all the lines together
  std::vector<std::pair<uint16_t, uint16_t>> memory = {};
  std::vector<std::pair<uint16_t, uint16_t>> memoryAfter = {};
};

std::string FlagText(const Flags& f) {
  std::string s;
  if (f.s) s += 'S';
  if (f.z) s += 'Z';
  if (f.o) s += 'O';
  if (f.c) s += 'C';
  if (f.i) s += 'I';
  return s;
}

void RunCases(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    Machine m;
    m.Load(test::Assembled("        ORG $5000\n " + c.source + "\n        HLT\n"));
    m.StartAt(0x5000);
    for (auto [r, v] : c.regs) m.Cpu().r[r] = v;
    std::string in = c.flags;
    Flags& f = m.Cpu().flags;
    f.s = in.find('S') != std::string::npos;
    f.z = in.find('Z') != std::string::npos;
    f.o = in.find('O') != std::string::npos;
    f.c = in.find('C') != std::string::npos;
    f.i = in.find('I') != std::string::npos;
    for (auto [a, v] : c.memory) m.Write(a, v);
    size_t lines = 1;
    for (char ch : c.source) lines += ch == '\n';
    for (size_t i = 0; i < lines; ++i) {
      Stop stop = m.Step();
      ASSERT_EQ(stop.reason, StopReason::kStepped) << c.source << ": " << stop.message;
    }
    for (auto [r, v] : c.expect) EXPECT_EQ(m.Cpu().r[r], v) << c.source << ": R" << r;
    EXPECT_EQ(FlagText(m.Cpu().flags), c.flagsAfter) << c.source;
    EXPECT_EQ(m.Cycles(), static_cast<uint64_t>(c.cycles)) << c.source;
    for (auto [a, v] : c.memoryAfter) EXPECT_EQ(m.Read(a), v) << c.source << ": " << Hex4(a);
  }
}

TEST(CpsimCpu, RegisterOperations) {
  RunCases({
      {"INCR R0", {{0, 0xFFFF}}, "C", {{0, 0}}, "ZC", 6},
      {"INCR R6", {{6, 0x7FFF}}, "", {{6, 0x8000}}, "S", 7},
      {"DECR R1", {{1, 0}}, "O", {{1, 0xFFFF}}, "SO", 6},
      {"COMR R2", {{2, 0x00FF}}, "", {{2, 0xFF00}}, "S", 6},
      {"NEGR R0", {{0, 1}}, "", {{0, 0xFFFF}}, "S", 6},
      {"NEGR R0", {{0, 0}}, "", {{0, 0}}, "ZC", 6},
      {"NEGR R3", {{3, 0x8000}}, "", {{3, 0x8000}}, "SO", 6},
      {"ADCR R1", {{1, 0xFFFF}}, "C", {{1, 0}}, "ZC", 6},
      {"ADCR R1", {{1, 0x7FFF}}, "C", {{1, 0x8000}}, "SO", 6},
      {"ADCR R1", {{1, 5}}, "", {{1, 5}}, "", 6},
      {"GSWD R0", {}, "SZOC", {{0, 0xF0F0}}, "SZOC", 6},
      {"GSWD R3", {}, "C", {{3, 0x1010}}, "C", 6},
      {"RSWD R0", {{0, 0xFFA0}}, "ZC", {}, "SO", 6},
      {"MOVR R0, R1", {{0, 0x8000}}, "C", {{1, 0x8000}}, "SC", 6},
      {"MOVR R0, R6", {{0, 0}}, "", {{6, 0}}, "Z", 7},
      {"ADDR R0, R1", {{0, 0x7FFF}, {1, 1}}, "", {{1, 0x8000}}, "SO", 6},
      {"ADDR R0, R1", {{0, 0xFFFF}, {1, 1}}, "", {{1, 0}}, "ZC", 6},
      {"ADDR R0, R1", {{0, 0x8000}, {1, 0x8000}}, "", {{1, 0}}, "ZOC", 6},
      {"SUBR R0, R1", {{0, 3}, {1, 5}}, "", {{1, 2}}, "C", 6},
      {"SUBR R0, R1", {{0, 5}, {1, 3}}, "", {{1, 0xFFFE}}, "S", 6},
      {"SUBR R0, R1", {{0, 1}, {1, 0x8000}}, "", {{1, 0x7FFF}}, "OC", 6},
      {"CMPR R0, R1", {{0, 7}, {1, 7}}, "", {{1, 7}}, "ZC", 6},
      {"CMPR R0, R1", {{0, 0x7FFF}, {1, 0x8000}}, "", {{1, 0x8000}}, "OC", 6},
      {"ANDR R0, R1", {{0, 0xF0F0}, {1, 0x0FF0}}, "OC", {{1, 0x00F0}}, "OC", 6},
      {"XORR R0, R1", {{0, 0xFFFF}, {1, 0x7FFF}}, "", {{1, 0x8000}}, "S", 6},
      {"CLRR R3", {{3, 0x1234}}, "S", {{3, 0}}, "Z", 6},
      {"TSTR R2", {{2, 0x8000}}, "Z", {{2, 0x8000}}, "S", 6},
      {"JR R1", {{1, 0x5100}}, "", {{7, 0x5100}}, "", 7},
      // The PC as a source is the address after the instruction.
      {"ADDR R7, R0", {{0, 1}}, "", {{0, 0x5002}}, "", 6},
      {"CLRC", {}, "SC", {}, "S", 4},
      {"SETC", {}, "", {}, "C", 4},
      {"EIS", {}, "", {}, "I", 4},
      {"DIS", {}, "I", {}, "", 4},
      {"NOP", {}, "Z", {}, "Z", 6},
      {"TCI", {}, "", {}, "", 4},
      {"SIN", {}, "", {}, "", 6},
  });
}

TEST(CpsimCpu, ShiftsAndRotates) {
  RunCases({
      {"SLL R0", {{0, 0x8001}}, "C", {{0, 0x0002}}, "C", 6},
      {"SLL R0, 2", {{0, 0x4001}}, "", {{0, 0x0004}}, "", 8},
      {"SLLC R1", {{1, 0x8001}}, "O", {{1, 0x0002}}, "OC", 6},
      {"SLLC R1, 2", {{1, 0xC000}}, "", {{1, 0}}, "ZOC", 8},
      {"RLC R2", {{2, 0x8000}}, "C", {{2, 0x0001}}, "C", 6},
      {"RLC R2, 2", {{2, 0x4000}}, "C", {{2, 0x0002}}, "O", 8},
      {"RLC R2, 2", {{2, 0x8000}}, "O", {{2, 0x0001}}, "C", 8},
      {"SLR R3", {{3, 0x8001}}, "", {{3, 0x4000}}, "", 6},
      {"SLR R3, 2", {{3, 0x8001}}, "", {{3, 0x2000}}, "", 8},
      {"SAR R0", {{0, 0x8002}}, "", {{0, 0xC001}}, "S", 6},
      {"SAR R0, 2", {{0, 0x0003}}, "", {{0, 0}}, "Z", 8},
      {"RRC R1", {{1, 0x0001}}, "", {{1, 0}}, "ZC", 6},
      {"RRC R1", {{1, 0x0000}}, "C", {{1, 0x8000}}, "S", 6},
      {"RRC R1, 2", {{1, 0x0003}}, "C", {{1, 0x4000}}, "OC", 8},
      {"RRC R1, 2", {{1, 0x0000}}, "O", {{1, 0x8000}}, "S", 8},
      {"SARC R2", {{2, 0x8001}}, "", {{2, 0xC000}}, "SC", 6},
      {"SARC R2, 2", {{2, 0x8003}}, "", {{2, 0xE000}}, "SOC", 8},
      {"SWAP R0", {{0, 0x1234}}, "", {{0, 0x3412}}, "", 6},
      {"SWAP R0, 2", {{0, 0x1280}}, "", {{0, 0x8080}}, "S", 8},
      {"SWAP R3", {{3, 0}}, "", {{3, 0}}, "Z", 6},
  });
}

TEST(CpsimCpu, MemoryModes) {
  RunCases({
      {"MVII #$1234, R0", {}, "", {{0, 0x1234}, {7, 0x5002}}, "", 8},
      {"MVII #$1234, R6", {}, "", {{6, 0x1234}}, "", 8},
      {"ADDI #1, R0", {{0, 0xFFFF}}, "", {{0, 0}}, "ZC", 8},
      {"SUBI #1, R0", {{0, 0}}, "", {{0, 0xFFFF}}, "S", 8},
      {"CMPI #5, R0", {{0, 5}}, "", {{0, 5}}, "ZC", 8},
      {"ANDI #$FF, R0", {{0, 0x1200}}, "", {{0, 0}}, "Z", 8},
      {"XORI #$8000, R0", {{0, 0}}, "", {{0, 0x8000}}, "S", 8},
      {"SDBD\n MVII #$ABCD, R1", {}, "", {{1, 0xABCD}, {7, 0x5004}}, "", 4 + 10},
      {"MVI $0200, R0", {}, "", {{0, 0xBEEF}}, "", 10, {{0x0200, 0xBEEF}}},
      {"ADD $0200, R0", {{0, 1}}, "", {{0, 0}}, "ZC", 10, {{0x0200, 0xFFFF}}},
      {"MVO R0, $0201", {{0, 0x4321}}, "", {}, "", 11, {}, {{0x0201, 0x4321}}},
      {"MVI@ R4, R0", {{4, 0x0200}}, "", {{0, 7}, {4, 0x0201}}, "", 8, {{0x0200, 7}}},
      {"MVI@ R1, R0", {{1, 0x0200}}, "", {{0, 7}, {1, 0x0200}}, "", 8, {{0x0200, 7}}},
      {"MVO@ R0, R5", {{0, 9}, {5, 0x0202}}, "", {{5, 0x0203}}, "", 9, {}, {{0x0202, 9}}},
      {"SUB@ R3, R2", {{2, 10}, {3, 0x0200}}, "", {{2, 7}}, "C", 8, {{0x0200, 3}}},
      {"PSHR R0", {{0, 0x55}, {6, 0x0300}}, "", {{6, 0x0301}}, "", 9, {}, {{0x0300, 0x55}}},
      {"PULR R1", {{6, 0x0301}}, "", {{1, 0x66}, {6, 0x0300}}, "", 11, {{0x0300, 0x66}}},
      {"CMP@ R6, R0", {{0, 1}, {6, 0x0301}}, "", {{6, 0x0300}}, "ZC", 11, {{0x0300, 1}}},
      // 8-bit RAM keeps the low byte; SDBD reads two bytes through the counter, low first.
      {"MVO@ R0, R4\n SWAP R0\n MVO@ R0, R4",
       {{0, 0x1234}, {4, 0x0100}},
       "",
       {{4, 0x0102}},
       "",
       9 + 6 + 9,
       {},
       {{0x0100, 0x34}, {0x0101, 0x12}}},
      {"SDBD\n MVI@ R4, R0",
       {{4, 0x0100}},
       "",
       {{0, 0x1234}, {4, 0x0102}},
       "",
       4 + 10,
       {{0x0100, 0x34}, {0x0101, 0x12}}},
      {"SDBD\n ADD@ R2, R0", {{0, 1}, {2, 0x0100}}, "", {{0, 0x3435}, {2, 0x0100}}, "", 4 + 10, {{0x0100, 0x34}}},
  });
}

TEST(CpsimCpu, BranchesAndJumps) {
  RunCases({
      {"BEQ $5010", {}, "Z", {{7, 0x5010}}, "Z", 9},
      {"BEQ $5010", {}, "", {{7, 0x5002}}, "", 7},
      {"BNEQ $4FF0", {}, "", {{7, 0x4FF0}}, "", 9},
      {"B $5000", {}, "", {{7, 0x5000}}, "", 9},
      {"NOPP", {}, "SZOC", {{7, 0x5002}}, "SZOC", 7},
      {"BC $5010", {}, "C", {{7, 0x5010}}, "C", 9},
      {"BNC $5010", {}, "C", {{7, 0x5002}}, "C", 7},
      {"BOV $5010", {}, "O", {{7, 0x5010}}, "O", 9},
      {"BPL $5010", {}, "S", {{7, 0x5002}}, "S", 7},
      {"BMI $5010", {}, "S", {{7, 0x5010}}, "S", 9},
      {"BLT $5010", {}, "S", {{7, 0x5010}}, "S", 9},
      {"BLT $5010", {}, "SO", {{7, 0x5002}}, "SO", 7},
      {"BGE $5010", {}, "SO", {{7, 0x5010}}, "SO", 9},
      {"BLE $5010", {}, "Z", {{7, 0x5010}}, "Z", 9},
      {"BGT $5010", {}, "Z", {{7, 0x5002}}, "Z", 7},
      {"BGT $5010", {}, "SO", {{7, 0x5010}}, "SO", 9},
      {"BUSC $5010", {}, "C", {{7, 0x5010}}, "C", 9},
      {"BESC $5010", {}, "SC", {{7, 0x5010}}, "SC", 9},
      {"BEXT $5010, 3", {}, "", {{7, 0x5010}}, "", 9},
      {"J $6000", {}, "", {{7, 0x6000}}, "", 12},
      {"JE $6000", {}, "", {{7, 0x6000}}, "I", 12},
      {"JD $6000", {}, "I", {{7, 0x6000}}, "", 12},
      {"JSR R5, $6000", {}, "", {{5, 0x5003}, {7, 0x6000}}, "", 12},
      {"JSRE R4, $FFFF", {}, "", {{4, 0x5003}, {7, 0xFFFF}}, "I", 12},
      {"JSRD R6, $0000", {}, "I", {{6, 0x5003}, {7, 0x0000}}, "", 12},
      {"MVII #$6000, R7", {}, "", {{7, 0x6000}}, "", 8},
  });
}

}  // namespace cpsim_cpu_test
}  // namespace cpsim
