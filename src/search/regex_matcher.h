// Regular-expression search and replacement over a document's text. No windows here.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "base/pcre.h"
#include "search/search_range.h"

namespace quillon {

// Work allowed for one match attempt, so that a pattern that backtracks without end stops
// with an error instead of freezing the window.
inline constexpr std::uint32_t kSearchMatchLimit = 1000000;

// The control separates lines with a lone CR. For matching, each CR not followed by LF
// becomes LF, so "." stops at line ends and "\n" matches one. Positions are unchanged.
void PrepareForMatching(std::string& text);
// Turns the LF of prepared text back into the control's line break: each LF that does not
// follow a CR of the text (a blank line is two LFs, and both become CRs).
void RestoreLineBreaks(std::string& text);

class RegexMatcher {
 public:
  enum class Outcome { kFound, kNotFound, kError };
  struct Result {
    Outcome outcome = Outcome::kNotFound;
    std::size_t start = 0;
    std::size_t end = 0;
    int error = 0;  // the library's code when outcome is kError
  };

  RegexMatcher();
  ~RegexMatcher();
  RegexMatcher(const RegexMatcher&) = delete;
  RegexMatcher& operator=(const RegexMatcher&) = delete;

  // Case-sensitive; CR, LF and CR LF end lines, and "^" and "$" match at every line start and
  // end. False when invalid.
  bool Compile(const std::string& pattern);

  // The first match in prepared `subject` that starts at or after `from`. "^", "\b" and
  // look-behind see the text before `from`. An empty match at `from` itself is skipped
  // unless `emptyAtStart`, so that a repeated search always moves on.
  Result Find(const std::string& subject, std::size_t from, bool emptyAtStart = false);

  // The replacement for the match Find returned last (same `subject`), with $1-$9 and the
  // library's other group references expanded. Negative library code on failure.
  int Expand(const std::string& subject, const std::string& replacement, std::string& out);

  // Every match in `subject` replaced; the count, or a negative library code.
  int ReplaceAll(const std::string& subject, const std::string& replacement, std::string& out);

  // The same for the matches that lie within [from, to) of `subject` (Replace All in a
  // selection); the text around the span is kept as it is.
  int ReplaceAllIn(const std::string& subject, std::size_t from, std::size_t to, const std::string& replacement,
                   std::string& out);

  static std::string ErrorText(int error);

 private:
  pcre2_code* code_ = nullptr;
  pcre2_compile_context* compileContext_ = nullptr;
  pcre2_match_context* matchContext_ = nullptr;
  pcre2_match_data* data_ = nullptr;
};

// One Find Next (or Find Previous) with a regular expression in prepared `text`, the whole
// document: from the selection onwards (backwards: the last match that starts before it), and
// at the end round from the other end (`wrapped`). Inside a selection that limits the search
// (SearchesInsideSelection) it stays inside and does not go round.
struct RegexStep {
  RegexMatcher::Result result;
  bool wrapped = false;
};
RegexStep FindFromSelection(RegexMatcher& matcher, const std::string& text, const SelectionState& selection,
                            const LastMatch& last, bool down);

// The smallest span [start, end) of `before` whose replacement by `text` turns it into `after`.
struct SpanEdit {
  std::size_t start = 0;
  std::size_t end = 0;
  std::string text;
};
SpanEdit SmallestEdit(const std::string& before, const std::string& after);

// Replace All with `matcher` over the control's text `text` (lines separated by a lone CR),
// for the matches within [from, to): the count, or a negative library code; `edits` the
// matches to change, ascending, each with its replacement in the control's line breaks (a
// match whose replacement is itself is left out). Only matched text changes.
int RegexReplaceAllEdits(RegexMatcher& matcher, const std::string& text, std::size_t from, std::size_t to,
                         const std::string& replacement, std::vector<SpanEdit>& edits);

// `text` with each range (ascending, not overlapping) replaced by `replacement`.
std::string ReplaceRanges(const std::string& text, const std::vector<std::pair<long, long>>& ranges,
                          const std::string& replacement);

}  // namespace quillon
