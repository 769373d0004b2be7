#include "base/registry_key.h"

#include <gtest/gtest.h>

#include "base/memory_store.h"

namespace quillon {
namespace registry_key_test {

TEST(RegistryKey, EveryOperationFailsWhileClosed) {
  MemoryStore store;
  RegistryKey key(store);
  std::string text = "old";
  std::uint32_t number = 7;
  EXPECT_FALSE(key.WriteString("a", "x"));
  EXPECT_FALSE(key.WriteNumber("n", 1));
  EXPECT_FALSE(key.ReadString("a", text, "def"));
  EXPECT_EQ(text, "def");
  EXPECT_FALSE(key.ReadNumber("n", number, 9));
  EXPECT_EQ(number, 9u);
  EXPECT_FALSE(key.DeleteValue("a"));
  EXPECT_TRUE(key.Close());
}

TEST(RegistryKey, StringsAreReadUpToTheFirstNulAndLimitedReadsRefuseLongValues) {
  MemoryStore store;
  RegistryKey key(store);
  ASSERT_TRUE(key.Open("K"));
  store.KeyValues("K")["embedded"] = StoredValue{kTypeString, {'a', 'b', 0, 'c', 0}};
  store.KeyValues("K")["no nul"] = StoredValue{kTypeString, {'x', 'y'}};
  std::string out;
  EXPECT_TRUE(key.ReadString("embedded", out, ""));
  EXPECT_EQ(out, "ab");
  EXPECT_TRUE(key.ReadString("no nul", out, ""));
  EXPECT_EQ(out, "xy");

  struct Case {
    std::size_t length;
    bool withNul;
    bool readable;
  };
  const Case cases[] = {{259, true, true}, {260, true, false}, {259, false, true}, {260, false, false}};
  for (const Case& c : cases) {
    StoredValue v{kTypeString, std::vector<std::uint8_t>(c.length, 'z')};
    if (c.withNul) v.data.push_back(0);
    store.KeyValues("K")["long"] = v;
    EXPECT_EQ(key.ReadStringLimited("long", out, 260, "def"), c.readable) << c.length << " " << c.withNul;
    EXPECT_EQ(out, c.readable ? std::string(c.length, 'z') : "def");
  }
}

TEST(RegistryKey, ValueNamesIgnoreLetterCase) {
  MemoryStore store;
  RegistryKey key(store);
  ASSERT_TRUE(key.Open("K"));
  key.WriteString("Find Flags", "a");
  std::string out;
  EXPECT_TRUE(key.ReadString("FIND FLAGS", out, ""));
  EXPECT_EQ(out, "a");
}

}  // namespace registry_key_test
}  // namespace quillon
