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

LRESULT FailedMessageResult(UINT message) { return message == WM_CREATE ? -1 : 0; }

bool Window::CreateHandle(DWORD exStyle, const char* className, const char* caption, DWORD style,
                          int left, int top, int width, int height, HMENU menu) {
  // The handle is set from WM_NCCREATE on, before CreateWindowExA returns.
  CreateWindowExA(exStyle, className, caption, style, left, top, width, height, nullptr, menu,
                  ThisModule(), static_cast<Window*>(this));
  return window_ != nullptr;
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
