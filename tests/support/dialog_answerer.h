// Answers modal boxes and dialogs through their real windows, from a watcher thread.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace quillon::test {

// What a box or dialog showed when it was answered.
struct SeenBox {
  std::string caption;
  std::string text;  // the message of a message box; empty for other dialogs
};

std::string WindowText(HWND window);
// The message text of a message box (its static control 0xFFFF).
std::string MessageBoxText(HWND box);
// Presses a button of a dialog as a click would.
void PressButton(HWND dialog, int id);
// Sets the text of a dialog's control.
void SetControlText(HWND dialog, int id, const std::string& text);
// The text of the item selected in a folder browser's tree; empty when none is.
std::string SelectedFolderName(HWND browser);

class DialogAnswerer {
 public:
  // Runs `answer` on the watcher thread for each new dialog window of the given process
  // (by default this one) that becomes visible.
  using Answer = std::function<void(HWND dialog, const SeenBox& seen)>;
  explicit DialogAnswerer(Answer answer, DWORD processId = GetCurrentProcessId());
  ~DialogAnswerer();
  DialogAnswerer(const DialogAnswerer&) = delete;
  DialogAnswerer& operator=(const DialogAnswerer&) = delete;

  std::vector<SeenBox> Seen() const;

  // An answer that presses the same button in every box.
  static Answer Press(int id);

 private:
  void Watch();

  Answer answer_;
  DWORD processId_;
  std::atomic<bool> stop_{false};
  mutable std::mutex mutex_;
  std::vector<SeenBox> seen_;
  std::set<HWND> handled_;
  std::thread thread_;
};

}  // namespace quillon::test
