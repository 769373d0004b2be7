// The Help menu: the user guide key and the shortcut list, against the accelerator resource; the
// manifest and version resource the program carries (the tests carry the same resources).
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/help_menu.h"
#include "app/shortcuts.h"
#include "base/version.h"
#include "resource.h"
#include "support/dialog_answerer.h"
#include "support/gui_fixture.h"
#include "support/test_files.h"
#include "ui/app_state.h"

namespace quillon::test {
namespace help_test {

// A key as the message loop receives it, through the program's accelerator table.
void PressThroughAccelerators(HWND frame, WPARAM key) {
  HACCEL table = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_ACCELERATORS));
  MSG msg{frame, WM_KEYDOWN, key, 1, GetTickCount(), {}};
  EXPECT_TRUE(TranslateAcceleratorA(frame, table, &msg)) << "key " << key;
}

using HelpTest = FrameTest;

TEST_F(HelpTest, F1WithoutTheGuideSaysWhereItWasLookedFor) {
  const std::string folder = TempFolder("help-noguide");
  DeleteFileA((folder + "\\GUIDE.html").c_str());
  const std::string kept = g_settings.exeDirectory;
  g_settings.exeDirectory = folder;
  DialogAnswerer answerer(DialogAnswerer::Press(IDOK));
  PressThroughAccelerators(frame_, VK_F1);
  g_settings.exeDirectory = kept;
  const auto seen = answerer.Seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].caption, "User Guide");
  EXPECT_NE(seen[0].text.find(folder + "\\GUIDE.html"), std::string::npos) << seen[0].text;
}

// Every accelerator shows in the dialog under a command name, and the guide's table lists the
// same keys: adding a key without documenting it fails here.
TEST_F(HelpTest, ShortcutListAndTheGuideTableShowEveryAccelerator) {
  std::vector<std::string> lines;
  DialogAnswerer answerer([&](HWND dialog, const SeenBox&) {
    HWND list = GetDlgItem(dialog, IDC_SHORTCUTS_LIST);
    const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      char text[256] = "";
      SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
      lines.push_back(text);
    }
    PressButton(dialog, IDOK);
  });
  Command(IDM_HELP_SHORTCUTS);
  ASSERT_EQ(answerer.Seen().size(), 1u);
  EXPECT_EQ(answerer.Seen()[0].caption, "Keyboard Shortcuts");

  HACCEL table = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_ACCELERATORS));
  ASSERT_EQ(static_cast<int>(lines.size()), CopyAcceleratorTableA(table, nullptr, 0));
  std::vector<std::string> keys;
  for (const std::string& line : lines) {
    const auto tab = line.find('\t');
    ASSERT_NE(tab, std::string::npos) << line;
    const std::string command = line.substr(tab + 1);
    EXPECT_FALSE(command.empty() || command[0] == '(') << "a key without a name: " << line;
    keys.push_back(line.substr(0, tab));
  }
  EXPECT_NE(std::find(lines.begin(), lines.end(), "F1\tUser Guide"), lines.end());

  std::string guidePath = "Z:" QUILLON_SOURCE_DIR "/docs/guide.md";
  std::replace(guidePath.begin(), guidePath.end(), '/', '\\');
  std::vector<std::string> documented = MarkdownTableKeys(ReadText(guidePath), "Keyboard shortcuts");
  std::sort(keys.begin(), keys.end());
  std::sort(documented.begin(), documented.end());
  EXPECT_EQ(documented, keys) << "docs/guide.md's shortcut table and the accelerator resource differ";
}

// The manifest takes effect: the buttons are those of the common controls 6 (only they know
// their ideal size), and the program sees the system's DPI.
TEST(ProgramResources, ManifestGivesVisualStylesAndDpiAwareness) {
  HWND button = CreateWindowExA(0, "Button", "Build", WS_POPUP | BS_PUSHBUTTON, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(button, nullptr);
  SIZE ideal{};
  EXPECT_TRUE(SendMessageA(button, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal)))
      << "the Common-Controls 6 dependency of the manifest";
  DestroyWindow(button);
  EXPECT_TRUE(IsProcessDPIAware());
}

// The version resource carries the number the About box shows.
TEST(ProgramResources, VersionResourceMatchesTheVersionHeader) {
  HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(VS_VERSION_INFO), MAKEINTRESOURCEA(16));  // RT_VERSION
  ASSERT_NE(found, nullptr);
  const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, found)));
  const DWORD size = SizeofResource(nullptr, found);
  const VS_FIXEDFILEINFO* fixed = nullptr;
  for (DWORD at = 0; at + sizeof(VS_FIXEDFILEINFO) <= size; at += 4)
    if (reinterpret_cast<const VS_FIXEDFILEINFO*>(bytes + at)->dwSignature == 0xFEEF04BD) {
      fixed = reinterpret_cast<const VS_FIXEDFILEINFO*>(bytes + at);
      break;
    }
  ASSERT_NE(fixed, nullptr);
  const std::uint32_t packed = (HIWORD(fixed->dwFileVersionMS) << 24) | (LOWORD(fixed->dwFileVersionMS) << 16) |
                               (HIWORD(fixed->dwFileVersionLS) << 8) | LOWORD(fixed->dwFileVersionLS);
  EXPECT_EQ(VersionText("Quillon", packed), VersionText("Quillon", kPackedVersion));
  EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
  EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
}

}  // namespace help_test
}  // namespace quillon::test
