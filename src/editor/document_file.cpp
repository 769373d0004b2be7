#include "editor/document_file.h"

#include <algorithm>
#include <new>

#include "base/text_util.h"
#include "editor/colouring.h"
#include "editor/document.h"
#include "editor/text_control.h"

namespace quillon {

namespace {

constexpr DWORD kBlockSize = 64 * 1024;

FileOperations g_systemOperations;
FileOperations* g_operations = &g_systemOperations;

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

FileStamp StampOfHandle(HANDLE file) {
  FileStamp stamp;
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(file, &info)) return stamp;
  stamp.known = true;
  stamp.writeTime = info.ftLastWriteTime;
  stamp.size = (static_cast<ULONGLONG>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  return stamp;
}

bool ReadAll(HANDLE file, std::string& bytes, FileStamp& stamp) {
  stamp = StampOfHandle(file);
  if (stamp.known && stamp.size > 0x7FFFFFFE) return false;
  bytes.reserve(static_cast<std::size_t>(stamp.size));
  std::string block(kBlockSize, '\0');
  for (;;) {
    DWORD read = 0;
    if (!g_operations->Read(file, block.data(), kBlockSize, read)) return false;
    if (read == 0) return true;
    bytes.append(block.data(), read);
  }
}

bool WriteAll(HANDLE file, const std::string& bytes) {
  for (std::size_t done = 0; done < bytes.size();) {
    const DWORD size = static_cast<DWORD>(std::min<std::size_t>(kBlockSize, bytes.size() - done));
    DWORD written = 0;
    if (!g_operations->Write(file, bytes.data() + done, size, written) || written != size) return false;
    done += size;
  }
  return true;
}

std::string FolderForTemporaryFile(const std::string& path) {
  std::string folder = FolderOf(path);
  return folder == path ? std::string(".") : folder;
}

void ReportOpenFailure(HWND edit, const std::string& path) {
  MessageBoxA(edit ? GetParent(edit) : nullptr, "Unable to open file.", path.c_str(), MB_OK | MB_ICONERROR);
}

}  // namespace

bool FileStamp::operator==(const FileStamp& other) const {
  return known == other.known && size == other.size && CompareFileTime(&writeTime, &other.writeTime) == 0;
}

bool FileOperations::Read(HANDLE file, void* buffer, DWORD size, DWORD& read) {
  return ReadFile(file, buffer, size, &read, nullptr) != 0;
}

bool FileOperations::Write(HANDLE file, const void* data, DWORD size, DWORD& written) {
  return WriteFile(file, data, size, &written, nullptr) != 0;
}

bool FileOperations::Flush(HANDLE file) { return FlushFileBuffers(file) != 0; }

bool FileOperations::Close(HANDLE file) { return CloseHandle(file) != 0; }

bool FileOperations::Replace(const std::string& from, const std::string& to) {
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void SetFileOperations(FileOperations* operations) { g_operations = operations ? operations : &g_systemOperations; }

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
  HANDLE file = edit ? CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr)
                     : INVALID_HANDLE_VALUE;
  if (file == INVALID_HANDLE_VALUE) {
    ReportOpenFailure(edit, path);
    return false;
  }
  std::string bytes;
  FileStamp stamp;
  bool ok = false;
  try {
    ok = ReadAll(file, bytes, stamp);
  } catch (const std::bad_alloc&) {  // a file larger than the memory left
  }
  ok = g_operations->Close(file) && ok;
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
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
    return false;
  std::string text;
  if (!StreamTextOut(edit, text)) return false;
  const std::string bytes = FileBytesFromText(text, state.format);

  char temporary[MAX_PATH] = "";
  if (!GetTempFileNameA(FolderForTemporaryFile(path).c_str(), "qln", 0, temporary)) return false;
  HANDLE file = CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    DeleteFileA(temporary);
    return false;
  }
  bool ok = WriteAll(file, bytes);
  ok = ok && g_operations->Flush(file);
  ok = g_operations->Close(file) && ok;
  if (ok && attributes != INVALID_FILE_ATTRIBUTES) SetFileAttributesA(temporary, attributes);
  ok = ok && g_operations->Replace(temporary, path);
  if (!ok) {
    SetFileAttributesA(temporary, FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(temporary);
    return false;
  }
  state.stamp = StampOfFile(path);
  return true;
}

}  // namespace quillon
