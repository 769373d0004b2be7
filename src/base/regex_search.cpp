#include "base/regex_search.h"

#include <cstring>

#include "base/error_log.h"

namespace quillon {

namespace {

constexpr int kOffsetPairs = kMaxCaptureGroups + 1;

struct MatchDataDeleter {
  void operator()(pcre2_match_data* data) const { pcre2_match_data_free(data); }
};

void AppendGroups(const char* subject, const PCRE2_SIZE* ovector, int rc, std::size_t maxLength,
                  std::vector<std::string>& captures) {
  for (int i = 1; i < rc; ++i) {
    PCRE2_SIZE start = ovector[2 * i], end = ovector[2 * i + 1];
    if (start == PCRE2_UNSET || end == PCRE2_UNSET || end < start) {
      captures.emplace_back();
      continue;
    }
    std::size_t length = end - start;
    if (length > maxLength) length = maxLength;
    captures.emplace_back(subject + start, length);
  }
}

// Maps "vector too small" to a full vector, with its log line.
int CheckVectorFull(int rc) {
  if (rc == 0) {
    Log().Log("RegexSearch(): pOffsets only has room for %d captured substrings\n", kMaxCaptureGroups);
    return kOffsetPairs;
  }
  return rc;
}

}  // namespace

Pattern CompilePattern(const char* pattern) {
  int error = 0;
  PCRE2_SIZE offset = 0;
  return Pattern(
      pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern), PCRE2_ZERO_TERMINATED, 0, &error, &offset, nullptr));
}

int RegexSearch(const char* subject, const pcre2_code* pattern, std::vector<std::string>& captures, int global,
                std::size_t maxLength) {
  captures.clear();
  if (subject == nullptr || pattern == nullptr) return 0;
  const PCRE2_SIZE len = std::strlen(subject);
  std::unique_ptr<pcre2_match_data, MatchDataDeleter> data(pcre2_match_data_create(kOffsetPairs, nullptr));
  if (!data) return 0;
  const auto* text = reinterpret_cast<PCRE2_SPTR>(subject);
  PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data.get());

  int rc = pcre2_match(pattern, text, len, 0, 0, data.get(), nullptr);
  if (rc == PCRE2_ERROR_NOMATCH) return 0;
  if (rc < 0) {
    Log().Log("RegexSearch(): Matching error %d\n", rc);
    captures.clear();
    return 0;
  }
  rc = CheckVectorFull(rc);
  AppendGroups(subject, ovector, rc, maxLength, captures);
  if (!global) return static_cast<int>(captures.size());

  PCRE2_SIZE matchStart = ovector[0], matchEnd = ovector[1];
  for (;;) {
    PCRE2_SIZE start = matchEnd;
    std::uint32_t options = 0;
    if (matchStart == matchEnd) {
      if (matchStart == len) break;
      options = PCRE2_NOTEMPTY_ATSTART | PCRE2_ANCHORED;
    }
    rc = pcre2_match(pattern, text, len, start, options, data.get(), nullptr);
    if (rc == PCRE2_ERROR_NOMATCH) {
      if (options == 0) break;
      matchEnd = start + 1;  // skip one byte and search normally from there
      continue;
    }
    if (rc < 0) {
      Log().Log("RegexSearch(): Matching error %d\n", rc);
      captures.clear();
      return 0;
    }
    rc = CheckVectorFull(rc);
    matchStart = ovector[0];
    matchEnd = ovector[1];
    AppendGroups(subject, ovector, rc, maxLength, captures);
  }
  return static_cast<int>(captures.size());
}

}  // namespace quillon
