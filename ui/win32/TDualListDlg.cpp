#include "ui/win32/TDualListDlg.h"

#include <vector>

#include "ui/win32/Fonts.h"

namespace zp {

namespace {

constexpr char kClassName[] = "TDualListDlg";
constexpr char kCaption[] = "Auswahldialog";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
constexpr int kItemHeight = 13;
constexpr const char* kInitialItems[] = {"Eintrag1", "Eintrag2", "Eintrag3", "Eintrag4",
                                         "Eintrag5"};

// The module runs inside the viewer's message loop, which knows nothing of this
// dialog: a hook on the thread's messages gives it the dialog keys (Tab, arrows,
// Enter, Escape) that IsDialogMessage would give it in a loop of its own.
HHOOK g_keyboardHook = nullptr;
int g_hookUsers = 0;

bool IsDualListWindow(HWND window) {
  char name[sizeof kClassName + 1] = {};
  return GetClassNameA(window, name, sizeof name) > 0 && lstrcmpA(name, kClassName) == 0;
}

}  // namespace

// --- the list boxes --------------------------------------------------------

int TDualListDlg::ListBox::Count() const {
  const LRESULT count = SendMessageA(list_, LB_GETCOUNT, 0, 0);
  return count == LB_ERR ? 0 : static_cast<int>(count);
}

std::string TDualListDlg::ListBox::Text(int index) const {
  const LRESULT length = SendMessageA(list_, LB_GETTEXTLEN, index, 0);
  if (length == LB_ERR) return {};
  std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
  SendMessageA(list_, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  return text.data();
}

intptr_t TDualListDlg::ListBox::Object(int index) const {
  return static_cast<intptr_t>(SendMessageA(list_, LB_GETITEMDATA, index, 0));
}

bool TDualListDlg::ListBox::Selected(int index) const {
  return SendMessageA(list_, LB_GETSEL, index, 0) > 0;
}

void TDualListDlg::ListBox::Select(int index) { SendMessageA(list_, LB_SETSEL, TRUE, index); }

void TDualListDlg::ListBox::Add(const std::string& text, intptr_t object) {
  const LRESULT index =
      SendMessageA(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  if (index >= 0) SendMessageA(list_, LB_SETITEMDATA, index, static_cast<LPARAM>(object));
}

void TDualListDlg::ListBox::Insert(int index, const std::string& text, intptr_t object) {
  const LRESULT at =
      SendMessageA(list_, LB_INSERTSTRING, index, reinterpret_cast<LPARAM>(text.c_str()));
  if (at >= 0) SendMessageA(list_, LB_SETITEMDATA, at, static_cast<LPARAM>(object));
}

void TDualListDlg::ListBox::Delete(int index) { SendMessageA(list_, LB_DELETESTRING, index, 0); }

void TDualListDlg::ListBox::Clear() { SendMessageA(list_, LB_RESETCONTENT, 0, 0); }

void TDualListDlg::ListBox::Focus() { SetFocus(list_); }

// --- the dialog --------------------------------------------------------------

TDualListDlg::~TDualListDlg() {
  if (window_ != nullptr) DestroyWindow(window_);
  if (hooked_ && --g_hookUsers == 0) {
    UnhookWindowsHookEx(g_keyboardHook);
    g_keyboardHook = nullptr;
  }
  UnregisterWindowClass(kClassName);
}

bool TDualListDlg::Create(HICON icon) {
  if (window_ != nullptr) return true;
  if (!RegisterWindowClass({kClassName, WindowProc<&TDualListDlg::HandleMessage>, icon})) {
    return false;
  }

  RECT bounds{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&bounds, kStyle, FALSE, kExStyle);
  const int width = bounds.right - bounds.left;
  const int height = bounds.bottom - bounds.top;
  const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;

  font_ = CreateDesignFont();
  if (!CreateHandle(kExStyle, kClassName, kCaption, kStyle, left, top, width, height)) return false;
  if (icon != nullptr)
    SendMessageA(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  CreateControls();

  if (!hooked_) {
    if (g_hookUsers == 0) {
      g_keyboardHook =
          SetWindowsHookExA(WH_GETMESSAGE, KeyboardHook, nullptr, GetCurrentThreadId());
    }
    if (g_keyboardHook != nullptr) {
      ++g_hookUsers;
      hooked_ = true;
    }
  }
  return true;
}

HWND TDualListDlg::AddControl(const char* windowClass, const char* text, DWORD style, DWORD exStyle,
                              int left, int top, int width, int height, int id) {
  return CreateControl(window_, windowClass, text, WS_CHILD | WS_VISIBLE | style, exStyle, left,
                       top, width, height, id, font_.get());
}

void TDualListDlg::CreateControls() {
  // Created in tab order: the two lists, then OK, Abbrechen and Hilfe. Labels
  // and arrow buttons take no part in it.
  const DWORD listStyle =
      WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_EXTENDEDSEL | LBS_NOINTEGRALHEIGHT;
  srcList_.Attach(AddControl("LISTBOX", "", listStyle | LBS_SORT, WS_EX_CLIENTEDGE, 16, 112, 184,
                             361, kSrcList));
  dstList_.Attach(
      AddControl("LISTBOX", "", listStyle, WS_EX_CLIENTEDGE, 240, 112, 185, 361, kDstList));
  AddControl("BUTTON", "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 101, 484, 75, 25, kOKBtn);
  AddControl("BUTTON", "Abbrechen", WS_TABSTOP | BS_PUSHBUTTON, 0, 181, 484, 75, 25, kCancelBtn);
  AddControl("BUTTON", "Hilfe", WS_TABSTOP | BS_PUSHBUTTON, 0, 261, 484, 75, 25, kHelpBtn);

  AddControl("STATIC", "Quell-Liste:", SS_LEFT | SS_NOPREFIX, 0, 48, 96, 145, 16, kSrcLabel);
  AddControl("STATIC", "Ziel-Liste:", SS_LEFT | SS_NOPREFIX, 0, 232, 96, 145, 16, kDstLabel);
  AddControl("BUTTON", ">", BS_OWNERDRAW, 0, 208, 232, 24, 24, kIncludeBtn);
  AddControl("BUTTON", ">>", BS_OWNERDRAW, 0, 208, 264, 24, 24, kIncAllBtn);
  AddControl("BUTTON", "<", BS_OWNERDRAW | WS_DISABLED, 0, 208, 296, 24, 24, kExcludeBtn);
  AddControl("BUTTON", "<<", BS_OWNERDRAW | WS_DISABLED, 0, 208, 328, 24, 24, kExAllBtn);

  for (HWND list : {Control(kSrcList), Control(kDstList)}) {
    SendMessageA(list, LB_SETITEMHEIGHT, 0, kItemHeight);
  }
  for (const char* item : kInitialItems) srcList_.Add(item, 0);
  lastFocus_ = Control(kSrcList);
}

void TDualListDlg::Show() {
  if (window_ == nullptr) return;
  ShowWindow(window_, SW_SHOW);
  SetForegroundWindow(window_);
}

void TDualListDlg::EnableArrows(bool include, bool includeAll, bool exclude, bool excludeAll) {
  EnableWindow(Control(kIncludeBtn), include);
  EnableWindow(Control(kIncAllBtn), includeAll);
  EnableWindow(Control(kExcludeBtn), exclude);
  EnableWindow(Control(kExAllBtn), excludeAll);
}

void TDualListDlg::OnCommand(int id, int code) {
  // Owner-drawn buttons report a quick second click as a double click.
  if (code != BN_CLICKED && code != BN_DOUBLECLICKED) return;
  switch (id) {
    case kIncludeBtn:
      lists_.IncludeBtnClick();
      break;
    case kExcludeBtn:
      lists_.ExcludeBtnClick();
      break;
    case kIncAllBtn:
      lists_.IncAllBtnClick();
      break;
    case kExAllBtn:
      lists_.ExcAllBtnClick();
      break;
    default:
      // OK and Abbrechen only end a modal run, which this dialog never has;
      // Hilfe has no help to show.
      break;
  }
}

// The arrow buttons are flat: only their caption on the face, sunken while pressed.
void TDualListDlg::DrawFlatButton(const DRAWITEMSTRUCT& item) {
  RECT rect = item.rcItem;
  FillRect(item.hDC, &rect, GetSysColorBrush(COLOR_BTNFACE));
  if (item.itemState & ODS_SELECTED) {
    DrawEdge(item.hDC, &rect, BDR_SUNKENOUTER, BF_RECT);
    OffsetRect(&rect, 1, 1);
  }
  char caption[8] = {};
  const int length = GetWindowTextA(item.hwndItem, caption, sizeof caption);
  HGDIOBJ oldFont = SelectObject(item.hDC, font_.get());
  SetBkMode(item.hDC, TRANSPARENT);
  if (item.itemState & ODS_DISABLED) {
    // Engraved, as disabled captions are drawn.
    OffsetRect(&rect, 1, 1);
    SetTextColor(item.hDC, GetSysColor(COLOR_BTNHIGHLIGHT));
    DrawTextA(item.hDC, caption, length, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    OffsetRect(&rect, -1, -1);
    SetTextColor(item.hDC, GetSysColor(COLOR_GRAYTEXT));
  } else {
    SetTextColor(item.hDC, GetSysColor(COLOR_BTNTEXT));
  }
  DrawTextA(item.hDC, caption, length, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  SelectObject(item.hDC, oldFont);
}

LRESULT TDualListDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (lParam != 0) OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item.CtlType != ODT_BUTTON) break;
      DrawFlatButton(item);
      return TRUE;
    }
    case DM_GETDEFID:
      return MAKELRESULT(IDOK, DC_HASDEFID);
    case WM_ACTIVATE:
      // Keep the focused control across deactivation, as a dialog does.
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(window_, focus)) lastFocus_ = focus;
      }
      break;
    case WM_SETFOCUS:
      if (lastFocus_ != nullptr && IsWindowEnabled(lastFocus_)) {
        SetFocus(lastFocus_);
      } else {
        SetFocus(Control(kSrcList));
      }
      return 0;
    case WM_CLOSE:
      ShowWindow(window_, SW_HIDE);
      return 0;
    case WM_NCDESTROY:
      lastFocus_ = nullptr;
      srcList_.Attach(nullptr);
      dstList_.Attach(nullptr);
      break;
  }
  return DefWindowProcA(window_, message, wParam, lParam);
}

LRESULT CALLBACK TDualListDlg::KeyboardHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && wParam == PM_REMOVE) {
    auto* message = reinterpret_cast<MSG*>(lParam);
    if (message->message >= WM_KEYFIRST && message->message <= WM_KEYLAST &&
        message->hwnd != nullptr) {
      HWND root = GetAncestor(message->hwnd, GA_ROOT);
      if (root != nullptr && IsDualListWindow(root) && IsDialogMessageA(root, message)) {
        // Handled: the loop that fetched it dispatches nothing.
        *message = MSG{};
      }
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace zp
