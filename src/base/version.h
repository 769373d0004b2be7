// The program's version number and the text the About box shows for it.
#pragma once

#include <cstdint>
#include <string>

namespace quillon {

// Packed from the most significant byte: major, minor, revision letter (0 = none, 1 = a, ...),
// beta number (0 = a release).
inline constexpr std::uint32_t kPackedVersion = 0x01020002;

// "<name> v<major>.<minor>", then the revision letter, then " BETA <n>" for a beta.
std::string VersionText(const std::string& name, std::uint32_t packed);

}  // namespace quillon
