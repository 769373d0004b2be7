#include "assemble/listing_parser.h"

#include <climits>
#include <fstream>
#include <istream>
#include <vector>

#include "base/regex_search.h"
#include "base/text_util.h"

namespace quillon {

namespace {

// The listing counts lines from 1; the program from 0. A number too large to hold gives -1.
int ZeroBasedLine(const std::string& digits) {
  long long value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
    if (value > INT_MAX) return -1;
  }
  return static_cast<int>(value) - 1;
}

bool IsSlash(char c) { return c == '\\' || c == '/'; }

// A file name of the listing as a path that does not depend on the current directory: names
// relative to the folder the build ran in are joined to it.
std::string ListedPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (name.size() >= 2 && name[1] == ':') return name;                        // has a drive
  if (name.size() >= 2 && IsSlash(name[0]) && IsSlash(name[1])) return name;  // network path
  if (!name.empty() && IsSlash(name[0]))
    return folder.size() >= 2 && folder[1] == ':' ? folder.substr(0, 2) + name : name;
  return IsSlash(folder.back()) ? folder + name : folder + "\\" + name;
}

// Adds `line` to the sink when `pattern` takes it; true when it did. The file name is taken
// whole: a cut one could name another file (opening a name too long for a path is refused there).
bool ReportIfMatches(const std::string& line, const pcre2_code* pattern, std::vector<std::string>& captures,
                     const std::string& buildFolder, OutputSink& sink) {
  if (RegexSearch(line.c_str(), pattern, captures, 0, kWholeCaptures) < 2) return false;
  sink.AddLine(line, ListedPath(buildFolder, captures[0]), ZeroBasedLine(captures[1]));
  return true;
}

void AddMessage(OutputSink& sink, const std::string& text) { sink.AddLine(text, std::string(), -1); }

void AddTotals(OutputSink& sink, int errors, int warnings) {
  AddMessage(sink, FormatLimited(kFormatBufferSize, "Total Errors: %d", errors));
  AddMessage(sink, FormatLimited(kFormatBufferSize, "Total Warnings: %d", warnings));
}

}  // namespace

int ParseListing(const std::string& listingPath, const std::string& buildFolder, OutputSink& sink,
                 const ListingPatterns& patterns) {
  std::ifstream listing(listingPath, std::ios::binary);
  if (!listing) {
    AddTotals(sink, 0, 0);
    return -1;  // nothing was checked: never a good build
  }
  return ParseListingText(listing, buildFolder, sink, patterns);
}

int ParseListingText(std::istream& listing, const std::string& buildFolder, OutputSink& sink,
                     const ListingPatterns& patterns) {
  Pattern errorPattern = CompilePattern(patterns.error.c_str());
  if (!errorPattern) {
    AddMessage(sink, "Unable to create regex for Errors.");
    return -1;
  }
  Pattern warningPattern = CompilePattern(patterns.warning.c_str());
  if (!warningPattern) {
    AddMessage(sink, "Unable to create regex for Warnings.");
    return -1;
  }

  int errors = 0;
  int warnings = 0;
  std::vector<std::string> captures;
  std::string line;
  while (ReadLine(listing, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();  // a last line ended by a CR alone
    if (ReportIfMatches(line, errorPattern.get(), captures, buildFolder, sink))
      ++errors;
    else if (ReportIfMatches(line, warningPattern.get(), captures, buildFolder, sink))
      ++warnings;
  }
  AddTotals(sink, errors, warnings);
  return errors;
}

}  // namespace quillon
