#include "base/memory_store.h"

#include "base/text_util.h"

namespace quillon {

bool NoCaseLess::operator()(const std::string& a, const std::string& b) const { return CompareNoCase(a, b) < 0; }

bool MemoryStore::OpenKey(const std::string& path) {
  if (refuseOpen) return false;
  open_ = &keys_[path];
  return true;
}

void MemoryStore::CloseKey() { open_ = nullptr; }

bool MemoryStore::Query(const std::string& name, StoredValue& value) {
  if (!open_) return false;
  auto it = open_->find(name);
  if (it == open_->end()) return false;
  value = it->second;
  return true;
}

bool MemoryStore::Set(const std::string& name, const StoredValue& value) {
  if (!open_) return false;
  (*open_)[name] = value;
  return true;
}

bool MemoryStore::Delete(const std::string& name) {
  if (!open_) return false;
  open_->erase(name);
  return true;
}

}  // namespace quillon
