// The base of the program's own windows: class registration, the object behind a window, and
// its messages handed to member functions.
#pragma once

#include <windows.h>

#include <new>
#include <type_traits>

namespace quillon {

// What a window class of the program sets beyond what they all share (redraw on resizing, the
// program's icon, the arrow cursor).
struct WindowClassSpec {
  const char* name = nullptr;
  WNDPROC procedure = nullptr;  // WindowObject::ClassProcedure<T>
  HBRUSH background = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  const char* menu = nullptr;
  int extraBytes = 0;
};

// Registers a window class. False when it cannot be registered, also when it already is.
bool RegisterWindowClass(HINSTANCE instance, const WindowClassSpec& spec);

// The object behind one window. The object is kept with the window from WM_NCCREATE to
// WM_NCDESTROY. Either the object makes its window (Create), or, when the object's type can be
// made without arguments, the window makes its object on creation and deletes it after
// WM_NCDESTROY (windows that the MDI client or a test creates by class name).
class WindowObject {
 public:
  virtual ~WindowObject();
  WindowObject(const WindowObject&) = delete;
  WindowObject& operator=(const WindowObject&) = delete;

  // The window; null before creation and after destruction.
  HWND Handle() const { return handle_; }

  // The object of `window` when the window's class has ClassProcedure<T> as its procedure; null
  // for any other window, and for one not yet created or already destroyed.
  template <typename T>
  static T* Of(HWND window) {
    return static_cast<T*>(Attached(window, &ClassProcedure<T>));
  }

  // The window procedure of a class whose windows are backed by objects of type T.
  template <typename T>
  static LRESULT CALLBACK ClassProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return Dispatch(window, message, wParam, lParam, &Make<T>);
  }

 protected:
  WindowObject() = default;

  // Creates this object's window, which then carries this object; null when it cannot be created.
  HWND Create(DWORD exStyle, const char* className, DWORD style, HWND parent, int childId, HINSTANCE instance);

  // Handlers of the messages most windows take. Each returns true when it took the message (the
  // window procedure returns 0), false to pass the message on to DefaultProcedure.
  virtual bool OnCreate() { return false; }
  virtual bool OnDestroy() { return false; }
  virtual bool OnClose() { return false; }
  virtual bool OnSize(WPARAM /*kind*/, int /*width*/, int /*height*/) { return false; }
  virtual bool OnSizing(WPARAM /*edge*/, RECT* /*proposed*/) { return false; }
  virtual bool OnCommand(WPARAM /*wParam*/, LPARAM /*lParam*/) { return false; }
  virtual bool OnNotify(NMHDR* /*header*/) { return false; }
  // Any other message; `result` is what the window procedure returns when it is taken.
  virtual bool OnMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/, LRESULT& /*result*/) { return false; }
  // What the system does with a message no handler took.
  virtual LRESULT DefaultProcedure(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  template <typename T>
  static WindowObject* Make() {
    if constexpr (std::is_default_constructible_v<T>)
      return new (std::nothrow) T;
    else
      return nullptr;
  }

  static WindowObject* Attached(HWND window, WNDPROC procedure);
  static LRESULT Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam, WindowObject* (*make)());
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  HWND handle_ = nullptr;
  bool ownedByWindow_ = false;
};

// A procedure put in front of the procedure of windows of one class (a subclass). The class's
// own procedure is kept here once, not per window: under Wine each window property read is a
// trip to the server, and every message would pay it. At WM_NCDESTROY the front procedure calls
// Detach, which puts the window's own procedure back and hands it the message.
class Subclass {
 public:
  // Puts `procedure` in front of `window`'s. False, changing nothing, when it is there already or
  // when the window's procedure is not the one this subclass took first (another class).
  bool Attach(HWND window, WNDPROC procedure);
  // The window's own procedure for a message the front one passes on.
  LRESULT CallOriginal(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const {
    return original_ ? CallWindowProcA(original_, window, message, wParam, lParam)
                     : DefWindowProcA(window, message, wParam, lParam);
  }
  // WM_NCDESTROY: the window's own procedure back in place, and the message to it.
  LRESULT Detach(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const;

 private:
  WNDPROC original_ = nullptr;
};

}  // namespace quillon
