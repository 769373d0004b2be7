#include "editor/document_file.h"

#include <new>

#include "base/text_util.h"
#include "editor/colouring.h"
#include "editor/document.h"
#include "editor/text_control.h"

namespace quillon {

namespace {

// Raises the control's limit so that the whole file fits, with the usual room to type on.
void FitTextLimit(HWND edit, HANDLE file) {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file, &size)) return;
  const LONGLONG room = static_cast<LONGLONG>(kDefaultTextLimitKb) * 1024;
  LONGLONG needed = size.QuadPart + room;
  if (needed > 0x7FFFFFFE) needed = 0x7FFFFFFE;
  if (needed > TextLimit(edit)) {
    SetTextLimit(edit, static_cast<long>(needed));
    if (Document* document = GetDocument(GetParent(edit)))
      document->textLimitKb = static_cast<int>((needed + 1023) / 1024);
  }
}

// The whole contents of an open file; false when a read failed.
bool ReadWholeFile(HANDLE file, std::string& bytes) {
  bytes.clear();
  char block[65536];
  DWORD got = 0;
  do {
    if (!ReadFile(file, block, sizeof block, &got, nullptr)) return false;
    bytes.append(block, got);
  } while (got > 0);
  return true;
}

std::string FolderForTemporaryFile(const std::string& path) {
  std::string folder = FolderOf(path);
  return folder == path ? std::string(".") : folder;
}

}  // namespace

bool ReadDocumentFile(HWND edit, const std::string& path) {
  HANDLE file = edit ? CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr)
                     : INVALID_HANDLE_VALUE;
  if (file == INVALID_HANDLE_VALUE) {
    MessageBoxA(edit ? GetParent(edit) : nullptr, "Unable to open file.", path.c_str(), MB_OK | MB_ICONERROR);
    return false;
  }
  FitTextLimit(edit, file);
  std::string bytes;
  bool ok = false;
  try {
    ok = ReadWholeFile(file, bytes);
  } catch (const std::bad_alloc&) {  // a file larger than the memory left
  }
  CloseHandle(file);
  ok = ok && PutColouredText(edit, bytes);
  if (!ok) MessageBoxA(GetParent(edit), "Unable to open file.", path.c_str(), MB_OK | MB_ICONERROR);
  return ok;
}

bool WriteDocumentFile(HWND edit, const std::string& path) {
  if (!edit) return false;  // never replace a file with the empty text of a missing control
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
    return false;

  char temporary[MAX_PATH] = "";
  if (!GetTempFileNameA(FolderForTemporaryFile(path).c_str(), "qln", 0, temporary)) return false;
  HANDLE file = CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    DeleteFileA(temporary);
    return false;
  }
  bool ok = StreamFileOut(edit, file);
  ok = FlushFileBuffers(file) && ok;
  CloseHandle(file);
  if (ok) ok = MoveFileExA(temporary, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  if (!ok) DeleteFileA(temporary);
  return ok;
}

}  // namespace quillon
