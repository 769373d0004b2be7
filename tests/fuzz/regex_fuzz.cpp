// The pattern service with hostile patterns and subjects: the first line of the input is the
// pattern, the rest the subject; the first byte chooses first-match or global mode (bit 0)
// and cut or whole captures (bit 1).
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/regex_search.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const int global = data[0] & 1;
  const std::size_t limit = (data[0] & 2) ? quillon::kWholeCaptures : quillon::kMaxCaptureLength;
  const std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::size_t newline = rest.find('\n');
  const std::string pattern = rest.substr(0, newline);
  const std::string subject = newline == std::string::npos ? std::string() : rest.substr(newline + 1);

  quillon::Pattern compiled = quillon::CompilePattern(pattern.c_str());
  std::vector<std::string> captures = {"left over"};
  const int count = quillon::RegexSearch(subject.c_str(), compiled.get(), captures, global, limit);
  if (count != static_cast<int>(captures.size())) std::abort();
  if (!compiled && count != 0) std::abort();
  for (const std::string& capture : captures) {
    if (capture.size() > limit || capture.size() > subject.size()) std::abort();
  }
  return 0;
}
