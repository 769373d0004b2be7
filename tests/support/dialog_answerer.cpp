#include "support/dialog_answerer.h"

#include <commctrl.h>

#include <chrono>

namespace quillon::test {

std::string WindowText(HWND window) {
  char buffer[1024] = "";
  GetWindowTextA(window, buffer, sizeof buffer);
  return buffer;
}

std::string MessageBoxText(HWND box) {
  char buffer[1024] = "";
  GetDlgItemTextA(box, 0xFFFF, buffer, sizeof buffer);
  return buffer;
}

void PressButton(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void SetControlText(HWND dialog, int id, const std::string& text) {
  SendMessageA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::string SelectedFolderName(HWND browser) {
  HWND tree = FindWindowExA(browser, nullptr, WC_TREEVIEWA, nullptr);
  HTREEITEM item = tree ? TreeView_GetSelection(tree) : nullptr;
  if (!item) return {};
  char text[MAX_PATH] = "";
  TVITEMA data{};
  data.mask = TVIF_TEXT;
  data.hItem = item;
  data.pszText = text;
  data.cchTextMax = sizeof text;
  SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
  return text;
}

DialogAnswerer::Answer DialogAnswerer::Press(int id) {
  return [id](HWND dialog, const SeenBox&) { PressButton(dialog, id); };
}

DialogAnswerer::DialogAnswerer(Answer answer, DWORD processId)
    : answer_(std::move(answer)), processId_(processId), thread_([this] { Watch(); }) {}

DialogAnswerer::~DialogAnswerer() {
  stop_ = true;
  thread_.join();
}

std::vector<SeenBox> DialogAnswerer::Seen() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return seen_;
}

namespace {

struct Search {
  DWORD processId;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectDialog(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<Search*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != search->processId || !IsWindowVisible(window)) return TRUE;
  char cls[64] = "";
  GetClassNameA(window, cls, sizeof cls);
  if (std::string(cls) == "#32770") search->found.push_back(window);
  return TRUE;
}

}  // namespace

void DialogAnswerer::Watch() {
  while (!stop_) {
    Search search{processId_, {}};
    EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&search));
    for (HWND dialog : search.found) {
      {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!handled_.insert(dialog).second) continue;
      }
      // Let the dialog finish its initialisation before reading it.
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      SeenBox seen{WindowText(dialog), MessageBoxText(dialog)};
      {
        std::lock_guard<std::mutex> lock(mutex_);
        seen_.push_back(seen);
      }
      answer_(dialog, seen);
    }
    // Forget windows that have gone, so a new window that reuses a handle is answered too.
    {
      std::lock_guard<std::mutex> lock(mutex_);
      for (auto it = handled_.begin(); it != handled_.end();) it = IsWindow(*it) ? std::next(it) : handled_.erase(it);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

}  // namespace quillon::test
