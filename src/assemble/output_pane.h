// The output pane along the bottom of the frame: a list of build lines, some with a jump target.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "assemble/error_navigation.h"
#include "assemble/output_sink.h"
#include "ui/window.h"

namespace quillon {

inline constexpr const char* kOutputPaneClass = "QUILLON_OUTPUTPANE";

// Where a line of the pane leads: a file as the listing named it and a zero-based line.
struct ErrorLocation {
  std::string file;
  int line = -1;
};

class OutputPane : public OutputSink, public WindowObject {
 public:
  // Creates the pane window with its list box and shows it.
  OutputPane(HWND frame, HINSTANCE instance);
  ~OutputPane() override;
  OutputPane(const OutputPane&) = delete;
  OutputPane& operator=(const OutputPane&) = delete;

  // Appends a line; a non-empty `file` makes it a jump target.
  void AddLine(const std::string& text, const std::string& file, int line) override;
  // Removes every line and releases their jump targets.
  void Clear();
  // Shows the lines added since the last call (the pane does it itself 40 ms after a burst of
  // lines begins): scrolls to the last line unless the user had scrolled up, fits the
  // horizontal extent, draws the gutters' marks again.
  void Flush();
  void Show();
  void Hide();
  void Move(int x, int y, int width, int height);

  bool IsShown() const { return shown_; }
  HWND Window() const { return Handle(); }
  HWND List() const { return list_; }
  // Jump targets currently held.
  std::size_t LocationCount() const { return locations_.size(); }
  // How line `index` is drawn (kPlain for lines that are not there).
  OutputLineKind KindOf(int index) const;

  void OnDoubleClick();
  // Next Error / Previous Error: selects the next (previous) line with a jump target after
  // (before) the selected one, opens its file with the line centred and selected. At the end
  // a status-bar note says so. True when a line was opened.
  bool GoToError(bool forward);
  // The selected lines to the clipboard, each with CR LF. False when nothing is selected or it
  // cannot be copied.
  bool CopySelection();
  // The line with the selection's caret; -1 when no line is selected.
  int CurrentLine() const;
  // Selects line `index` alone, the caret on it, in view.
  void SelectLine(int index);

 private:
  bool OnSize(WPARAM kind, int width, int height) override;
  bool OnSizing(WPARAM edge, RECT* proposed) override;
  bool OnCommand(WPARAM wParam, LPARAM lParam) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  void OpenLine(int index);
  void FollowNewLine(int index);
  bool IsLastLineVisible() const;
  void FitExtent(const std::string& text);
  void DrawLine(const DRAWITEMSTRUCT& item);
  void ShowMenu(LPARAM where);

  HWND frame_;
  HINSTANCE instance_;
  HWND list_ = nullptr;
  HFONT font_ = nullptr;
  int lineHeight_ = 16;
  int extent_ = 0;  // the widest line in pixels, as the horizontal scroll range
  bool shown_ = false;
  bool marksChanged_ = false;          // marks added since the gutters were last drawn
  bool batching_ = false;              // lines added while the list does not redraw
  bool followEnd_ = false;             // the last line was in view when the burst began
  std::vector<OutputLineKind> kinds_;  // by line
  std::vector<std::string> texts_;     // by line, as added
  // The records whose addresses the list box items carry.
  std::vector<std::unique_ptr<ErrorLocation>> locations_;
};

// The pane's operations, carried out on the thread that owns the pane window while the calling
// thread waits; the build worker writes through this.
class PaneMessenger : public OutputSink {
 public:
  explicit PaneMessenger(HWND paneWindow) : pane_(paneWindow) {}
  void AddLine(const std::string& text, const std::string& file, int line) override;
  void Clear();
  void Show();

 private:
  HWND pane_;
};

}  // namespace quillon
