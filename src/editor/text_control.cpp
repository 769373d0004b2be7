#include "editor/text_control.h"

#include <richedit.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "base/text_util.h"
#include "ui/app_state.h"

namespace quillon {

namespace {

struct InStream {
  const std::string& text;
  std::size_t next = 0;
  std::size_t failAt = static_cast<std::size_t>(-1);
};

std::size_t g_failStreamInAt = static_cast<std::size_t>(-1);

DWORD CALLBACK ReadFromText(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* got) {
  auto* in = reinterpret_cast<InStream*>(cookie);
  if (in->next >= in->failAt) {
    *got = 0;
    return 1;
  }
  std::size_t count = std::min(static_cast<std::size_t>(wanted > 0 ? wanted : 0), in->text.size() - in->next);
  if (in->next == 0 && count > 1 && static_cast<unsigned char>(in->text[0]) == 0xEF) count = 1;
  if (count > 1 && in->text[in->next + count - 1] == '\r' && in->next + count < in->text.size()) --count;
  std::memcpy(buffer, in->text.data() + in->next, count);
  in->next += count;
  *got = static_cast<LONG>(count);
  return 0;
}

DWORD CALLBACK WriteToText(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* written) {
  auto* out = reinterpret_cast<std::string*>(cookie);
  try {
    out->append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(count));
  } catch (...) {
    *written = 0;
    return 1;
  }
  *written = count;
  return 0;
}

}  // namespace

Subclass& TextControlSubclass() {
  static Subclass subclass;
  return subclass;
}

LRESULT CallTextControl(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
  return TextControlSubclass().CallOriginal(edit, message, wParam, lParam);
}

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

ScopedEventMask::ScopedEventMask(HWND edit, DWORD off)
    : edit_(edit), saved_(static_cast<DWORD>(SendMessageA(edit, EM_GETEVENTMASK, 0, 0))) {
  SendMessageA(edit_, EM_SETEVENTMASK, 0, saved_ & ~off);
}

ScopedEventMask::~ScopedEventMask() { SendMessageA(edit_, EM_SETEVENTMASK, 0, saved_); }

ScopedRedrawOff::ScopedRedrawOff(HWND edit) : edit_(edit) { SendMessageA(edit_, WM_SETREDRAW, FALSE, 0); }

ScopedRedrawOff::~ScopedRedrawOff() {
  if (!IsWindow(edit_)) return;
  SendMessageA(edit_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(edit_, nullptr, TRUE);
}

void SetDocumentEventMask(HWND edit) {
  SendMessageA(edit, EM_SETEVENTMASK, 0,
               ENM_CHANGE | ENM_UPDATE | ENM_SCROLL | ENM_SCROLLEVENTS | ENM_KEYEVENTS | ENM_MOUSEEVENTS |
                   ENM_DROPFILES | ENM_SELCHANGE);
}

bool StreamIn(HWND edit, const std::string& data, WPARAM format) {
  InStream in{data};
  std::swap(in.failAt, g_failStreamInAt);
  EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&in), 0, ReadFromText};
  SendMessageA(edit, EM_STREAMIN, format, reinterpret_cast<LPARAM>(&stream));
  return stream.dwError == 0 && in.next == data.size();
}

void FailNextStreamInAfter(std::size_t bytes) { g_failStreamInAt = bytes; }

void StreamTextIn(HWND edit, const std::string& text) {
  ScopedEventMask quiet(edit);
  StreamIn(edit, text, SF_TEXT);
}

bool StreamTextOut(HWND edit, std::string& text) {
  text.clear();
  EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&text), 0, WriteToText};
  SendMessageA(edit, EM_STREAMOUT, SF_TEXT, reinterpret_cast<LPARAM>(&stream));
  return stream.dwError == 0;
}

long TextLength(HWND edit) {
  GETTEXTLENGTHEX request{GTL_NUMCHARS | GTL_PRECISE, CP_ACP};
  return static_cast<long>(SendMessageA(edit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&request), 0));
}

long TextByteLength(HWND edit) {
  // A single-byte code page has a byte a character. Otherwise the text is read: Wine's control
  // answers GTL_NUMBYTES with two bytes a character, whatever the code page.
  const long characters = TextLength(edit);
  if (!DoubleByteCodePage()) return characters;
  return static_cast<long>(TextRange(edit, 0, characters).size());
}

bool DoubleByteCodePage() {
  static const bool doubleByte = [] {
    CPINFO info{};
    return GetCPInfo(CP_ACP, &info) && info.MaxCharSize == 2;
  }();
  return doubleByte;
}

bool IsLeadByte(unsigned char c) { return IsDBCSLeadByte(c) != 0; }

long TextLimit(HWND edit) { return static_cast<long>(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0)); }

void SetTextLimit(HWND edit, long characters) { SendMessageA(edit, EM_EXLIMITTEXT, 0, characters); }

long EnsureTextLimit(HWND edit, long long length, long long room) {
  const long long needed = std::min(length + room, 0x7FFFFFFELL);
  if (needed <= TextLimit(edit)) return 0;
  SetTextLimit(edit, static_cast<long>(needed));
  return static_cast<long>(needed);
}

int LineCount(HWND edit) { return static_cast<int>(SendMessageA(edit, EM_GETLINECOUNT, 0, 0)); }

long LineIndex(HWND edit, int line) { return static_cast<long>(SendMessageA(edit, EM_LINEINDEX, line, 0)); }

int FirstVisibleLine(HWND edit) { return static_cast<int>(SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0)); }

void ScrollLines(HWND edit, int lines) { SendMessageA(edit, EM_LINESCROLL, 0, lines); }

POINT ScrollPosition(HWND edit) {
  POINT at{};
  SendMessageA(edit, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&at));
  POINTL first{};  // the text's first character sits at its top less the scroll
  SendMessageA(edit, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&first), 0);
  at.y = -first.y;
  return at;
}

void SetScrollPosition(HWND edit, POINT at) { SendMessageA(edit, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&at)); }

void SetSelection(HWND edit, long start, long end) { SendMessageA(edit, EM_SETSEL, start, end); }

void GetSelection(HWND edit, long& start, long& end) {
  DWORD s = 0, e = 0;
  SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  start = static_cast<long>(s);
  end = static_cast<long>(e);
}

std::string TextRange(HWND edit, long start, long end) {
  if (end <= start) return {};
  // Two bytes a character: a double-byte code page writes up to that many.
  std::vector<char> buffer(2 * static_cast<std::size_t>(end - start) + 2, '\0');
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
