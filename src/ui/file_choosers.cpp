#include "ui/file_choosers.h"

#include <commctrl.h>
#include <commdlg.h>
#include <objbase.h>
#include <shlobj.h>

#include "base/text_util.h"

namespace quillon {

namespace {

using ChooserCall = BOOL(WINAPI*)(LPOPENFILENAMEA);

bool RunFileChooser(ChooserCall call, DWORD flags, HWND owner, const std::string& initialFolder, const char* filter,
                    std::string& path, std::string* fileTitle, const char* title) {
  char file[kPathBufferSize];
  char name[kPathBufferSize] = "";
  CopyLimited(file, sizeof file, path);

  OPENFILENAMEA ofn{};
  ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;  // the classic layout, understood by every Windows
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter;
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.lpstrFileTitle = name;
  ofn.nMaxFileTitle = sizeof name;
  ofn.lpstrInitialDir = initialFolder.c_str();
  ofn.lpstrTitle = title;
  ofn.Flags = flags;
  if (!call(&ofn)) return false;

  path = file;
  if (fileTitle) *fileTitle = name;
  return true;
}

}  // namespace

bool ChooseFileToOpen(HWND owner, const std::string& initialFolder, const char* filter, std::string& path,
                      std::string* fileTitle, const char* title) {
  return RunFileChooser(GetOpenFileNameA, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, owner, initialFolder, filter, path,
                        fileTitle, title);
}

bool ChooseFileToSave(HWND owner, const std::string& initialFolder, const char* filter, std::string& path,
                      std::string* fileTitle, const char* title) {
  return RunFileChooser(GetSaveFileNameA, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, owner, initialFolder, filter, path,
                        fileTitle, title);
}

namespace {

// The initial folder of the browser this thread shows, and how long to keep it selected.
struct BrowseStart {
  const char* folder = nullptr;
  int checksLeft = 0;
};
thread_local BrowseStart t_browseStart;

constexpr UINT_PTR kReselectTimer = 1;
constexpr UINT kReselectMs = 250;
constexpr int kReselectChecks = 12;

// In a fresh Wine session the browser has been seen to end up on its top item just after it
// opened. For a few seconds the initial folder is selected again whenever that happens.
VOID CALLBACK ReselectInitialFolder(HWND browser, UINT, UINT_PTR timer, DWORD) {
  HWND tree = FindWindowExA(browser, nullptr, WC_TREEVIEWA, nullptr);
  if (!t_browseStart.folder || !tree || --t_browseStart.checksLeft < 0) {
    KillTimer(browser, timer);
    return;
  }
  const HTREEITEM selected = TreeView_GetSelection(tree);
  if (!selected || selected == TreeView_GetRoot(tree))
    SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(t_browseStart.folder));
}

// Selects the initial folder (the callback data) once the browser is up.
int CALLBACK SelectInitialFolder(HWND browser, UINT message, LPARAM, LPARAM data) {
  if (message != BFFM_INITIALIZED) return 0;
  SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, data);
  t_browseStart = BrowseStart{reinterpret_cast<const char*>(data), kReselectChecks};
  SetTimer(browser, kReselectTimer, kReselectMs, ReselectInitialFolder);
  return 0;
}

// The item list of `folder` below the desktop, or none (a message box when the desktop is out of reach).
LPITEMIDLIST ParseRootFolder(const char* folder) {
  IShellFolder* desktop = nullptr;
  if (FAILED(SHGetDesktopFolder(&desktop))) {
    MessageBoxA(nullptr, "SHGetDesktopFolder", "", MB_OK);
    return nullptr;
  }
  WCHAR wide[kPathBufferSize] = L"";
  MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, folder, -1, wide, kPathBufferSize);
  wide[kPathBufferSize - 1] = L'\0';
  LPITEMIDLIST root = nullptr;
  if (FAILED(desktop->ParseDisplayName(nullptr, nullptr, wide, nullptr, &root, nullptr))) root = nullptr;
  desktop->Release();
  return root;
}

}  // namespace

bool BrowseForFolder(HWND owner, const std::string& initialFolder, const char* title, std::string& path,
                     UINT extraFlags, const char* rootFolder) {
  IMalloc* allocator = nullptr;
  if (FAILED(SHGetMalloc(&allocator))) return false;
  // The browser is a COM client; this thread may not have joined COM yet.
  const HRESULT com = CoInitialize(nullptr);

  char chosen[kPathBufferSize] = "";
  LPITEMIDLIST root = rootFolder ? ParseRootFolder(rootFolder) : nullptr;

  BROWSEINFOA info{};
  info.hwndOwner = owner;
  info.pidlRoot = root;
  info.pszDisplayName = chosen;
  info.lpszTitle = title;
  info.ulFlags = BIF_RETURNONLYFSDIRS | extraFlags;
  info.lpfn = SelectInitialFolder;
  info.lParam = reinterpret_cast<LPARAM>(initialFolder.c_str());

  bool ok = false;
  LPITEMIDLIST item = SHBrowseForFolderA(&info);
  t_browseStart = BrowseStart{};
  if (item) {
    // A chosen item without a file-system path is no folder to return.
    ok = SHGetPathFromIDListA(item, chosen) && chosen[0] != '\0';
    allocator->Free(item);
  }
  if (ok) path = chosen;

  if (root) allocator->Free(root);
  if (SUCCEEDED(com)) CoUninitialize();
  allocator->Release();
  return ok;
}

}  // namespace quillon
