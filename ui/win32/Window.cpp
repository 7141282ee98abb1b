#include "ui/win32/Window.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace zp {

HINSTANCE ThisModule() { return reinterpret_cast<HINSTANCE>(&__ImageBase); }

bool RegisterWindowClass(const WindowClass& windowClass) {
  WNDCLASSEXA registered{};
  if (GetClassInfoExA(ThisModule(), windowClass.name, &registered)) return true;
  registered.cbSize = sizeof registered;
  registered.style = windowClass.style;
  registered.lpfnWndProc = windowClass.procedure;
  registered.hInstance = ThisModule();
  registered.hIcon = windowClass.icon;
  registered.hIconSm = windowClass.icon;
  registered.hCursor = LoadCursor(nullptr, IDC_ARROW);
  registered.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  registered.lpszClassName = windowClass.name;
  return RegisterClassExA(&registered) != 0;
}

void UnregisterWindowClass(const char* name) { UnregisterClassA(name, ThisModule()); }

HWND CreateControl(HWND parent, const char* className, const char* text, DWORD style, DWORD exStyle,
                   int left, int top, int width, int height, int id, HFONT font) {
  const HWND control =
      CreateWindowExA(exStyle, className, text, style, left, top, width, height, parent,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ThisModule(), nullptr);
  if (control != nullptr && font != nullptr) {
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  return control;
}

LRESULT FailedMessageResult(UINT message) { return message == WM_CREATE ? -1 : 0; }

bool Window::CreateHandle(DWORD exStyle, const char* className, const char* caption, DWORD style,
                          int left, int top, int width, int height, HMENU menu, HWND owner) {
  // The handle is set from WM_NCCREATE on, before CreateWindowExA returns.
  CreateWindowExA(exStyle, className, caption, style, left, top, width, height, owner, menu,
                  ThisModule(), static_cast<Window*>(this));
  return window_ != nullptr;
}

void Window::SetIcon(HICON icon) {
  if (window_ == nullptr || icon == nullptr) return;
  SendMessageA(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  SendMessageA(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
}

Window* Window::Owner(HWND window, UINT message, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* owner =
        static_cast<Window*>(reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpCreateParams);
    if (owner != nullptr) {
      owner->window_ = window;
      SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
    }
    return owner;
  }
  return reinterpret_cast<Window*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

void Window::Forget() {
  SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
  window_ = nullptr;
}

}  // namespace zp
