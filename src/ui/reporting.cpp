#include "ui/reporting.h"

#include <commctrl.h>

#include <cstdarg>

#include "base/text_util.h"
#include "ui/app_state.h"

namespace quillon {

std::string SystemErrorText(DWORD code) {
  char* text = nullptr;
  FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                 code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&text), 0, nullptr);
  std::string result = text ? text : "error " + std::to_string(code);
  if (text) LocalFree(text);
  while (!result.empty() && (result.back() == '\n' || result.back() == '\r' || result.back() == ' ')) result.pop_back();
  return result;
}

void ReportFailure(HWND owner, const std::string& what, const std::string& path) {
  MessageBoxA(owner, what.c_str(), path.empty() ? "Error" : path.c_str(), MB_OK | MB_ICONERROR);
}

void ShowLastErrorBox(const char* caption) {
  DWORD code = GetLastError();
  char* text = nullptr;
  FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                 code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&text), 0, nullptr);
  MessageBoxA(nullptr, text ? text : "", caption, MB_OK | MB_ICONINFORMATION);
  if (text) LocalFree(text);
}

void SetWindowTextFormat(HWND window, const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = FormatLimitedV(kFormatBufferSize, format, args);
  va_end(args);
  SetWindowTextA(window, text.c_str());
}

void ShowStatusNote(const char* text) {
  if (!g_app.statusBar) return;
  SendMessageA(g_app.statusBar, SB_SIMPLE, FALSE, 0);
  SendMessageA(g_app.statusBar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text));
}

void ClearStatusNote() {
  if (g_app.statusBar) SendMessageA(g_app.statusBar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(""));
}

}  // namespace quillon
