// Reads the assembler's listing and reports its error and warning lines with their totals.
#pragma once

#include <istream>
#include <string>

#include "assemble/output_sink.h"

namespace quillon {

inline constexpr const char* kErrorLinePattern = "^(.+):(\\d+):\\s*ERROR\\s*\\-";
inline constexpr const char* kWarningLinePattern = "^(.+):(\\d+):\\s*WARNING\\s*\\-";

// The two line patterns; replaceable so that a failing compile can be exercised.
struct ListingPatterns {
  std::string error = kErrorLinePattern;
  std::string warning = kWarningLinePattern;
};

// Adds each error or warning line of the listing at `listingPath` to `sink` (a line that is
// both counts as an error) with its file and zero-based line, then "Total Errors: %d" and
// "Total Warnings: %d".
// A missing listing gives totals of 0. A pattern that does not compile adds its message
// instead ("Unable to create regex for Errors." / "...Warnings.") and no totals.
// Lines end at LF; a CR before the LF is dropped; a last line without LF counts too, without a
// CR at its end.
// A file name relative to `buildFolder` (the folder the build ran in) is joined to it, so that
// the line opens the right file whatever the current directory is later.
// Returns the number of error lines; -1 when a pattern did not compile or the listing could not be read.
int ParseListing(const std::string& listingPath, const std::string& buildFolder, OutputSink& sink,
                 const ListingPatterns& patterns = {});
// The same for a listing already open.
int ParseListingText(std::istream& listing, const std::string& buildFolder, OutputSink& sink,
                     const ListingPatterns& patterns = {});

}  // namespace quillon
