// The CPU, the console's memory and the run loop.
#include "cpsim/machine.h"

#include <array>
#include <cstdio>
#include <string_view>

#include "cpasm/isa.h"

namespace cpsim {

namespace {

enum class Kind : uint8_t {
  kInvalid,
  kHlt,
  kSdbd,
  kEis,
  kDis,
  kJump,
  kTci,
  kClrc,
  kSetc,
  kIncr,
  kDecr,
  kComr,
  kNegr,
  kAdcr,
  kGswd,
  kNop,
  kRswd,
  kSwap,
  kSll,
  kRlc,
  kSllc,
  kSlr,
  kSar,
  kRrc,
  kSarc,
  kMovr,
  kAddr,
  kSubr,
  kCmpr,
  kAndr,
  kXorr,
  kBranch,
  kMvo,
  kMvi,
  kAdd,
  kSub,
  kCmp,
  kAnd,
  kXor,
};

Kind KindOf(std::string_view name) {
  struct Entry {
    const char *name;
    Kind kind;
  };
  static const Entry kKinds[] = {
      {"HLT", Kind::kHlt},   {"SDBD", Kind::kSdbd}, {"EIS", Kind::kEis},   {"DIS", Kind::kDis},   {"TCI", Kind::kTci},
      {"CLRC", Kind::kClrc}, {"SETC", Kind::kSetc}, {"NOP", Kind::kNop},   {"SIN", Kind::kNop},   {"INCR", Kind::kIncr},
      {"DECR", Kind::kDecr}, {"COMR", Kind::kComr}, {"NEGR", Kind::kNegr}, {"ADCR", Kind::kAdcr}, {"RSWD", Kind::kRswd},
      {"GSWD", Kind::kGswd}, {"PSHR", Kind::kMvo},  {"PULR", Kind::kMvi},  {"CLRR", Kind::kXorr}, {"TSTR", Kind::kMovr},
      {"JR", Kind::kMovr},   {"MOVR", Kind::kMovr}, {"ADDR", Kind::kAddr}, {"SUBR", Kind::kSubr}, {"CMPR", Kind::kCmpr},
      {"ANDR", Kind::kAndr}, {"XORR", Kind::kXorr}, {"SWAP", Kind::kSwap}, {"SLL", Kind::kSll},   {"RLC", Kind::kRlc},
      {"SLLC", Kind::kSllc}, {"SLR", Kind::kSlr},   {"SAR", Kind::kSar},   {"RRC", Kind::kRrc},   {"SARC", Kind::kSarc},
      {"MVO", Kind::kMvo},   {"MVO@", Kind::kMvo},  {"MVOI", Kind::kMvo},  {"MVI", Kind::kMvi},   {"MVI@", Kind::kMvi},
      {"MVII", Kind::kMvi},  {"ADD", Kind::kAdd},   {"ADD@", Kind::kAdd},  {"ADDI", Kind::kAdd},  {"SUB", Kind::kSub},
      {"SUB@", Kind::kSub},  {"SUBI", Kind::kSub},  {"CMP", Kind::kCmp},   {"CMP@", Kind::kCmp},  {"CMPI", Kind::kCmp},
      {"AND", Kind::kAnd},   {"AND@", Kind::kAnd},  {"ANDI", Kind::kAnd},  {"XOR", Kind::kXor},   {"XOR@", Kind::kXor},
      {"XORI", Kind::kXor},
  };
  for (const Entry &e : kKinds) {
    if (name == e.name) return e.kind;
  }
  if (!name.empty() && name[0] == 'B') return Kind::kBranch;  // B, BEQ, ..., BEXT
  if (name == "NOPP") return Kind::kBranch;
  return Kind::kInvalid;
}

// The interrupt dispatcher and its exit, as the console's interrupt documentation lists them
// ($1004-$101C): save R0, the flags and R1-R5, call the routine at $0100/$0101 with R5 = $1014,
// then restore and return.
constexpr uint16_t kDispatcher[] = {
    0x270,         // $1004 PSHR R0
    0x030,         // $1005 GSWD R0
    0x270,         // $1006 PSHR R0
    0x271,         // $1007 PSHR R1
    0x272,         // $1008 PSHR R2
    0x034,         // $1009 NOP
    0x273,         // $100A PSHR R3
    0x274,         // $100B PSHR R4
    0x275,         // $100C PSHR R5
    0x0BD,         // $100D MOVR R7, R5
    0x2FD, 0x006,  // $100E ADDI #6, R5
    0x2BC, 0x100,  // $1010 MVII #$100, R4
    0x001,         // $1012 SDBD
    0x2A7,         // $1013 MVI@ R4, R7
    0x2B5,         // $1014 PULR R5
    0x2B4,         // $1015 PULR R4
    0x2B3,         // $1016 PULR R3
    0x2B2,         // $1017 PULR R2
    0x2B1,         // $1018 PULR R1
    0x2B0,         // $1019 PULR R0
    0x038,         // $101A RSWD R0
    0x2B0,         // $101B PULR R0
    0x2B7,         // $101C PULR R7
};

// One opcode word, decoded once from the instruction description.
struct Op {
  Kind kind = Kind::kInvalid;
  uint8_t reg = 0;  // destination (or the stored register)
  uint8_t ptr = 0;  // source register, or the address register (0 direct, 7 immediate)
  uint8_t shift = 1;
  uint8_t condition = 0;  // a branch's 4 condition bits; 0x10 for an external one
  uint8_t cycles = 0;
  uint8_t sdbdExtra = 0;
  uint8_t takenExtra = 0;
  bool memory = false;  // a memory form (direct, indirect, immediate)
  bool interruptible = true;
};

std::array<Op, 1024> BuildOps() {
  std::array<Op, 1024> ops{};
  for (unsigned w = 0; w < 1024; ++w) {
    Op &op = ops[w];
    if (w == 0x004) {
      op.kind = Kind::kJump;
      op.cycles = static_cast<uint8_t>(isa::FindInstruction("J")->cycles);
      continue;
    }
    const uint16_t words[3] = {static_cast<uint16_t>(w), 0, 0};
    isa::Decoded d = isa::DecodeWords(0, words, 3);
    if (!d.info) continue;
    op.kind = KindOf(d.info->mnemonic);
    op.reg = d.reg;
    op.ptr = d.pointer;
    op.shift = d.shiftBy;
    op.interruptible = d.info->interruptible;
    const isa::Form f = d.info->form;
    op.memory = f == isa::Form::kDirect || f == isa::Form::kStoreDirect || f == isa::Form::kIndirect ||
                f == isa::Form::kStoreIndirect || f == isa::Form::kImmediate || f == isa::Form::kStoreImmediate ||
                op.kind == Kind::kMvo || op.kind == Kind::kMvi;  // PSHR, PULR
    if (f == isa::Form::kDirect || f == isa::Form::kStoreDirect) op.ptr = 0;
    if (op.kind == Kind::kBranch) op.condition = static_cast<uint8_t>(w & 0x3F);
    isa::CycleContext context;
    context.destination = d.reg;
    context.pointer = op.memory ? op.ptr : -1;
    context.shiftBy = d.shiftBy;
    op.cycles = static_cast<uint8_t>(isa::Cycles(*d.info, context));
    op.sdbdExtra = static_cast<uint8_t>(d.info->extraSdbd);
    if (d.info->cyclesTaken) op.takenExtra = static_cast<uint8_t>(d.info->cyclesTaken - op.cycles);
    if (op.kind == Kind::kBranch && (w & 0x1F) == 0) {
      op.cycles = static_cast<uint8_t>(d.info->cyclesTaken);  // B: always taken
      op.takenExtra = 0;
    }
  }
  return ops;
}

const std::array<Op, 1024> kOps = BuildOps();

inline bool Fetchable(uint8_t region) {
  return region != static_cast<uint8_t>(Region::kUnmapped) && region != static_cast<uint8_t>(Region::kNoExec);
}

}  // namespace

std::string Hex4(uint16_t value) {
  char text[8];
  std::snprintf(text, sizeof text, "$%04X", value);
  return text;
}

Machine::Machine() : memory_(65536, 0), region_(65536, 0), breakpoints_(65536, 0) { Load(Image{}); }

void Machine::Load(const Image &image) {
  image_ = image;
  LayOut();
  ResetState();
}

bool Machine::LoadExecutive(const std::vector<uint16_t> &words, std::string &error) {
  if (words.size() != 4096) {
    error = "an Executive ROM image has 4096 words ($1000-$1FFF), this one " + std::to_string(words.size());
    return false;
  }
  exec_ = words;
  hasExec_ = true;
  LayOut();
  return true;
}

bool Machine::LoadGraphicsRom(const std::vector<uint16_t> &words, std::string &error) {
  if (words.size() != 2048) {
    error = "a graphics ROM image has 2048 bytes ($3000-$37FF), this one " + std::to_string(words.size());
    return false;
  }
  grom_ = words;
  LayOut();
  return true;
}

void Machine::LayOut() {
  std::fill(memory_.begin(), memory_.end(), 0);
  std::fill(region_.begin(), region_.end(), static_cast<uint8_t>(Region::kUnmapped));
  auto mark = [&](unsigned first, unsigned last, Region region) {
    for (unsigned a = first; a <= last; ++a) region_[a] = static_cast<uint8_t>(region);
  };
  mark(0x0000, 0x003F, Region::kStic);
  mark(0x0100, 0x01EF, Region::kRam8);
  mark(0x01F0, 0x01FF, Region::kPsg);
  mark(0x0200, 0x035F, Region::kRam16);
  mark(0x3800, 0x39FF, Region::kGram);
  if (hasExec_) {
    mark(kExecStart, kExecEnd, Region::kExec);
    for (unsigned i = 0; i < exec_.size(); ++i) memory_[kExecStart + i] = exec_[i];
  } else {
    mark(kExecStart, kExecEnd, Region::kNoExec);
    for (unsigned i = 0; i < std::size(kDispatcher); ++i) {
      memory_[kInterruptVector + i] = kDispatcher[i];
      region_[kInterruptVector + i] = static_cast<uint8_t>(Region::kDispatcher);
    }
  }
  if (!grom_.empty()) {
    mark(0x3000, 0x37FF, Region::kRom);
    for (unsigned i = 0; i < grom_.size(); ++i) memory_[0x3000 + i] = grom_[i] & 0xFF;
  }
  for (const MemoryRange &range : image_.ranges) {
    const Region region = range.kind == RangeKind::kRom    ? Region::kRom
                          : range.kind == RangeKind::kRam8 ? Region::kRam8
                                                           : Region::kRam16;
    for (unsigned a = range.first; a <= range.last; ++a) {
      region_[a] = static_cast<uint8_t>(region);
      const size_t i = a - range.first;
      uint16_t word = i < range.words.size() ? range.words[i] : 0;
      memory_[a] = region == Region::kRam8 ? (word & 0xFF) : word;
    }
  }
}

void Machine::ResetState() {
  cpu_ = CpuState{};
  cycles_ = 0;
  frames_ = 0;
  frameStart_ = 0;
  nextFrame_ = kCyclesPerFrame;
  acknowledged_ = false;
  displayOn_ = false;
  calls_.clear();
  events_.clear();
  seen_.clear();
}

bool Machine::Boot(std::string &error) {
  LayOut();
  ResetState();
  if (hasExec_) {
    cpu_.r[7] = kExecStart;
    return true;
  }
  cpu_.r[6] = kBootStack;
  memory_[0x02F0] = 0x5014;
  memory_[0x0100] = kDispatcherExit & 0xFF;
  memory_[0x0101] = kDispatcherExit >> 8;
  cpu_.flags.i = true;
  auto rom = [&](uint16_t a) { return RegionAt(a) == Region::kRom; };
  if (rom(0x7000)) {
    cpu_.r[7] = 0x7000;
  } else if (rom(0x4800)) {
    cpu_.r[7] = 0x4800;
  } else if (RegionAt(0x5004) != Region::kUnmapped && RegionAt(0x5005) != Region::kUnmapped) {
    cpu_.r[7] = static_cast<uint16_t>((memory_[0x5004] & 0xFF) | (memory_[0x5005] & 0xFF) << 8);
  } else {
    error = "nothing to start: no ROM at $7000 or $4800 and no cartridge header at $5000";
    return false;
  }
  return true;
}

void Machine::StartAt(uint16_t pc) {
  LayOut();
  ResetState();
  cpu_.r[6] = kBootStack;
  memory_[0x0100] = kDispatcherExit & 0xFF;
  memory_[0x0101] = kDispatcherExit >> 8;
  cpu_.r[7] = pc;
}

uint16_t Machine::Read(uint16_t address) const {
  const Region region = RegionAt(address);
  if (region == Region::kUnmapped || region == Region::kNoExec) return 0xFFFF;
  return memory_[address];
}

bool Machine::Write(uint16_t address, uint16_t value) {
  const Region region = RegionAt(address);
  if (region == Region::kUnmapped || region == Region::kNoExec) return false;
  const bool narrow = region == Region::kRam8 || region == Region::kGram || region == Region::kPsg;
  memory_[address] = narrow ? (value & 0xFF) : value;
  return true;
}

void Machine::SetBreakpoint(uint16_t address, bool on) {
  if ((breakpoints_[address] != 0) == on) return;
  breakpoints_[address] = on ? 1 : 0;
  breakpointCount_ += on ? 1 : -1;
  hasBreakpoints_ = breakpointCount_ > 0;
}

void Machine::ClearBreakpoints() {
  std::fill(breakpoints_.begin(), breakpoints_.end(), 0);
  breakpointCount_ = 0;
  hasBreakpoints_ = false;
}

std::vector<Event> Machine::TakeEvents() {
  std::vector<Event> out;
  out.swap(events_);
  for (auto &[key, index] : seen_) index = SIZE_MAX;
  return out;
}

void Machine::AddEvent(EventKind kind, uint16_t address, std::string message) {
  eventStop_ = true;
  auto [it, added] = seen_.try_emplace({static_cast<int>(kind), pcOfInstruction_}, events_.size());
  if (!added) {
    if (it->second != SIZE_MAX) events_[it->second].repeats++;
    return;
  }
  events_.push_back(Event{kind, pcOfInstruction_, address, cycles_, frames_, 0, std::move(message)});
}

uint16_t Machine::ReadBus(uint16_t address) {
  const uint8_t region = region_[address];
  if (region == static_cast<uint8_t>(Region::kUnmapped) || region == static_cast<uint8_t>(Region::kNoExec)) {
    return 0xFFFF;
  }
  return memory_[address];
}

void Machine::WriteBus(uint16_t address, uint16_t value) {
  switch (static_cast<Region>(region_[address])) {
    case Region::kRam16:
      memory_[address] = value;
      return;
    case Region::kRam8:
    case Region::kPsg:
      memory_[address] = value & 0xFF;
      return;
    case Region::kStic: {
      const bool open = acknowledged_ && cycles_ - frameStart_ < kSticWindow;
      if (displayOn_ && !open) {
        AddEvent(EventKind::kSticDropped, address,
                 "STIC register write at " + Hex4(address) + " outside vertical blank, dropped on the console");
        return;
      }
      memory_[address] = value;
      if (address == 0x0020 && open) displayOn_ = true;
      return;
    }
    case Region::kGram: {
      const bool open = acknowledged_ && cycles_ - frameStart_ < kGramWindow;
      if (displayOn_ && !open) {
        AddEvent(EventKind::kGramDropped, address,
                 "GRAM write at " + Hex4(address) + " outside vertical blank, dropped on the console");
        return;
      }
      memory_[address] = value & 0xFF;
      return;
    }
    case Region::kRom:
    case Region::kExec:
    case Region::kDispatcher:
      AddEvent(EventKind::kRomWrite, address, "write to ROM at " + Hex4(address) + " changes nothing");
      return;
    case Region::kUnmapped:
    case Region::kNoExec:
      AddEvent(EventKind::kUnmappedWrite, address, "write to unmapped memory at " + Hex4(address) + " changes nothing");
      return;
  }
}

void Machine::PushCall(uint16_t returnTo, bool interrupt) {
  if (calls_.size() >= 4096) calls_.erase(calls_.begin(), calls_.begin() + 1024);  // the oldest, never returned from
  calls_.push_back({returnTo, interrupt});
}

void Machine::StartFrame() {
  frameStart_ = nextFrame_;
  nextFrame_ += kCyclesPerFrame;
  ++frames_;
  cpu_.interruptPending = true;
  acknowledged_ = false;
  displayOn_ = false;
}

void Machine::TakeInterrupt() {
  cpu_.interruptPending = false;
  acknowledged_ = true;
  const uint16_t from = cpu_.r[7];
  pcOfInstruction_ = from;
  WriteBus(cpu_.r[6], from);
  cpu_.r[6]++;
  cpu_.r[7] = kInterruptVector;
  PushCall(from, true);
}

bool Machine::ExecuteOne(Stop &stop) {
  uint16_t *r = cpu_.r;
  const uint16_t pc = r[7];
  pcOfInstruction_ = pc;
  const uint8_t region = region_[pc];
  if (!Fetchable(region)) {
    stop.address = pc;
    if (region == static_cast<uint8_t>(Region::kNoExec)) {
      stop.reason = StopReason::kExecutiveCall;
      stop.message = "The program called the Executive ROM at " + Hex4(pc) + "; the simulator has no image of it";
      AddEvent(EventKind::kExecutiveCall, pc, stop.message);
    } else {
      stop.reason = StopReason::kFault;
      stop.message = "The program ran into unmapped memory at " + Hex4(pc);
    }
    return false;
  }
  const uint16_t word = memory_[pc];
  if (word > 0x3FF) {
    stop.reason = StopReason::kFault;
    stop.address = pc;
    stop.message = "No instruction at " + Hex4(pc) + " (the word there is " + Hex4(word) + ")";
    return false;
  }
  const Op &op = kOps[word];
  const bool sdbd = cpu_.flags.d;
  cpu_.flags.d = false;
  Flags &f = cpu_.flags;
  uint32_t cycles = op.cycles;
  r[7] = static_cast<uint16_t>(pc + 1);
  auto sz = [&f](uint16_t v) {
    f.s = (v & 0x8000) != 0;
    f.z = v == 0;
  };
  auto add = [&f, &sz](uint16_t a, uint16_t b, unsigned carry) {
    const uint32_t sum = uint32_t{a} + b + carry;
    const uint16_t v = static_cast<uint16_t>(sum);
    f.c = sum > 0xFFFF;
    f.o = ((~(a ^ b) & (a ^ v)) & 0x8000) != 0;
    sz(v);
    return v;
  };
  auto sub = [&add](uint16_t a, uint16_t b) { return add(a, static_cast<uint16_t>(~b), 1); };
  auto setReg = [&](unsigned n, uint16_t v) {
    r[n] = v;
    if (n == 7) returnLike_ = true;
  };

  switch (op.kind) {
    case Kind::kInvalid:
      r[7] = pc;
      f.d = sdbd;
      stop.reason = StopReason::kFault;
      stop.address = pc;
      stop.message = "No instruction at " + Hex4(pc) + " (the word there is " + Hex4(word) + ")";
      return false;
    case Kind::kHlt:
      cycles_ += cycles;
      cpu_.interruptible = op.interruptible;
      stop.reason = StopReason::kHalted;
      stop.address = r[7];
      return false;
    case Kind::kSdbd:
      f.d = true;
      break;
    case Kind::kEis:
      f.i = true;
      break;
    case Kind::kDis:
      f.i = false;
      break;
    case Kind::kJump: {
      const uint16_t w1 = ReadBus(static_cast<uint16_t>(pc + 1));
      const uint16_t w2 = ReadBus(static_cast<uint16_t>(pc + 2));
      const unsigned bb = (w1 >> 8) & 3, ii = w1 & 3;
      if (ii == 3) {
        r[7] = pc;
        stop.reason = StopReason::kFault;
        stop.address = pc;
        stop.message = "No instruction at " + Hex4(pc) + " (a jump with both interrupt bits set)";
        return false;
      }
      const uint16_t target = static_cast<uint16_t>(((w1 >> 2) & 0x3F) << 10 | (w2 & 0x3FF));
      const uint16_t back = static_cast<uint16_t>(pc + 3);
      if (bb != 3) {
        r[4 + bb] = back;
        PushCall(back, false);
      }
      if (ii == 1) f.i = true;
      if (ii == 2) f.i = false;
      r[7] = target;
      break;
    }
    case Kind::kTci:
    case Kind::kNop:
      break;
    case Kind::kClrc:
      f.c = false;
      break;
    case Kind::kSetc:
      f.c = true;
      break;
    case Kind::kIncr: {
      const uint16_t v = static_cast<uint16_t>(r[op.reg] + 1);
      sz(v);
      setReg(op.reg, v);
      break;
    }
    case Kind::kDecr: {
      const uint16_t v = static_cast<uint16_t>(r[op.reg] - 1);
      sz(v);
      setReg(op.reg, v);
      break;
    }
    case Kind::kComr: {
      const uint16_t v = static_cast<uint16_t>(~r[op.reg]);
      sz(v);
      setReg(op.reg, v);
      break;
    }
    case Kind::kNegr:
      setReg(op.reg, sub(0, r[op.reg]));
      break;
    case Kind::kAdcr:
      setReg(op.reg, add(r[op.reg], 0, f.c ? 1 : 0));
      break;
    case Kind::kGswd: {
      const uint16_t s = static_cast<uint16_t>((f.s << 3 | f.z << 2 | f.o << 1 | f.c) << 4);
      r[op.reg] = static_cast<uint16_t>(s << 8 | s);
      break;
    }
    case Kind::kRswd: {
      const uint16_t v = r[op.reg];
      f.s = v & 0x80;
      f.z = v & 0x40;
      f.o = v & 0x20;
      f.c = v & 0x10;
      break;
    }
    case Kind::kSwap:
    case Kind::kSll:
    case Kind::kRlc:
    case Kind::kSllc:
    case Kind::kSlr:
    case Kind::kSar:
    case Kind::kRrc:
    case Kind::kSarc: {
      const uint16_t x = r[op.reg];
      const bool two = op.shift == 2;
      uint16_t v = 0;
      switch (op.kind) {
        case Kind::kSwap:
          v = two ? static_cast<uint16_t>((x & 0xFF) << 8 | (x & 0xFF)) : static_cast<uint16_t>(x << 8 | x >> 8);
          break;
        case Kind::kSll:
          v = static_cast<uint16_t>(x << op.shift);
          break;
        case Kind::kRlc:
          if (two) {
            v = static_cast<uint16_t>(x << 2 | f.c << 1 | f.o);
            f.o = x & 0x4000;
          } else {
            v = static_cast<uint16_t>(x << 1 | f.c);
          }
          f.c = x & 0x8000;
          break;
        case Kind::kSllc:
          v = static_cast<uint16_t>(x << op.shift);
          if (two) f.o = x & 0x4000;
          f.c = x & 0x8000;
          break;
        case Kind::kSlr:
          v = static_cast<uint16_t>(x >> op.shift);
          break;
        case Kind::kSar:
          v = static_cast<uint16_t>(static_cast<int16_t>(x) >> op.shift);
          break;
        case Kind::kRrc:
          if (two) {
            v = static_cast<uint16_t>(x >> 2 | f.o << 15 | f.c << 14);
            f.o = x & 2;
          } else {
            v = static_cast<uint16_t>(x >> 1 | f.c << 15);
          }
          f.c = x & 1;
          break;
        default:  // SARC
          v = static_cast<uint16_t>(static_cast<int16_t>(x) >> op.shift);
          if (two) f.o = x & 2;
          f.c = x & 1;
          break;
      }
      sz(v);
      r[op.reg] = v;
      break;
    }
    case Kind::kMovr: {
      const uint16_t v = r[op.ptr];
      sz(v);
      setReg(op.reg, v);
      break;
    }
    case Kind::kAddr:
      setReg(op.reg, add(r[op.reg], r[op.ptr], 0));
      break;
    case Kind::kSubr:
      setReg(op.reg, sub(r[op.reg], r[op.ptr]));
      break;
    case Kind::kCmpr:
      sub(r[op.reg], r[op.ptr]);
      break;
    case Kind::kAndr: {
      const uint16_t v = r[op.reg] & r[op.ptr];
      sz(v);
      setReg(op.reg, v);
      break;
    }
    case Kind::kXorr: {
      const uint16_t v = r[op.reg] ^ r[op.ptr];
      sz(v);
      setReg(op.reg, v);
      break;
    }
    case Kind::kBranch: {
      const uint16_t displacement = ReadBus(static_cast<uint16_t>(pc + 1));
      r[7] = static_cast<uint16_t>(pc + 2);
      bool taken;
      if (op.condition & 0x10) {
        taken = true;  // BEXT: nothing drives the external conditions; always taken on the console
      } else {
        switch (op.condition & 7) {
          case 0:
            taken = true;
            break;
          case 1:
            taken = f.c;
            break;
          case 2:
            taken = f.o;
            break;
          case 3:
            taken = !f.s;
            break;
          case 4:
            taken = f.z;
            break;
          case 5:
            taken = f.s != f.o;
            break;
          case 6:
            taken = f.z || (f.s != f.o);
            break;
          default:
            taken = f.s != f.c;
            break;
        }
        if (op.condition & 8) taken = !taken;
      }
      if (taken) {
        r[7] = (op.condition & 0x20) ? static_cast<uint16_t>(pc + 1 - displacement)
                                     : static_cast<uint16_t>(pc + 2 + displacement);
        cycles += op.takenExtra;
      }
      break;
    }
    case Kind::kMvo: {
      const uint16_t v = r[op.reg];
      if (op.ptr == 0) {
        const uint16_t address = ReadBus(r[7]);
        r[7]++;
        WriteBus(address, v);
      } else {
        WriteBus(r[op.ptr], v);
        if (op.ptr >= 4) r[op.ptr]++;
      }
      break;
    }
    case Kind::kMvi:
    case Kind::kAdd:
    case Kind::kSub:
    case Kind::kCmp:
    case Kind::kAnd:
    case Kind::kXor: {
      uint16_t v;
      const unsigned p = op.ptr;
      if (p == 0) {
        const uint16_t address = ReadBus(r[7]);
        r[7]++;
        v = ReadBus(address);
      } else {
        auto one = [&]() -> uint16_t {
          if (p == 6) return ReadBus(--r[6]);
          const uint16_t a = r[p];
          if (p >= 4) {
            if (p < 7 && !calls_.empty() && !calls_.back().interrupt && calls_.back().returnTo == a) {
              calls_.back().returnTo++;  // data after a CALL, read by the routine: it returns after it
            }
            r[p]++;
          }
          return ReadBus(a);
        };
        v = one();
        if (sdbd) {
          v = static_cast<uint16_t>((v & 0xFF) | (one() & 0xFF) << 8);
          cycles += op.sdbdExtra;
        }
      }
      switch (op.kind) {
        case Kind::kMvi:
          setReg(op.reg, v);
          break;
        case Kind::kAdd:
          setReg(op.reg, add(r[op.reg], v, 0));
          break;
        case Kind::kSub:
          setReg(op.reg, sub(r[op.reg], v));
          break;
        case Kind::kCmp:
          sub(r[op.reg], v);
          break;
        case Kind::kAnd:
          v &= r[op.reg];
          sz(v);
          setReg(op.reg, v);
          break;
        default:
          v ^= r[op.reg];
          sz(v);
          setReg(op.reg, v);
          break;
      }
      break;
    }
  }
  cycles_ += cycles;
  cpu_.interruptible = op.interruptible;
  return true;
}

Stop Machine::Execute(Mode mode, uint16_t target, size_t depth, const RunLimits &limits,
                      const std::atomic<bool> *breakFlag) {
  Stop stop;
  const uint16_t startPc = cpu_.r[7];
  bool ran = false;  // an instruction has run in this call
  // Step and StepOver: the instruction they are for has run. It is the first one at the depth
  // the call started at: an interrupt taken before it runs through first (unless stepping into
  // interrupts).
  bool stepped = false;
  const size_t depth0 = calls_.size();
  uint32_t sinceCheck = 0;
  for (;;) {
    // The boundary between instructions: the frame's interrupt, then what may stop the run.
    if (cycles_ >= nextFrame_) {
      StartFrame();
      if (limits.untilFrame && frames_ >= limits.untilFrame) {
        stop.reason = StopReason::kFrameLimit;
        break;
      }
    }
    // Back from a routine (before an interrupt, whose return address may be this PC too).
    if (!calls_.empty()) {
      const uint16_t here = cpu_.r[7];
      if (calls_.back().returnTo == here) {
        calls_.pop_back();
      } else if (returnLike_) {
        // A return past routines that never came back: their frames go with it.
        const size_t n = calls_.size();
        for (size_t k = 1; k < 16 && k < n; ++k) {
          if (calls_[n - 1 - k].returnTo == here) {
            calls_.resize(n - 1 - k);
            break;
          }
        }
      }
    }
    if (cpu_.interruptPending) {
      if (cycles_ - frameStart_ >= kSticWindow) {
        cpu_.interruptPending = false;  // the STIC gave up on it
      } else if (cpu_.flags.i && cpu_.interruptible) {
        TakeInterrupt();
      }
    }
    const uint16_t pc = cpu_.r[7];
    returnLike_ = false;
    if (ran) {
      if (eventStop_ && stopOnEvents_) {
        stop.reason = StopReason::kEvent;
        break;
      }
      if ((mode == Mode::kOut || stepped) && calls_.size() <= depth) {
        stop.reason = mode == Mode::kStep ? StopReason::kStepped : StopReason::kReturned;
        break;
      }
      if (mode == Mode::kTo && pc == target) {
        stop.reason = StopReason::kReachedAddress;
        break;
      }
    }
    if (hasBreakpoints_ && breakpoints_[pc] && (ran || pc != startPc)) {
      stop.reason = StopReason::kBreakpoint;
      break;
    }
    if (limits.untilCycle && cycles_ >= limits.untilCycle) {
      stop.reason = StopReason::kCycleLimit;
      break;
    }
    if (++sinceCheck >= 4096) {
      sinceCheck = 0;
      if (breakFlag && breakFlag->load(std::memory_order_relaxed)) {
        stop.reason = StopReason::kBreak;
        break;
      }
    }
    if (tracer_) tracer_->BeforeInstruction(*this);
    eventStop_ = false;
    const bool own = (mode == Mode::kStep || mode == Mode::kOver) && !stepped &&
                     (calls_.size() <= depth0 || (mode == Mode::kStep && stepIntoInterrupts_));
    if (!ExecuteOne(stop)) return stop;
    if (own) {
      stepped = true;
      // Step: an interrupt taken after the instruction runs through unless asked to stop in it.
      if (mode == Mode::kStep) depth = stepIntoInterrupts_ ? SIZE_MAX : calls_.size();
    }
    ran = true;
    if (mode == Mode::kRun && !tracer_ && !hasBreakpoints_ && !stopOnEvents_) {
      // Straight on while no boundary needs a look: no frame starts, no interrupt waits, no
      // routine returns and no limit is near; the break flag is looked at every 4096.
      const uint64_t end = limits.untilCycle && limits.untilCycle < nextFrame_ ? limits.untilCycle : nextFrame_;
      while (sinceCheck < 4096) {
        if (cycles_ >= end || cpu_.interruptPending || returnLike_ ||
            (!calls_.empty() && calls_.back().returnTo == cpu_.r[7])) {
          break;
        }
        if (!ExecuteOne(stop)) return stop;
        ++sinceCheck;
      }
    }
  }
  stop.address = cpu_.r[7];
  return stop;
}

Stop Machine::Run(const RunLimits &limits, const std::atomic<bool> *breakFlag) {
  return Execute(Mode::kRun, 0, 0, limits, breakFlag);
}

Stop Machine::Step(const std::atomic<bool> *breakFlag) { return Step(RunLimits{}, breakFlag); }
Stop Machine::StepOver(const std::atomic<bool> *breakFlag) { return StepOver(RunLimits{}, breakFlag); }
Stop Machine::StepOut(const std::atomic<bool> *breakFlag) { return StepOut(RunLimits{}, breakFlag); }

Stop Machine::Step(const RunLimits &limits, const std::atomic<bool> *breakFlag) {
  return Execute(Mode::kStep, 0, 0, limits, breakFlag);
}

Stop Machine::StepOver(const RunLimits &limits, const std::atomic<bool> *breakFlag) {
  const uint16_t word = Read(cpu_.r[7]);
  const bool call = word == 0x004 && ((Read(static_cast<uint16_t>(cpu_.r[7] + 1)) >> 8) & 3) != 3;
  if (!call) return Step(limits, breakFlag);
  return Execute(Mode::kOver, 0, calls_.size(), limits, breakFlag);
}

Stop Machine::StepOut(const RunLimits &limits, const std::atomic<bool> *breakFlag) {
  if (calls_.empty()) {
    Stop stop;
    stop.reason = StopReason::kNoCaller;
    stop.address = cpu_.r[7];
    stop.message = "not inside a routine the simulator saw called";
    return stop;
  }
  return Execute(Mode::kOut, 0, calls_.size() - 1, limits, breakFlag);
}

Stop Machine::RunTo(uint16_t address, const RunLimits &limits, const std::atomic<bool> *breakFlag) {
  return Execute(Mode::kTo, address, 0, limits, breakFlag);
}

isa::Decoded Machine::DecodeAt(uint16_t address, bool sdbd) const {
  return isa::Decode(
      address, [this](uint16_t a) { return Read(a); }, sdbd);
}

std::string Machine::StatusLine() const {
  char line[160];
  int n = 0;
  for (uint16_t v : cpu_.r) n += std::snprintf(line + n, sizeof line - n, " %04X", v);
  const Flags &f = cpu_.flags;
  const bool canTake = cpu_.interruptible;
  n += std::snprintf(line + n, sizeof line - n, " %c%c%c%c%c%c%c%c  ", f.s ? 'S' : '-', f.c ? 'C' : '-',
                     f.o ? 'O' : '-', f.z ? 'Z' : '-', f.i ? 'I' : '-', f.d ? 'D' : '-', canTake ? 'i' : '-',
                     cpu_.interruptPending ? 'q' : '-');
  const std::string text = isa::Disassemble(DecodeAt(cpu_.r[7], f.d), {.lowerHex = true});
  std::snprintf(line + n, sizeof line - n, "%-20s%7llu", text.c_str(), static_cast<unsigned long long>(cycles_));
  return line;
}

}  // namespace cpsim
