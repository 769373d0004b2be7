// Reporting to the user: the last-error box and formatted window texts.
#pragma once

#include <windows.h>

#include <string>

namespace quillon {

// The system's text for an error code, without its line end.
std::string SystemErrorText(DWORD code);

// Reports a failure in a box over `owner`: `what` went wrong ("Unable to save file."), with the
// file it concerns as the caption, or "Error" when it concerns none.
void ReportFailure(HWND owner, const std::string& what, const std::string& path = std::string());

// Shows the system's text for the calling thread's last error, with the given caption.
void ShowLastErrorBox(const char* caption);

// Sets a window's text from a printf format, cut to 255 characters.
void SetWindowTextFormat(HWND window, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Shows a short note (such as "Passed the end of the document") in the first part of the
// status bar, where a box would be in the way.
void ShowStatusNote(const char* text);
// Removes that note (menu help, when shown, stays).
void ClearStatusNote();

}  // namespace quillon
