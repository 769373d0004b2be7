// Find All References (Shift+F12), Rename Symbol (F2), the memory map after a build and its
// window (Build › Memory Map), and what the last build left for the tips.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "assemble/memory_map.h"
#include "assemble/output_sink.h"

namespace quillon {

// Lists every use of the symbol at the caret in the output pane ("file:line: text", a count at
// the end); F4 and a double-click open them.
void FindAllReferencesCommand(HWND frame);

// Asks for the new name of the symbol at the caret, shows how many places in how many files
// change, and renames it: each open document in one Undo step, each closed file replaced whole
// through the file layer or left as it was.
void RenameSymbolCommand(HWND frame);

// The last build's memory map with a bar for each block.
void MemoryMapCommand(HWND frame);

// On the build's worker, after the listing's totals of a build whose assembler ended with 0:
// reads the map, the source map and the symbols, writes the memory map's lines to `pane` and
// keeps it all for the tips and the window. False when the map holds an error line.
bool ReportBuildInsight(const std::string& directory, const std::string& image, const std::string& source,
                        OutputSink& pane);

// What the last build left; never null (empty before the first build).
std::shared_ptr<const BuildInsight> LastBuildInsight();
// Another project, or none: what its last build left is no longer this program's.
void ForgetLastBuildInsight();

}  // namespace quillon
