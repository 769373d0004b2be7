// The instruction table, and the decoder, cycle counts and disassembler that read it.
//
// Cycles follow the processor's instruction summary: register operations 6 (7 when the
// destination is R6 or R7), shifts 6 (+2 by two), control instructions 4, jumps 12, branches 7
// (+2 taken), MVO 11 direct / 9 otherwise, other memory reads 10 direct / 8 immediate or
// indirect / 11 through the stack. An SDBD read makes one more bus read, which the summary prices
// at 2 cycles everywhere else (direct against immediate), so it adds 2.
#include "cpasm/isa.h"

#include <array>
#include <cctype>
#include <cstdio>

namespace isa {

namespace {

constexpr uint8_t kSZ = kS | kZ;
constexpr uint8_t kSZOC = kS | kZ | kO | kC;

using F = Form;

// clang-format off
const InstructionInfo kTable[] = {
  // mnemonic form code summary flags flagBits cycles taken r6r7 stack sdbd by2 interruptible alias
  {"HLT",  F::kImplied, 0x000, "Halt the processor", "", 0, 4, 0, 0, 0, 0, 0, true, false},
  {"SDBD", F::kImplied, 0x001, "Set double byte data: the next instruction reads 16 bits as two bytes, low first", "D", kD, 4, 0, 0, 0, 0, 0, false, false},
  {"EIS",  F::kImplied, 0x002, "Enable interrupts", "I", kI, 4, 0, 0, 0, 0, 0, false, false},
  {"DIS",  F::kImplied, 0x003, "Disable interrupts", "I", kI, 4, 0, 0, 0, 0, 0, false, false},
  {"TCI",  F::kImplied, 0x005, "Terminate current interrupt", "", 0, 4, 0, 0, 0, 0, 0, false, false},
  {"CLRC", F::kImplied, 0x006, "Clear the carry: C = 0", "C", kC, 4, 0, 0, 0, 0, 0, false, false},
  {"SETC", F::kImplied, 0x007, "Set the carry: C = 1", "C", kC, 4, 0, 0, 0, 0, 0, false, false},
  {"NOP",  F::kImplied, 0x034, "No operation", "", 0, 6, 0, 0, 0, 0, 0, true, false},
  {"SIN",  F::kImplied, 0x036, "Software interrupt (a pulse on the PCIT pin)", "", 0, 6, 0, 0, 0, 0, 0, true, false},
  {"BEGIN", F::kImplied, 0x275, "Push the return address R5 on the stack (PSHR R5)", "", 0, 9, 0, 0, 0, 0, 0, false, true},
  {"RETURN", F::kImplied, 0x2B7, "Return to the address pulled from the stack (PULR R7)", "", 0, 11, 0, 0, 0, 0, 0, true, true},

  {"INCR", F::kRegister, 0x008, "Increment: Rr = Rr + 1", "S Z", kSZ, 6, 0, 7, 0, 0, 0, true, false},
  {"DECR", F::kRegister, 0x010, "Decrement: Rr = Rr - 1", "S Z", kSZ, 6, 0, 7, 0, 0, 0, true, false},
  {"COMR", F::kRegister, 0x018, "Ones' complement: Rr = Rr XOR $FFFF", "S Z", kSZ, 6, 0, 7, 0, 0, 0, true, false},
  {"NEGR", F::kRegister, 0x020, "Negate (two's complement): Rr = -Rr", "S Z O C", kSZOC, 6, 0, 7, 0, 0, 0, true, false},
  {"ADCR", F::kRegister, 0x028, "Add the carry: Rr = Rr + C", "S Z O C", kSZOC, 6, 0, 7, 0, 0, 0, true, false},
  {"RSWD", F::kRegister, 0x038, "Restore the status word: S Z O C from bits 7-4 of Rr", "S Z O C", kSZOC, 6, 0, 0, 0, 0, 0, true, false},
  {"PSHR", F::kRegister, 0x270, "Push Rr on the stack (MVO@ Rr, R6)", "", 0, 9, 0, 0, 0, 0, 0, false, false},
  {"PULR", F::kRegister, 0x2B0, "Pull Rr from the stack (MVI@ R6, Rr)", "", 0, 11, 0, 0, 0, 0, 0, true, false},
  {"GSWD", F::kLowRegister, 0x030, "Get the status word: Rr = SZOC0000SZOC0000", "", 0, 6, 0, 0, 0, 0, 0, true, false},
  {"CLRR", F::kSameRegister, 0x1C0, "Clear: Rr = 0 (XORR Rr, Rr)", "S Z", kSZ, 6, 0, 7, 0, 0, 0, true, false},
  {"TSTR", F::kSameRegister, 0x080, "Test: sign and zero of Rr (MOVR Rr, Rr)", "S Z", kSZ, 6, 0, 7, 0, 0, 0, true, false},
  {"JR",   F::kToPc, 0x087, "Jump to the address in Rr (MOVR Rr, R7)", "S Z", kSZ, 7, 0, 0, 0, 0, 0, true, false},

  {"MOVR", F::kRegReg, 0x080, "Move: Rd = Rs", "S Z", kSZ, 6, 0, 7, 0, 0, 0, true, false},
  {"ADDR", F::kRegReg, 0x0C0, "Add: Rd = Rd + Rs", "S Z O C", kSZOC, 6, 0, 7, 0, 0, 0, true, false},
  {"SUBR", F::kRegReg, 0x100, "Subtract: Rd = Rd - Rs", "S Z O C", kSZOC, 6, 0, 7, 0, 0, 0, true, false},
  {"CMPR", F::kRegReg, 0x140, "Compare: flags of Rd - Rs", "S Z O C", kSZOC, 6, 0, 7, 0, 0, 0, true, false},
  {"ANDR", F::kRegReg, 0x180, "And: Rd = Rd AND Rs", "S Z", kSZ, 6, 0, 7, 0, 0, 0, true, false},
  {"XORR", F::kRegReg, 0x1C0, "Exclusive or: Rd = Rd XOR Rs", "S Z", kSZ, 6, 0, 7, 0, 0, 0, true, false},

  {"SWAP", F::kShift, 0x040, "Swap the bytes of Rr (by 2: the low byte in both halves)", "S Z", kSZ, 6, 0, 0, 0, 0, 2, false, false},
  {"SLL",  F::kShift, 0x048, "Shift left, zeros in", "S Z", kSZ, 6, 0, 0, 0, 0, 2, false, false},
  {"RLC",  F::kShift, 0x050, "Rotate left through the carry (by 2: through carry and overflow)", "S Z C, O by 2", kSZOC, 6, 0, 0, 0, 0, 2, false, false},
  {"SLLC", F::kShift, 0x058, "Shift left into the carry (by 2: carry and overflow)", "S Z C, O by 2", kSZOC, 6, 0, 0, 0, 0, 2, false, false},
  {"SLR",  F::kShift, 0x060, "Shift right, zeros in", "S Z", kSZ, 6, 0, 0, 0, 0, 2, false, false},
  {"SAR",  F::kShift, 0x068, "Shift right, the sign bit copied in", "S Z", kSZ, 6, 0, 0, 0, 0, 2, false, false},
  {"RRC",  F::kShift, 0x070, "Rotate right through the carry (by 2: through overflow and carry)", "S Z C, O by 2", kSZOC, 6, 0, 0, 0, 0, 2, false, false},
  {"SARC", F::kShift, 0x078, "Shift right into the carry, the sign bit copied in (by 2: carry and overflow)", "S Z C, O by 2", kSZOC, 6, 0, 0, 0, 0, 2, false, false},

  {"MVO",  F::kStoreDirect, 0x240, "Store Rs at the address", "", 0, 11, 0, 0, 0, 0, 0, false, false},
  {"MVI",  F::kDirect, 0x280, "Load: Rd = the word at the address", "", 0, 10, 0, 0, 0, 0, 0, true, false},
  {"ADD",  F::kDirect, 0x2C0, "Add the word at the address to Rd", "S Z O C", kSZOC, 10, 0, 0, 0, 0, 0, true, false},
  {"SUB",  F::kDirect, 0x300, "Subtract the word at the address from Rd", "S Z O C", kSZOC, 10, 0, 0, 0, 0, 0, true, false},
  {"CMP",  F::kDirect, 0x340, "Compare: flags of Rd - the word at the address", "S Z O C", kSZOC, 10, 0, 0, 0, 0, 0, true, false},
  {"AND",  F::kDirect, 0x380, "And the word at the address into Rd", "S Z", kSZ, 10, 0, 0, 0, 0, 0, true, false},
  {"XOR",  F::kDirect, 0x3C0, "Exclusive-or the word at the address into Rd", "S Z", kSZ, 10, 0, 0, 0, 0, 0, true, false},
  {"MVO@", F::kStoreIndirect, 0x240, "Store Rs where Rp points (R4, R5, R6 step on after)", "", 0, 9, 0, 0, 0, 0, 0, false, false},
  {"MVI@", F::kIndirect, 0x280, "Load Rd from where Rp points (R4, R5 step on after; R6 steps back before)", "", 0, 8, 0, 0, 11, 2, 0, true, false},
  {"ADD@", F::kIndirect, 0x2C0, "Add the word where Rp points to Rd", "S Z O C", kSZOC, 8, 0, 0, 11, 2, 0, true, false},
  {"SUB@", F::kIndirect, 0x300, "Subtract the word where Rp points from Rd", "S Z O C", kSZOC, 8, 0, 0, 11, 2, 0, true, false},
  {"CMP@", F::kIndirect, 0x340, "Compare: flags of Rd - the word where Rp points", "S Z O C", kSZOC, 8, 0, 0, 11, 2, 0, true, false},
  {"AND@", F::kIndirect, 0x380, "And the word where Rp points into Rd", "S Z", kSZ, 8, 0, 0, 11, 2, 0, true, false},
  {"XOR@", F::kIndirect, 0x3C0, "Exclusive-or the word where Rp points into Rd", "S Z", kSZ, 8, 0, 0, 11, 2, 0, true, false},
  {"MVOI", F::kStoreImmediate, 0x240, "Store Rs over the instruction's own immediate word", "", 0, 9, 0, 0, 0, 0, 0, false, false},
  {"MVII", F::kImmediate, 0x280, "Load: Rd = the value", "", 0, 8, 0, 0, 0, 2, 0, true, false},
  {"ADDI", F::kImmediate, 0x2C0, "Add the value to Rd", "S Z O C", kSZOC, 8, 0, 0, 0, 2, 0, true, false},
  {"SUBI", F::kImmediate, 0x300, "Subtract the value from Rd", "S Z O C", kSZOC, 8, 0, 0, 0, 2, 0, true, false},
  {"CMPI", F::kImmediate, 0x340, "Compare: flags of Rd - the value", "S Z O C", kSZOC, 8, 0, 0, 0, 2, 0, true, false},
  {"ANDI", F::kImmediate, 0x380, "And the value into Rd", "S Z", kSZ, 8, 0, 0, 0, 2, 0, true, false},
  {"XORI", F::kImmediate, 0x3C0, "Exclusive-or the value into Rd", "S Z", kSZ, 8, 0, 0, 0, 2, 0, true, false},

  {"B",    F::kBranch, 0x200, "Branch always", "", 0, 9, 9, 0, 0, 0, 0, true, false},
  {"BC",   F::kBranch, 0x201, "Branch if carry (unsigned greater or equal): C = 1", "", 0, 7, 9, 0, 0, 0, 0, true, false},
  {"BLGT", F::kBranch, 0x201, "Branch if carry: C = 1", "", 0, 7, 9, 0, 0, 0, 0, true, true},
  {"BOV",  F::kBranch, 0x202, "Branch if overflow: O = 1", "", 0, 7, 9, 0, 0, 0, 0, true, false},
  {"BPL",  F::kBranch, 0x203, "Branch if plus: S = 0", "", 0, 7, 9, 0, 0, 0, 0, true, false},
  {"BEQ",  F::kBranch, 0x204, "Branch if equal (zero): Z = 1", "", 0, 7, 9, 0, 0, 0, 0, true, false},
  {"BZE",  F::kBranch, 0x204, "Branch if zero: Z = 1", "", 0, 7, 9, 0, 0, 0, 0, true, true},
  {"BLT",  F::kBranch, 0x205, "Branch if less than (signed): S XOR O = 1", "", 0, 7, 9, 0, 0, 0, 0, true, false},
  {"BNGE", F::kBranch, 0x205, "Branch if not greater or equal: S XOR O = 1", "", 0, 7, 9, 0, 0, 0, 0, true, true},
  {"BLE",  F::kBranch, 0x206, "Branch if less or equal (signed): Z OR (S XOR O) = 1", "", 0, 7, 9, 0, 0, 0, 0, true, false},
  {"BNGT", F::kBranch, 0x206, "Branch if not greater than: Z OR (S XOR O) = 1", "", 0, 7, 9, 0, 0, 0, 0, true, true},
  {"BUSC", F::kBranch, 0x207, "Branch if sign and carry differ: S XOR C = 1", "", 0, 7, 9, 0, 0, 0, 0, true, false},
  {"NOPP", F::kBranch, 0x208, "No operation, two words (branch never)", "", 0, 7, 7, 0, 0, 0, 0, true, false},
  {"BNC",  F::kBranch, 0x209, "Branch if no carry (unsigned less than): C = 0", "", 0, 7, 9, 0, 0, 0, 0, true, false},
  {"BLLT", F::kBranch, 0x209, "Branch if no carry: C = 0", "", 0, 7, 9, 0, 0, 0, 0, true, true},
  {"BNOV", F::kBranch, 0x20A, "Branch if no overflow: O = 0", "", 0, 7, 9, 0, 0, 0, 0, true, false},
  {"BMI",  F::kBranch, 0x20B, "Branch if minus: S = 1", "", 0, 7, 9, 0, 0, 0, 0, true, false},
  {"BNEQ", F::kBranch, 0x20C, "Branch if not equal (not zero): Z = 0", "", 0, 7, 9, 0, 0, 0, 0, true, false},
  {"BNZE", F::kBranch, 0x20C, "Branch if not zero: Z = 0", "", 0, 7, 9, 0, 0, 0, 0, true, true},
  {"BNE",  F::kBranch, 0x20C, "Branch if not equal: Z = 0", "", 0, 7, 9, 0, 0, 0, 0, true, true},
  {"BGE",  F::kBranch, 0x20D, "Branch if greater or equal (signed): S XOR O = 0", "", 0, 7, 9, 0, 0, 0, 0, true, false},
  {"BNLT", F::kBranch, 0x20D, "Branch if not less than: S XOR O = 0", "", 0, 7, 9, 0, 0, 0, 0, true, true},
  {"BGT",  F::kBranch, 0x20E, "Branch if greater than (signed): Z OR (S XOR O) = 0", "", 0, 7, 9, 0, 0, 0, 0, true, false},
  {"BNLE", F::kBranch, 0x20E, "Branch if not less or equal: Z OR (S XOR O) = 0", "", 0, 7, 9, 0, 0, 0, 0, true, true},
  {"BESC", F::kBranch, 0x20F, "Branch if sign equals carry: S XOR C = 0", "", 0, 7, 9, 0, 0, 0, 0, true, false},
  {"BEXT", F::kExternal, 0x210, "Branch on external condition e (0-15); always taken on the console", "", 0, 7, 9, 0, 0, 0, 0, true, false},

  {"J",    F::kJump, 0x300, "Jump", "", 0, 12, 0, 0, 0, 0, 0, true, false},
  {"JE",   F::kJump, 0x301, "Jump and enable interrupts", "I", kI, 12, 0, 0, 0, 0, 0, true, false},
  {"JD",   F::kJump, 0x302, "Jump and disable interrupts", "I", kI, 12, 0, 0, 0, 0, 0, true, false},
  {"JSR",  F::kJumpSave, 0x000, "Jump to a subroutine, the return address in Rr (R4-R6)", "", 0, 12, 0, 0, 0, 0, 0, true, false},
  {"JSRE", F::kJumpSave, 0x001, "Jump to a subroutine and enable interrupts", "I", kI, 12, 0, 0, 0, 0, 0, true, false},
  {"JSRD", F::kJumpSave, 0x002, "Jump to a subroutine and disable interrupts", "I", kI, 12, 0, 0, 0, 0, 0, true, false},
  {"CALL", F::kCall, 0x100, "Call a subroutine, the return address in R5 (JSR R5, target)", "", 0, 12, 0, 0, 0, 0, 0, true, true},
};
// clang-format on

const InstructionInfo *Named(const char *name) {
  for (const InstructionInfo &info : kTable) {
    if (std::string_view(info.mnemonic) == name) return &info;
  }
  return nullptr;
}

// The main entry of each form and code, for decoding.
const InstructionInfo *Main(Form form, uint16_t code) {
  for (const InstructionInfo &info : kTable) {
    if (!info.alias && info.form == form && info.code == code) return &info;
  }
  return nullptr;
}

struct Lookup {
  // Per opcode word (10 bits): the entry of the word, without operands worked out.
  std::array<const InstructionInfo *, 1024> byWord{};
  const InstructionInfo *jumps[3][4]{};  // [interrupt bits][return register bits, 3 = none]
};

const Lookup &Tables() {
  static const Lookup lookup = [] {
    Lookup t;
    for (unsigned w = 0; w < 1024; ++w) {
      const InstructionInfo *info = nullptr;
      const unsigned s = (w >> 3) & 7, d = w & 7;
      if (w <= 0x003 || (w >= 0x005 && w <= 0x007)) {
        info = Main(F::kImplied, static_cast<uint16_t>(w));
      } else if (w == 0x004) {
        info = nullptr;  // jumps: decided by the second word
      } else if (w < 0x030) {
        info = Main(F::kRegister, static_cast<uint16_t>(w & 0x3F8));
      } else if (w < 0x034) {
        info = Named("GSWD");
      } else if (w < 0x036) {
        info = Named("NOP");
      } else if (w < 0x038) {
        info = Named("SIN");
      } else if (w < 0x040) {
        info = Named("RSWD");
      } else if (w < 0x080) {
        info = Main(F::kShift, static_cast<uint16_t>(w & 0x3F8));
      } else if (w < 0x200) {
        const uint16_t op = static_cast<uint16_t>(w & 0x3C0);
        if (op == 0x080 && d == 7 && s != 7) {
          info = Named("JR");
        } else if ((op == 0x080 || op == 0x1C0) && s == d) {
          info = Main(F::kSameRegister, op);
        } else {
          info = Main(F::kRegReg, op);
        }
      } else if (w < 0x240) {
        info = (w & 0x10) ? Named("BEXT") : Main(F::kBranch, static_cast<uint16_t>(w & 0x20F));
      } else {
        const uint16_t op = static_cast<uint16_t>(w & 0x3C0);
        const bool store = op == 0x240;
        if (s == 0) {
          info = Main(store ? F::kStoreDirect : F::kDirect, op);
        } else if (s == 7) {
          info = Main(store ? F::kStoreImmediate : F::kImmediate, op);
        } else if (store && s == 6) {
          info = Named("PSHR");
        } else if (op == 0x280 && s == 6) {
          info = Named("PULR");
        } else {
          info = Main(store ? F::kStoreIndirect : F::kIndirect, op);
        }
      }
      t.byWord[w] = info;
    }
    for (int ii = 0; ii < 3; ++ii) {
      for (int bb = 0; bb < 4; ++bb) {
        t.jumps[ii][bb] =
            bb == 3 ? Main(F::kJump, static_cast<uint16_t>(0x300 | ii)) : Main(F::kJumpSave, static_cast<uint16_t>(ii));
      }
    }
    return t;
  }();
  return lookup;
}

std::string Hex(uint16_t value, bool lower) {
  char text[8];
  std::snprintf(text, sizeof text, lower ? "$%04x" : "$%04X", value);
  return text;
}

}  // namespace

std::span<const InstructionInfo> Instructions() { return kTable; }

const InstructionInfo *FindInstruction(std::string_view mnemonic) {
  for (const InstructionInfo &info : kTable) {
    std::string_view name = info.mnemonic;
    if (name.size() != mnemonic.size()) continue;
    bool same = true;
    for (size_t i = 0; i < name.size() && same; ++i) {
      same = std::toupper(static_cast<unsigned char>(mnemonic[i])) == name[i];
    }
    if (same) return &info;
  }
  return nullptr;
}

int Cycles(const InstructionInfo &info, const CycleContext &context, bool taken) {
  int cycles = taken && info.cyclesTaken ? info.cyclesTaken : info.cycles;
  if (info.cyclesR6R7 && context.destination >= 6) cycles = info.cyclesR6R7;
  if (info.cyclesStack && context.pointer == 6) cycles = info.cyclesStack;
  if (context.sdbd) cycles += info.extraSdbd;
  if (context.shiftBy == 2) cycles += info.extraByTwo;
  return cycles;
}

std::string CycleText(const InstructionInfo &info, const CycleContext &context) {
  if (info.cyclesTaken && info.cyclesTaken != info.cycles) {
    return std::to_string(info.cycles) + "/" + std::to_string(info.cyclesTaken);
  }
  std::string text = std::to_string(Cycles(info, context));
  std::string notes;
  char note[40];
  auto add = [&notes, &note] {
    if (!notes.empty()) notes += "; ";
    notes += note;
  };
  if (info.cyclesR6R7 && context.destination < 0) {
    std::snprintf(note, sizeof note, "%d to R6/R7", info.cyclesR6R7);
    add();
  }
  if (info.cyclesStack && context.pointer < 0) {
    std::snprintf(note, sizeof note, "%d through R6", info.cyclesStack);
    add();
  }
  if (info.extraSdbd && !context.sdbd) {
    std::snprintf(note, sizeof note, "+%d after SDBD", info.extraSdbd);
    add();
  }
  if (info.extraByTwo && context.shiftBy == 0) {
    std::snprintf(note, sizeof note, "+%d by 2", info.extraByTwo);
    add();
  }
  if (!notes.empty()) text.append(" (").append(notes).append(")");
  return text;
}

Decoded DecodeWords(uint16_t address, const uint16_t *words, size_t count, bool sdbd) {
  return Decode(
      address,
      [&](uint16_t a) -> uint16_t {
        size_t i = static_cast<uint16_t>(a - address);
        return i < count ? words[i] : 0;
      },
      sdbd);
}

Decoded Decode(uint16_t address, const std::function<uint16_t(uint16_t)> &read, bool sdbd) {
  const Lookup &t = Tables();
  Decoded d;
  d.address = address;
  d.sdbd = sdbd;
  d.opcode = read(address);
  const unsigned w = d.opcode & 0x3FF;
  auto next = [&](unsigned i) { return read(static_cast<uint16_t>(address + i)); };
  if (d.opcode > 0x3FF) return d;  // wider than an opcode: data
  if (w == 0x004) {
    const uint16_t w1 = next(1), w2 = next(2);
    d.words = 3;
    const unsigned bb = (w1 >> 8) & 3, ii = w1 & 3;
    if (ii == 3) return d;
    d.info = t.jumps[ii][bb];
    d.reg = static_cast<uint8_t>(bb == 3 ? 7 : 4 + bb);
    d.value = static_cast<uint16_t>(((w1 >> 2) & 0x3F) << 10 | (w2 & 0x3FF));
    return d;
  }
  d.info = t.byWord[w];
  if (!d.info) return d;
  switch (d.info->form) {
    case F::kImplied:
      break;
    case F::kRegister:
    case F::kLowRegister:
      d.reg = static_cast<uint8_t>(w & 7);
      if (d.info->form == F::kLowRegister) d.reg &= 3;
      if (w >= 0x240) d.pointer = 6;  // PSHR, PULR
      break;
    case F::kSameRegister:
    case F::kRegReg:
      d.pointer = static_cast<uint8_t>((w >> 3) & 7);
      d.reg = static_cast<uint8_t>(w & 7);
      break;
    case F::kToPc:
      d.pointer = static_cast<uint8_t>((w >> 3) & 7);
      d.reg = 7;
      break;
    case F::kShift:
      d.reg = static_cast<uint8_t>(w & 3);
      d.shiftBy = (w & 4) ? 2 : 1;
      break;
    case F::kDirect:
    case F::kStoreDirect:
      d.reg = static_cast<uint8_t>(w & 7);
      d.words = 2;
      d.value = next(1);
      break;
    case F::kIndirect:
    case F::kStoreIndirect:
      d.reg = static_cast<uint8_t>(w & 7);
      d.pointer = static_cast<uint8_t>((w >> 3) & 7);
      break;
    case F::kImmediate:
    case F::kStoreImmediate:
      d.reg = static_cast<uint8_t>(w & 7);
      d.pointer = 7;
      if (sdbd && d.info->form == F::kImmediate) {
        d.words = 3;
        d.value = static_cast<uint16_t>((next(1) & 0xFF) | (next(2) & 0xFF) << 8);
      } else {
        d.words = 2;
        d.value = next(1);
      }
      break;
    case F::kBranch:
    case F::kExternal: {
      d.words = 2;
      const uint16_t displacement = next(1);
      d.condition = static_cast<uint8_t>(w & 0xF);
      d.value = (w & 0x20) ? static_cast<uint16_t>(address + 1 - displacement)
                           : static_cast<uint16_t>(address + 2 + displacement);
      break;
    }
    case F::kJump:
    case F::kJumpSave:
    case F::kCall:
      break;  // decoded above
  }
  return d;
}

std::string Disassemble(const Decoded &d, const DisassemblyStyle &style) {
  const bool lower = style.lowerHex;
  if (!d.info) return std::string("???? ").append(Hex(d.opcode, lower));
  auto r = [](unsigned n) {
    const char text[3] = {'R', static_cast<char>('0' + (n & 7)), 0};
    return std::string(text);
  };
  std::string name = d.info->mnemonic;
  std::string operands;
  switch (d.info->form) {
    case F::kImplied:
      break;
    case F::kRegister:
    case F::kLowRegister:
    case F::kSameRegister:
      operands = r(d.reg);
      break;
    case F::kToPc:
      operands = r(d.pointer);
      break;
    case F::kRegReg:
      operands = r(d.pointer) + "," + r(d.reg);
      break;
    case F::kShift:
      operands = r(d.reg) + (d.shiftBy == 2 ? ",2" : "");
      break;
    case F::kDirect:
      operands = Hex(d.value, lower) + "," + r(d.reg);
      break;
    case F::kStoreDirect:
      operands = r(d.reg) + "," + Hex(d.value, lower);
      break;
    case F::kIndirect:
      operands = r(d.pointer) + "," + r(d.reg);
      break;
    case F::kStoreIndirect:
      operands = r(d.reg) + "," + r(d.pointer);
      break;
    case F::kImmediate:
      operands = std::string("#").append(Hex(d.value, lower)).append(",").append(r(d.reg));
      break;
    case F::kStoreImmediate:
      operands = r(d.reg) + ",#" + Hex(d.value, lower);
      break;
    case F::kBranch:
      // NOPP without a target is NOPP to the next instruction.
      if (name != "NOPP" || d.value != static_cast<uint16_t>(d.address + 2) || (d.opcode & 0x20)) {
        operands = Hex(d.value, lower);
      }
      break;
    case F::kExternal:
      operands = Hex(d.value, lower) + "," + std::to_string(d.condition);
      break;
    case F::kJump:
    case F::kCall:
      operands = Hex(d.value, lower);
      break;
    case F::kJumpSave:
      operands = r(d.reg) + "," + Hex(d.value, lower);
      break;
  }
  if (operands.empty()) return name;
  name.resize(name.size() < 4 ? 4 : name.size(), ' ');
  return name + " " + operands;
}

}  // namespace isa
