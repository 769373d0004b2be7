// The program's version number and the text the About box shows for it.
#pragma once

#include <cstdint>
#include <string>

#include "base/version_number.h"

namespace quillon {

// Packed from the most significant byte: major, minor, revision letter (0 = none, 1 = a, ...),
// beta number (0 = a release).
inline constexpr std::uint32_t kPackedVersion = (QUILLON_VERSION_MAJOR << 24) | (QUILLON_VERSION_MINOR << 16) |
                                                (QUILLON_VERSION_REVISION << 8) | QUILLON_VERSION_BETA;

// "<name> v<major>.<minor>", then the revision letter, then " BETA <n>" for a beta.
std::string VersionText(const std::string& name, std::uint32_t packed);

}  // namespace quillon
