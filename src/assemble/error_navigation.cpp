#include "assemble/error_navigation.h"

#include <cstddef>

#include "base/text_util.h"

namespace quillon {

namespace {

// True when `word` then optional blanks then '-' follow at `at`.
bool WordThenDash(const std::string& text, std::size_t at, const char* word) {
  for (; *word; ++word, ++at)
    if (at >= text.size() || text[at] != *word) return false;
  while (at < text.size() && IsBlank(text[at])) ++at;
  return at < text.size() && text[at] == '-';
}

}  // namespace

OutputLineKind KindOfOutputLine(const std::string& text) {
  bool warning = false;
  // Every ":<digits>:" with a file name before it, as the listing's line patterns take them.
  for (std::size_t colon = text.find(':', 1); colon != std::string::npos; colon = text.find(':', colon + 1)) {
    std::size_t at = colon + 1, digits = at;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') ++at;
    if (at == digits || at >= text.size() || text[at] != ':') continue;
    ++at;
    while (at < text.size() && IsBlank(text[at])) ++at;
    if (WordThenDash(text, at, "ERROR")) return OutputLineKind::kError;
    if (WordThenDash(text, at, "WARNING")) warning = true;
  }
  return warning ? OutputLineKind::kWarning : OutputLineKind::kPlain;
}

int NextErrorLine(const std::vector<bool>& targets, int current, bool forward) {
  const int count = static_cast<int>(targets.size());
  if (forward) {
    for (int i = current < 0 ? 0 : current + 1; i < count; ++i)
      if (targets[static_cast<std::size_t>(i)]) return i;
  } else {
    for (int i = (current < 0 || current > count) ? count - 1 : current - 1; i >= 0; --i)
      if (targets[static_cast<std::size_t>(i)]) return i;
  }
  return -1;
}

const char* NoErrorLineNote(const std::vector<bool>& targets, bool forward) {
  for (bool target : targets)
    if (target) return forward ? "No more errors or warnings after this one" : "No errors or warnings before this one";
  return "No errors or warnings in the output pane";
}

ErrorStep StepToErrorLine(const std::vector<bool>& targets, const std::vector<OutputLineKind>& kinds, int current,
                          bool forward) {
  const int next = NextErrorLine(targets, current, forward);
  if (next < 0) return {-1, NoErrorLineNote(targets, forward)};
  int place = 0, total = 0;
  for (std::size_t i = 0; i < targets.size(); ++i)
    if (targets[i]) {
      ++total;
      if (static_cast<int>(i) <= next) ++place;
    }
  const auto at = static_cast<std::size_t>(next);
  const char* what = at < kinds.size() && kinds[at] == OutputLineKind::kWarning ? "Warning" : "Error";
  return {next, std::string(what) + " " + std::to_string(place) + " of " + std::to_string(total)};
}

}  // namespace quillon
