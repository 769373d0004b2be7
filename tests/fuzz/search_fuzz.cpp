// Find and replace: the ranges worked out from any selection stay inside the text, every match
// lies inside the subject, and the smallest edit between two texts rebuilds the second.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "search/regex_matcher.h"
#include "search/search_range.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

void CheckRanges(FuzzedDataProvider& input, long length) {
  quillon::SelectionState selection;
  selection.start = input.ConsumeIntegralInRange<long>(0, length);
  selection.end = input.ConsumeIntegralInRange<long>(selection.start, length);
  selection.startLine = input.ConsumeIntegralInRange<int>(0, 1000);
  selection.endLine = input.ConsumeIntegralInRange<int>(selection.startLine, 1000);
  quillon::LastMatch last;
  last.valid = input.ConsumeBool();
  last.start = input.ConsumeIntegralInRange<long>(0, length);
  last.end = input.ConsumeIntegralInRange<long>(last.start, length);

  const quillon::TextSpan span = quillon::RegexSearchRange(selection, last, length);
  Require(0 <= span.start && span.start <= span.end && span.end <= length);
  const quillon::ControlRange down = quillon::PlainSearchRange(selection, last, true);
  Require(0 <= down.cpMin && down.cpMin <= length &&
          (down.cpMax == -1 || (down.cpMin <= down.cpMax && down.cpMax <= length)));
  const quillon::ControlRange up = quillon::PlainSearchRange(selection, last, false);
  Require(0 <= up.cpMax && up.cpMax <= up.cpMin && up.cpMin <= length);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string pattern = input.ConsumeRandomLengthString(200);
  const std::string replacement = input.ConsumeRandomLengthString(100);
  std::string subject = input.ConsumeRandomLengthString(4000);
  CheckRanges(input, static_cast<long>(subject.size()));

  const std::string before = subject;
  quillon::PrepareForMatching(subject);
  Require(subject.size() == before.size());

  quillon::RegexMatcher matcher;
  if (matcher.Compile(pattern)) {
    std::vector<std::pair<long, long>> ranges;
    std::size_t from = 0;
    for (int n = 0; n < 50 && from <= subject.size(); ++n) {
      const quillon::RegexMatcher::Result found = matcher.Find(subject, from);
      if (found.outcome != quillon::RegexMatcher::Outcome::kFound) break;
      Require(found.start >= from && found.start <= found.end && found.end <= subject.size());
      std::string expanded;
      matcher.Expand(subject, replacement, expanded);
      ranges.emplace_back(static_cast<long>(found.start), static_cast<long>(found.end));
      from = found.end > found.start ? found.end : found.end + 1;
    }
    const std::string replaced = quillon::ReplaceRanges(subject, ranges, replacement);
    std::string all;
    // Replace All counts empty matches its own way (it retries at the same place before moving
    // on), so its count need not equal the matches found one by one; it must not fail.
    matcher.ReplaceAll(subject, replacement, all);

    // The smallest edit between the text and its replacement rebuilds the replacement.
    const quillon::SpanEdit edit = quillon::SmallestEdit(subject, replaced);
    Require(edit.start <= edit.end && edit.end <= subject.size());
    Require(subject.substr(0, edit.start) + edit.text + subject.substr(edit.end) == replaced);
  }
  quillon::RestoreLineBreaks(subject);
  return 0;
}
