#include "ui/win32/TFormHelp.h"

#include <commctrl.h>

#include <algorithm>

#include "ui/HelpText.h"
#include "ui/win32/CommonDialogs.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace zp {

namespace {

constexpr char kClassName[] = "TFormHelp";
constexpr char kCaption[] = "Zanterpoint Help";
constexpr int kMemoLeft = 8, kMemoTop = 8;
constexpr UINT_PTR kBevelSubclassId = 1;
// A flat bevel, raised inside and out: a shadow line and a button-face line.
constexpr int kBevelWidth = 2;

HINSTANCE ThisModule() { return reinterpret_cast<HINSTANCE>(&__ImageBase); }

// The text box has no border of its own; it gets a flat two-pixel bevel in its
// non-client area, inside of which the scroll bar sits.
LRESULT CALLBACK BevelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                           DWORD_PTR) {
  switch (message) {
    case WM_NCCALCSIZE: {
      auto* rect = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]
                          : reinterpret_cast<RECT*>(lParam);
      InflateRect(rect, -kBevelWidth, -kBevelWidth);
      break;
    }
    case WM_NCPAINT: {
      const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
      if (HDC dc = GetWindowDC(window)) {
        RECT rect;
        GetWindowRect(window, &rect);
        OffsetRect(&rect, -rect.left, -rect.top);
        DrawEdge(dc, &rect, BDR_RAISEDOUTER | BDR_RAISEDINNER, BF_RECT | BF_FLAT);
        ReleaseDC(window, dc);
      }
      return result;
    }
    case WM_NCDESTROY:
      RemoveWindowSubclass(window, BevelProc, kBevelSubclassId);
      break;
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

bool RegisterWindowClass(WNDPROC windowProc, HICON icon) {
  WNDCLASSEXA windowClass{};
  if (GetClassInfoExA(ThisModule(), kClassName, &windowClass)) return true;
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = ThisModule();
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hIcon = icon;
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kClassName;
  return RegisterClassExA(&windowClass) != 0;
}

}  // namespace

TFormHelp::~TFormHelp() {
  if (window_ != nullptr) DestroyWindow(window_);
  // Fails while other windows of the class remain, which is as it should be.
  UnregisterClassA(kClassName, ThisModule());
}

bool TFormHelp::Create(HICON icon) {
  if (window_ != nullptr) return true;
  if (!RegisterWindowClass(WindowProc, icon)) return false;
  font_.reset(CreateDesignFont());
  window_ = CreateWindowExA(0, kClassName, kCaption, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                            kDesignLeft, kDesignTop, kDesignWidth, kDesignHeight, nullptr, nullptr,
                            ThisModule(), this);
  if (window_ == nullptr) return false;
  if (icon != nullptr) {
    SendMessageA(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    SendMessageA(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  }

  // Right-to-left reading is the text box's own setting; like the toolkit the
  // window was designed with, it only takes effect on a system with
  // right-to-left language support, and alignment and scroll bar stay left-to-right.
  const DWORD exStyle = GetSystemMetrics(SM_MIDEASTENABLED) ? WS_EX_RTLREADING : 0;
  helpMemo_ = CreateWindowExA(exStyle, "EDIT", "",
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_LEFT |
                                  ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY,
                              kMemoLeft, kMemoTop, 0, 0, window_, nullptr, ThisModule(), nullptr);
  if (helpMemo_ == nullptr) return false;
  SetWindowSubclass(helpMemo_, BevelProc, kBevelSubclassId, 0);
  SendMessageA(helpMemo_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  SendMessageA(helpMemo_, EM_SETLIMITTEXT, 0, 0);
  SetWindowTextA(helpMemo_, HelpText().c_str());
  FormResize();
  return true;
}

void TFormHelp::Show() {
  if (window_ == nullptr) return;
  ShowWindow(window_, IsIconic(window_) ? SW_RESTORE : SW_SHOW);
  SetForegroundWindow(window_);
}

void TFormHelp::FormResize() {
  if (helpMemo_ == nullptr) return;
  RECT outer;
  GetWindowRect(window_, &outer);
  const int width = std::max(0, static_cast<int>(outer.right - outer.left) - kMemoWidthMargin);
  const int height = std::max(0, static_cast<int>(outer.bottom - outer.top) - kMemoHeightMargin);
  SetWindowPos(helpMemo_, nullptr, kMemoLeft, kMemoTop, width, height,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT TFormHelp::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      FormResize();
      return 0;
    case WM_SETFOCUS:
      if (helpMemo_ != nullptr) SetFocus(helpMemo_);
      return 0;
    case WM_CTLCOLORSTATIC:
      // A read-only text box still has the window colour, as a text to read.
      if (reinterpret_cast<HWND>(lParam) == helpMemo_) {
        const auto dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
      }
      break;
    case WM_CLOSE:
      ShowWindow(window_, SW_HIDE);
      return 0;
  }
  return DefWindowProcA(window_, message, wParam, lParam);
}

LRESULT CALLBACK TFormHelp::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<TFormHelp*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<TFormHelp*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    self->window_ = nullptr;
    self->helpMemo_ = nullptr;
    return DefWindowProcA(window, message, wParam, lParam);
  }
  try {
    return self->HandleMessage(message, wParam, lParam);
  } catch (...) {
    // Nothing may unwind into the viewer's message loop.
    return 0;
  }
}

}  // namespace zp
