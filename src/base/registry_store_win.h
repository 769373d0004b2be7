// The settings store in the Windows registry, under HKEY_CURRENT_USER.
#pragma once

#include <windows.h>

#include "base/registry_key.h"

namespace quillon {

class RegistryStore : public ValueStore {
 public:
  explicit RegistryStore(HKEY root = HKEY_CURRENT_USER) : root_(root) {}
  ~RegistryStore() override { CloseKey(); }

  bool OpenKey(const std::string& path) override;
  void CloseKey() override;
  bool Query(const std::string& name, StoredValue& value) override;
  bool Set(const std::string& name, const StoredValue& value) override;
  bool Delete(const std::string& name) override;
  void Flush() override;

 private:
  HKEY root_;
  HKEY key_ = nullptr;
};

}  // namespace quillon
