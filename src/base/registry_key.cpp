#include "base/registry_key.h"

#include <cstring>

namespace quillon {

bool RegistryKey::Open(const std::string& path) {
  Close();
  open_ = store_.OpenKey(path);
  return open_;
}

bool RegistryKey::Close() {
  if (open_) store_.CloseKey();
  open_ = false;
  return true;
}

bool RegistryKey::WriteString(const std::string& name, const std::string& text) {
  if (!open_) return false;
  StoredValue value;
  value.type = kTypeString;
  value.data.assign(text.begin(), text.end());
  value.data.push_back(0);
  bool ok = store_.Set(name, value);
  store_.Flush();
  return ok;
}

bool RegistryKey::WriteNumber(const std::string& name, std::uint32_t number) {
  if (!open_) return false;
  StoredValue value;
  value.type = kTypeNumber;
  value.data.resize(4);
  std::memcpy(value.data.data(), &number, 4);  // little-endian, as REG_DWORD
  bool ok = store_.Set(name, value);
  store_.Flush();
  return ok;
}

static std::string TextUpToNul(const std::vector<std::uint8_t>& data) {
  std::string text(data.begin(), data.end());
  std::size_t nul = text.find('\0');
  if (nul != std::string::npos) text.resize(nul);
  return text;
}

bool RegistryKey::ReadString(const std::string& name, std::string& dest, const std::string& fallback) {
  StoredValue value;
  if (!open_ || !store_.Query(name, value)) {
    dest = fallback;
    return false;
  }
  dest = TextUpToNul(value.data);
  return true;
}

bool RegistryKey::ReadStringLimited(const std::string& name, std::string& dest, std::size_t bufferSize,
                                    const std::string& fallback) {
  StoredValue value;
  if (!open_ || !store_.Query(name, value) || value.data.size() > bufferSize) {
    dest = fallback;
    return false;
  }
  std::string text = TextUpToNul(value.data);
  if (text.size() >= bufferSize) {  // no room left for the terminator
    dest = fallback;
    return false;
  }
  dest = text;
  return true;
}

bool RegistryKey::ReadNumber(const std::string& name, std::uint32_t& dest, std::uint32_t fallback) {
  StoredValue value;
  if (!open_ || !store_.Query(name, value) || value.data.size() != 4) {
    dest = fallback;
    return false;
  }
  std::memcpy(&dest, value.data.data(), 4);
  return true;
}

bool RegistryKey::DeleteValue(const std::string& name) {
  if (!open_) return false;
  bool ok = store_.Delete(name);
  store_.Flush();
  return ok;
}

}  // namespace quillon
