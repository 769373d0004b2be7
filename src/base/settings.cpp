#include "base/settings.h"

#include <algorithm>
#include <cstdint>

#include "base/recent_lists.h"
#include "base/text_util.h"

namespace quillon {

namespace {

// Highest index that can have been written for each list.
constexpr int kMaxFilesWritten = static_cast<int>(kRecentFilesCapacity);
constexpr int kMaxProjectsWritten = static_cast<int>(kRecentProjectsCapacity);
constexpr int kMaxFindsWritten = static_cast<int>(kRecentFindsCapacity);

std::string ValueName(const char* format, int index) { return FormatLimited(64, format, index); }

void LoadList(RegistryKey& key, const char* format, std::vector<std::string>& list) {
  list.clear();
  for (int i = 0; i < kRecentValuesRead; ++i) {
    std::string entry;
    key.ReadStringLimited(ValueName(format, i), entry, kPathBufferSize, "");
    if (!entry.empty()) list.push_back(entry);
  }
}

// Writes the list under indexes 0.. and deletes the values past its end, so that a list
// that has become shorter does not grow back at the next start.
// Only the newest entries that the next start reads back are written, oldest first.
void SaveList(RegistryKey& key, const char* format, const std::vector<std::string>& list, int maxWritten) {
  const std::size_t kept = static_cast<std::size_t>(kRecentValuesRead);
  const std::size_t first = list.size() > kept ? list.size() - kept : 0;
  int i = 0;
  for (std::size_t n = first; n < list.size(); ++n) key.WriteString(ValueName(format, i++), list[n]);
  for (; i < maxWritten; ++i) key.DeleteValue(ValueName(format, i));
}

}  // namespace

void Settings::Load(ValueStore& store, const std::string& programPath, const std::string& currentDirectory,
                    const char* keyPath) {
  exeDirectory = FolderOf(programPath);
  startDirectory = currentDirectory;
  syntaxFilePath = exeDirectory + "\\syntax.cfg";
  macrosFilePath = exeDirectory + "\\macros.cfg";

  RegistryKey key(store);
  key.Open(keyPath);  // when it fails, every read below gives its default

  std::uint32_t number = 0;
  key.ReadString("Font Name", fontName, "Courier New");
  key.ReadNumber("Font Size", number, 0);
  fontSize = static_cast<std::int32_t>(number);
  key.ReadNumber("Font Effects", number, 0);
  fontEffects = static_cast<std::int32_t>(number);
  key.ReadString("Assembler Path", assemblerPath, "");
  key.ReadString("Last Directory", lastDirectory, "");
  LoadList(key, "Recent File %d", recentFiles);
  LoadList(key, "Recent Project %d", recentProjects);
  DropDuplicatePaths(recentFiles);
  DropDuplicatePaths(recentProjects);
  key.ReadNumber("Find flags", findFlags, 1);
  LoadList(key, "Recent Find %d", recentFinds);
  key.ReadString("Emulator Path", emulatorPath, "");
  key.ReadString("Emulator Arguments", emulatorArguments, kDefaultEmulatorArguments);
  key.ReadNumber("Reopen Project", number, 1);
  reopenProject = number != 0;
  key.ReadStringLimited("Open Project", openProject, kPathBufferSize, "");
  std::uint32_t shown = 1;
  key.ReadNumber("Line Numbers", shown, 1);
  lineNumbers = shown != 0;
  key.ReadNumber("Tab Width", tabWidth, 8);
  key.ReadNumber("Go to Symbol Width", symbolDialogWidth, 0);
  key.ReadNumber("Go to Symbol Height", symbolDialogHeight, 0);
  key.ReadNumber("Debugger Panes Left", number, 0);
  debugPanesLeft = static_cast<std::int32_t>(number);
  key.ReadNumber("Debugger Panes Top", number, 0);
  debugPanesTop = static_cast<std::int32_t>(number);
  key.ReadNumber("Debugger Panes Width", debugPanesWidth, 0);
  key.ReadNumber("Debugger Panes Height", debugPanesHeight, 0);
  key.Close();
}

void Settings::Save(ValueStore& store, const char* keyPath) const {
  RegistryKey key(store);
  key.Open(keyPath);  // when it fails, every write below does nothing

  key.WriteString("Font Name", fontName);
  key.WriteNumber("Font Size", static_cast<std::uint32_t>(fontSize));
  key.WriteNumber("Font Effects", static_cast<std::uint32_t>(fontEffects));
  key.WriteString("Assembler Path", assemblerPath);
  key.WriteString("Last Directory", lastDirectory);
  SaveList(key, "Recent File %d", recentFiles, kMaxFilesWritten);
  SaveList(key, "Recent Project %d", recentProjects, kMaxProjectsWritten);
  key.WriteNumber("Find flags", findFlags);
  SaveList(key, "Recent Find %d", recentFinds, kMaxFindsWritten);
  key.WriteString("Emulator Path", emulatorPath);
  key.WriteString("Emulator Arguments", emulatorArguments);
  key.WriteNumber("Reopen Project", reopenProject ? 1 : 0);
  key.WriteString("Open Project", openProject);
  key.WriteNumber("Line Numbers", lineNumbers ? 1 : 0);
  key.WriteNumber("Tab Width", tabWidth);
  key.WriteNumber("Go to Symbol Width", symbolDialogWidth);
  key.WriteNumber("Go to Symbol Height", symbolDialogHeight);
  key.WriteNumber("Debugger Panes Left", static_cast<std::uint32_t>(debugPanesLeft));
  key.WriteNumber("Debugger Panes Top", static_cast<std::uint32_t>(debugPanesTop));
  key.WriteNumber("Debugger Panes Width", debugPanesWidth);
  key.WriteNumber("Debugger Panes Height", debugPanesHeight);
  key.Close();
}

bool UsableKeptSize(std::uint32_t width, std::uint32_t height, int leastWidth, int leastHeight, int screenWidth,
                    int screenHeight) {
  if (width == 0 || height == 0 || leastWidth < 0 || leastHeight < 0) return false;
  return width >= static_cast<std::uint32_t>(leastWidth) && height >= static_cast<std::uint32_t>(leastHeight) &&
         screenWidth > 0 && screenHeight > 0 && width <= static_cast<std::uint32_t>(screenWidth) &&
         height <= static_cast<std::uint32_t>(screenHeight);
}

bool UsableKeptPlace(std::int32_t left, std::int32_t top, std::uint32_t width, std::uint32_t height, int leastWidth,
                     int leastHeight, const int area[4], int grip) {
  const long long areaWidth = static_cast<long long>(area[2]) - area[0];
  const long long areaHeight = static_cast<long long>(area[3]) - area[1];
  if (areaWidth <= 0 || areaHeight <= 0 || areaWidth > INT32_MAX || areaHeight > INT32_MAX) return false;
  if (!UsableKeptSize(width, height, leastWidth, leastHeight, static_cast<int>(areaWidth),
                      static_cast<int>(areaHeight)))
    return false;
  const long long right = static_cast<long long>(left) + width;
  const long long shown = std::min<long long>(right, area[2]) - std::max<long long>(left, area[0]);
  return top >= area[1] && top < area[3] && shown >= grip;
}

}  // namespace quillon
