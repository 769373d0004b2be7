// A settings store held in memory: used by tests, and wherever no registry exists.
#pragma once

#include <map>
#include <string>

#include "base/registry_key.h"

namespace quillon {

struct NoCaseLess {
  bool operator()(const std::string& a, const std::string& b) const;
};

class MemoryStore : public ValueStore {
 public:
  using Values = std::map<std::string, StoredValue, NoCaseLess>;

  bool OpenKey(const std::string& path) override;
  void CloseKey() override;
  bool Query(const std::string& name, StoredValue& value) override;
  bool Set(const std::string& name, const StoredValue& value) override;
  bool Delete(const std::string& name) override;
  void Flush() override {}

  // Direct access for tests: the values under one key path.
  Values& KeyValues(const std::string& path) { return keys_[path]; }
  bool HasKey(const std::string& path) const { return keys_.count(path) != 0; }
  // When set, OpenKey fails (a store that cannot be opened).
  bool refuseOpen = false;

 private:
  std::map<std::string, Values, NoCaseLess> keys_;
  Values* open_ = nullptr;
};

}  // namespace quillon
