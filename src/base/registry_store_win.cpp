#include "base/registry_store_win.h"

namespace quillon {

bool RegistryStore::OpenKey(const std::string& path) {
  CloseKey();
  HKEY key = nullptr;
  LONG rc =
      RegCreateKeyExA(root_, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  if (rc != ERROR_SUCCESS) return false;
  key_ = key;
  return true;
}

void RegistryStore::CloseKey() {
  if (key_) RegCloseKey(key_);
  key_ = nullptr;
}

bool RegistryStore::Query(const std::string& name, StoredValue& value) {
  if (!key_) return false;
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(key_, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
  value.data.assign(size, 0);
  if (RegQueryValueExA(key_, name.c_str(), nullptr, &type, value.data.data(), &size) != ERROR_SUCCESS) return false;
  value.data.resize(size);
  value.type = type;
  return true;
}

bool RegistryStore::Set(const std::string& name, const StoredValue& value) {
  if (!key_) return false;
  return RegSetValueExA(key_, name.c_str(), 0, value.type, value.data.data(), static_cast<DWORD>(value.data.size())) ==
         ERROR_SUCCESS;
}

bool RegistryStore::Delete(const std::string& name) {
  if (!key_) return false;
  LONG rc = RegDeleteValueA(key_, name.c_str());
  return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

void RegistryStore::Flush() {
  if (key_) RegFlushKey(key_);
}

}  // namespace quillon
