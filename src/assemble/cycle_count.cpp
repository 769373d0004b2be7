#include "assemble/cycle_count.h"

#include <cctype>
#include <cstdio>

namespace quillon {

namespace {

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
  return text;
}

// R0-R7, SP (R6) and PC (R7); -1 for anything else.
int RegisterOf(std::string_view text) {
  text = Trimmed(text);
  if (text.size() == 2 && (text[0] == 'R' || text[0] == 'r') && text[1] >= '0' && text[1] <= '7') return text[1] - '0';
  if (text.size() == 2) {
    const char a = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    const char b = static_cast<char>(std::toupper(static_cast<unsigned char>(text[1])));
    if (a == 'S' && b == 'P') return 6;
    if (a == 'P' && b == 'C') return 7;
  }
  return -1;
}

// The operands split at commas outside strings and brackets.
std::vector<std::string_view> Operands(std::string_view text) {
  std::vector<std::string_view> out;
  int depth = 0;
  char quote = 0;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quote) {
      if (c == '\\')
        ++i;
      else if (c == quote)
        quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '(' || c == '[') {
      ++depth;
    } else if ((c == ')' || c == ']') && depth > 0) {
      --depth;
    } else if (c == ',' && depth == 0) {
      out.push_back(Trimmed(text.substr(start, i - start)));
      start = i + 1;
    }
  }
  std::string_view last = Trimmed(text.substr(start));
  if (!last.empty() || !out.empty()) out.push_back(last);
  return out;
}

}  // namespace

isa::CycleContext ContextOf(const isa::InstructionInfo& info, std::string_view operands, bool afterSdbd) {
  isa::CycleContext context;
  context.sdbd = afterSdbd;
  const std::vector<std::string_view> ops = Operands(operands);
  auto reg = [&ops](std::size_t i) { return i < ops.size() ? RegisterOf(ops[i]) : -1; };
  using F = isa::Form;
  switch (info.form) {
    case F::kRegister:
    case F::kLowRegister:
    case F::kSameRegister:
      context.destination = reg(0);
      break;
    case F::kToPc:
      context.destination = 7;
      break;
    case F::kRegReg:
    case F::kDirect:
    case F::kImmediate:
      context.destination = reg(1);
      break;
    case F::kShift:
      context.destination = reg(0);
      context.shiftBy = ops.size() > 1 && Trimmed(ops[1]) == "2" ? 2 : 1;
      break;
    case F::kIndirect:
      context.pointer = reg(0);
      context.destination = reg(1);
      break;
    case F::kStoreIndirect:
      context.pointer = reg(1);
      break;
    default:
      break;
  }
  return context;
}

LineCycles CyclesOfLine(const std::string& lineText, bool afterSdbd) {
  LineCycles result;
  std::string_view code(lineText);
  char quote = 0;
  for (std::size_t i = 0; i < code.size(); ++i) {
    if (quote) {
      if (code[i] == '\\')
        ++i;
      else if (code[i] == quote)
        quote = 0;
    } else if (code[i] == '"' || code[i] == '\'') {
      quote = code[i];
    } else if (code[i] == ';') {
      code = code.substr(0, i);
      break;
    }
  }
  auto word = [&code](std::size_t& at) {
    while (at < code.size() && std::isspace(static_cast<unsigned char>(code[at]))) ++at;
    const std::size_t start = at;
    while (at < code.size() && !std::isspace(static_cast<unsigned char>(code[at]))) ++at;
    return code.substr(start, at - start);
  };
  std::size_t at = 0;
  std::string_view first = word(at);
  const isa::InstructionInfo* info = nullptr;
  // A word in the first column is a label, unless it is an instruction followed by nothing
  // that makes it a definition; a word ending in ':' is always one.
  const bool labelled = !code.empty() && !std::isspace(static_cast<unsigned char>(code[0]));
  if (!labelled && !first.empty()) {
    info = isa::FindInstruction(first);
  } else if (labelled) {
    std::string_view second = word(at);
    info = second.empty() ? nullptr : isa::FindInstruction(second);
  }
  if (!info) return result;
  const isa::CycleContext context = ContextOf(*info, code.substr(at), afterSdbd);
  result.info = info;
  result.least = isa::Cycles(*info, context, false);
  result.most = isa::Cycles(*info, context, true);
  return result;
}

std::string CyclesText(const LineCycles& cycles) {
  if (!cycles.info) return {};
  if (cycles.least == cycles.most) return std::to_string(cycles.least);
  return std::to_string(cycles.least) + "/" + std::to_string(cycles.most);
}

CycleSum SumCycles(const std::vector<std::string>& lines) {
  CycleSum sum;
  bool sdbd = false;
  for (const std::string& line : lines) {
    const LineCycles c = CyclesOfLine(line, sdbd);
    if (!c.info) continue;  // comments, blank lines and directives leave an SDBD in force
    ++sum.instructions;
    sum.least += c.least;
    sum.most += c.most;
    sdbd = std::string_view(c.info->mnemonic) == "SDBD";
  }
  return sum;
}

std::string CycleSumText(const CycleSum& sum, bool interruptRoutine) {
  if (sum.instructions == 0) return {};
  std::string text = std::to_string(sum.instructions) + (sum.instructions == 1 ? " instruction, " : " instructions, ");
  text +=
      sum.least == sum.most ? std::to_string(sum.least) : std::to_string(sum.least) + "-" + std::to_string(sum.most);
  text += " cycles";
  if (!interruptRoutine) return text;
  if (sum.most > kGramBudget)
    text += " - over the vertical blank's budgets for GRAM (3,780) and the STIC (2,000)";
  else if (sum.most > kSticBudget)
    text += " - over the vertical blank's budget for the STIC registers (2,000)";
  return text;
}

}  // namespace quillon
