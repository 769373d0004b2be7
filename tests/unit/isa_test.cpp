// The one instruction description: every form the assembler writes decodes back to its source,
// and the disassembly assembles to the same words.
#include "cpasm/isa.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cpasm/assembler.h"
#include "support/assembly_text.h"

namespace isa_test {

using cpasm::test::Problems;
using cpasm::test::Words;

std::vector<uint16_t> Assemble(const std::string& lines, std::string* problems = nullptr) {
  cpasm::Assembly assembly = cpasm::AssembleText("t.asm", "        ORG $5000\n" + lines + "\n", {});
  if (problems) *problems = assembly.errors ? Problems(assembly) : "";
  return Words(assembly);
}

// The instructions of `words` at $5000, one disassembled line each.
std::vector<isa::Decoded> DecodeAll(const std::vector<uint16_t>& words) {
  std::vector<isa::Decoded> out;
  bool sdbd = false;
  for (size_t i = 0; i < words.size();) {
    isa::Decoded d = isa::DecodeWords(static_cast<uint16_t>(0x5000 + i), &words[i], words.size() - i, sdbd);
    out.push_back(d);
    sdbd = d.info && std::string_view(d.info->mnemonic) == "SDBD";
    i += d.words;
  }
  return out;
}

std::string R(int n) { return "R" + std::to_string(n); }

// Source lines for every operand form of `info`.
std::vector<std::string> Sources(const isa::InstructionInfo& info) {
  const std::string name = info.mnemonic;
  std::vector<std::string> out;
  const char* addresses[] = {"$0000", "$0102", "$5000", "$FFFF"};
  const char* targets[] = {"$5002", "$5000", "$4FFF", "$5001", "$6ABC", "$0000", "$FFFF"};
  switch (info.form) {
    case isa::Form::kImplied:
      out.push_back(name);
      break;
    case isa::Form::kRegister:
    case isa::Form::kSameRegister:
      for (int r = 0; r < 8; ++r) out.push_back(name + " " + R(r));
      break;
    case isa::Form::kLowRegister:
      for (int r = 0; r < 4; ++r) out.push_back(name + " " + R(r));
      break;
    case isa::Form::kToPc:
      for (int r = 0; r < 7; ++r) out.push_back(name + " " + R(r));
      break;
    case isa::Form::kRegReg:
      for (int s = 0; s < 8; ++s)
        for (int d = 0; d < 8; ++d) out.push_back(name + " " + R(s) + ", " + R(d));
      break;
    case isa::Form::kShift:
      for (int r = 0; r < 4; ++r) {
        out.push_back(name + " " + R(r));
        out.push_back(name + " " + R(r) + ", 2");
      }
      break;
    case isa::Form::kDirect:
      for (const char* a : addresses)
        for (int r = 0; r < 8; ++r) out.push_back(name + " " + a + ", " + R(r));
      break;
    case isa::Form::kStoreDirect:
      for (const char* a : addresses)
        for (int r = 0; r < 8; ++r) out.push_back(name + " " + R(r) + ", " + a);
      break;
    case isa::Form::kIndirect:
      for (int p = 1; p < 7; ++p)
        for (int r = 0; r < 8; ++r) {
          out.push_back(name + " " + R(p) + ", " + R(r));
          if (p != 6) out.push_back("SDBD\n " + name + " " + R(p) + ", " + R(r));
        }
      break;
    case isa::Form::kStoreIndirect:
      for (int p = 1; p < 7; ++p)
        for (int r = 0; r < 8; ++r) out.push_back(name + " " + R(r) + ", " + R(p));
      break;
    case isa::Form::kImmediate:
      for (const char* v : {"#0", "#$3FF", "#$FFFF", "#$1234"})
        for (int r = 0; r < 8; ++r) {
          out.push_back(name + " " + v + ", " + R(r));
          out.push_back("SDBD\n " + name + " " + v + ", " + R(r));
        }
      break;
    case isa::Form::kStoreImmediate:
      for (int r = 0; r < 8; ++r) out.push_back(name + " " + R(r) + ", $1234");
      break;
    case isa::Form::kBranch:
      for (const char* t : targets) out.push_back(name + " " + t);
      break;
    case isa::Form::kExternal:
      for (const char* t : targets)
        for (int e : {0, 7, 15}) out.push_back(name + " " + t + ", " + std::to_string(e));
      break;
    case isa::Form::kJump:
    case isa::Form::kCall:
      for (const char* t : targets) out.push_back(name + " " + t);
      break;
    case isa::Form::kJumpSave:
      for (int r = 4; r < 7; ++r)
        for (const char* t : targets) out.push_back(name + " " + R(r) + ", " + t);
      break;
  }
  return out;
}

// The mnemonic the decoder should name for a source line: the instruction's own, except where the
// words are also a pseudo-instruction's or an alias's.
std::string Expected(const isa::InstructionInfo& info, const std::string& source) {
  std::string name = info.mnemonic;
  std::string ops = source.substr(source.find(' ') == std::string::npos ? source.size() : source.find(' ') + 1);
  auto regs = [&](int& a, int& b) { return std::sscanf(ops.c_str(), "R%d, R%d", &a, &b) == 2; };
  int a = -1, b = -1;
  if (name == "MOVR" && regs(a, b) && a == b) return "TSTR";
  if (name == "MOVR" && regs(a, b) && b == 7) return "JR";
  if (name == "XORR" && regs(a, b) && a == b) return "CLRR";
  if (name == "JR" && ops == "R7") return "TSTR";
  if (name == "MVO@" && regs(a, b) && b == 6) return "PSHR";
  if (name == "MVI@" && regs(a, b) && a == 6) return "PULR";
  if (name == "BEGIN") return "PSHR";
  if (name == "RETURN") return "PULR";
  if (name == "CALL") return "JSR";
  if (info.alias) {
    for (const isa::InstructionInfo& main : isa::Instructions())
      if (!main.alias && main.form == info.form && main.code == info.code) return main.mnemonic;
  }
  return name;
}

TEST(Isa, EveryEncodingDecodesBackToItsSource) {
  int checked = 0;
  for (const isa::InstructionInfo& info : isa::Instructions()) {
    // All forms of one instruction in one source: each line gives one instruction (after an SDBD).
    std::vector<std::string> sources = Sources(info);
    std::string text;
    for (const std::string& source : sources) text += " " + source + "\n";
    std::string problems;
    std::vector<uint16_t> words = Assemble(text, &problems);
    ASSERT_EQ(problems, "") << info.mnemonic;
    std::vector<isa::Decoded> decoded = DecodeAll(words);
    std::string again;
    size_t line = 0;
    for (const isa::Decoded& d : decoded) {
      ASSERT_NE(d.info, nullptr) << info.mnemonic << " at $" << std::hex << d.address;
      again += " " + isa::Disassemble(d) + "\n";
      if (std::string_view(d.info->mnemonic) == "SDBD" && info.form != isa::Form::kImplied) continue;
      ASSERT_LT(line, sources.size());
      const std::string& source = sources[line++];
      EXPECT_EQ(d.info->mnemonic, Expected(info, source.substr(source.find_last_of('\n') + 1))) << source;
      ++checked;
    }
    EXPECT_EQ(line, sources.size()) << info.mnemonic;
    EXPECT_EQ(Assemble(again, &problems), words) << info.mnemonic << "\n" << again << problems;
  }
  EXPECT_GT(checked, 900);
}

TEST(Isa, DisassemblyAsTheDebuggerWritesIt) {
  struct Case {
    std::vector<uint16_t> words;
    bool sdbd;
    const char* text;
  } cases[] = {
      {{0x2BE, 0x02F1}, false, "MVII #$02F1,R6"},
      {{0x281, 0x0103}, false, "MVI  $0103,R1"},
      {{0x241, 0x0103}, false, "MVO  R1,$0103"},
      {{0x204, 0x0010}, false, "BEQ  $5012"},
      {{0x224, 0x0010}, false, "BEQ  $4FF1"},
      {{0x009}, false, "INCR R1"},
      {{0x3B9, 0x0007}, false, "ANDI #$0007,R1"},
      {{0x2B8, 0x0034, 0x0012}, true, "MVII #$1234,R0"},
      {{0x2A0}, true, "MVI@ R4,R0"},
      {{0x275}, false, "PSHR R5"},
      {{0x2B7}, false, "PULR R7"},
      {{0x0AF}, false, "JR   R5"},
      {{0x1C9}, false, "CLRR R1"},
      {{0x04E}, false, "SLL  R2,2"},
      {{0x004, 0x150, 0x200}, false, "JSR  R5,$5200"},
      {{0x004, 0x3FD, 0x3FF}, false, "JE   $FFFF"},
      {{0x208, 0x0000}, false, "NOPP"},
      {{0x000}, false, "HLT"},
      {{0x004, 0x003, 0x000}, false, "???? $0004"},
      {{0x1234}, false, "???? $1234"},
  };
  for (const Case& c : cases) {
    isa::Decoded d = isa::DecodeWords(0x5000, c.words.data(), c.words.size(), c.sdbd);
    EXPECT_EQ(isa::Disassemble(d), c.text);
    if (d.info) {
      EXPECT_EQ(d.words, c.words.size()) << c.text;
    }
  }
  isa::Decoded d = isa::DecodeWords(0x5000, std::vector<uint16_t>{0x2BE, 0x02F1}.data(), 2);
  EXPECT_EQ(isa::Disassemble(d, {.lowerHex = true}), "MVII #$02f1,R6");
}

TEST(Isa, CyclesAndTheirVariants) {
  struct Case {
    const char* mnemonic;
    isa::CycleContext context;
    bool taken;
    int cycles;
  } cases[] = {
      {"MOVR", {.destination = 1}, false, 6},
      {"MOVR", {.destination = 6}, false, 7},
      {"INCR", {.destination = 7}, false, 7},
      {"JR", {}, false, 7},
      {"SLL", {.shiftBy = 1}, false, 6},
      {"SLL", {.shiftBy = 2}, false, 8},
      {"MVO", {}, false, 11},
      {"MVO@", {.pointer = 6}, false, 9},
      {"MVI", {}, false, 10},
      {"MVI@", {.pointer = 4}, false, 8},
      {"MVI@", {.pointer = 6}, false, 11},
      {"MVI@", {.pointer = 4, .sdbd = true}, false, 10},
      {"MVII", {}, false, 8},
      {"MVII", {.sdbd = true}, false, 10},
      {"MVOI", {}, false, 9},
      {"PULR", {}, false, 11},
      {"PSHR", {}, false, 9},
      {"BEQ", {}, false, 7},
      {"BEQ", {}, true, 9},
      {"B", {}, true, 9},
      {"NOPP", {}, false, 7},
      {"J", {}, false, 12},
      {"JSRE", {}, false, 12},
      {"HLT", {}, false, 4},
      {"SDBD", {}, false, 4},
      {"NOP", {}, false, 6},
  };
  for (const Case& c : cases) {
    const isa::InstructionInfo* info = isa::FindInstruction(c.mnemonic);
    ASSERT_NE(info, nullptr) << c.mnemonic;
    EXPECT_EQ(isa::Cycles(*info, c.context, c.taken), c.cycles) << c.mnemonic;
  }
  EXPECT_EQ(isa::CycleText(*isa::FindInstruction("bneq")), "7/9");
  EXPECT_EQ(isa::CycleText(*isa::FindInstruction("ADDR")), "6 (7 to R6/R7)");
  EXPECT_EQ(isa::CycleText(*isa::FindInstruction("ADD@")), "8 (11 through R6; +2 after SDBD)");
  EXPECT_EQ(isa::CycleText(*isa::FindInstruction("ADD@"), {.pointer = 6}), "11 (+2 after SDBD)");
  EXPECT_EQ(isa::CycleText(*isa::FindInstruction("B")), "9");
  EXPECT_EQ(isa::FindInstruction("LOOP"), nullptr);
}

}  // namespace isa_test
