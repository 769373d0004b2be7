// The listing: each line's address, words and source, with its problems after it; and the
// problems themselves.
#include <cctype>
#include <cstdio>

#include "cpasm/assembler_state.h"

namespace cpasm {

namespace {

// The source text as the listing echoes it. A line that itself reads like a problem line
// ("x.asm:12: ERROR - ...", say in a comment) gets a blank for the colon before its number, so
// that the IDE does not count it.
std::string EchoedSource(std::string_view text) {
  std::string out(text);
  if (text.find("ERROR") == std::string_view::npos && text.find("WARNING") == std::string_view::npos) return out;
  for (const char* word : {"ERROR", "WARNING"}) {
    for (size_t at = out.find(word); at != std::string::npos; at = out.find(word, at + 1)) {
      size_t i = at;
      while (i > 0 && std::isspace(static_cast<unsigned char>(out[i - 1]))) --i;
      if (i == 0 || out[i - 1] != ':') continue;
      size_t colon = i - 1, digits = colon;
      while (digits > 0 && std::isdigit(static_cast<unsigned char>(out[digits - 1]))) --digits;
      if (digits == colon || digits == 0 || out[digits - 1] != ':') continue;
      out[colon] = ' ';
    }
  }
  return out;
}

}  // namespace

void Assembler::ListLine() {
  if (listed_ || !current_ || definitions_) return;
  listed_ = true;
  char buffer[64];
  size_t i = 0;
  do {
    if (lineWords_.empty()) {
      std::snprintf(buffer, sizeof buffer, "%26s", "");
    } else {
      int n = std::snprintf(buffer, sizeof buffer, "%04X  ", static_cast<unsigned>((lineAddress_ + i) & 0xFFFF));
      for (size_t k = 0; k < 4; ++k, ++i)
        n += i < lineWords_.size()
                 ? std::snprintf(buffer + n, sizeof buffer - n, "%04X ", static_cast<unsigned>(lineWords_[i]))
                 : std::snprintf(buffer + n, sizeof buffer - n, "     ");
    }
    listing_ += buffer;
    if (i <= 4) {
      listing_ += ' ';
      listing_ += EchoedSource(current_->text);
    }
    listing_ += '\n';
  } while (i < lineWords_.size());
  for (size_t d = lineDiagnostics_; d < diagnostics_.size(); ++d) listing_ += FormatDiagnostic(diagnostics_[d]) + "\n";
  lineDiagnostics_ = diagnostics_.size();
}

void Assembler::Error(const std::string& text) { Report(true, text, false); }

void Assembler::Warning(const std::string& text) { Report(false, text, false); }

void Assembler::Report(bool error, const std::string& text, bool evenInFirstPass) {
  // The first pass only gathers symbols; forward references are not yet known there.
  if (stopped_ || (pass_ == 1 && !evenInFirstPass)) return;
  Diagnostic d;
  d.error = error;
  d.text = text;
  if (current_) {
    d.file = files_[current_->file]->path;
    d.line = current_->line;
  } else {
    d.file = files_[0]->path;
    d.line = 0;
  }
  if (!macroTrail_.empty() && current_) d.text += " (in " + macroTrail_.back() + ")";
  diagnostics_.push_back(std::move(d));
  if (!current_ || listed_) listing_ += FormatDiagnostic(diagnostics_.back()) + "\n";
  if (error && ++errorCount_ >= options_.limits.errors) {
    Diagnostic stop = diagnostics_.back();
    stop.text = "too many errors; assembly stopped";
    diagnostics_.push_back(stop);
    stopped_ = true;
  }
}

}  // namespace cpasm
