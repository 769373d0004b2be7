// Reading and writing named values under one key of a settings store, with the
// program's rules for sizes and defaults. The store behind it is the Windows registry
// in the program and an in-memory store in tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quillon {

inline constexpr std::uint32_t kTypeString = 1;  // REG_SZ
inline constexpr std::uint32_t kTypeNumber = 4;  // REG_DWORD

struct StoredValue {
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
};

// The platform side: one open key at a time.
class ValueStore {
 public:
  virtual ~ValueStore() = default;
  // Opens the sub-key `path` of the store's root, creating it when absent.
  virtual bool OpenKey(const std::string& path) = 0;
  virtual void CloseKey() = 0;
  virtual bool Query(const std::string& name, StoredValue& value) = 0;
  virtual bool Set(const std::string& name, const StoredValue& value) = 0;
  // True when the value is gone afterwards (also when it never existed).
  virtual bool Delete(const std::string& name) = 0;
  virtual void Flush() = 0;
};

class RegistryKey {
 public:
  explicit RegistryKey(ValueStore& store) : store_(store) {}
  ~RegistryKey() { Close(); }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  bool Open(const std::string& path);
  bool Close();
  bool IsOpen() const { return open_; }

  // Stores the text with its terminating NUL, then flushes.
  bool WriteString(const std::string& name, const std::string& text);
  // Stores 4 bytes, then flushes.
  bool WriteNumber(const std::string& name, std::uint32_t value);
  // Reads the whole value up to its first NUL; `fallback` on any failure.
  bool ReadString(const std::string& name, std::string& dest, const std::string& fallback);
  // Reads a value that must fit a buffer of `bufferSize` bytes including the NUL;
  // a longer value counts as unreadable.
  bool ReadStringLimited(const std::string& name, std::string& dest, std::size_t bufferSize,
                         const std::string& fallback);
  // Reads exactly 4 bytes; a value of any other size counts as unreadable.
  bool ReadNumber(const std::string& name, std::uint32_t& dest, std::uint32_t fallback);
  bool DeleteValue(const std::string& name);

 private:
  ValueStore& store_;
  bool open_ = false;
};

}  // namespace quillon
