#include "app/about_box.h"

#include <shellapi.h>

#include "base/version.h"
#include "resource.h"
#include "ui/dialog.h"
#include "ui/dialogs.h"

namespace quillon {

namespace {

constexpr const char* kProductName = "Quillon";
constexpr const char* kContactLink = "mailto:quillon@larkspurworks.example";
constexpr const char* kWebSite = "https://larkspurworks.example/quillon";

class AboutBox : public Dialog {
 protected:
  bool OnInit() override {
    CentreOnScreen(Handle());
    SetText(IDC_ABOUT_VERSION, VersionText(kProductName, kPackedVersion));
    SetFocus(Item(IDOK));  // Enter closes the box rather than starting the mail program
    return false;
  }
  bool OnCommand(int id, int code) override {
    switch (id) {
      case IDOK:
        End(0);
        return true;
      case IDC_ABOUT_EMAIL:
        OpenWithShell(kContactLink);
        return true;
      case IDC_ABOUT_WEBSITE:
        OpenWithShell(kWebSite);
        return true;
    }
    return Dialog::OnCommand(id, code);
  }

 private:
  void OpenWithShell(const char* address) { ShellExecuteA(Handle(), "open", address, nullptr, nullptr, SW_SHOWNORMAL); }
};

}  // namespace

void ShowAbout(HWND owner) { AboutBox().RunModal(owner, IDD_ABOUT); }

}  // namespace quillon
