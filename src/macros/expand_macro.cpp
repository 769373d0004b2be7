#include "macros/expand_macro.h"

#include <string_view>

namespace quillon {

std::string ExpandMacro(std::string text, const std::string& local, const std::string& document) {
  std::string result;
  result.reserve(text.size());
  std::size_t done = 0;  // text before this is in the result
  std::size_t p = text.find('%');
  while (p != std::string::npos) {
    const std::size_t q = text.find('%', p + 1);
    const std::size_t tokenEnd = q == std::string::npos ? text.size() : q + 1;
    const std::string_view token(text.data() + p, tokenEnd - p);
    const std::string* replacement = nullptr;
    if (token == "%LOCAL%") {
      replacement = &local;
    } else if (token == "%OUTPUT%" || token == "%INPUT%") {
      replacement = &document;
    }
    if (replacement) {
      result.append(text, done, p - done);
      result += *replacement;
      done = tokenEnd;
      p = text.find('%', tokenEnd);
    } else {
      p = q == std::string::npos ? q : text.find('%', q + 1);  // the closing sign is used up
    }
  }
  result.append(text, done, std::string::npos);
  return result;
}

}  // namespace quillon
