#pragma once

#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>

#include <memory>
#include <optional>
#include <type_traits>

namespace zp {

// The image this code is linked into: the module's windows are registered
// under the module, not under the viewer's executable that loaded it.
HINSTANCE ThisModule();

// Owners of the GDI objects the windows create (fonts, brushes, bitmaps).
struct GdiObjectDeleter {
  void operator()(HGDIOBJ object) const {
    if (object != nullptr) DeleteObject(object);
  }
};
template <class Handle>
using UniqueGdiObject = std::unique_ptr<std::remove_pointer_t<Handle>, GdiObjectDeleter>;
using UniqueFont = UniqueGdiObject<HFONT>;

// A window class of this image: arrow cursor, button-face background.
struct WindowClass {
  const char* name;
  WNDPROC procedure;
  HICON icon = nullptr;  // large and small; may be null
  UINT style = 0;
};
// Registers the class unless this image has it already. False if it could not be registered.
bool RegisterWindowClass(const WindowClass& windowClass);
// Fails while windows of the class remain (an earlier initialisation's), which
// is as it should be: the class goes with the last of them.
void UnregisterWindowClass(const char* name);

// A child control of `parent`, child id `id`, drawn in `font` unless that is null.
HWND CreateControl(HWND parent, const char* className, const char* text, DWORD style, DWORD exStyle,
                   int left, int top, int width, int height, int id, HFONT font = nullptr);

// The exception policy of every window and subclass procedure: the viewer's
// message loop is on the other side, so nothing may unwind into it. A handler
// that throws has failed, and the message is answered as failed: 0 (for
// WM_NCCREATE that ends the creation), and -1 for WM_CREATE so that a window
// whose controls could not be made is not left half-built. Nothing of the
// default handling runs for it either: DefWindowProc would, for instance,
// destroy a window whose WM_CLOSE failed. Windows that report errors to the
// user catch them in their handlers, before this point.
LRESULT FailedMessageResult(UINT message);

// A window owned by a C++ object. The object is found from the handle through
// the window's user data, from WM_NCCREATE, the first message that can carry
// it, to WM_NCDESTROY, the last. The owner class registers its window class
// with WindowProc<&Owner::HandleMessage> and creates its window with
// CreateHandle; HandleMessage sees every message from WM_NCCREATE on, including
// WM_NCDESTROY, and ends with DefaultHandling for what it leaves alone. The
// owner destroys its window in its destructor, while it can still take the
// window's last messages.
//
// Every operation is safe before the window exists and after it is gone: it
// then does nothing and answers with an empty value, so that callers need no
// checks of their own.
class Window {
 public:
  HWND Handle() const { return window_; }
  // The object of a window of this image's classes; null for any other window.
  static Window* FromHandle(HWND window);

  bool Visible() const;
  bool Minimized() const;
  // ShowWindow with `command`.
  void Show(int command = SW_SHOW);
  void Hide() { Show(SW_HIDE); }
  // The keyboard's window, in the foreground.
  void SetForeground();
  // The front of the z-order of its kind, and in the foreground.
  void BringToFront();
  // To `left`, `top` at `width` by `height`, repainted.
  void Move(int left, int top, int width, int height);
  // The outer bounds, in screen coordinates; empty without a window.
  RECT Frame() const;
  // The restored bounds and the show state; none without a window.
  std::optional<WINDOWPLACEMENT> Placement() const;
  void SetPlacement(const WINDOWPLACEMENT& placement);
  void SetText(const char* text);
  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
  // The child control with id `id`.
  HWND Control(int id) const;
  // One of the window's descendants.
  bool Contains(HWND window) const;
  // A message box owned by the window (by none before it exists).
  int Box(const char* text, const char* caption, UINT style) const;
  void Destroy();

 protected:
  Window() = default;
  ~Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // CreateWindowExA for a window of this image's class `className`, owned by
  // this object, owned by `owner` when given. True if the window exists afterwards.
  bool CreateHandle(DWORD exStyle, const char* className, const char* caption, DWORD style,
                    int left, int top, int width, int height, HMENU menu = nullptr,
                    HWND owner = nullptr);
  // The caption's and the task bar's icon; a null icon leaves the class's.
  void SetIcon(HICON icon);
  // A child control of this window, as CreateControl makes it.
  HWND AddControl(const char* className, const char* text, DWORD style, DWORD exStyle, int left,
                  int top, int width, int height, int id, HFONT font = nullptr);
  LRESULT DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window_, message, wParam, lParam);
  }

 private:
  template <auto Handler>
  friend LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // The object that WM_NCCREATE's creation data names, stored with the window.
  static Window* Adopt(HWND window, LPARAM createStruct);
  void Forget();

  HWND window_ = nullptr;
};

namespace detail {
template <class>
struct HandlerOf;
template <class Owner>
struct HandlerOf<LRESULT (Owner::*)(UINT, WPARAM, LPARAM)> {
  using Class = Owner;
};
template <auto Handler>
using HandlerClass = typename HandlerOf<decltype(Handler)>::Class;
}  // namespace detail

template <auto Handler>
LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* owner =
      message == WM_NCCREATE ? Window::Adopt(window, lParam) : Window::FromHandle(window);
  if (owner == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  LRESULT result;
  try {
    result =
        (static_cast<detail::HandlerClass<Handler>*>(owner)->*Handler)(message, wParam, lParam);
  } catch (...) {
    result = FailedMessageResult(message);
  }
  if (message == WM_NCDESTROY) owner->Forget();
  return result;
}

// A control's messages through a handler of the object that owns it, with the
// same exception policy; the subclass removes itself as the control goes. The
// handler ends with DefSubclassProc for what it leaves alone.
template <auto Handler>
LRESULT CALLBACK SubclassProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                              DWORD_PTR owner) {
  if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(control, SubclassProc<Handler>, id);
    return DefSubclassProc(control, message, wParam, lParam);
  }
  try {
    return (reinterpret_cast<detail::HandlerClass<Handler>*>(owner)->*Handler)(message, wParam,
                                                                               lParam);
  } catch (...) {
    return FailedMessageResult(message);
  }
}

template <auto Handler>
bool Subclass(HWND control, detail::HandlerClass<Handler>& owner) {
  return SetWindowSubclass(control, SubclassProc<Handler>, 1, reinterpret_cast<DWORD_PTR>(&owner));
}

}  // namespace zp
