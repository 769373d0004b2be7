// Expressions in operands: numbers, one-character strings, symbols, `$`, DEFINED, STRLEN and ASC,
// and the usual operators with C-like precedence.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "cpasm/lexer.h"

namespace cpasm {

struct ExprContext {
  // Looks up a symbol; false when it has no value.
  std::function<bool(std::string_view name, int64_t& value)> symbol;
  // DEFINED: whether the symbol is defined so far (earlier in this pass).
  std::function<bool(std::string_view name)> defined;
  // name[index] of an array symbol; false with `error` when it has no value.
  std::function<bool(std::string_view name, int64_t index, int64_t& value, std::string& error)> element;
  // The values of an expression list such as `1, 2, "ab"`; false after an error (reported).
  std::function<bool(std::string_view text, std::vector<int64_t>& values)> list;
  // CLASSIFY(text): what kind of thing the text is.
  std::function<int64_t(std::string_view text)> classify;
  int64_t location = 0;  // the value of `$`
};

struct ExprResult {
  bool ok = false;
  int64_t value = 0;
  std::string error;
};

// Evaluates the whole of `text`; anything left over is an error.
ExprResult Evaluate(std::string_view text, const ExprContext& context);

}  // namespace cpasm
