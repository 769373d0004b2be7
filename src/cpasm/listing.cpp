#include "cpasm/listing.h"

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

void Listing::Clear() {
  text_.clear();
  problems_.clear();
  pending_ = 0;
}

void Listing::Add(Diagnostic problem, bool now) {
  problems_.push_back(std::move(problem));
  if (now) text_ += FormatDiagnostic(problems_.back()) + "\n";
}

void Listing::Line(int64_t address, const std::vector<uint16_t>& words, std::string_view source) {
  size_t i = 0;
  // 26 columns before the source.
  do {
    if (words.empty()) {
      text_.append(26, ' ');
    } else {
      AppendHex4(text_, static_cast<unsigned>((address + i) & 0xFFFF));
      text_ += ' ';
      for (size_t k = 0; k < 4; ++k, ++i) {
        if (i < words.size())
          AppendHex4(text_, words[i]);
        else
          text_.append(5, ' ');
      }
    }
    if (i <= 4) {
      text_ += ' ';
      if (source.find("ERROR") == std::string_view::npos && source.find("WARNING") == std::string_view::npos)
        text_ += source;
      else
        text_ += EchoedSource(source);
    }
    text_ += '\n';
  } while (i < words.size());
  for (; pending_ < problems_.size(); ++pending_) text_ += FormatDiagnostic(problems_[pending_]) + "\n";
}

void Listing::Comment(const std::string& text) { text_ += "; " + text + "\n"; }

std::string Listing::TakeText(int errors, int warnings) {
  text_ += '\n';
  text_ += std::to_string(errors);
  text_ += " error(s), ";
  text_ += std::to_string(warnings);
  text_ += " warning(s)\n";
  return std::move(text_);
}

void Assembler::ListLine() {
  if (listed_ || !current_ || definitions_) return;
  listed_ = true;
  listing_.Line(lineAddress_, lineWords_, current_->text);
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
  listing_.Add(std::move(d), !current_ || listed_);
  if (error && ++errorCount_ >= options_.limits.errors) {
    Diagnostic stop = listing_.Problems().back();
    stop.text = "too many errors; assembly stopped";
    listing_.Add(std::move(stop), false);
    stopped_ = true;
  }
}

}  // namespace cpasm
