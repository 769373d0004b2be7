// The view of a document's text. The text control never changes size once it is as large as
// the screen: under Wine each change of its size lays its whole text out again, seconds for a
// large text. The document window shows part of it, keeps the scroll bars, and moves the view
// (see view_place.h); the control's own scrolling, keys and caret are followed.
#pragma once

#include <windows.h>

#include <string>

namespace quillon {

// What the view follows once a message to the control is done (Document::follow).
inline constexpr int kFollowScroll = 1;  // the control scrolled or its text changed
inline constexpr int kFollowCaret = 2;   // the caret moved: it comes into view

// After a change of the window's size or of the gutter: the control grows when the window shows
// more than it holds, and keeps its place.
void PlaceTextView(HWND window);
// Before `text` goes into the control: the control grows now for its widest line, while it holds
// little text, not after (growing lays out all it holds); the new text is measured afresh.
void FitTextViewBeforeText(HWND window, const std::string& text);
// The view follows the control (Document::follow), and the scroll bars and gutter follow the view.
void FollowTextControl(HWND window);
// WM_VSCROLL (SB_VERT) and WM_HSCROLL (SB_HORZ) of the document window.
void ScrollTextView(HWND window, int bar, WPARAM request);
// A turn of the mouse wheel over the text or its window (WM_MOUSEWHEEL; WM_MOUSEHWHEEL sideways).
void TurnWheel(HWND window, WPARAM wParam, bool sideways);
// The first line the window shows (EM_GETFIRSTVISIBLELINE of the text).
int FirstShownLine(HWND window);
// The part of the control the window shows, in the control's client coordinates (EM_GETRECT of
// the text).
RECT ShownTextRect(HWND window);
// Moves the view by lines and columns (EM_LINESCROLL of the text).
void ScrollShownLines(HWND window, int columns, int lines);
// A mouse move over the text while the control holds the mouse (a selection being dragged):
// past the window's edge the view keeps scrolling on a timer, as the control does past its own.
void DragOverText(HWND window, LPARAM where);
// The timer's tick: the view scrolls toward the mouse and the selection follows. False for
// another timer.
bool DragTimerTick(HWND window, UINT_PTR timer);
// Page Up and Page Down: the caret goes a window's height of lines, and the view with it.
void PageTextView(HWND window, bool down);

}  // namespace quillon
