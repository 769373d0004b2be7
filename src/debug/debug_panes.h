// The debugger's panes in one tool window beside the frame: registers, disassembly around PC
// with the source lines between, memory from an address or a symbol, and watches.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "assemble/source_map.h"
#include "debug/machine.h"

namespace quillon {

inline constexpr const char* kDebugPanesClass = "QUILLON_DEBUGPANES";

// What the panes show at a stop.
struct PaneView {
  const Machine* machine = nullptr;  // null: no program is stopped (the panes say so)
  const SourceMap* map = nullptr;
  const CpuState* previous = nullptr;  // the registers at the last stop, to show what changed
  const std::map<std::string, uint32_t>* symbols = nullptr;
  const char* status = "";  // "Running", "Not debugging", ...
};

// Creates the window the first time (hidden until shown), owned by the frame.
void CreateDebugPanes(HWND frame);
void ShowDebugPanes(bool show);
HWND DebugPanesWindow();
// Fills every pane again.
void UpdateDebugPanes(const PaneView& view);
// While the program runs the panes keep what they showed; the title says how it stands.
void ShowDebugStatus(const char* status);
// The watches the user entered, in order.
const std::vector<std::string>& DebugWatches();
// Before the frame goes.
void DestroyDebugPanes();

// The lines a source file's text holds (read from disk; kept until ForgetSourceTexts).
const std::vector<std::string>& SourceTextLines(const std::string& path);
void ForgetSourceTexts();

}  // namespace quillon
