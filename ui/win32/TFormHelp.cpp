#include "ui/win32/TFormHelp.h"

#include <commctrl.h>

#include <algorithm>

#include "ui/HelpText.h"
#include "ui/win32/Fonts.h"

namespace zp {

namespace {

constexpr char kClassName[] = "TFormHelp";
constexpr char kCaption[] = "Zanterpoint Help";
constexpr int kMemoLeft = 8, kMemoTop = 8;
// A flat bevel, raised inside and out: a shadow line and a button-face line.
constexpr int kBevelWidth = 2;

}  // namespace

TFormHelp::~TFormHelp() {
  Destroy();
  UnregisterWindowClass(kClassName);
}

bool TFormHelp::Create(HICON icon) {
  if (Handle() != nullptr) return true;
  if (!RegisterWindowClass(
          {kClassName, WindowProc<&TFormHelp::HandleMessage>, icon, CS_HREDRAW | CS_VREDRAW})) {
    return false;
  }
  font_ = CreateDesignFont();
  if (!CreateHandle(0, kClassName, kCaption, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, kDesignLeft,
                    kDesignTop, kDesignWidth, kDesignHeight)) {
    return false;
  }
  SetIcon(icon);

  // Right-to-left reading is the text box's own setting; like the toolkit the
  // window was designed with, it only takes effect on a system with
  // right-to-left language support, and alignment and scroll bar stay left-to-right.
  const DWORD exStyle = GetSystemMetrics(SM_MIDEASTENABLED) ? WS_EX_RTLREADING : 0;
  helpMemo_ = AddControl("EDIT", "",
                         WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_LEFT | ES_MULTILINE |
                             ES_AUTOVSCROLL | ES_READONLY,
                         exStyle, kMemoLeft, kMemoTop, 0, 0, 0, font_.get());
  if (helpMemo_ == nullptr) return false;
  Subclass<&TFormHelp::HelpMemoMessage>(helpMemo_, *this);
  SendMessageA(helpMemo_, EM_SETLIMITTEXT, 0, 0);
  SetWindowTextA(helpMemo_, HelpText().c_str());
  FormResize();
  return true;
}

void TFormHelp::Show() {
  Window::Show(Minimized() ? SW_RESTORE : SW_SHOW);
  SetForeground();
}

void TFormHelp::FormResize() {
  if (helpMemo_ == nullptr) return;
  const RECT outer = Frame();
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
      Hide();
      return 0;
    case WM_NCDESTROY:
      helpMemo_ = nullptr;
      break;
  }
  return DefaultHandling(message, wParam, lParam);
}

// The text box has no border of its own; it gets a flat two-pixel bevel in its
// non-client area, inside of which the scroll bar sits.
LRESULT TFormHelp::HelpMemoMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCALCSIZE: {
      auto* rect = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]
                          : reinterpret_cast<RECT*>(lParam);
      InflateRect(rect, -kBevelWidth, -kBevelWidth);
      break;
    }
    case WM_NCPAINT: {
      const LRESULT result = DefSubclassProc(helpMemo_, message, wParam, lParam);
      if (HDC dc = GetWindowDC(helpMemo_)) {
        RECT rect;
        GetWindowRect(helpMemo_, &rect);
        OffsetRect(&rect, -rect.left, -rect.top);
        DrawEdge(dc, &rect, BDR_RAISEDOUTER | BDR_RAISEDINNER, BF_RECT | BF_FLAT);
        ReleaseDC(helpMemo_, dc);
      }
      return result;
    }
  }
  return DefSubclassProc(helpMemo_, message, wParam, lParam);
}

}  // namespace zp
