#include "directives.h"

#include <cstdio>
#include <sstream>

namespace standin {

namespace {

constexpr int kMaxDelayMs = 600000;
constexpr int kMaxMegabytes = 2000;
constexpr int kMaxLineLength = 100000000;

// Blanks and tabs at both ends removed.
std::string Trim(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return std::string();
  const std::size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

// Splits off the first word of `rest` (a word in double quotes may hold blanks).
bool TakeWord(std::string& rest, std::string& word) {
  rest = Trim(rest);
  if (rest.empty()) return false;
  std::size_t end;
  if (rest.front() == '"') {
    end = rest.find('"', 1);
    if (end == std::string::npos) return false;
    word = rest.substr(1, end - 1);
    ++end;
  } else {
    end = rest.find_first_of(" \t");
    if (end == std::string::npos) end = rest.size();
    word = rest.substr(0, end);
  }
  rest.erase(0, end);
  return true;
}

bool ToNumber(const std::string& word, int low, int high, int& value) {
  if (word.empty() || word.size() > 9 || word.find_first_not_of("0123456789") != std::string::npos) return false;
  value = std::stoi(word);
  return value >= low && value <= high;
}

std::string ProblemLine(const std::string& file, int line, const char* kind, const std::string& text) {
  return file + ":" + std::to_string(line) + ": " + kind + " - " + text;
}

void AddError(RunPlan& plan, const std::string& file, int line, const std::string& text) {
  plan.listing.push_back(ProblemLine(file, line, "ERROR", text));
  ++plan.errors;
}

void AddWarning(RunPlan& plan, const std::string& file, int line, const std::string& text) {
  plan.listing.push_back(ProblemLine(file, line, "WARNING", text));
  ++plan.warnings;
}

// ";@error-in <file> <line> <text>" and its warning twin.
bool ApplyElsewhere(const std::string& name, std::string rest, RunPlan& plan) {
  std::string file, lineWord;
  int line = 0;
  if (!TakeWord(rest, file) || !TakeWord(rest, lineWord) || !ToNumber(lineWord, 0, 999999999, line)) return false;
  if (name == "error-in")
    AddError(plan, file, line, Trim(rest));
  else
    AddWarning(plan, file, line, Trim(rest));
  return true;
}

// Applies one directive (the text after ";@"); false when it is unknown or malformed.
bool ApplyDirective(const std::string& directive, const std::string& sourceName, int lineNumber, RunPlan& plan) {
  std::string rest = directive, name, word;
  TakeWord(rest, name);
  const std::string text = Trim(rest);
  int value = 0;
  if (name == "error") {
    AddError(plan, sourceName, lineNumber, text);
  } else if (name == "warning") {
    AddWarning(plan, sourceName, lineNumber, text);
  } else if (name == "error-in" || name == "warning-in") {
    return ApplyElsewhere(name, rest, plan);
  } else if (name == "raw") {
    plan.listing.push_back(rest.empty() ? rest : rest.substr(1));  // verbatim after one blank
  } else if (name == "delay") {
    if (!TakeWord(rest, word) || !ToNumber(word, 0, kMaxDelayMs, value)) return false;
    plan.delayMs += value;
  } else if (name == "crash") {
    if (!plan.crash) plan.crashAt = plan.listing.size();
    plan.crash = true;
  } else if (name == "hang") {
    plan.hang = true;
  } else if (name == "huge-listing") {
    int every = 0;
    std::string everyWord;
    if (!TakeWord(rest, word) || !ToNumber(word, 1, kMaxMegabytes, value)) return false;
    if (TakeWord(rest, everyWord) && !ToNumber(everyWord, 0, 999999999, every)) return false;
    plan.bulk.push_back({Bulk::Kind::kHugeListing, plan.listing.size(), static_cast<std::size_t>(value) << 20,
                         static_cast<std::size_t>(every), sourceName});
  } else if (name == "garbage") {
    if (!TakeWord(rest, word) || !ToNumber(word, 1, kMaxLineLength, value)) return false;
    plan.bulk.push_back({Bulk::Kind::kGarbage, plan.listing.size(), static_cast<std::size_t>(value), 0, sourceName});
  } else if (name == "long-line") {
    if (!TakeWord(rest, word) || !ToNumber(word, 1, kMaxLineLength, value)) return false;
    AddError(plan, sourceName, lineNumber, std::string(static_cast<std::size_t>(value), 'L'));
  } else if (name == "no-listing") {
    plan.writeListing = false;
  } else if (name == "exit") {
    if (!TakeWord(rest, word) || !ToNumber(word, 0, 255, value)) return false;
    plan.exitCodeGiven = true;
    plan.exitCode = value;
  } else {
    return false;
  }
  return true;
}

std::string EchoLine(int lineNumber, const std::string& text) {
  char number[16];
  std::snprintf(number, sizeof number, "%5d  ", lineNumber);
  return number + text;
}

}  // namespace

RunPlan PlanRun(std::istream& source, const std::string& sourceName) {
  RunPlan plan;
  plan.listing.push_back("Quillon test assembler (stand-in for AS1600): " + sourceName);
  std::string line;
  for (int lineNumber = 1; std::getline(source, line); ++lineNumber) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string trimmed = Trim(line);
    if (trimmed.rfind(";@", 0) != 0) {
      plan.listing.push_back(EchoLine(lineNumber, line));
      continue;
    }
    if (!ApplyDirective(trimmed.substr(2), sourceName, lineNumber, plan))
      AddError(plan, sourceName, lineNumber, "bad stand-in directive: " + trimmed);
  }
  plan.listing.push_back("");
  plan.listing.push_back(std::to_string(plan.errors) + " error(s), " + std::to_string(plan.warnings) + " warning(s)");
  return plan;
}

int ExitCodeOf(const RunPlan& plan) {
  if (plan.exitCodeGiven) return plan.exitCode;
  return plan.errors > 0 ? 1 : 0;
}

}  // namespace standin
