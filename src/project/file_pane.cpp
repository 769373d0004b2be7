#include "project/file_pane.h"

#include <commctrl.h>

#include "base/recent_lists.h"
#include "base/text_util.h"
#include "editor/document_window.h"
#include "project/project.h"
#include "resource.h"
#include "ui/app_state.h"
#include "ui/dpi.h"
#include "ui/file_choosers.h"
#include "ui/frame_hooks.h"
#include "ui/reporting.h"
#include "ui/window.h"

namespace quillon {

namespace {

// Bitmap and mask of each image slot, in the order they go into the image list.
struct SlotImage {
  int slot;
  int bitmap;
  int mask;
};
constexpr SlotImage kSlotImages[kImageSlotCount] = {
    {kRootImage, IDB_TREE_ROOT, IDB_MASK_ROOT},
    {kSourceImage, IDB_TREE_SOURCE, IDB_MASK_SOURCE},
    {kMainSourceImage, IDB_TREE_MAINSOURCE, IDB_MASK_SOURCE},
    {kIncludeImage, IDB_TREE_INCLUDE, IDB_MASK_INCLUDE},
    {kGroupImage, IDB_TREE_GROUP, IDB_MASK_GROUP},
    {kOtherImage, IDB_TREE_OTHER, IDB_MASK_OTHER},
    {kListingImage, IDB_TREE_LISTING, IDB_MASK_LISTING},
};

HTREEITEM ItemOf(const ProjectNode* node) { return node ? static_cast<HTREEITEM>(node->viewItem) : nullptr; }

// A double-click acts on the node under the pointer only; a click beside the nodes does nothing.
bool SelectNodeUnderPointer(HWND tree) {
  const DWORD pos = GetMessagePos();
  TVHITTESTINFO hit{};
  hit.pt = {static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
  ScreenToClient(tree, &hit.pt);
  HTREEITEM item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  if (!item || !(hit.flags & TVHT_ONITEM)) return false;
  SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
  return true;
}

void RegisterFilePaneClass(HINSTANCE instance) {
  WindowClassSpec spec;
  spec.name = kFilePaneClass;
  spec.procedure = WindowObject::ClassProcedure<FilePane>;
  RegisterWindowClass(instance, spec);  // a second frame finds it registered already
}

// Chooses one existing file and adds it to the project with `add`, relative to the project folder
// when it lies inside it; the chooser's folder is remembered.
template <typename Add>
void AddFileCommand(HWND frame, Project& project, const char* filter, const char* title, Add add) {
  if (!project.loaded) return;
  std::string path, fileTitle;
  if (!ChooseFileToOpen(frame, g_settings.lastDirectory, filter, path, &fileTitle, title)) return;
  add(fileTitle, PortablePath(project.projectDir, path));
  g_settings.lastDirectory = FolderToRemember(path);
}

}  // namespace

FilePane::FilePane(HWND frame, HINSTANCE instance, Project& project)
    : frame_(frame), instance_(instance), project_(project) {
  RegisterFilePaneClass(instance);
  HWND window = Create(WS_EX_WINDOWEDGE, kFilePaneClass, WS_CHILD | WS_VISIBLE | WS_BORDER | WS_THICKFRAME, frame,
                       IDC_FILEPANE, instance);
  if (!window) ShowLastErrorBox("Unable to create FilePane window");
  ShowWindow(window, SW_SHOWNORMAL);

  tree_ = CreateWindowExA(
      WS_EX_WINDOWEDGE, WC_TREEVIEWA, nullptr,
      WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT, CW_USEDEFAULT,
      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window, reinterpret_cast<HMENU>(IDC_FILETREE), instance, nullptr);
  if (!tree_) ShowLastErrorBox("Unable to create TreeView");
  ShowWindow(tree_, SW_SHOWNORMAL);

  // The 16-pixel images, stretched to the screen's DPI.
  const int side = Scaled(16);
  images_ = ImageList_Create(side, side, ILC_MASK, kImageSlotCount, 0);
  for (const SlotImage& image : kSlotImages) {
    auto load = [&](int id) {
      return static_cast<HBITMAP>(LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_BITMAP, side, side, 0));
    };
    HBITMAP bitmap = load(image.bitmap);
    HBITMAP mask = load(image.mask);
    imageSlots_[image.slot] = ImageList_Add(images_, bitmap, mask);
    DeleteObject(bitmap);
    DeleteObject(mask);
  }
  SendMessageA(tree_, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images_));
  project_.SetObserver(this);

  RECT client{};
  if (window && GetClientRect(window, &client)) OnSize(SIZE_RESTORED, client.right, client.bottom);
}

FilePane::~FilePane() {
  project_.SetObserver(nullptr);
  if (HWND window = Handle()) DestroyWindow(window);  // the tree goes with it
  if (images_) ImageList_Destroy(images_);
}

void FilePane::Move(int x, int y, int width, int height) {
  HWND window = Handle();
  if (!window) return;
  RECT r{};
  GetWindowRect(window, &r);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
  if (r.left == x && r.top == y && r.right - r.left == width && r.bottom - r.top == height) return;
  MoveWindow(window, x, y, width, height, TRUE);
}

bool FilePane::OnSize(WPARAM, int width, int height) {
  if (!tree_) return false;
  MoveWindow(tree_, 0, 0, width, height, TRUE);
  FitMdiClientToFrame(frame_);
  return false;
}

// Only the right border resizes the pane.
bool FilePane::OnSizing(WPARAM edge, RECT* proposed) {
  if (edge != WMSZ_RIGHT) GetWindowRect(Handle(), proposed);
  return false;
}

bool FilePane::OnNotify(NMHDR* header) {
  if (header->hwndFrom != tree_) return false;
  switch (header->code) {
    case TVN_KEYDOWN:
      if (reinterpret_cast<const NMTVKEYDOWN*>(header)->wVKey == VK_DELETE) {
        RemoveSelectedFile();
        return true;
      }
      break;
    case NM_DBLCLK:
      return SelectNodeUnderPointer(tree_) && OpenSelectedFile();
    case NM_RETURN:
      return OpenSelectedFile();
    case NM_RCLICK:
      if (SelectNodeUnderPointer(tree_)) ShowNodeMenu();
      return true;
  }
  return false;
}

ProjectNode* FilePane::SelectedNode() const {
  HTREEITEM item = reinterpret_cast<HTREEITEM>(SendMessageA(tree_, TVM_GETNEXTITEM, TVGN_CARET, 0));
  if (!item) return nullptr;
  TVITEMA tv{};
  tv.mask = TVIF_PARAM;
  tv.hItem = item;
  if (!SendMessageA(tree_, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv))) return nullptr;
  return reinterpret_cast<ProjectNode*>(tv.lParam);
}

bool FilePane::GetSelectedFilePath(std::string& path) const {
  const ProjectNode* node = SelectedNode();
  // The root carries the project file's entry: it is no file of the project.
  if (!node || node == &project_.Root() || !node->entry || node->entry->path.size() >= kPathBufferSize) return false;
  return project_.FullPathOf(node->entry->path, path);
}

void FilePane::RemoveSelectedFile() {
  ProjectNode* node = SelectedNode();
  if (!node || node == &project_.Root() || !node->entry) return;
  const std::string question = "Remove " + node->entry->displayName + " from the project?";
  if (MessageBoxA(frame_, question.c_str(), "Remove File", MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  project_.RemoveFileNode(*node);
}

void FilePane::RunNodeCommand(int id) {
  ProjectNode* node = SelectedNode();
  if (id == IDM_PANE_OPEN) OpenSelectedFile();
  if (id == IDM_PANE_SETMAIN && node) project_.SetMainSource(*node);
  if (id == IDM_PANE_REMOVE) RemoveSelectedFile();
}

// The menu of a file node, at the pointer; the root and the groups have none.
void FilePane::ShowNodeMenu() {
  const ProjectNode* node = SelectedNode();
  if (!node || node == &project_.Root() || !node->entry) return;
  HMENU menu = CreatePopupMenu();
  if (!menu) return;
  const bool otherSource =
      node->parent == &project_.Group(ProjectGroup::kSource) && node->imageSlot != kMainSourceImage;
  AppendMenuA(menu, MF_STRING, IDM_PANE_OPEN, "&Open");
  AppendMenuA(menu, MF_STRING | (otherSource ? 0 : MF_GRAYED), IDM_PANE_SETMAIN, "Set as &Main Source");
  AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(menu, MF_STRING, IDM_PANE_REMOVE, "&Remove from Project\tDel");
  const DWORD pos = GetMessagePos();
  const int id = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, static_cast<short>(LOWORD(pos)),
                                static_cast<short>(HIWORD(pos)), 0, Handle(), nullptr);
  DestroyMenu(menu);
  RunNodeCommand(id);
}

bool FilePane::OpenSelectedFile() {
  std::string path;
  if (!GetSelectedFilePath(path)) return false;
  AddRecentFile(path);
  OpenDocumentAtLine(path, -1);
  return true;
}

void FilePane::NodeInserted(ProjectNode& node) {
  TVINSERTSTRUCTA insert{};
  insert.hParent = node.parent ? ItemOf(node.parent) : TVI_ROOT;
  const ProjectNode* previous = node.PreviousSibling();
  // The model's order, not the tree's own sorting (which compares by the locale's rules).
  insert.hInsertAfter = previous ? ItemOf(previous) : TVI_FIRST;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM;
  insert.item.pszText = const_cast<char*>(node.text.c_str());
  insert.item.lParam = reinterpret_cast<LPARAM>(&node);
  if (node.imageSlot >= 0 && node.imageSlot < kImageSlotCount) {
    insert.item.mask |= TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.iImage = insert.item.iSelectedImage = imageSlots_[node.imageSlot];
  }
  node.viewItem = reinterpret_cast<void*>(SendMessageA(tree_, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
  if (!bulk_) RedrawWindow(tree_, nullptr, nullptr, RDW_INVALIDATE);
}

void FilePane::NodeDeleting(ProjectNode& node) {
  if (node.viewItem) SendMessageA(tree_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(ItemOf(&node)));
  node.viewItem = nullptr;
  if (!bulk_) RedrawWindow(tree_, nullptr, nullptr, RDW_INVALIDATE);
}

void FilePane::NodeTextChanged(ProjectNode& node) {
  if (!node.viewItem) return;
  TVITEMA tv{};
  tv.mask = TVIF_TEXT;
  tv.hItem = ItemOf(&node);
  tv.pszText = const_cast<char*>(node.text.c_str());
  if (node.imageSlot >= 0 && node.imageSlot < kImageSlotCount) {
    tv.mask |= TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    tv.iImage = tv.iSelectedImage = imageSlots_[node.imageSlot];
  }
  SendMessageA(tree_, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
  if (!bulk_) RedrawWindow(tree_, nullptr, nullptr, RDW_INVALIDATE);
}

void FilePane::NodeExpanded(ProjectNode& node) {
  if (node.viewItem) SendMessageA(tree_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(ItemOf(&node)));
}

void FilePane::ProjectReplaced() { quillon::ProjectReplaced(); }

void FilePane::TreeLoaded() { RedrawWindow(tree_, nullptr, nullptr, RDW_INVALIDATE); }

// A whole project goes in or out with the tree's drawing off: item by item with drawing on
// costs seconds for a few thousand files.
void FilePane::BulkChangeBegins() {
  if (bulk_++ == 0) SendMessageA(tree_, WM_SETREDRAW, FALSE, 0);
}

void FilePane::BulkChangeEnds() {
  if (bulk_ == 0 || --bulk_ > 0) return;
  SendMessageA(tree_, WM_SETREDRAW, TRUE, 0);
  RedrawWindow(tree_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

void AddSourceFilesCommand(HWND frame, Project& project) {
  AddFileCommand(frame, project, "Source files (*.asm)\0*.asm\0All files (*.*\0*.*\0", "Add source file",
                 [&](const std::string& name, const std::string& path) { project.AddSourceFile(name, path); });
}

void AddIncludeFilesCommand(HWND frame, Project& project) {
  AddFileCommand(frame, project, "Include files (*.inc)\0*.inc\0All files (*.*\0*.*\0", "Add include file",
                 [&](const std::string& name, const std::string& path) { project.AddIncludeFile(name, path); });
}

void AddOtherFilesCommand(HWND frame, Project& project) {
  AddFileCommand(frame, project, "All files (*.*\0*.*\0", "Add file",
                 [&](const std::string& name, const std::string& path) { project.AddOtherFile(name, path); });
}

}  // namespace quillon
