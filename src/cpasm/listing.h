// The listing: each line's address, words and source, with its problems after it; and the
// problems themselves, in the order they were found.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cpasm/assembler.h"

namespace cpasm {

class Listing {
 public:
  // Empty: a new pass.
  void Clear();
  // A problem, listed at once when `now`, else after the next line listed.
  void Add(Diagnostic problem, bool now);
  const std::vector<Diagnostic>& Problems() const { return problems_; }
  // Problems found so far are not listed after a line (they were, after one of their own).
  void MarkListed() { pending_ = problems_.size(); }
  // "AAAA  WWWW WWWW WWWW WWWW  source", a row more for each four words more, then the problems
  // waiting.
  void Line(int64_t address, const std::vector<uint16_t>& words, std::string_view source);
  // A comment line: "; text".
  void Comment(const std::string& text);
  // The listing with the count of problems at its end, and the problems; both are taken.
  std::string TakeText(int errors, int warnings);
  std::vector<Diagnostic> TakeProblems() { return std::move(problems_); }

 private:
  std::string text_;
  std::vector<Diagnostic> problems_;
  size_t pending_ = 0;  // the first problem not yet listed
};

}  // namespace cpasm
