// Watches: names (or addresses) whose memory the debugger shows at each stop, and the values of
// the names as far as the debugger knows them from the sources and the source map. No windows.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "assemble/source_map.h"
#include "cpasm/assembler.h"

namespace quillon {

// A name the sources define, as the debugger is told of it.
struct NamedSymbol {
  std::string name;
  bool label = false;  // a label or PROC: it stands for where its line's code begins
  std::string file;    // full path
  int line = -1;       // zero-based
};

// The values the debugger can know: a label or PROC whose line, or the next line after blank and
// comment lines, made code stands at that code's address; an EQU, SET, QEQU, QSET or '=' with a
// plain number ($1F, 0x1F, 1Fh, %101, decimal) has that number. Others are left out.
std::map<std::string, uint32_t> KnownSymbolValues(const std::vector<NamedSymbol>& symbols, const SourceMap& map,
                                                  const SourceLines& read);

// The values the build's assembly gave the names replace what the sources told (an EQU of an
// expression, a label whose line follows an ORG). A value beyond $0000-$FFFF is no address: the
// name keeps what it had, or stays unknown.
void TakeAssembledValues(const std::vector<cpasm::Assembly::SymbolValue>& assembled,
                         std::map<std::string, uint32_t>& values);

// A number as the assembler writes it; false when `text` is not one.
bool ReadNumber(const std::string& text, uint32_t& value);

// What a watch names: an address written as a number, or a known symbol. False, with `problem`
// set, when it is neither.
bool WatchAddress(const std::string& watch, const std::map<std::string, uint32_t>& symbols, uint32_t& address,
                  std::string& problem);

// The console's 8-bit scratch RAM and sound registers, whose words hold 8 bits.
inline bool IsNarrowMemory(uint32_t address) { return address >= 0x0100 && address <= 0x01FF; }

// A word as the panes show it: "$00FF" (or "$FF" in 8-bit memory) and its decimal value.
std::string WordText(uint32_t address, uint16_t value);

}  // namespace quillon
