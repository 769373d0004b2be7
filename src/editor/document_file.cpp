#include "editor/document_file.h"

#include <new>

#include "base/file_io.h"
#include "base/text_util.h"
#include "editor/colouring.h"
#include "editor/document.h"
#include "editor/gutter.h"
#include "editor/text_control.h"
#include "editor/text_view.h"

namespace quillon {

namespace {

FileSystem* g_files = nullptr;  // null: the system's

FileSystem& Files() { return g_files ? *g_files : SystemFiles(); }

// Raises the control's limit so that the whole text fits, with the usual room to type on.
void FitTextLimit(HWND edit, std::size_t textSize) {
  const LONGLONG room = static_cast<LONGLONG>(kDefaultTextLimitKb) * 1024;
  LONGLONG needed = static_cast<LONGLONG>(textSize) + room;
  if (needed > 0x7FFFFFFE) needed = 0x7FFFFFFE;
  if (needed > TextLimit(edit)) {
    SetTextLimit(edit, static_cast<long>(needed));
    if (Document* document = GetDocument(GetParent(edit)))
      document->textLimitKb = static_cast<int>((needed + 1023) / 1024);
  }
}

void ReportOpenFailure(HWND edit, const std::string& path) {
  MessageBoxA(edit ? GetParent(edit) : nullptr, "Unable to open file.", path.c_str(), MB_OK | MB_ICONERROR);
}

}  // namespace

bool FileStamp::operator==(const FileStamp& other) const {
  return known == other.known && size == other.size && CompareFileTime(&writeTime, &other.writeTime) == 0;
}

void SetDocumentFiles(FileSystem* files) { g_files = files; }

FileStamp StampOfFile(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  FileStamp stamp;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return stamp;
  stamp.known = true;
  stamp.writeTime = data.ftLastWriteTime;
  stamp.size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  return stamp;
}

bool ReadDocumentFile(HWND edit, const std::string& path, FileState& state) {
  const FileStamp stamp = StampOfFile(path);  // before reading: a change meanwhile shows later
  bool ok = edit && !(stamp.known && stamp.size > 0x7FFFFFFE);
  std::string bytes;
  try {
    ok = ok && ReadWholeFile(Files(), path, bytes);
  } catch (const std::bad_alloc&) {  // a file larger than the memory left
    ok = false;
  }
  FileFormat format;
  std::string text;
  if (ok) {
    try {
      text = TextFromFileBytes(bytes, format);
    } catch (const std::bad_alloc&) {
      ok = false;
    }
  }
  if (ok) {
    FitTextLimit(edit, text.size());
    FitGutterBeforeText(edit, text);
    FitTextViewBeforeText(GetParent(edit), text);
    ok = PutColouredText(edit, text);
  }
  if (!ok) {
    ReportOpenFailure(edit, path);
    return false;
  }
  state.format = format;
  state.stamp = stamp;
  return true;
}

bool WriteDocumentFile(HWND edit, const std::string& path, FileState& state) {
  if (!edit) return false;  // never replace a file with the empty text of a missing control
  std::string text;
  if (!StreamTextOut(edit, text)) return false;
  if (!WriteFileReplacing(Files(), path, FileBytesFromText(text, state.format))) return false;
  state.format.mixedLineEnds = false;  // every break is now in the one style written
  state.stamp = StampOfFile(path);
  return true;
}

}  // namespace quillon
