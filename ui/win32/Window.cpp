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

Window* Window::Adopt(HWND window, LPARAM createStruct) {
  auto* owner =
      static_cast<Window*>(reinterpret_cast<const CREATESTRUCTA*>(createStruct)->lpCreateParams);
  if (owner != nullptr) {
    owner->window_ = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
  }
  return owner;
}

Window* Window::FromHandle(HWND window) {
  // The user data of another image's window is that image's, whatever it holds.
  if (window == nullptr ||
      reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE)) != ThisModule()) {
    return nullptr;
  }
  return reinterpret_cast<Window*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

void Window::Forget() {
  SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
  window_ = nullptr;
}

bool Window::Visible() const { return window_ != nullptr && IsWindowVisible(window_); }

bool Window::Minimized() const { return window_ != nullptr && IsIconic(window_); }

void Window::Show(int command) {
  if (window_ != nullptr) ShowWindow(window_, command);
}

void Window::SetForeground() {
  if (window_ != nullptr) SetForegroundWindow(window_);
}

void Window::BringToFront() {
  if (window_ == nullptr) return;
  SetWindowPos(window_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetForegroundWindow(window_);
}

void Window::Move(int left, int top, int width, int height) {
  if (window_ != nullptr) MoveWindow(window_, left, top, width, height, TRUE);
}

RECT Window::Frame() const {
  RECT frame{};
  if (window_ != nullptr) GetWindowRect(window_, &frame);
  return frame;
}

std::optional<WINDOWPLACEMENT> Window::Placement() const {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  if (window_ == nullptr || !GetWindowPlacement(window_, &placement)) return std::nullopt;
  return placement;
}

void Window::SetPlacement(const WINDOWPLACEMENT& placement) {
  if (window_ != nullptr) SetWindowPlacement(window_, &placement);
}

void Window::SetText(const char* text) {
  if (window_ != nullptr) SetWindowTextA(window_, text);
}

LRESULT Window::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
  return window_ != nullptr ? SendMessageA(window_, message, wParam, lParam) : 0;
}

HWND Window::Control(int id) const {
  return window_ != nullptr ? GetDlgItem(window_, id) : nullptr;
}

bool Window::Contains(HWND window) const {
  return window_ != nullptr && window != nullptr && IsChild(window_, window);
}

int Window::Box(const char* text, const char* caption, UINT style) const {
  return MessageBoxA(window_, text, caption, style);
}

void Window::Destroy() {
  if (window_ != nullptr) DestroyWindow(window_);
}

HWND Window::AddControl(const char* className, const char* text, DWORD style, DWORD exStyle,
                        int left, int top, int width, int height, int id, HFONT font) {
  if (window_ == nullptr) return nullptr;
  return CreateControl(window_, className, text, style, exStyle, left, top, width, height, id,
                       font);
}

}  // namespace zp
