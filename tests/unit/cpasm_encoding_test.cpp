// Every instruction form against words worked out by hand from the processor's documented bit
// layouts (not from the assembler's own output).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cpasm/assembler.h"
#include "support/assembly_text.h"

namespace cpasm {
namespace cpasm_encoding_test {

struct Case {
  const char* source;  // assembled at $5000 unless it says otherwise
  std::vector<uint16_t> words;
};

using test::Problems;
using test::Words;

Assembly Assemble(const std::string& body) { return AssembleText("t.asm", "        ORG $5000\n" + body + "\n", {}); }

void ExpectWords(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    Assembly assembly = Assemble(c.source);
    EXPECT_EQ(assembly.errors, 0) << c.source << "\n" << Problems(assembly);
    EXPECT_EQ(Words(assembly), c.words) << c.source;
  }
}

TEST(CpasmEncoding, ImpliedAndRegisterOperations) {
  ExpectWords({
      {" HLT", {0x000}},         {" EIS", {0x002}},         {" DIS", {0x003}},         {" TCI", {0x005}},
      {" CLRC", {0x006}},        {" SETC", {0x007}},        {" NOP", {0x034}},         {" SIN", {0x036}},
      {" INCR R0", {0x008}},     {" INCR PC", {0x00F}},     {" DECR R3", {0x013}},     {" COMR R1", {0x019}},
      {" NEGR SP", {0x026}},     {" ADCR R2", {0x02A}},     {" GSWD R3", {0x033}},     {" RSWD R5", {0x03D}},
      {" MOVR R1, R2", {0x08A}}, {" ADDR R7, R0", {0x0F8}}, {" SUBR R3, R4", {0x11C}}, {" CMPR R0, R7", {0x147}},
      {" ANDR R5, R5", {0x1AD}}, {" XORR R6, R1", {0x1F1}}, {" SWAP R0", {0x040}},     {" SWAP R1, 2", {0x045}},
      {" SLL R3", {0x04B}},      {" SLL R2, 2", {0x04E}},   {" RLC R0, 2", {0x054}},   {" SLLC R1", {0x059}},
      {" SLR R0, 1", {0x060}},   {" SAR R3, 2", {0x06F}},   {" RRC R2", {0x072}},      {" SARC R1, 2", {0x07D}},
  });
}

TEST(CpasmEncoding, MemoryModes) {
  ExpectWords({
      // Direct: the address in the next word.
      {" MVO R1, $0102", {0x241, 0x0102}},
      {" MVI $01F0, R2", {0x282, 0x01F0}},
      {" ADD $FFFF, R0", {0x2C0, 0xFFFF}},
      {" SUB 0, R7", {0x307, 0x0000}},
      {" CMP $3FF, R3", {0x343, 0x03FF}},
      {" AND $5000, R4", {0x384, 0x5000}},
      {" XOR $100, R6", {0x3C6, 0x0100}},
      // Indirect through R1-R6 (R4, R5 step on, R6 is the stack).
      {" MVO@ R0, R4", {0x260}},
      {" MVO@ R7, R1", {0x24F}},
      {" MVI@ R6, R7", {0x2B7}},
      {" ADD@ R5, R1", {0x2E9}},
      {" SUB@ R1, R2", {0x30A}},
      {" CMP@ R2, R0", {0x350}},
      {" AND@ R3, R3", {0x39B}},
      {" XOR@ R4, R5", {0x3E5}},
      // Immediate: the value in the next word; the # is optional.
      {" MVII #0, R0", {0x2B8, 0x0000}},
      {" MVII #$FFFF, R1", {0x2B9, 0xFFFF}},
      {" MVII #-1, R2", {0x2BA, 0xFFFF}},
      {" ADDI 5, R3", {0x2FB, 0x0005}},
      {" SUBI #1, R7", {0x33F, 0x0001}},
      {" CMPI #$8000, R4", {0x37C, 0x8000}},
      {" ANDI #$FF, R5", {0x3BD, 0x00FF}},
      {" XORI #$AAAA, R6", {0x3FE, 0xAAAA}},
      {" MVOI R2, 7", {0x27A, 0x0007}},
      // SDBD: the immediate as two decles, low byte first.
      {" SDBD\n MVII #$1234, R0", {0x001, 0x2B8, 0x0034, 0x0012}},
      {" SDBD\n MVII #0, R1", {0x001, 0x2B9, 0x0000, 0x0000}},
      {" SDBD\n MVII #$FFFF, R4", {0x001, 0x2BC, 0x00FF, 0x00FF}},
      {" SDBD\n ADDI #$ABCD, R1", {0x001, 0x2F9, 0x00CD, 0x00AB}},
      {" SDBD\n MVI@ R4, R0", {0x001, 0x2A0}},
  });
}

TEST(CpasmEncoding, PseudoInstructions) {
  ExpectWords({
      {" CLRR R0", {0x1C0}},
      {" CLRR R3", {0x1DB}},
      {" TSTR R1", {0x089}},
      {" JR R5", {0x0AF}},
      {" PSHR R5", {0x275}},
      {" PULR R7", {0x2B7}},
      {" BEGIN", {0x275}},
      {" RETURN", {0x2B7}},
      {" NOPP", {0x208, 0x0000}},
  });
}

TEST(CpasmEncoding, Jumps) {
  // $5123: bits 15-10 are 010100, bits 9-0 are $123.
  ExpectWords({
      {" J $5123", {0x004, 0x350, 0x123}},
      {" JE $5123", {0x004, 0x351, 0x123}},
      {" JD $5123", {0x004, 0x352, 0x123}},
      {" JSR R4, $5123", {0x004, 0x050, 0x123}},
      {" JSR R5, $5123", {0x004, 0x150, 0x123}},
      {" JSR R6, $5123", {0x004, 0x250, 0x123}},
      {" JSRE R5, $5123", {0x004, 0x151, 0x123}},
      {" JSRD R4, $5123", {0x004, 0x052, 0x123}},
      {" CALL $5123", {0x004, 0x150, 0x123}},
      {" J $FFFF", {0x004, 0x3FC, 0x3FF}},
      {" J 0", {0x004, 0x300, 0x000}},
  });
}

TEST(CpasmEncoding, BranchesEveryConditionAndDirection) {
  const char* names[16] = {"B",    "BC",  "BOV",  "BPL", "BEQ",  "BLT", "BLE", "BUSC",
                           "NOPP", "BNC", "BNOV", "BMI", "BNEQ", "BGE", "BGT", "BESC"};
  std::vector<Case> cases;
  std::vector<std::string> sources;
  for (int c = 0; c < 16; ++c) {
    sources.push_back(std::string(" ") + names[c] + " $5002");  // the next instruction: displacement 0
    sources.push_back(std::string(" ") + names[c] + " $5000");  // itself: backward, displacement 1
  }
  for (int c = 0; c < 16; ++c) {
    cases.push_back({sources[2 * c].c_str(), {static_cast<uint16_t>(0x200 + c), 0x0000}});
    cases.push_back({sources[2 * c + 1].c_str(), {static_cast<uint16_t>(0x220 + c), 0x0001}});
  }
  ExpectWords(cases);
  ExpectWords({
      {" BZE $5010", {0x204, 0x000E}},
      {" BNZE $5001", {0x22C, 0x0000}},
      {" BLGT $5002", {0x201, 0x0000}},
      {" BLLT $5002", {0x209, 0x0000}},
      {" B $FFFF", {0x200, 0xAFFD}},
      {" B 0", {0x220, 0x5001}},
      {" BEXT $5002, 5", {0x215, 0x0000}},
      {" BEXT $5000, 15", {0x23F, 0x0001}},
  });
}

TEST(CpasmEncoding, DataDirectives) {
  ExpectWords({
      {" DECLE 0, $FFFF, -1", {0x0000, 0xFFFF, 0xFFFF}},
      {" BIDECLE $1234, 1", {0x0034, 0x0012, 0x0001, 0x0000}},
      {" BYTE 255, -1, 0", {0x00FF, 0x00FF, 0x0000}},
      {" STRING \"Hi\", 0", {0x0048, 0x0069, 0x0000}},
      {" WORD $ABCD", {0xCD, 0xAB}},
  });
}

TEST(CpasmEncoding, TenBitRomWidthLimitsWhatFitsInOneDecle) {
  ExpectWords({
      {" ROMW 10\n DECLE $3FF", {0x03FF}},
      {" ROMW 10\n MVII #$3FF, R0", {0x2B8, 0x03FF}},
      {" ROMW 10\n SDBD\n MVII #$FFFF, R0", {0x001, 0x2B8, 0x00FF, 0x00FF}},
      {" ROMW 10\n B $5401", {0x200, 0x03FF}},  // the largest forward displacement
      {" ROMW 10\n B $4C02", {0x220, 0x03FF}},  // the largest backward displacement
      {" ROMW 10\n J $FFFF", {0x004, 0x3FC, 0x3FF}},
      // An immediate that does not fit gets an SDBD of its own.
      {" ROMW 10\n MVII #$400, R0", {0x001, 0x2B8, 0x000, 0x004}},
      {" ROMW 10\n MVII #-1, R0", {0x001, 0x2B8, 0x0FF, 0x0FF}},
  });
  for (const char* tooWide : {" ROMW 10\n DECLE $400", " ROMW 10\n MVI $400, R0", " ROMW 10\n MVII #F, R0\nF EQU $400",
                              " ROMW 10\n B $5402", " ROMW 10\n B $4C01"}) {
    EXPECT_EQ(Assemble(tooWide).errors, 1) << tooWide;
  }
}

TEST(CpasmEncoding, OperandsOutsideTheirRangeAreErrors) {
  for (const char* bad : {" SLL R4", " GSWD R4", " SLL R0, 3", " MVI@ R0, R1", " MVI@ R7, R1", " JSR R3, $5000",
                          " MVII #$10000, R0", " DECLE -32769", " BYTE 256", " J $10000", " B -1", " BEXT $5000, 16",
                          " MOVR R8, R0", " INCR", " ADDR R1", " MVI R1, R2"}) {
    Assembly assembly = Assemble(bad);
    EXPECT_GE(assembly.errors, 1) << bad;
  }
}

TEST(CpasmEncoding, Expressions) {
  ExpectWords({
      {" DECLE 2+3*4, (2+3)*4, 7/2, 10 MOD 3, 10 % 4", {14, 20, 3, 1, 2}},
      {" DECLE 1 SHL 4, 1 << 4, $10 >> 2, $10 SHR 1", {16, 16, 4, 8}},
      {" DECLE %101, 0x1F, 0FFh, 'A', 0b11", {5, 31, 255, 65, 3}},
      {" DECLE -1 & $FF, $F0 | $0F, $FF ^ $0F, ~0 & $FFFF", {0xFF, 0xFF, 0xF0, 0xFFFF}},
      {" DECLE 1 < 2, 2 < 1, 3 = 3, 3 <> 3, 2 >= 2, 1 + 1 == 2", {1, 0, 1, 0, 1, 1}},
      {" DECLE $, $ + 1", {0x5000, 0x5001}},
      {" DECLE -(-3), 1 AND 3, 1 OR 2, NOT 0 AND 1", {3, 1, 3, 1}},
  });
  ExpectWords({{"X EQU 1\n DECLE DEFINED X, DEFINED(X), DEFINED Y", {1, 1, 0}}});
  for (const char* bad : {" DECLE 1/0", " DECLE (1", " DECLE 1 +", " DECLE $G", " DECLE 12Z", " DECLE NOSUCH(1)"}) {
    EXPECT_EQ(Assemble(bad).errors, 1) << bad;
  }
}

}  // namespace cpasm_encoding_test
}  // namespace cpasm
