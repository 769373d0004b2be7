// Run (F5) with the stand-in assembler and the stand-in emulator.
#include <windows.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/startup.h"
#include "assemble/output_pane.h"
#include "base/text_util.h"
#include "project/project.h"
#include "resource.h"
#include "support/dialog_answerer.h"
#include "support/gui_fixture.h"
#include "support/test_files.h"
#include "ui/app_state.h"

namespace quillon::test {
namespace {

std::vector<std::string> PaneTexts() {
  std::vector<std::string> lines;
  HWND list = g_app.outputPane->List();
  const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    std::vector<char> text(SendMessageA(list, LB_GETTEXTLEN, i, 0) + 1);
    SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    lines.push_back(text.data());
  }
  return lines;
}

bool PaneHas(const std::string& line) {
  for (const std::string& text : PaneTexts())
    if (text == line) return true;
  return false;
}

std::string Emulator() { return ProgramFolder() + "\\emulator_standin.exe"; }

class RunTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    ASSERT_NE(g_app.outputPane, nullptr);
    char cwd[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof cwd, cwd);
    savedDirectory_ = cwd;
    saved_ = g_settings;
    static int serial = 0;
    folder_ = TempFolder("quillon_run_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++serial));
    g_settings.assemblerPath = ProgramFolder() + "\\as1600_standin.exe";
    g_settings.emulatorPath = Emulator();
    g_settings.emulatorArguments = "\"%OUTPUT%\" -z1 %NOSUCH%";
    ASSERT_TRUE(Exists(Emulator()));
  }
  void TearDown() override {
    EXPECT_TRUE(PumpUntil([] { return g_app.buildThread == nullptr; }, 30000));
    FrameTest::TearDown();
    SetCurrentDirectoryA(savedDirectory_.c_str());
    g_settings.assemblerPath = saved_.assemblerPath;
    g_settings.emulatorPath = saved_.emulatorPath;
    g_settings.emulatorArguments = saved_.emulatorArguments;
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  void LoadProject(const std::string& source) {
    WriteText(folder_ + "\\game.asm", source);
    WriteText(folder_ + "\\game.qlp",
              "[project name]\r\nGame\r\n[output path]\r\nobj\r\n[output name]\r\ngame\r\n"
              "[source]\r\ngame.asm\r\n[listing]\r\nobj\\game.lst\r\n");
    CreateDirectoryA((folder_ + "\\obj").c_str(), nullptr);
    ASSERT_TRUE(g_app.project->LoadProject(folder_ + "\\game.qlp"));
  }

  // F5 as the user presses it, through the program's accelerators.
  void PressF5() {
    HACCEL table = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_ACCELERATORS));
    PostMessageA(frame_, WM_KEYDOWN, VK_F5, 1);
    PostQuitMessage(0);
    RunMessageLoop(frame_, table);
    DestroyAcceleratorTable(table);
  }
  // Waits for the build to end and for the frame to have heard of it.
  void WaitForBuild() {
    ASSERT_TRUE(PumpUntil([] { return g_app.buildThread == nullptr; }, 20000));
    ASSERT_TRUE(PumpUntil([] { return PaneHas("Finished assembly"); }, 5000));
    PumpMessages(50);
  }

  std::string Record() const { return Exists(RecordPath()) ? ReadText(RecordPath()) : std::string(); }
  std::string RecordPath() const { return folder_ + "\\emulator_standin.txt"; }

  std::string folder_;
  std::string savedDirectory_;
  Settings saved_;
};

TEST_F(RunTest, F5AfterAGoodBuildStartsTheEmulatorInTheProjectFolderEveryTime) {
  LoadProject("start:  MVII #1, R0\r\n;@warning only a warning\r\n");
  PressF5();
  WaitForBuild();
  const std::string image = folder_ + "\\obj\\game.bin";
  EXPECT_TRUE(PaneHas("Running: \"" + Emulator() + "\" \"" + image + "\" -z1 %NOSUCH%")) << PaneTexts().back();
  ASSERT_TRUE(PumpUntil([&] { return !Record().empty(); }, 5000)) << "the emulator did not start";
  const std::string block = "start\nfolder " + folder_ + "\narg " + image + "\narg -z1\narg %NOSUCH%\n";
  EXPECT_TRUE(EqualsNoCase(Record(), block)) << Record();

  PressF5();  // a second run starts a second emulator
  WaitForBuild();
  EXPECT_TRUE(PumpUntil([&] { return Record().size() == 2 * block.size(); }, 5000)) << Record();
}

TEST_F(RunTest, AFailedBuildStartsNothing) {
  const struct {
    const char* name;
    const char* source;
  } cases[] = {
      {"error line and exit code", ";@error undefined symbol\r\n"},
      {"error line, exit code 0", ";@error undefined symbol\r\n;@exit 0\r\n"},
      {"no error line, exit code 2", ";@exit 2\r\n"},
  };
  for (const auto& c : cases) {
    LoadProject(c.source);
    Command(IDM_BUILD_RUN);
    WaitForBuild();
    PumpMessages(200);
    EXPECT_EQ(Record(), "") << c.name;
    for (const std::string& line : PaneTexts()) EXPECT_FALSE(line.starts_with("Running:")) << c.name;
  }
}

TEST_F(RunTest, WithoutAnEmulatorPathItSaysSoAndOpensOptionsOnTheEmulatorField) {
  g_settings.emulatorPath.clear();
  LoadProject("start:  MVII #1, R0\r\n");
  int focused = 0;
  int shown = 0;
  const std::string emulator = Emulator();
  DialogAnswerer answerer([&](HWND dialog, const SeenBox& seen) {
    if (seen.caption != "Options") return PressButton(dialog, IDOK);
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info)) focused = GetDlgCtrlID(info.hwndFocus);
    if (++shown == 1) return PressButton(dialog, IDCANCEL);
    SetControlText(dialog, IDC_OPTIONS_EMULATOR, emulator);  // the second time, OK with a path
    PressButton(dialog, IDOK);
  });
  Command(IDM_BUILD_RUN);
  EXPECT_EQ(PaneTexts(), (std::vector<std::string>{"Run: no emulator path is set (Tools, IDE Options)."}));
  EXPECT_EQ(focused, IDC_OPTIONS_EMULATOR);
  EXPECT_EQ(g_app.buildThread, nullptr) << "Cancel ends the run before the build";
  EXPECT_EQ(answerer.Seen().size(), 1u);

  Command(IDM_BUILD_RUN);
  WaitForBuild();
  EXPECT_EQ(g_settings.emulatorPath, emulator);
  EXPECT_TRUE(PumpUntil([&] { return !Record().empty(); }, 5000)) << "OK with a path goes on to run";
}

TEST_F(RunTest, AnEmulatorThatCannotStartIsReportedWithTheSystemsReason) {
  g_settings.emulatorPath = folder_ + "\\missing\\emulator.exe";
  LoadProject("start:  MVII #1, R0\r\n");
  Command(IDM_BUILD_RUN);
  WaitForBuild();
  const std::vector<std::string> lines = PaneTexts();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2],
            "Running: \"" + g_settings.emulatorPath + "\" \"" + folder_ + "\\obj\\game.bin\" -z1 %NOSUCH%");
  EXPECT_TRUE(lines.back().starts_with("Run failed: ")) << lines.back();
  EXPECT_GT(lines.back().size(), std::string("Run failed: ").size()) << "the reason is missing";
}

}  // namespace
}  // namespace quillon::test
