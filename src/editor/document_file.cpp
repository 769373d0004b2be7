#include "editor/document_file.h"

#include <cstdint>
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

void SetDocumentFiles(FileSystem* files) { g_files = files; }

FileStamp StampOfFile(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  FileStamp stamp;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return stamp;
  stamp.known = true;
  stamp.writeTime =
      (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
  stamp.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
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
  // The text shown until now, to put back when the control takes the new one only in part.
  std::string shown;
  if (ok) {
    try {
      ok = StreamTextOut(edit, shown);
    } catch (const std::bad_alloc&) {
      ok = false;
    }
  }
  if (ok) {
    EnsureTextLimit(edit, static_cast<long long>(text.size()));  // the whole text fits, with room to type on
    FitGutterBeforeText(edit, text);
    FitTextViewBeforeText(GetParent(edit), text);
    if (!PutColouredText(edit, text)) {
      text.clear();
      text.shrink_to_fit();  // room for the old text
      const bool back = PutColouredText(edit, shown);
      FitGutterBeforeText(edit, shown);
      FitTextViewBeforeText(GetParent(edit), shown);
      ReportFailure(GetParent(edit),
                    back
                        ? "Unable to open file.\nThe editor could not take the whole text; the text shown is as it was."
                        : "Unable to open file.\nThe editor could not take the whole text, nor put the old text back.",
                    path);
      return false;
    }
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
