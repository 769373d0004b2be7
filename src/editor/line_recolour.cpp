#include "editor/line_recolour.h"

#include <algorithm>

namespace quillon {

namespace {

// The colour of each character of a line, as LineRuns gives it.
std::vector<Colour> CharacterColours(std::string_view line, const SyntaxTable& table) {
  std::vector<ColourRun> runs;
  LineRuns(line, table, runs);
  std::vector<Colour> colours(line.size(), 0);
  for (const ColourRun& run : runs)
    std::fill(colours.begin() + static_cast<std::ptrdiff_t>(run.start),
              colours.begin() + static_cast<std::ptrdiff_t>(run.end), run.colour);
  return colours;
}

}  // namespace

bool RunsToRecolour(std::string_view oldLine, std::string_view newLine, const LineSpanChange& change,
                    std::optional<Colour> insertedColour, const SyntaxTable& table, std::vector<ColourRun>& runs) {
  runs.clear();
  if (change.start + change.removed > oldLine.size() || change.start + change.inserted > newLine.size() ||
      oldLine.size() - change.removed != newLine.size() - change.inserted)
    return false;
  const std::size_t keptFromOld = change.start + change.removed, keptFromNew = change.start + change.inserted;
  if (oldLine.substr(0, change.start) != newLine.substr(0, change.start) ||
      oldLine.substr(keptFromOld) != newLine.substr(keptFromNew))
    return false;
  const std::vector<Colour> shownBefore = CharacterColours(oldLine, table);
  const std::vector<Colour> wanted = CharacterColours(newLine, table);
  for (std::size_t i = 0; i < newLine.size(); ++i) {
    const std::optional<Colour> shown = i < change.start ? std::optional<Colour>(shownBefore[i])
                                        : i >= keptFromNew
                                            ? std::optional<Colour>(shownBefore[i - keptFromNew + keptFromOld])
                                            : insertedColour;
    if (shown == wanted[i]) continue;
    if (!runs.empty() && runs.back().end == i && runs.back().colour == wanted[i])
      ++runs.back().end;
    else
      runs.push_back({i, i + 1, wanted[i]});
  }
  return true;
}

}  // namespace quillon
