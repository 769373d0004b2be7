// The words each instruction assembles to; the instruction set itself is in isa.h.
#include <cstring>
#include <unordered_map>

#include "cpasm/assembler_state.h"
#include "cpasm/isa.h"

namespace cpasm {

namespace {

using isa::Form;
using OpInfo = isa::InstructionInfo;

const OpInfo* FindOp(const std::string& name) {
  static const std::unordered_map<std::string, const OpInfo*> table = [] {
    std::unordered_map<std::string, const OpInfo*> byName;
    for (const OpInfo& op : isa::Instructions()) byName.emplace(op.mnemonic, &op);
    return byName;
  }();
  auto it = table.find(name);
  return it == table.end() ? nullptr : it->second;
}

// R0-R7, SP (R6) or PC (R7); -1 for anything else.
int RegisterNumber(std::string_view text) {
  std::string name = Upper(Trim(text));
  if (name.size() == 2 && name[0] == 'R' && name[1] >= '0' && name[1] <= '7') return name[1] - '0';
  if (name == "SP") return 6;
  if (name == "PC") return 7;
  return -1;
}

size_t OperandCount(Form form) {
  switch (form) {
    case Form::kImplied:
      return 0;
    case Form::kRegister:
    case Form::kLowRegister:
    case Form::kSameRegister:
    case Form::kToPc:
    case Form::kBranch:
    case Form::kJump:
    case Form::kCall:
      return 1;
    default:
      return 2;
  }
}

}  // namespace

bool Assembler::IsMnemonic(const std::string& op) { return FindOp(op) != nullptr; }

std::vector<Keyword> MnemonicKeywords() {
  std::vector<Keyword> words;
  for (const OpInfo& op : isa::Instructions()) words.push_back({op.mnemonic, false, true});
  return words;
}

bool Assembler::Instruction(const std::string& name, std::string_view operands) {
  const OpInfo* op = FindOp(name);
  if (!op) return false;
  const bool afterSdbd = sdbd_;
  sdbd_ = op->code == 0x001 && op->form == Form::kImplied;
  const int64_t address = image_.Location();

  std::vector<std::string_view> parts = SplitOperands(operands);
  size_t wanted = OperandCount(op->form);
  bool optionalSecond = op->form == Form::kShift;
  bool optionalFirst = op->form == Form::kBranch && op->code == 0x208;  // NOPP
  if (!(parts.size() == wanted || (optionalSecond && parts.size() == 1) || (optionalFirst && parts.empty()))) {
    Error(name + " takes " + std::to_string(wanted) + " operand(s), not " + std::to_string(parts.size()));
    return true;
  }

  auto reg = [&](size_t i, int low, int high, const char* what) {
    int r = RegisterNumber(parts[i]);
    if (r < low || r > high) {
      Error("bad operand '" + Shown(parts[i]) + "' for " + name + ": expected " + what);
      return -1;
    }
    return r;
  };
  auto value = [&](std::string_view text, int64_t& v) {
    if (RegisterNumber(text) >= 0) {
      Error("bad operand '" + Shown(text) + "' for " + name + ": expected an address or value");
      return false;
    }
    return Eval(text, v);
  };
  auto target = [&](std::string_view text, int64_t& t) {
    if (!value(text, t)) return false;
    if (t < 0 || t > 0xFFFF) {
      Error("target " + std::to_string(t) + " is outside $0000 to $FFFF");
      return false;
    }
    return true;
  };
  auto emitValue = [&](int64_t v, bool ok, const char* what) {
    uint16_t word = 0;
    if (ok) CheckWord(v, true, what, word);
    Emit(word);
  };

  bool memoryForm = false;
  switch (op->form) {
    case Form::kImplied:
      Emit(op->code);
      break;
    case Form::kRegister:
    case Form::kLowRegister: {
      int r = reg(0, 0, op->form == Form::kLowRegister ? 3 : 7, op->form == Form::kLowRegister ? "R0-R3" : "R0-R7");
      Emit(static_cast<uint16_t>(op->code | (r < 0 ? 0 : r)));
      break;
    }
    case Form::kSameRegister: {
      int r = reg(0, 0, 7, "R0-R7");
      if (r < 0) r = 0;
      Emit(static_cast<uint16_t>(op->code | r << 3 | r));
      break;
    }
    case Form::kToPc: {
      int r = reg(0, 0, 7, "R0-R7");
      Emit(static_cast<uint16_t>(op->code | (r < 0 ? 0 : r) << 3));
      break;
    }
    case Form::kRegReg: {
      int s = reg(0, 0, 7, "R0-R7");
      int d = reg(1, 0, 7, "R0-R7");
      Emit(static_cast<uint16_t>(op->code | (s < 0 ? 0 : s) << 3 | (d < 0 ? 0 : d)));
      break;
    }
    case Form::kShift: {
      int r = reg(0, 0, 3, "R0-R3");
      int64_t count = 1;
      if (parts.size() == 2 && value(parts[1], count) && count != 1 && count != 2) {
        Error("bad operand '" + Shown(parts[1]) + "' for " + name + ": shifts are by 1 or 2");
        count = 1;
      }
      Emit(static_cast<uint16_t>(op->code | (count == 2 ? 4 : 0) | (r < 0 ? 0 : r)));
      break;
    }
    case Form::kDirect:
    case Form::kStoreDirect: {
      bool store = op->form == Form::kStoreDirect;
      int r = reg(store ? 0 : 1, 0, 7, "R0-R7");
      int64_t a = 0;
      bool ok = value(parts[store ? 1 : 0], a);
      Emit(static_cast<uint16_t>(op->code | (r < 0 ? 0 : r)));
      emitValue(a, ok, "address");
      memoryForm = true;
      break;
    }
    case Form::kIndirect:
    case Form::kStoreIndirect: {
      bool store = op->form == Form::kStoreIndirect;
      int p = reg(store ? 1 : 0, 1, 6, "a pointer register R1-R6");
      int r = reg(store ? 0 : 1, 0, 7, "R0-R7");
      Emit(static_cast<uint16_t>(op->code | (p < 0 ? 1 : p) << 3 | (r < 0 ? 0 : r)));
      memoryForm = true;
      break;
    }
    case Form::kImmediate:
    case Form::kStoreImmediate: {
      bool store = op->form == Form::kStoreImmediate;
      int r = reg(store ? 0 : 1, 0, 7, "R0-R7");
      std::string_view text = parts[store ? 1 : 0];
      if (!text.empty() && text[0] == '#') text = Trim(text.substr(1));
      int64_t v = 0;
      bool ok = value(text, v);
      // Under ROMW 10 an SDBD goes in front of an immediate that does not fit in 10 bits, when
      // its value is known here (so the size is the same in every pass); mode 1 also puts one
      // in front of forward references.
      bool addSdbd = false;
      if (!store && !afterSdbd && romWidth_ == 10) {
        bool known = ok && !forwardUsed_;
        if (known && (v < 0 || v > 0x3FF)) {
          addSdbd = true;
        } else if (!known && romMode_ == 1) {
          addSdbd = true;
          Warning("SDBD inserted for an immediate not yet known (ROMW mode 1)");
        }
        if (addSdbd) Emit(0x001);
      }
      Emit(static_cast<uint16_t>(op->code | 0x38 | (r < 0 ? 0 : r)));
      if (afterSdbd || addSdbd) {
        // Double-byte data: low byte first, then high byte, each in its own decle.
        uint16_t word = 0;
        if (ok) CheckWord(v, false, "immediate value", word);
        Emit(word & 0xFF);
        Emit(word >> 8);
      } else {
        emitValue(v, ok, "immediate value");
      }
      memoryForm = true;
      break;
    }
    case Form::kBranch:
    case Form::kExternal: {
      int64_t t = address + 2;
      bool ok = parts.empty() || target(parts[0], t);
      uint16_t code = op->code;
      if (op->form == Form::kExternal) {
        int64_t condition = 0;
        if (value(parts[1], condition) && (condition < 0 || condition > 15)) {
          Error("BEXT condition " + std::to_string(condition) + " is outside 0 to 15");
          condition = 0;
        }
        code |= static_cast<uint16_t>(condition);
      }
      // Forward: target = address + 2 + displacement. Backward: target = address + 2 - displacement - 1.
      int64_t displacement = 0;
      if (ok && t >= address + 2) {
        displacement = t - (address + 2);
      } else if (ok) {
        displacement = address + 1 - t;
        code |= 0x20;
      }
      Emit(code);
      emitValue(displacement, ok, "branch displacement");
      break;
    }
    case Form::kJump:
    case Form::kJumpSave:
    case Form::kCall: {
      int64_t t = 0;
      uint16_t bits = op->code;
      if (op->form == Form::kJumpSave) {
        int r = reg(0, 4, 6, "a return register R4-R6");
        bits = static_cast<uint16_t>(bits | (r < 0 ? 0 : r - 4) << 8);
      }
      bool ok = target(parts[op->form == Form::kJumpSave ? 1 : 0], t);
      if (!ok) t = 0;
      Emit(0x004);
      Emit(static_cast<uint16_t>(bits | (t >> 10) << 2));
      Emit(static_cast<uint16_t>(t & 0x3FF));
      break;
    }
  }
  if (afterSdbd && !memoryForm) Warning("SDBD has no effect on " + name);
  return true;
}

}  // namespace cpasm
