// Placeholders of a macro text: %LOCAL%, %OUTPUT% and %INPUT%.
#pragma once

#include <string>

namespace quillon {

// Replaces %LOCAL% with `local` and %OUTPUT% and %INPUT% with `document`; any other text
// between two percent signs stays. Inserted text is never searched again.
std::string ExpandMacro(std::string text, const std::string& local, const std::string& document);

}  // namespace quillon
