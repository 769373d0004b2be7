// The user's preferences and the paths computed at start-up.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/registry_key.h"

namespace quillon {

inline constexpr const char* kSettingsKeyPath = "Software\\LarkspurWorks\\Quillon";
inline constexpr std::size_t kRecentFilesCapacity = 5;
inline constexpr std::size_t kRecentProjectsCapacity = 5;
inline constexpr std::size_t kRecentFindsCapacity = 15;
// Only this many entries of each list are read back at start.
inline constexpr int kRecentValuesRead = 5;
inline constexpr const char* kDefaultEmulatorArguments = "\"%OUTPUT%\"";

struct Settings {
  std::string exeDirectory;
  std::string startDirectory;
  std::string syntaxFilePath;
  std::string macrosFilePath;
  std::string fontName = "Courier New";
  std::int32_t fontSize = 0;     // character height in twips; 0 = not set
  std::int32_t fontEffects = 0;  // character-format effect flags
  std::string assemblerPath;
  std::string lastDirectory;
  std::vector<std::string> recentFiles;     // oldest first
  std::vector<std::string> recentProjects;  // oldest first
  std::uint32_t findFlags = 1;
  std::vector<std::string> recentFinds;  // oldest first
  // Run (F5): the emulator program and its arguments, placeholders unexpanded.
  std::string emulatorPath;
  std::string emulatorArguments = kDefaultEmulatorArguments;
  // Projects: the one open at the last exit, reopened at start-up when `reopenProject` is set.
  bool reopenProject = true;
  std::string openProject;
  // The document gutter.
  bool lineNumbers = true;  // line numbers shown in the gutter
  // Editor tabs: a stop every this many characters (the editor takes 1-32, else 8).
  std::uint32_t tabWidth = 8;
  // Go to Symbol's size in pixels as the user last left it; 0 when never resized.
  std::uint32_t symbolDialogWidth = 0, symbolDialogHeight = 0;
  // The debugger panes' place and size on the screen as the user last left them; a width of 0
  // when never moved or sized.
  std::int32_t debugPanesLeft = 0, debugPanesTop = 0;
  std::uint32_t debugPanesWidth = 0, debugPanesHeight = 0;

  // Computes the paths from the program file and the current directory, then reads every
  // stored value (defaults for what is missing or unreadable).
  // `keyPath` is the key they live under.
  void Load(ValueStore& store, const std::string& programPath, const std::string& currentDirectory,
            const char* keyPath = kSettingsKeyPath);
  // Writes every value back. Values of list entries past a list's end are deleted.
  void Save(ValueStore& store, const char* keyPath = kSettingsKeyPath) const;
};

// Whether a window size kept in the settings is used again: not when it was never kept, when it
// is smaller than the window's least size, or larger than the screen it opens on.
bool UsableKeptSize(std::uint32_t width, std::uint32_t height, int leastWidth, int leastHeight, int screenWidth,
                    int screenHeight);

// Whether a window kept at `left`, `top` with this size opens there again on the screen area
// `area` (left, top, right, bottom): its size is usable, its top edge lies on the area, and at
// least `grip` pixels of its caption's width do, so that it can be seen and dragged.
bool UsableKeptPlace(std::int32_t left, std::int32_t top, std::uint32_t width, std::uint32_t height, int leastWidth,
                     int leastHeight, const int area[4], int grip);

}  // namespace quillon
