#include "support/test_files.h"

#include <shlobj.h>
#include <tlhelp32.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>

namespace quillon::test {

namespace {

// Calls `visit` with each process `parentId` started that runs `exeName` (any when empty), until
// it returns false. False when the processes could not be listed.
bool VisitChildren(DWORD parentId, const std::string& exeName, const std::function<bool(DWORD)>& visit) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    if (entry.th32ParentProcessID != parentId) continue;
    if (!exeName.empty() && lstrcmpiA(entry.szExeFile, exeName.c_str()) != 0) continue;
    if (!visit(entry.th32ProcessID)) break;
  }
  CloseHandle(snapshot);
  return true;
}

}  // namespace

std::string TempFolder(const std::string& name) {
  char temp[MAX_PATH] = "";
  GetTempPathA(MAX_PATH, temp);
  std::string folder = std::string(temp) + name;
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

void WriteText(const std::string& path, const std::string& text) {
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  std::ofstream(path, std::ios::binary) << text;
}

std::string ProgramFolder() {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, sizeof path);
  std::string folder = path;
  return folder.substr(0, folder.rfind('\\'));
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool StartProcess(const std::string& commandLine, const std::string& folder, PROCESS_INFORMATION* started) {
  std::string line = commandLine;  // CreateProcessA may write into the command line
  STARTUPINFOA si{};
  si.cb = sizeof si;
  *started = {};
  const BOOL ok = CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 folder.empty() ? nullptr : folder.c_str(), &si, started);
  const DWORD error = GetLastError();
  SetLastError(error);  // for the caller's report, whatever freeing the copy did
  return ok != FALSE;
}

int ChildProcessCount(DWORD parentId, const std::string& exeName) {
  int count = 0;
  const bool listed = VisitChildren(parentId, exeName, [&](DWORD) {
    ++count;
    return true;
  });
  return listed ? count : -1;
}

DWORD ChildProcessId(DWORD parentId, const std::string& exeName) {
  DWORD found = 0;
  VisitChildren(parentId, exeName, [&](DWORD id) {
    found = id;
    return false;
  });
  return found;
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

HDROP MakeDrop(const std::vector<std::string>& files) {
  size_t size = sizeof(DROPFILES) + 1;
  for (const auto& f : files) size += f.size() + 1;
  HGLOBAL memory = GlobalAlloc(GHND, size);
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = FALSE;
  char* p = reinterpret_cast<char*>(drop) + sizeof(DROPFILES);
  for (const auto& f : files) {
    std::memcpy(p, f.c_str(), f.size() + 1);
    p += f.size() + 1;
  }
  *p = '\0';
  GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

}  // namespace quillon::test
