// The CP1610 instruction set, described once: mnemonics, how operands are written and where they
// go in the words, cycles, flags and a one-line summary. The encoder (cpasm), the disassembler,
// the simulator's decoder (cpsim) and the IDE's tips and cycle counts all read this table.
// Portable, no windows.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace isa {

// How an instruction's operands are written and where they go in its words.
enum class Form : uint8_t {
  kImplied,         // HLT: the code alone
  kRegister,        // INCR Rr: code | r
  kLowRegister,     // GSWD Rr (R0-R3): code | r
  kSameRegister,    // CLRR Rr, TSTR Rr: code | r << 3 | r
  kToPc,            // JR Rr: code | r << 3 (MOVR Rr, R7)
  kRegReg,          // ADDR Rs, Rd: code | s << 3 | d
  kShift,           // SLL Rr[, 2]: code | (2 ? 4 : 0) | r, r in R0-R3
  kDirect,          // MVI addr, Rd: code | d, then addr
  kStoreDirect,     // MVO Rs, addr: code | s, then addr
  kIndirect,        // MVI@ Rp, Rd: code | p << 3 | d, p in R1-R6
  kStoreIndirect,   // MVO@ Rs, Rp: code | p << 3 | s
  kImmediate,       // MVII #v, Rd: code | 7 << 3 | d, then v (after SDBD: low byte, high byte)
  kStoreImmediate,  // MVOI Rs, v: code | 7 << 3 | s, then v
  kBranch,          // B target: code [| 0x20 backwards], then displacement
  kExternal,        // BEXT target, e: code | e [| 0x20], then displacement
  kJump,            // J target: 0x004, then code | address bits 15-10 << 2, then address bits 9-0
  kJumpSave,        // JSR Rr, target (R4-R6): as kJump, with r - 4 in bits 9-8 of the second word
  kCall,            // CALL target: JSR R5, target
};

// Flag bits, as in the status word's order of the debugger's status line.
enum FlagBit : uint8_t { kS = 1, kZ = 2, kO = 4, kC = 8, kI = 16, kD = 32 };

struct InstructionInfo {
  const char *mnemonic;  // upper case, as written: "MVI@", "BNEQ", "SDBD"
  Form form;
  uint16_t code;        // the opcode bits the form's operands are added to (jumps: second word's bits)
  const char *summary;  // one line of what it does
  const char *flags;    // flags it changes, e.g. "S Z", "S Z O C", "" for none
  uint8_t flagBits;     // the same as FlagBit bits (shifts through carry: O only when by 2)
  int cycles;           // cycles (for a branch: not taken)
  int cyclesTaken;      // a branch taken; 0 when not a branch
  int cyclesR6R7;       // with R6 or R7 as the destination register; 0 when no different
  int cyclesStack;      // with R6 as the address register (stack); 0 when no different
  int extraSdbd;        // added after SDBD (double-byte data); 0 when SDBD has no effect
  int extraByTwo;       // added for a shift or rotate by 2
  bool interruptible;   // an interrupt may be taken after it
  bool alias;           // another name for an encoding; the disassembler writes the main name
};

// Every entry, main names and aliases, in a fixed order.
std::span<const InstructionInfo> Instructions();

// Any case; nullptr if none.
const InstructionInfo *FindInstruction(std::string_view mnemonic);

// What a particular use of an instruction changes its cycles by; -1 where not known.
struct CycleContext {
  int destination = -1;  // the register written (R0-R7)
  int pointer = -1;      // the address register of an indirect form (R1-R6)
  int shiftBy = 0;       // 1 or 2 for shifts
  bool sdbd = false;     // an SDBD comes before it
};

// Cycles as text: "6", "8", "7/9" for a branch (not taken/taken); without a context, the
// documented variants: "6 (7 to R6/R7)", "8 (11 through R6; +2 after SDBD)".
std::string CycleText(const InstructionInfo &, const CycleContext & = {});
// The cycles of one use (a branch: not taken unless `taken`).
int Cycles(const InstructionInfo &, const CycleContext &, bool taken = false);

// One instruction decoded from its words.
struct Decoded {
  const InstructionInfo *info = nullptr;  // nullptr: the words are no instruction
  uint16_t address = 0;                   // where it starts
  uint8_t words = 1;                      // 1 to 3 (an SDBD immediate has 3: low, high byte)
  uint8_t reg = 0;                        // the register operand: destination, or the source of a store
  uint8_t pointer = 0;                    // register-register: the source; indirect: the address register
  uint8_t shiftBy = 1;                    // 1 or 2
  uint8_t condition = 0;                  // BEXT's external condition
  uint16_t value = 0;                     // direct address, immediate value, branch or jump target
  bool sdbd = false;                      // decoded after an SDBD
  uint16_t opcode = 0;                    // the first word
};

// Decodes the instruction at `address`; `read` gives a word of memory. `sdbd`: an SDBD came before.
Decoded Decode(uint16_t address, const std::function<uint16_t(uint16_t)> &read, bool sdbd = false);
// The same from up to three words in a row.
Decoded DecodeWords(uint16_t address, const uint16_t *words, size_t count, bool sdbd = false);

struct DisassemblyStyle {
  bool lowerHex = false;  // "$02f1" (as the emulator's debugger writes) instead of "$02F1"
};
// "MVII #$02F1,R6", "BEQ  $5488", "HLT": the mnemonic in five columns, operands without blanks,
// in a form the assembler reads back to the same words. "???? $xxxx" for no instruction.
std::string Disassemble(const Decoded &, const DisassemblyStyle & = {});

}  // namespace isa
