// Listings: any bytes give lines with sound jump targets and totals that match what was added.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "assemble/listing_parser.h"
#include "base/text_util.h"

namespace {

struct CheckingSink : quillon::OutputSink {
  int problems = 0;
  int lines = 0;
  void AddLine(const std::string& text, const std::string& file, int line) override {
    ++lines;
    if (file.empty()) return;
    ++problems;
    // A jump target is a line of the listing: it starts with its file name.
    if (line < -1 || text.compare(0, file.size(), file) != 0) std::abort();
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::istringstream listing(std::string(reinterpret_cast<const char*>(data), size));
  CheckingSink sink;
  quillon::ParseListingText(listing, "", sink);
  // Every problem line, then the two totals.
  if (sink.lines != sink.problems + 2) std::abort();
  return 0;
}
