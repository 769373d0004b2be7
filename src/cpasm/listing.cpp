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

namespace {

// Four upper-case hex digits and a blank.
void AppendHex4(std::string& out, unsigned value) {
  static const char kDigits[] = "0123456789ABCDEF";
  char text[5] = {kDigits[(value >> 12) & 15], kDigits[(value >> 8) & 15], kDigits[(value >> 4) & 15],
                  kDigits[value & 15], ' '};
  out.append(text, 5);
}

}  // namespace

void Assembler::ListLine() {
  if (listed_ || !current_ || definitions_) return;
  listed_ = true;
  size_t i = 0;
  // "AAAA  WWWW WWWW WWWW WWWW  source": 26 columns before the source.
  do {
    if (lineWords_.empty()) {
      listing_.append(26, ' ');
    } else {
      AppendHex4(listing_, static_cast<unsigned>((lineAddress_ + i) & 0xFFFF));
      listing_ += ' ';
      for (size_t k = 0; k < 4; ++k, ++i) {
        if (i < lineWords_.size())
          AppendHex4(listing_, lineWords_[i]);
        else
          listing_.append(5, ' ');
      }
    }
    if (i <= 4) {
      listing_ += ' ';
      const std::string_view text = current_->text;
      if (text.find("ERROR") == std::string_view::npos && text.find("WARNING") == std::string_view::npos)
        listing_ += text;
      else
        listing_ += EchoedSource(text);
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
    d.file = sources_.Path(current_->file);
    d.line = current_->line;
  } else {
    d.file = sources_.Path(0);
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
