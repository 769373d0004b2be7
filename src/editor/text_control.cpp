#include "editor/text_control.h"

#include <richedit.h>
#include <shellapi.h>

#include <vector>

#include "base/text_util.h"
#include "ui/app_state.h"

namespace quillon {

namespace {

struct StreamState {
  HANDLE file;
  bool failed = false;
};

// A block never ends between the CR and LF of a line break: some controls would read the
// two halves as two line breaks. The CR is read again at the start of the next block.
DWORD CALLBACK ReadFromFile(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* got) {
  auto* state = reinterpret_cast<StreamState*>(cookie);
  DWORD read = 0;
  if (!ReadFile(state->file, buffer, static_cast<DWORD>(wanted), &read, nullptr)) {
    state->failed = true;
    *got = 0;
    return 1;
  }
  if (read > 1 && buffer[read - 1] == '\r' &&
      SetFilePointer(state->file, -1, nullptr, FILE_CURRENT) != INVALID_SET_FILE_POINTER)
    --read;
  *got = static_cast<LONG>(read);
  return 0;
}

DWORD CALLBACK WriteToFile(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* written) {
  auto* state = reinterpret_cast<StreamState*>(cookie);
  DWORD done = 0;
  if (!WriteFile(state->file, buffer, static_cast<DWORD>(count), &done, nullptr) || done != static_cast<DWORD>(count)) {
    state->failed = true;
    *written = 0;
    return 1;
  }
  *written = static_cast<LONG>(done);
  return 0;
}

}  // namespace

HWND CreateTextControl(HWND parent) {
  if (g_app.richEditClass.empty()) return nullptr;
  HWND edit = CreateWindowExA(0, g_app.richEditClass.c_str(), nullptr,
                              WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_NOHIDESEL |
                                  ES_WANTRETURN | ES_DISABLENOSCROLL,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, parent,
                              reinterpret_cast<HMENU>(kEditControlId), g_app.instance, nullptr);
  if (edit) ShowWindow(edit, SW_SHOWNORMAL);
  return edit;
}

bool StreamFileIn(HWND edit, HANDLE file) {
  LRESULT mask = SendMessageA(edit, EM_GETEVENTMASK, 0, 0);
  SendMessageA(edit, EM_SETEVENTMASK, 0, 0);
  StreamState state{file};
  EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&state), 0, ReadFromFile};
  SendMessageA(edit, EM_STREAMIN, SF_TEXT, reinterpret_cast<LPARAM>(&stream));
  SendMessageA(edit, EM_SETEVENTMASK, 0, mask);
  return !state.failed && stream.dwError == 0;
}

bool StreamFileOut(HWND edit, HANDLE file) {
  StreamState state{file};
  EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&state), 0, WriteToFile};
  SendMessageA(edit, EM_STREAMOUT, SF_TEXT, reinterpret_cast<LPARAM>(&stream));
  return !state.failed && stream.dwError == 0;
}

long TextLength(HWND edit) {
  GETTEXTLENGTHEX request{GTL_NUMCHARS | GTL_PRECISE, CP_ACP};
  return static_cast<long>(SendMessageA(edit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&request), 0));
}

long TextLimit(HWND edit) { return static_cast<long>(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0)); }

void SetTextLimit(HWND edit, long characters) { SendMessageA(edit, EM_EXLIMITTEXT, 0, characters); }

int LineCount(HWND edit) { return static_cast<int>(SendMessageA(edit, EM_GETLINECOUNT, 0, 0)); }

long LineIndex(HWND edit, int line) { return static_cast<long>(SendMessageA(edit, EM_LINEINDEX, line, 0)); }

int FirstVisibleLine(HWND edit) { return static_cast<int>(SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0)); }

void ScrollLines(HWND edit, int lines) { SendMessageA(edit, EM_LINESCROLL, 0, lines); }

void SetSelection(HWND edit, long start, long end) { SendMessageA(edit, EM_SETSEL, start, end); }

void GetSelection(HWND edit, long& start, long& end) {
  DWORD s = 0, e = 0;
  SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  start = static_cast<long>(s);
  end = static_cast<long>(e);
}

std::string TextRange(HWND edit, long start, long end) {
  if (end <= start) return {};
  std::vector<char> buffer(static_cast<std::size_t>(end - start) + 1, '\0');
  TEXTRANGEA range{{start, end}, buffer.data()};
  LRESULT n = SendMessageA(edit, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
  return std::string(buffer.data(), n > 0 ? static_cast<std::size_t>(n) : 0);
}

void SetTextFont(HWND edit, const std::string& face, int effects, int heightTwips) {
  CHARFORMATA format{};
  format.cbSize = sizeof format;
  format.dwMask = CFM_FACE | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE;
  format.dwEffects = static_cast<DWORD>(effects);
  CopyLimited(format.szFaceName, sizeof format.szFaceName, face);
  if (heightTwips != 0) {
    format.dwMask |= CFM_SIZE;
    format.yHeight = heightTwips;
  }
  SendMessageA(edit, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
}

}  // namespace quillon
