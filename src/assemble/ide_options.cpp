#include "assemble/ide_options.h"

#include <cstdlib>
#include <string>

#include "assemble/bundled_assembler.h"
#include "base/text_util.h"
#include "editor/caret_and_font.h"
#include "editor/text_columns.h"
#include "resource.h"
#include "ui/app_state.h"
#include "ui/dialog.h"
#include "ui/file_choosers.h"

namespace quillon {

namespace {

constexpr char kExecutableFilter[] = "Executable files\0*.exe\0";

class IdeOptionsDialog : public Dialog {
 public:
  explicit IdeOptionsDialog(IdeOptionsField focus) : focus_(focus) {}

 protected:
  bool OnInit() override {
    CentreOverOwner();
    for (int id : {IDC_OPTIONS_PATH, IDC_OPTIONS_EMULATOR, IDC_OPTIONS_EMULATOR_ARGS})
      SendDlgItemMessageA(Handle(), id, EM_LIMITTEXT, kPathBufferSize - 1, 0);
    // With no assembler set, the bundled one is offered; OK keeps it, Cancel leaves the setting empty.
    SetText(IDC_OPTIONS_PATH, g_settings.assemblerPath.empty() ? BundledAssemblerPath(g_settings.exeDirectory)
                                                               : g_settings.assemblerPath);
    SetText(IDC_OPTIONS_TABWIDTH, std::to_string(ValidTabWidth(static_cast<long>(g_settings.tabWidth))));
    CheckDlgButton(Handle(), IDC_OPTIONS_REOPENPROJECT, g_settings.reopenProject ? BST_CHECKED : BST_UNCHECKED);
    SetText(IDC_OPTIONS_EMULATOR, g_settings.emulatorPath);
    SetText(IDC_OPTIONS_EMULATOR_ARGS, g_settings.emulatorArguments);
    if (focus_ == IdeOptionsField::kAssembler) return true;
    SetFocus(Item(IDC_OPTIONS_EMULATOR));
    return false;
  }
  bool OnCommand(int id, int code) override {
    if (id == IDOK)
      TakePath();
    else if (id == IDC_OPTIONS_BROWSE)
      BrowseForAssembler();
    else if (id == IDC_OPTIONS_EMULATOR_BROWSE)
      BrowseForEmulator();
    else
      return Dialog::OnCommand(id, code);
    return true;
  }

 private:
  // False, after saying so and putting the focus on the field, when its text is too long to be
  // kept whole.
  bool Fits(int id, const std::string& text) {
    if (text.size() < kPathBufferSize) return true;
    const std::string message = FormatLimited(kFormatBufferSize, "The path is too long (%d characters, at most %d).",
                                              static_cast<int>(text.size()), static_cast<int>(kPathBufferSize) - 1);
    MessageBoxA(Handle(), message.c_str(), "Options", MB_OK | MB_ICONERROR);
    SetFocus(Item(id));
    return false;
  }
  // OK keeps the fields; one too long to be kept whole is refused and the dialog stays.
  void TakePath() {
    const std::string path = Text(IDC_OPTIONS_PATH);
    const std::string emulator = Text(IDC_OPTIONS_EMULATOR);
    const std::string arguments = Text(IDC_OPTIONS_EMULATOR_ARGS);
    if (!Fits(IDC_OPTIONS_PATH, path) || !Fits(IDC_OPTIONS_EMULATOR, emulator) ||
        !Fits(IDC_OPTIONS_EMULATOR_ARGS, arguments))
      return;
    const std::string tab = Text(IDC_OPTIONS_TABWIDTH);
    const long width = tab.size() <= 2 ? std::strtol(tab.c_str(), nullptr, 10) : 0;
    if (width < 1 || width > kLargestTabWidth) {
      MessageBoxA(Handle(), "The tab width is a number of characters from 1 to 32.", "Options", MB_OK | MB_ICONERROR);
      return;
    }
    g_settings.assemblerPath = path;
    g_settings.emulatorPath = emulator;
    g_settings.emulatorArguments = arguments;
    g_settings.reopenProject = IsDlgButtonChecked(Handle(), IDC_OPTIONS_REOPENPROJECT) == BST_CHECKED;
    if (g_settings.tabWidth != static_cast<std::uint32_t>(width)) {
      g_settings.tabWidth = static_cast<std::uint32_t>(width);
      ApplyEditorFont();
    }
    End(1);
  }
  // "...": a confirmed choice is kept at once, whatever becomes of the dialog.
  void BrowseForAssembler() {
    std::string path;
    if (!ChooseFileToOpen(Handle(), g_settings.startDirectory, kExecutableFilter, path, nullptr, "Find AS1600")) return;
    g_settings.assemblerPath = path;
    SetText(IDC_OPTIONS_PATH, path);
  }
  // "..." of the emulator: fills the field; OK keeps it.
  void BrowseForEmulator() {
    std::string path;
    if (!ChooseFileToOpen(Handle(), g_settings.startDirectory, kExecutableFilter, path, nullptr, "Find emulator"))
      return;
    SetText(IDC_OPTIONS_EMULATOR, path);
  }

  IdeOptionsField focus_;
};

}  // namespace

int ShowIdeOptions(HWND owner, IdeOptionsField focus) {
  return IdeOptionsDialog(focus).RunModal(owner, IDD_OPTIONS) == 1 ? 1 : 0;
}

}  // namespace quillon
