#include "app/help_menu.h"

#include <shellapi.h>

#include "resource.h"
#include "ui/app_state.h"
#include "ui/dialog.h"

namespace quillon {

namespace {

// The commands of the accelerator table in the order the menu shows them, with their names.
void WalkMenu(HMENU menu, std::vector<std::pair<int, std::string>>& commands) {
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    if (HMENU popup = GetSubMenu(menu, i)) {
      WalkMenu(popup, commands);
      continue;
    }
    const UINT id = GetMenuItemID(menu, i);
    if (id == 0 || id == static_cast<UINT>(-1)) continue;
    char text[256] = "";
    GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
    commands.emplace_back(static_cast<int>(id), MenuCommandName(text));
  }
}

// Keys whose command is not what the menu item says, or that have no menu item.
std::string NameWithoutMenu(int command, const ShortcutKey& key) {
  switch (command) {
    case IDM_TOOLS_OUTPUTPANE:
      return key.virtualKey && key.key == VK_ESCAPE ? "Hide Output Pane" : "";
    case IDM_BUILD:
      return "Build";
    case IDM_BUILD_STOP:
      return "Stop Build";
  }
  return "";
}

ShortcutKey KeyOf(const ACCEL& accel) {
  ShortcutKey key;
  key.control = (accel.fVirt & FCONTROL) != 0;
  key.shift = (accel.fVirt & FSHIFT) != 0;
  key.alt = (accel.fVirt & FALT) != 0;
  key.virtualKey = (accel.fVirt & FVIRTKEY) != 0;
  key.key = accel.key;
  return key;
}

class ShortcutsDialog : public Dialog {
 public:
  explicit ShortcutsDialog(std::vector<ShortcutRow> rows) : rows_(std::move(rows)) {}

 protected:
  bool OnInit() override {
    CentreOverOwner();
    HWND list = Item(IDC_SHORTCUTS_LIST);
    int tab = 70;  // dialog units: the widest key names fit before it
    SendMessageA(list, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&tab));
    for (const ShortcutRow& row : rows_)
      SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ShortcutLine(row).c_str()));
    return true;
  }
  bool OnCommand(int id, int code) override {
    if (id == IDOK || id == IDCANCEL) {
      End(id);
      return true;
    }
    return Dialog::OnCommand(id, code);
  }

 private:
  std::vector<ShortcutRow> rows_;
};

}  // namespace

void OpenUserGuide(HWND owner, const std::string& folder) {
  const std::string path = folder + "\\" + kGuideFileName;
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    const std::string text = "The user guide is missing:\n" + path +
                             "\n\nIt ships in the release archive beside quillon.exe. Unpack the whole archive "
                             "into one folder to read it.";
    MessageBoxA(owner, text.c_str(), "User Guide", MB_OK | MB_ICONINFORMATION);
    return;
  }
  const auto result =
      reinterpret_cast<INT_PTR>(ShellExecuteA(owner, "open", path.c_str(), nullptr, folder.c_str(), SW_SHOWNORMAL));
  if (result <= 32) {
    const std::string text = "No browser could open the user guide:\n" + path + "\n\nOpen the file with a web browser.";
    MessageBoxA(owner, text.c_str(), "User Guide", MB_OK | MB_ICONWARNING);
  }
}

std::vector<ShortcutRow> CollectShortcuts(HACCEL accelerators, HMENU menu) {
  std::vector<ShortcutRow> rows;
  const int count = accelerators ? CopyAcceleratorTableA(accelerators, nullptr, 0) : 0;
  if (count <= 0) return rows;
  std::vector<ACCEL> table(static_cast<std::size_t>(count));
  CopyAcceleratorTableA(accelerators, table.data(), count);

  std::vector<std::pair<int, std::string>> commands;
  if (menu) WalkMenu(menu, commands);
  std::vector<bool> listed(table.size(), false);
  auto add = [&](std::size_t i, const std::string& menuName) {
    const ShortcutKey key = KeyOf(table[i]);
    std::string name = NameWithoutMenu(table[i].cmd, key);
    if (name.empty()) name = menuName;
    if (name.empty()) name = "(command " + std::to_string(table[i].cmd) + ")";
    rows.push_back({ShortcutKeyText(key), name});
    listed[i] = true;
  };
  for (const auto& [id, name] : commands)
    for (std::size_t i = 0; i < table.size(); ++i)
      if (!listed[i] && table[i].cmd == id) add(i, name);
  for (std::size_t i = 0; i < table.size(); ++i)
    if (!listed[i]) add(i, "");
  return rows;
}

void ShowKeyboardShortcuts(HWND frame) {
  HACCEL accelerators = LoadAcceleratorsA(g_app.instance, MAKEINTRESOURCEA(IDR_ACCELERATORS));
  ShortcutsDialog dialog(CollectShortcuts(accelerators, GetMenu(frame)));
  dialog.RunModal(frame, IDD_SHORTCUTS);
}

}  // namespace quillon
