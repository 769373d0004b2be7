#include "search/regex_matcher.h"

namespace quillon {

void PrepareForMatching(std::string& text) {
  for (std::size_t i = 0; i < text.size(); ++i)
    if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) text[i] = '\n';
}

void RestoreLineBreaks(std::string& text) {
  char previous = 0;  // as it was before this pass changed it
  for (char& c : text) {
    const char original = c;
    if (c == '\n' && previous != '\r') c = '\r';
    previous = original;
  }
}

RegexMatcher::RegexMatcher() {
  compileContext_ = pcre2_compile_context_create(nullptr);
  if (compileContext_) pcre2_set_newline(compileContext_, PCRE2_NEWLINE_ANYCRLF);
  matchContext_ = pcre2_match_context_create(nullptr);
  if (matchContext_) pcre2_set_match_limit(matchContext_, kSearchMatchLimit);
}

RegexMatcher::~RegexMatcher() {
  pcre2_match_data_free(data_);
  pcre2_code_free(code_);
  pcre2_match_context_free(matchContext_);
  pcre2_compile_context_free(compileContext_);
}

bool RegexMatcher::Compile(const std::string& pattern) {
  pcre2_match_data_free(data_);
  pcre2_code_free(code_);
  data_ = nullptr;
  code_ = nullptr;
  if (!compileContext_) return false;
  int error = 0;
  PCRE2_SIZE offset = 0;
  code_ = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(), PCRE2_MULTILINE, &error, &offset,
                        compileContext_);
  if (!code_) return false;
  // Room for every group of the pattern, however many it has.
  data_ = pcre2_match_data_create_from_pattern(code_, nullptr);
  if (!data_) {
    pcre2_code_free(code_);
    code_ = nullptr;
  }
  return code_ != nullptr;
}

RegexMatcher::Result RegexMatcher::Find(const std::string& subject, std::size_t from, bool emptyAtStart) {
  Result result;
  if (!code_ || from > subject.size()) return result;
  int rc = pcre2_match(code_, reinterpret_cast<PCRE2_SPTR>(subject.data()), subject.size(), from,
                       emptyAtStart ? 0 : PCRE2_NOTEMPTY_ATSTART, data_, matchContext_);
  if (rc == PCRE2_ERROR_NOMATCH) return result;
  if (rc < 0) {
    result.outcome = Outcome::kError;
    result.error = rc;
    return result;
  }
  const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data_);
  result.outcome = Outcome::kFound;
  result.start = ovector[0];
  result.end = ovector[1] < ovector[0] ? ovector[0] : ovector[1];  // \K can put the end first
  return result;
}

namespace {

int Substitute(pcre2_code* code, pcre2_match_context* context, pcre2_match_data* data, const std::string& subject,
               const std::string& replacement, std::uint32_t options, std::string& out, std::size_t from = 0) {
  options |= PCRE2_SUBSTITUTE_OVERFLOW_LENGTH | PCRE2_SUBSTITUTE_UNSET_EMPTY;
  // The replacement alone needs no room for the subject; a second try gets what was short.
  PCRE2_SIZE size = (options & PCRE2_SUBSTITUTE_REPLACEMENT_ONLY ? 0 : subject.size()) + replacement.size() + 256;
  for (int attempt = 0; attempt < 2; ++attempt) {
    out.assign(size, '\0');
    PCRE2_SIZE length = size;
    int rc = pcre2_substitute(code, reinterpret_cast<PCRE2_SPTR>(subject.data()), subject.size(), from, options, data,
                              context, reinterpret_cast<PCRE2_SPTR>(replacement.data()), replacement.size(),
                              reinterpret_cast<PCRE2_UCHAR*>(out.data()), &length);
    if (rc == PCRE2_ERROR_NOMEMORY && attempt == 0) {
      size = length;  // the length needed, with room for the terminating zero
      continue;
    }
    if (rc < 0) {
      out.clear();
      return rc;
    }
    out.resize(length);
    return rc;
  }
  out.clear();
  return PCRE2_ERROR_NOMEMORY;
}

}  // namespace

int RegexMatcher::Expand(const std::string& subject, const std::string& replacement, std::string& out) {
  if (!code_) return PCRE2_ERROR_NULL;
  return Substitute(code_, matchContext_, data_, subject, replacement,
                    PCRE2_SUBSTITUTE_MATCHED | PCRE2_SUBSTITUTE_REPLACEMENT_ONLY, out);
}

int RegexMatcher::ReplaceAll(const std::string& subject, const std::string& replacement, std::string& out) {
  if (!code_) return PCRE2_ERROR_NULL;
  return Substitute(code_, matchContext_, data_, subject, replacement, PCRE2_SUBSTITUTE_GLOBAL, out);
}

int RegexMatcher::ReplaceAllIn(const std::string& subject, std::size_t from, std::size_t to,
                               const std::string& replacement, std::string& out) {
  if (!code_) return PCRE2_ERROR_NULL;
  if (to > subject.size()) to = subject.size();
  if (from > to) from = to;
  // The text after the span is out of sight, as the end of the selection ends the search.
  const std::string head = subject.substr(0, to);
  int rc = Substitute(code_, matchContext_, data_, head, replacement, PCRE2_SUBSTITUTE_GLOBAL, out, from);
  if (rc >= 0) out.append(subject, to, std::string::npos);
  return rc;
}

std::string RegexMatcher::ErrorText(int error) {
  PCRE2_UCHAR buffer[256] = {};
  if (pcre2_get_error_message(error, buffer, sizeof buffer) < 0) return "error " + std::to_string(error);
  return reinterpret_cast<const char*>(buffer);
}

namespace {

// The last match in `text` that starts in [from, limit), or not found.
RegexMatcher::Result LastMatchBetween(RegexMatcher& matcher, const std::string& text, std::size_t from,
                                      std::size_t limit) {
  RegexMatcher::Result best;
  std::size_t at = from;
  bool emptyAtStart = true;
  while (at <= text.size()) {
    RegexMatcher::Result r = matcher.Find(text, at, emptyAtStart);
    if (r.outcome == RegexMatcher::Outcome::kError) return r;
    if (r.outcome != RegexMatcher::Outcome::kFound || r.start >= limit) break;
    best = r;
    // After an empty match the next one must not be empty at the same place.
    emptyAtStart = r.end > r.start;
    at = r.end > r.start ? r.end : r.start;
  }
  return best;
}

}  // namespace

RegexStep FindFromSelection(RegexMatcher& matcher, const std::string& text, const SelectionState& selection,
                            const LastMatch& last, bool down) {
  RegexStep step;
  const long size = static_cast<long>(text.size());
  if (SearchesInsideSelection(selection, last)) {
    // Limited to the selection, and no going round: the end of the selection ends the text.
    const std::string inside = text.substr(0, static_cast<std::size_t>(selection.end < size ? selection.end : size));
    const std::size_t from = static_cast<std::size_t>(selection.start < size ? selection.start : size);
    step.result = down ? matcher.Find(inside, from) : LastMatchBetween(matcher, inside, from, inside.size() + 1);
    return step;
  }
  if (down) {
    TextSpan span = RegexSearchRange(selection, last, size);
    step.result = matcher.Find(text, static_cast<std::size_t>(span.start));
    if (step.result.outcome != RegexMatcher::Outcome::kNotFound) return step;
    step.result = matcher.Find(text, 0, true);
  } else {
    const long before = selection.start < size ? selection.start : size;
    step.result = LastMatchBetween(matcher, text, 0, static_cast<std::size_t>(before));
    if (step.result.outcome != RegexMatcher::Outcome::kNotFound) return step;
    step.result = LastMatchBetween(matcher, text, 0, text.size() + 1);
  }
  step.wrapped = step.result.outcome == RegexMatcher::Outcome::kFound;
  return step;
}

SpanEdit SmallestEdit(const std::string& before, const std::string& after) {
  std::size_t prefix = 0;
  const std::size_t shorter = before.size() < after.size() ? before.size() : after.size();
  while (prefix < shorter && before[prefix] == after[prefix]) ++prefix;
  std::size_t suffix = 0;
  while (suffix < shorter - prefix && before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix]) ++suffix;
  return {prefix, before.size() - suffix, after.substr(prefix, after.size() - suffix - prefix)};
}

int RegexReplaceAllEdits(RegexMatcher& matcher, const std::string& text, std::size_t from, std::size_t to,
                         const std::string& replacement, std::vector<SpanEdit>& edits) {
  edits.clear();
  // The text after the span is out of sight, as the end of the selection ends the search.
  std::string subject = text.substr(0, to < text.size() ? to : text.size());
  PrepareForMatching(subject);
  int count = 0;
  std::size_t at = from, lastEnd = 0;
  bool emptyAtStart = true;
  char before = 0;  // the character the next replacement follows, as it was prepared
  while (at <= subject.size()) {
    const RegexMatcher::Result found = matcher.Find(subject, at, emptyAtStart);
    if (found.outcome == RegexMatcher::Outcome::kError) return found.error;
    if (found.outcome != RegexMatcher::Outcome::kFound) break;
    ++count;
    std::string piece;
    const int rc = matcher.Expand(subject, replacement, piece);
    if (rc < 0) return rc;
    if (count == 1 || found.start > lastEnd) before = found.start > 0 ? subject[found.start - 1] : 0;
    // Each line break judged by what stands before it, as in the whole text.
    std::string restored = std::string(1, before) + piece;
    RestoreLineBreaks(restored);
    restored.erase(0, 1);
    if (!piece.empty()) before = piece.back();
    if (restored != text.substr(found.start, found.end - found.start))
      edits.push_back({found.start, found.end, std::move(restored)});
    lastEnd = found.end;
    // After an empty match the next one must not be empty at the same place.
    emptyAtStart = found.end > found.start;
    at = found.end;
  }
  return count;
}

std::string ReplaceRanges(const std::string& text, const std::vector<std::pair<long, long>>& ranges,
                          const std::string& replacement) {
  std::string out;
  out.reserve(text.size());
  std::size_t at = 0;
  for (const auto& [start, end] : ranges) {
    std::size_t s = static_cast<std::size_t>(start), e = static_cast<std::size_t>(end);
    if (s < at || e < s || e > text.size()) continue;
    out.append(text, at, s - at);
    out += replacement;
    at = e;
  }
  out.append(text, at, std::string::npos);
  return out;
}

}  // namespace quillon
