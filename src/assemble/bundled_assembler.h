// The assembler that ships beside the program.
#pragma once

#include <string>

namespace quillon {

inline constexpr const char* kBundledAssemblerName = "cpasm.exe";

// The full path of the bundled assembler in `programFolder`, or empty when it is not there or
// its path would not fit the IDE Options field whole.
std::string BundledAssemblerPath(const std::string& programFolder);

}  // namespace quillon
