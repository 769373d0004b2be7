#include "base/version.h"

namespace quillon {

std::string VersionText(const std::string& name, std::uint32_t packed) {
  const unsigned major = packed >> 24;
  const unsigned minor = (packed >> 16) & 0xFF;
  const unsigned revision = (packed >> 8) & 0xFF;
  const unsigned beta = packed & 0xFF;

  std::string text = name + " v" + std::to_string(major) + "." + std::to_string(minor);
  if (revision != 0) text += static_cast<char>(revision + 96);
  if (beta != 0) text += " BETA " + std::to_string(beta);
  return text;
}

}  // namespace quillon
