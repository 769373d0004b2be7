#include "base/settings.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "base/memory_store.h"
#include "base/recent_lists.h"

namespace quillon {
namespace settings_test {

StoredValue Text(const std::string& s) {
  StoredValue v;
  v.type = kTypeString;
  v.data.assign(s.begin(), s.end());
  v.data.push_back(0);
  return v;
}

StoredValue Number(std::uint32_t n) {
  StoredValue v;
  v.type = kTypeNumber;
  v.data = {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8), static_cast<std::uint8_t>(n >> 16),
            static_cast<std::uint8_t>(n >> 24)};
  return v;
}

std::string ReadText(MemoryStore& store, const std::string& name) {
  auto& values = store.KeyValues(kSettingsKeyPath);
  auto it = values.find(name);
  if (it == values.end()) return "<missing>";
  return std::string(it->second.data.begin(), it->second.data.end() - 1);
}

TEST(Settings, FirstRunGivesDefaultsAndWritesEveryValue) {
  MemoryStore store;
  Settings s;
  s.Load(store, "C:\\Tools\\Quillon\\quillon.exe", "C:\\Work");
  EXPECT_EQ(s.exeDirectory, "C:\\Tools\\Quillon");
  EXPECT_EQ(s.startDirectory, "C:\\Work");
  EXPECT_EQ(s.syntaxFilePath, "C:\\Tools\\Quillon\\syntax.cfg");
  EXPECT_EQ(s.macrosFilePath, "C:\\Tools\\Quillon\\macros.cfg");
  EXPECT_EQ(s.fontName, "Courier New");
  EXPECT_EQ(s.fontSize, 0);
  EXPECT_EQ(s.fontEffects, 0);
  EXPECT_EQ(s.findFlags, 1u);
  EXPECT_TRUE(s.assemblerPath.empty());
  EXPECT_TRUE(s.emulatorPath.empty());
  EXPECT_EQ(s.emulatorArguments, "\"%OUTPUT%\"");
  EXPECT_TRUE(s.recentFiles.empty() && s.recentProjects.empty() && s.recentFinds.empty());
  EXPECT_TRUE(s.reopenProject) << "on by default";
  EXPECT_TRUE(s.openProject.empty());
  EXPECT_EQ(s.tabWidth, 8u);
  EXPECT_TRUE(store.HasKey(kSettingsKeyPath)) << "the key is created at load";

  s.Save(store);
  auto& values = store.KeyValues(kSettingsKeyPath);
  for (const char* name : {"Font Name", "Font Size", "Font Effects", "Assembler Path", "Last Directory", "Find flags",
                           "Emulator Path", "Emulator Arguments", "Tab Width"})
    EXPECT_TRUE(values.count(name)) << name;
  EXPECT_EQ(values["Tab Width"].data, Number(8).data);

  // The default comes from the load, not from what the object held before it.
  MemoryStore fresh;
  Settings used;
  used.tabWidth = 3;
  used.Load(fresh, "q.exe", "C:\\");
  EXPECT_EQ(used.tabWidth, 8u);
  EXPECT_EQ(values["Font Size"].type, kTypeNumber);
  EXPECT_EQ(values["Font Name"].type, kTypeString);
  EXPECT_EQ(ReadText(store, "Assembler Path"), "");
  EXPECT_EQ(values.count("Recent File 0"), 0u);
}

TEST(Settings, RoundTripKeepsEveryField) {
  MemoryStore store;
  Settings a;
  a.Load(store, "quillon.exe", "C:\\");
  a.fontName = "Lucida Console";
  a.fontSize = 200;
  a.fontEffects = 0x40000000;
  a.assemblerPath = "C:\\Program Files\\as1600.exe";
  a.lastDirectory = "C:\\Src";
  a.recentFiles = {"C:\\a.asm", "C:\\b.asm"};
  a.recentProjects = {"C:\\p.qlp"};
  a.findFlags = 0x20005;
  a.recentFinds = {"MVII", "loop"};
  a.emulatorPath = "C:\\jzintv\\bin\\jzintv.exe";
  a.emulatorArguments = "-z3 \"%OUTPUT%\"";
  a.reopenProject = false;
  a.openProject = "C:\\games\\game.qlp";
  a.lineNumbers = false;
  a.tabWidth = 4;
  a.symbolDialogWidth = 640;
  a.symbolDialogHeight = 480;
  a.debugPanesLeft = -1200;  // on a monitor left of the main one
  a.debugPanesTop = 40;
  a.debugPanesWidth = 800;
  a.debugPanesHeight = 500;
  a.Save(store);

  Settings b;
  b.Load(store, "quillon.exe", "C:\\");
  EXPECT_EQ(b.exeDirectory, "quillon.exe") << "a path without backslash is taken whole";
  EXPECT_EQ(b.fontName, a.fontName);
  EXPECT_EQ(b.fontSize, a.fontSize);
  EXPECT_EQ(b.fontEffects, a.fontEffects);
  EXPECT_EQ(b.assemblerPath, a.assemblerPath);
  EXPECT_EQ(b.lastDirectory, a.lastDirectory);
  EXPECT_EQ(b.recentFiles, a.recentFiles);
  EXPECT_EQ(b.recentProjects, a.recentProjects);
  EXPECT_EQ(b.findFlags, a.findFlags);
  EXPECT_EQ(b.recentFinds, a.recentFinds);
  EXPECT_EQ(b.emulatorPath, a.emulatorPath);
  EXPECT_EQ(b.emulatorArguments, a.emulatorArguments);
  EXPECT_EQ(ReadText(store, "Emulator Arguments"), a.emulatorArguments);
  EXPECT_FALSE(b.reopenProject);
  EXPECT_EQ(b.openProject, a.openProject);
  EXPECT_EQ(store.KeyValues(kSettingsKeyPath)["Reopen Project"].type, kTypeNumber);
  EXPECT_FALSE(b.lineNumbers) << "turned off, kept off";
  EXPECT_EQ(b.tabWidth, a.tabWidth);
  EXPECT_EQ(store.KeyValues(kSettingsKeyPath)["Tab Width"].type, kTypeNumber);
  EXPECT_EQ(b.symbolDialogWidth, 640u);
  EXPECT_EQ(b.symbolDialogHeight, 480u);
  EXPECT_EQ(b.debugPanesLeft, -1200);
  EXPECT_EQ(b.debugPanesTop, 40);
  EXPECT_EQ(b.debugPanesWidth, 800u);
  EXPECT_EQ(b.debugPanesHeight, 500u);
}

// A kept window size comes back only when the window can take it on this screen.
TEST(Settings, AKeptWindowSizeIsUsedOnlyWhereItFits) {
  struct Case {
    std::uint32_t width, height;
    bool used;
  } cases[] = {
      {640, 480, true},
      {300, 200, true},  // the least size itself
      {0, 0, false},
      {640, 0, false},  // never kept
      {299, 480, false},
      {640, 199, false},  // smaller than the dialog's least
      {1025, 480, false},
      {640, 769, false},         // larger than the screen (another monitor once)
      {0xFFFFFFFF, 480, false},  // what a damaged value reads as
  };
  for (const Case& c : cases)
    EXPECT_EQ(UsableKeptSize(c.width, c.height, 300, 200, 1024, 768), c.used) << c.width << "x" << c.height;
}

// A kept window place comes back only where the window shows and its caption can be dragged.
TEST(Settings, AKeptWindowPlaceIsUsedOnlyWhereItShows) {
  const int screen[4] = {0, 0, 1280, 1024};
  const int right[4] = {1280, 0, 2560, 1024};  // a second monitor
  struct Case {
    const char* what;
    std::int32_t left, top;
    std::uint32_t width, height;
    const int* area;
    bool used;
  } cases[] = {
      {"on the screen", 100, 80, 800, 500, screen, true},
      {"on a second monitor", 1400, 80, 800, 500, right, true},
      {"never kept", 0, 0, 0, 0, screen, false},
      {"smaller than the least", 100, 80, 200, 500, screen, false},
      {"larger than the screen", 0, 0, 1281, 500, screen, false},
      {"mostly off the right edge, 48 pixels left", 1232, 80, 800, 500, screen, true},
      {"off the right edge but 47 pixels", 1233, 80, 800, 500, screen, false},
      {"off the left edge but 48 pixels", -752, 80, 800, 500, screen, true},
      {"caption above the screen", 100, -1, 800, 500, screen, false},
      {"top below the screen", 100, 1024, 800, 500, screen, false},
      {"a monitor that is gone", 1400, 80, 800, 500, screen, false},
      {"a damaged left", INT32_MIN, 80, 800, 500, screen, false},
      {"a damaged width", 100, 80, 0xFFFFFFFF, 500, screen, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(UsableKeptPlace(c.left, c.top, c.width, c.height, 300, 200, c.area, 48), c.used) << c.what;
}

TEST(Settings, UnreadableValuesTakeTheirDefaults) {
  struct Case {
    const char* name;
    StoredValue value;
  };
  const Case cases[] = {
      {"Font Size", Text("12345678")},  // a string longer than 4 bytes
      {"Font Effects", Text("ab")},     // 3 bytes: wrong size
      {"Find flags", StoredValue{kTypeNumber, {1, 2}}},
      {"Tab Width", Text("4")},
  };
  for (const Case& c : cases) {
    MemoryStore store;
    store.KeyValues(kSettingsKeyPath)[c.name] = c.value;
    Settings s;
    s.Load(store, "q.exe", "C:\\");
    EXPECT_EQ(s.fontSize, 0) << c.name;
    EXPECT_EQ(s.fontEffects, 0) << c.name;
    EXPECT_EQ(s.findFlags, 1u) << c.name;
    EXPECT_EQ(s.tabWidth, 8u) << c.name;
  }
}

TEST(Settings, ListsSkipGapsAndEntriesTooLongForTheBuffer) {
  MemoryStore store;
  auto& values = store.KeyValues(kSettingsKeyPath);
  values["Recent File 1"] = Text("A");
  values["Recent File 3"] = Text("B");
  values["Recent File 5"] = Text("never read");
  values["Recent Project 0"] = Text(std::string(259, 'p'));
  values["Recent Project 1"] = Text(std::string(260, 'q'));
  values["Recent Find 2"] = Text("");
  values["Recent Find 4"] = Text("x");
  Settings s;
  s.Load(store, "q.exe", "C:\\");
  EXPECT_EQ(s.recentFiles, (std::vector<std::string>{"A", "B"}));
  ASSERT_EQ(s.recentProjects.size(), 1u) << "an entry of 260 characters or more is dropped";
  EXPECT_EQ(s.recentProjects[0].size(), 259u);
  EXPECT_EQ(s.recentFinds, (std::vector<std::string>{"x"}));
}

TEST(Settings, ShorterListDoesNotComeBackAfterSave) {
  // Index 0 missing, index 1 holding A: loads as [A]; the save must not leave the old
  // index 1 behind, or the next run would load [A, A].
  MemoryStore store;
  store.KeyValues(kSettingsKeyPath)["Recent File 1"] = Text("A");
  for (int i = 0; i < 15; ++i)
    store.KeyValues(kSettingsKeyPath)["Recent Find " + std::to_string(i)] = Text("f" + std::to_string(i));
  Settings s;
  s.Load(store, "q.exe", "C:\\");
  ASSERT_EQ(s.recentFiles, (std::vector<std::string>{"A"}));
  s.recentFinds = {"only"};
  s.Save(store);

  Settings next;
  next.Load(store, "q.exe", "C:\\");
  EXPECT_EQ(next.recentFiles, (std::vector<std::string>{"A"}));
  EXPECT_EQ(next.recentFinds, (std::vector<std::string>{"only"}));
  EXPECT_EQ(ReadText(store, "Recent Find 14"), "<missing>");
}

TEST(Settings, OfFifteenFindsTheNewestFiveComeBackAndNoOldValueStays) {
  MemoryStore store;
  for (int i = 0; i < 15; ++i)
    store.KeyValues(kSettingsKeyPath)["Recent Find " + std::to_string(i)] = Text("old" + std::to_string(i));
  Settings s;
  s.Load(store, "q.exe", "C:\\");
  s.recentFinds.clear();
  for (int i = 0; i < 20; ++i) AddRecent(s.recentFinds, "t" + std::to_string(i), kRecentFindsCapacity);
  s.Save(store);
  EXPECT_EQ(ReadText(store, "Recent Find 5"), "<missing>");
  EXPECT_EQ(ReadText(store, "Recent Find 14"), "<missing>");
  Settings next;
  next.Load(store, "q.exe", "C:\\");
  EXPECT_EQ(next.recentFinds, (std::vector<std::string>{"t15", "t16", "t17", "t18", "t19"}));
}

TEST(Settings, StoreThatCannotBeOpenedGivesDefaultsAndWritesNothing) {
  MemoryStore store;
  store.KeyValues(kSettingsKeyPath)["Font Name"] = Text("Fixedsys");
  store.refuseOpen = true;
  Settings s;
  s.Load(store, "q.exe", "C:\\");
  EXPECT_EQ(s.fontName, "Courier New");
  s.fontName = "Changed";
  s.Save(store);
  store.refuseOpen = false;
  EXPECT_EQ(ReadText(store, "Font Name"), "Fixedsys");
}

TEST(Settings, NumbersAreStoredAsFourLittleEndianBytes) {
  MemoryStore store;
  Settings s;
  s.Load(store, "q.exe", "C:\\");
  s.findFlags = 0x00020001;
  s.Save(store);
  EXPECT_EQ(store.KeyValues(kSettingsKeyPath)["Find flags"].data, Number(0x00020001).data);
}

}  // namespace settings_test
}  // namespace quillon
