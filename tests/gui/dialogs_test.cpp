// The About box, the IDE Options dialog and the file and folder choosers, answered through
// their real windows.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "assemble/ide_options.h"
#include "resource.h"
#include "support/dialog_answerer.h"
#include "support/gui_fixture.h"
#include "ui/app_state.h"
#include "ui/file_choosers.h"

namespace quillon::test {
namespace dialogs_test {

constexpr int kFileNameBox = 0x47C;  // the file name combo box of the Explorer-style chooser

// Waits on the watcher thread (no message pump) until `done` or about five seconds have passed.
bool WaitOnWatcher(const std::function<bool()>& done) {
  for (int i = 0; i < 250; ++i) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return done();
}

std::string ControlText(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }

// A dialog that `owner` shows over itself, such as a chooser's complaint box; none when there is none.
HWND BoxOwnedBy(HWND owner) {
  HWND box = nullptr;
  while ((box = FindWindowExA(nullptr, box, "#32770", nullptr)))
    if (GetWindow(box, GW_OWNER) == owner && IsWindowVisible(box)) return box;
  return nullptr;
}

// Types `path` into a file chooser and confirms it. Returns the text of the box the chooser
// complained with (the chooser is then cancelled), or empty when it took the path.
std::string ConfirmChooser(HWND chooser, const std::string& path, int boxAnswer = IDOK) {
  SendMessageA(GetDlgItem(chooser, kFileNameBox), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  PressButton(chooser, IDOK);
  HWND box = nullptr;
  WaitOnWatcher([&] { return !IsWindow(chooser) || (box = BoxOwnedBy(chooser)); });
  if (!box) return {};
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  std::string complaint = MessageBoxText(box);
  PressButton(box, boxAnswer);
  WaitOnWatcher([&] { return !IsWindow(box); });
  if (boxAnswer != IDYES) PressButton(chooser, IDCANCEL);
  WaitOnWatcher([&] { return !IsWindow(chooser); });
  return complaint.empty() ? "(a box)" : complaint;
}

std::string ProgramFile() {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, sizeof path);
  return path;
}

// True when `window`'s centre is within a pixel of the point.
::testing::AssertionResult CentredAt(HWND window, int x, int y) {
  RECT r;
  GetWindowRect(window, &r);
  const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
  if (std::abs(cx - x) <= 1 && std::abs(cy - y) <= 1) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "centre " << cx << "," << cy << " instead of " << x << "," << y;
}

// Runs `run` while `answer` answers every dialog, then stops the watcher, so that what the answer
// recorded can be read without a lock. Returns the dialogs seen.
std::vector<SeenBox> Answered(DialogAnswerer::Answer answer, const std::function<void()>& run) {
  DialogAnswerer answerer(std::move(answer));
  run();
  return answerer.Seen();
}

class DialogTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    saved_ = g_settings;
  }
  void TearDown() override {
    g_settings.assemblerPath = saved_.assemblerPath;
    g_settings.emulatorPath = saved_.emulatorPath;
    g_settings.emulatorArguments = saved_.emulatorArguments;
    FrameTest::TearDown();
  }

 private:
  Settings saved_;
};

TEST_F(DialogTest, AboutShowsTheVersionCentredOnScreenAndOkClosesIt) {
  std::string version;
  bool centred = false;
  auto seen = Answered(
      [&](HWND dialog, const SeenBox&) {
        version = ControlText(dialog, IDC_ABOUT_VERSION);
        centred = CentredAt(dialog, GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2);
        PressButton(dialog, IDOK);
      },
      [&] { Command(IDM_HELP_ABOUT); });

  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].caption, "About Quillon");
  EXPECT_EQ(version, "Quillon v1.2 BETA 2");
  EXPECT_TRUE(centred);
}

TEST_F(DialogTest, IdeOptionsStoresTheEditOnOkAndDropsItOnCancel) {
  struct Case {
    const char* name;
    std::string typed;
    int button;
    int result;
    std::string stored;
  };
  const Case cases[] = {
      {"typed path, OK", "C:\\Tools\\as1600.exe", IDOK, 1, "C:\\Tools\\as1600.exe"},
      {"typed path, Cancel", "C:\\Other\\as1600.exe", IDCANCEL, 0, "C:\\Old\\as1600.exe"},
      {"empty edit, OK", "", IDOK, 1, ""},
  };
  for (const Case& c : cases) {
    g_settings.assemblerPath = "C:\\Old\\as1600.exe";
    std::string shown;
    long limit = 0;
    bool centred = false;
    int result = -1;
    auto seen = Answered(
        [&](HWND dialog, const SeenBox&) {
          shown = ControlText(dialog, IDC_OPTIONS_PATH);
          limit = static_cast<long>(SendDlgItemMessageA(dialog, IDC_OPTIONS_PATH, EM_GETLIMITTEXT, 0, 0));
          RECT f;
          GetWindowRect(frame_, &f);
          centred = CentredAt(dialog, f.left + (f.right - f.left) / 2, f.top + (f.bottom - f.top) / 2);
          SetControlText(dialog, IDC_OPTIONS_PATH, c.typed);
          PressButton(dialog, c.button);
        },
        [&] { result = ShowIdeOptions(frame_); });

    EXPECT_EQ(result, c.result) << c.name;
    EXPECT_EQ(g_settings.assemblerPath, c.stored) << c.name;
    ASSERT_EQ(seen.size(), 1u) << c.name;
    EXPECT_EQ(seen[0].caption, "Options");
    EXPECT_EQ(shown, "C:\\Old\\as1600.exe") << c.name;
    EXPECT_EQ(limit, 259) << c.name;
    EXPECT_TRUE(centred) << c.name;
  }
}

// A path that does not fit is refused with a box and the dialog stays open; it is never cut. The
// emulator's path and arguments follow the same rule.
TEST_F(DialogTest, IdeOptionsTakesAPathWholeOrRefusesIt) {
  const struct {
    int id;
    std::string* setting;
  } fields[] = {{IDC_OPTIONS_PATH, &g_settings.assemblerPath},
                {IDC_OPTIONS_EMULATOR, &g_settings.emulatorPath},
                {IDC_OPTIONS_EMULATOR_ARGS, &g_settings.emulatorArguments}};
  for (const auto& field : fields) {
    for (std::size_t length : {259u, 260u, 261u, 4000u}) {
      const std::string typed = "C:\\" + std::string(length - 7, 'x') + ".exe";
      *field.setting = "C:\\Old\\as1600.exe";
      HWND options = nullptr;
      int result = -1;
      auto seen = Answered(
          [&](HWND dialog, const SeenBox&) {
            if (options == nullptr) {
              options = dialog;
              SetControlText(dialog, field.id, typed);
              PressButton(dialog, IDOK);
            } else {  // the box about the length: the dialog is still there, Cancel leaves it
              PressButton(dialog, IDOK);
              WaitOnWatcher([&] { return IsWindowEnabled(options) != FALSE; });
              PressButton(options, IDCANCEL);
            }
          },
          [&] { result = ShowIdeOptions(frame_); });

      if (length <= 259) {
        EXPECT_EQ(result, 1) << field.id << " " << length;
        EXPECT_EQ(*field.setting, typed) << field.id << " " << length;
        EXPECT_EQ(seen.size(), 1u) << field.id << " " << length;
      } else {
        EXPECT_EQ(result, 0) << field.id << " " << length;
        EXPECT_EQ(*field.setting, "C:\\Old\\as1600.exe") << field.id << " " << length;
        ASSERT_EQ(seen.size(), 2u) << field.id << " " << length;
        EXPECT_EQ(seen[1].caption, "Options");
        EXPECT_EQ(seen[1].text, "The path is too long (" + std::to_string(length) + " characters, at most 259).");
      }
    }
  }
}

// Tab Width: a number of characters from 1 to 32, stored on OK; anything else is refused with a
// box and the dialog stays.
TEST_F(DialogTest, IdeOptionsTakesATabWidthFromOneTo32) {
  struct Case {
    const char* typed;
    bool taken;
  };
  const Case cases[] = {{"4", true},   {"32", true}, {"1", true},   {"0", false},
                        {"33", false}, {"", false},  {"999", false}};
  for (const Case& c : cases) {
    g_settings.tabWidth = 8;
    HWND options = nullptr;
    std::string shown;
    int result = -1;
    auto seen = Answered(
        [&](HWND dialog, const SeenBox&) {
          if (options == nullptr) {
            options = dialog;
            shown = ControlText(dialog, IDC_OPTIONS_TABWIDTH);
            SetControlText(dialog, IDC_OPTIONS_TABWIDTH, c.typed);
            PressButton(dialog, IDOK);
          } else {  // the box about the width: the dialog is still there, Cancel leaves it
            PressButton(dialog, IDOK);
            WaitOnWatcher([&] { return IsWindowEnabled(options) != FALSE; });
            PressButton(options, IDCANCEL);
          }
        },
        [&] { result = ShowIdeOptions(frame_); });
    EXPECT_EQ(shown, "8") << c.typed;
    EXPECT_EQ(result, c.taken ? 1 : 0) << c.typed;
    EXPECT_EQ(g_settings.tabWidth, c.taken ? static_cast<std::uint32_t>(std::atoi(c.typed)) : 8u) << c.typed;
    EXPECT_EQ(seen.size(), c.taken ? 1u : 2u) << c.typed;
  }
  g_settings.tabWidth = 8;
}

TEST_F(DialogTest, IdeOptionsOffersTheBundledAssemblerWhenNoneIsSet) {
  const std::string program = ProgramFile();
  const std::string bundled = program.substr(0, program.rfind('\\') + 1) + "cpasm.exe";
  ASSERT_NE(GetFileAttributesA(bundled.c_str()), INVALID_FILE_ATTRIBUTES) << bundled;
  for (int button : {IDCANCEL, IDOK}) {
    g_settings.assemblerPath.clear();
    std::string shown;
    Answered(
        [&](HWND dialog, const SeenBox&) {
          shown = ControlText(dialog, IDC_OPTIONS_PATH);
          PressButton(dialog, button);
        },
        [&] { ShowIdeOptions(frame_); });
    EXPECT_EQ(shown, bundled);
    EXPECT_EQ(g_settings.assemblerPath, button == IDOK ? bundled : "") << "only OK stores the offered path";
  }
  // A path the user has set is shown as it is.
  g_settings.assemblerPath = "C:\\Tools\\as1600.exe";
  std::string shown;
  Answered(
      [&](HWND dialog, const SeenBox&) {
        shown = ControlText(dialog, IDC_OPTIONS_PATH);
        PressButton(dialog, IDCANCEL);
      },
      [&] { ShowIdeOptions(frame_); });
  EXPECT_EQ(shown, "C:\\Tools\\as1600.exe");
}

TEST_F(DialogTest, BrowsedAssemblerPathStaysAfterCancel) {
  g_settings.assemblerPath = "C:\\Old\\as1600.exe";
  const std::string exe = ProgramFile();
  HWND options = nullptr;
  std::string shownAfterBrowse;
  auto seen = Answered(
      [&](HWND dialog, const SeenBox& seen) {
        if (seen.caption == "Options") {
          options = dialog;
          PressButton(dialog, IDC_OPTIONS_BROWSE);
        } else if (seen.caption == "Find AS1600") {
          ConfirmChooser(dialog, exe);
          WaitOnWatcher([&] { return ControlText(options, IDC_OPTIONS_PATH) == exe; });
          shownAfterBrowse = ControlText(options, IDC_OPTIONS_PATH);
          PressButton(options, IDCANCEL);
        } else {
          PressButton(dialog, IDCANCEL);
        }
      },
      [&] { Command(IDM_TOOLS_OPTIONS); });

  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1].caption, "Find AS1600");
  EXPECT_EQ(shownAfterBrowse, exe);
  EXPECT_EQ(g_settings.assemblerPath, exe);
}

// A fresh folder under the temporary folder holding one empty file, removed at the end.
struct ScratchFolder {
  ScratchFolder() {
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof temp, temp);
    path = std::string(temp) + "quillon_dialogs_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(path.c_str(), nullptr);
    file = path + "\\game.asm";
    CloseHandle(CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  }
  ~ScratchFolder() {
    DeleteFileA(file.c_str());
    RemoveDirectoryA(path.c_str());
  }
  std::string path, file;
};

TEST_F(DialogTest, FileChoosersReturnTheConfirmedPathAndTitle) {
  ScratchFolder folder;
  const std::string missing = folder.path + "\\missing.asm";
  struct Case {
    const char* name;
    decltype(&ChooseFileToOpen) chooser;
    std::string typed;
    bool chosen;
    int boxAnswer;  // 0: no box expected
  };
  const Case cases[] = {
      {"open an existing file", ChooseFileToOpen, folder.file, true, 0},
      {"open a missing file", ChooseFileToOpen, missing, false, IDOK},
      {"save a new file", ChooseFileToSave, missing, true, 0},
      {"save over a file, confirmed", ChooseFileToSave, folder.file, true, IDYES},
      {"save over a file, refused", ChooseFileToSave, folder.file, false, IDNO},
  };
  const char filter[] = "Source files (*.asm)\0*.asm\0All files (*.*)\0*.*\0";
  for (const Case& c : cases) {
    std::string complaint;
    std::string path = "before", title = "before";
    bool chosen = false;
    auto seen = Answered(
        [&](HWND dialog, const SeenBox& seen) {
          if (seen.caption == "Pick one")
            complaint = ConfirmChooser(dialog, c.typed, c.boxAnswer ? c.boxAnswer : IDOK);
          else
            PressButton(dialog, IDCANCEL);
        },
        [&] { chosen = c.chooser(frame_, folder.path, filter, path, &title, "Pick one"); });

    EXPECT_EQ(chosen, c.chosen) << c.name;
    EXPECT_EQ(path, c.chosen ? c.typed : "before") << c.name;
    EXPECT_EQ(title, c.chosen ? c.typed.substr(c.typed.rfind('\\') + 1) : "before") << c.name;
    EXPECT_EQ(seen.size(), 1u) << c.name;
    EXPECT_EQ(complaint.empty(), c.boxAnswer == 0) << c.name << ": " << complaint;
  }
}

TEST_F(DialogTest, FolderBrowserOpensOnTheInitialFolder) {
  ScratchFolder folder;
  struct Case {
    int button;
    bool chosen;
  };
  for (const Case& c : {Case{IDOK, true}, Case{IDCANCEL, false}}) {
    std::string path = "before";
    bool chosen = false;
    std::string name = folder.path.substr(folder.path.rfind('\\') + 1);
    auto answer = [&](HWND browser, const SeenBox&) {
      // The browser fills its tree and selects the initial folder after it appears; the first
      // browser of a fresh Wine session on a busy machine has taken more than 3 s for that.
      for (int i = 0; i < 1000 && SelectedFolderName(browser) != name; ++i) Sleep(30);
      PressButton(browser, c.button);
    };
    auto seen = Answered(
        answer, [&] { chosen = BrowseForFolder(frame_, folder.path, "Browse for project folder", path, 0, nullptr); });
    EXPECT_EQ(chosen, c.chosen);
    EXPECT_EQ(path, c.chosen ? folder.path : "before");
    EXPECT_EQ(seen.size(), 1u);
  }
}

}  // namespace dialogs_test
}  // namespace quillon::test
