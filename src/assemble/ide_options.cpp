#include "assemble/ide_options.h"

#include <string>

#include "assemble/bundled_assembler.h"
#include "base/text_util.h"
#include "resource.h"
#include "ui/app_state.h"
#include "ui/dialog.h"
#include "ui/file_choosers.h"

namespace quillon {

namespace {

constexpr char kExecutableFilter[] = "Executable files\0*.exe\0";

class IdeOptionsDialog : public Dialog {
 protected:
  bool OnInit() override {
    CentreOverOwner();
    SendDlgItemMessageA(Handle(), IDC_OPTIONS_PATH, EM_LIMITTEXT, kPathBufferSize - 1, 0);
    // With no assembler set, the bundled one is offered; OK keeps it, Cancel leaves the setting empty.
    SetText(IDC_OPTIONS_PATH, g_settings.assemblerPath.empty() ? BundledAssemblerPath(g_settings.exeDirectory)
                                                               : g_settings.assemblerPath);
    CheckDlgButton(Handle(), IDC_OPTIONS_REOPENPROJECT, g_settings.reopenProject ? BST_CHECKED : BST_UNCHECKED);
    return true;
  }
  bool OnCommand(int id, int code) override {
    if (id == IDOK)
      TakePath();
    else if (id == IDC_OPTIONS_BROWSE)
      BrowseForAssembler();
    else
      return Dialog::OnCommand(id, code);
    return true;
  }

 private:
  // OK keeps the path in the edit; one too long to be kept whole is refused and the dialog stays.
  void TakePath() {
    const std::string path = Text(IDC_OPTIONS_PATH);
    if (path.size() >= kPathBufferSize) {
      const std::string message = FormatLimited(kFormatBufferSize, "The path is too long (%d characters, at most %d).",
                                                static_cast<int>(path.size()), static_cast<int>(kPathBufferSize) - 1);
      MessageBoxA(Handle(), message.c_str(), "Options", MB_OK | MB_ICONERROR);
      return;
    }
    g_settings.assemblerPath = path;
    g_settings.reopenProject = IsDlgButtonChecked(Handle(), IDC_OPTIONS_REOPENPROJECT) == BST_CHECKED;
    End(1);
  }
  // "...": a confirmed choice is kept at once, whatever becomes of the dialog.
  void BrowseForAssembler() {
    std::string path;
    if (!ChooseFileToOpen(Handle(), g_settings.startDirectory, kExecutableFilter, path, nullptr, "Find AS1600")) return;
    g_settings.assemblerPath = path;
    SetText(IDC_OPTIONS_PATH, path);
  }
};

}  // namespace

int ShowIdeOptions(HWND owner) { return IdeOptionsDialog().RunModal(owner, IDD_OPTIONS) == 1 ? 1 : 0; }

}  // namespace quillon
