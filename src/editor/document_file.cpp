#include "editor/document_file.h"

#include <new>

#include "base/file_io.h"
#include "base/text_util.h"
#include "editor/colouring.h"
#include "editor/gutter.h"
#include "editor/text_control.h"
#include "editor/text_view.h"
#include "ui/reporting.h"

namespace quillon {

namespace {

FileSystem* g_files = nullptr;  // null: the system's

FileSystem& Files() { return g_files ? *g_files : SystemFiles(); }

void ReportOpenFailure(HWND edit, const std::string& path) {
  ReportFailure(edit ? GetParent(edit) : nullptr, "Unable to open file.", path);
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
    EnsureTextLimit(edit, static_cast<long long>(text.size()));  // the whole text fits, with room to type on
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
