// Runs a compiled pattern over one line of text and collects its captured substrings.
// Used by every reader of the program's text formats.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/pcre.h"

namespace quillon {

// Longest captured substring kept by default (longer ones are cut).
inline constexpr std::size_t kMaxCaptureLength = 259;
// A limit that keeps every capture whole.
inline constexpr std::size_t kWholeCaptures = static_cast<std::size_t>(-1);
// Capture groups the offsets vector has room for, besides the whole match.
inline constexpr int kMaxCaptureGroups = 84;

// Collects the capture groups of the first match (global == 0) or of every match, left to
// right (global != 0) into `captures`, which is emptied first. A group that did not take part
// gives an empty string. Returns the number of strings collected; 0 after a matching error,
// which goes to the error log. Captures longer than `maxLength` are cut to it.
int RegexSearch(const char* subject, const pcre2_code* pattern, std::vector<std::string>& captures, int global,
                std::size_t maxLength = kMaxCaptureLength);

// A compiled pattern that frees itself.
struct PatternDeleter {
  void operator()(pcre2_code* code) const { pcre2_code_free(code); }
};
using Pattern = std::unique_ptr<pcre2_code, PatternDeleter>;

// Compiles with options 0; null when the pattern is invalid.
Pattern CompilePattern(const char* pattern);

}  // namespace quillon
