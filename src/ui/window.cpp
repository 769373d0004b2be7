#include "ui/window.h"

#include "resource.h"

namespace quillon {

bool RegisterWindowClass(HINSTANCE instance, const WindowClassSpec& spec) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = spec.procedure;
  wc.cbWndExtra = spec.extraBytes;
  wc.hInstance = instance;
  wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_QUILLON));
  wc.hIconSm = wc.hIcon;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = spec.background;
  wc.lpszMenuName = spec.menu;
  wc.lpszClassName = spec.name;
  return RegisterClassExA(&wc) != 0;
}

WindowObject::~WindowObject() {
  if (!handle_) return;
  // The window outlives its object: it must no longer reach it.
  HWND window = handle_;
  SetWindowLongPtrA(window, GWLP_USERDATA, 0);
  handle_ = nullptr;
  DestroyWindow(window);
}

HWND WindowObject::Create(DWORD exStyle, const char* className, DWORD style, HWND parent, int childId,
                          HINSTANCE instance) {
  return CreateWindowExA(exStyle, className, nullptr, style, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                         parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(childId)), instance, this);
}

LRESULT WindowObject::DefaultProcedure(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(handle_, message, wParam, lParam);
}

WindowObject* WindowObject::Attached(HWND window, WNDPROC procedure) {
  if (!window || !IsWindow(window)) return nullptr;
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != GetCurrentProcessId()) return nullptr;
  if (reinterpret_cast<WNDPROC>(GetClassLongPtrA(window, GCLP_WNDPROC)) != procedure) return nullptr;
  return reinterpret_cast<WindowObject*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

LRESULT WindowObject::Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam, WindowObject* (*make)()) {
  auto* object = reinterpret_cast<WindowObject*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!object && message == WM_NCCREATE) {
    // A type that can be made without arguments is always made by its window; any other
    // comes from Create.
    object = make();
    if (object)
      object->ownedByWindow_ = true;
    else if (!(object = static_cast<WindowObject*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams)))
      return FALSE;
    object->handle_ = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
  }
  if (!object) {
    // Messages before WM_NCCREATE, and any to a window whose object has gone.
    if (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_MDICHILD)
      return DefMDIChildProcA(window, message, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
  }
  const LRESULT result = object->HandleMessage(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    object->handle_ = nullptr;
    if (object->ownedByWindow_) delete object;
  }
  return result;
}

LRESULT WindowObject::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  bool taken = false;
  LRESULT result = 0;
  switch (message) {
    case WM_CREATE:
      taken = OnCreate();
      break;
    case WM_DESTROY:
      taken = OnDestroy();
      break;
    case WM_CLOSE:
      taken = OnClose();
      break;
    case WM_SIZE:
      taken = OnSize(wParam, LOWORD(lParam), HIWORD(lParam));
      break;
    case WM_SIZING:
      taken = OnSizing(wParam, reinterpret_cast<RECT*>(lParam));
      break;
    case WM_COMMAND:
      taken = OnCommand(wParam, lParam);
      break;
    case WM_NOTIFY:
      taken = OnNotify(reinterpret_cast<NMHDR*>(lParam));
      break;
    default:
      taken = OnMessage(message, wParam, lParam, result);
      break;
  }
  return taken ? result : DefaultProcedure(message, wParam, lParam);
}

bool Subclass::Attach(HWND window, WNDPROC procedure) {
  if (!window) return false;
  const auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
  if (current == procedure || (original_ && current != original_)) return false;
  original_ = current;
  SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure));
  return true;
}

LRESULT Subclass::Detach(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const {
  if (!original_) return DefWindowProcA(window, message, wParam, lParam);
  SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
  return CallWindowProcA(original_, window, message, wParam, lParam);
}

}  // namespace quillon
