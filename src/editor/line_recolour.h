// Which characters of a line must be coloured again after a change (no platform calls).
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "editor/syntax_colours.h"

namespace quillon {

// One change of a line: characters [start, start + removed) of the old line became
// [start, start + inserted) of the new one.
struct LineSpanChange {
  std::size_t start = 0;
  std::size_t removed = 0;
  std::size_t inserted = 0;
};

// The runs of `newLine` whose shown colour differs from the colour LineRuns gives them, when the
// old line showed its LineRuns colours and the characters the change kept kept theirs. Inserted
// characters show `insertedColour` when it is known, and are coloured again otherwise. Neighbouring
// characters of one new colour make one run. False when the lines do not agree outside the
// change: then nothing is known of what the line shows.
bool RunsToRecolour(std::string_view oldLine, std::string_view newLine, const LineSpanChange& change,
                    std::optional<Colour> insertedColour, const SyntaxTable& table, std::vector<ColourRun>& runs);

}  // namespace quillon
