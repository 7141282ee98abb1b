#include "ui/win32/Tfmain.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <exception>
#include <optional>

#include "feed/ScanCycle.h"
#include "ui/win32/TDualListDlg.h"
#include "ui/win32/TFormHelp.h"

namespace zp {

namespace {

// Design bounds; the window is centred when first shown and then takes the
// saved geometry on activation.
constexpr int kDesignWidth = 228, kDesignHeight = 672;
constexpr int kTreeLeft = 8, kTreeTop = 8, kTreeDesignWidth = 201, kTreeDesignHeight = 569;
// The tree fills the window less these margins of its outer size.
constexpr int kTreeWidthMargin = 24, kTreeHeightMargin = 70;
constexpr int kTreeIndent = 15;
constexpr int kHintWidth = 300;

// The low bits of a TVM_EXPAND action: TVE_COLLAPSE, TVE_EXPAND or TVE_TOGGLE.
constexpr UINT kExpandActionMask = 0x0003;

constexpr int32_t kSystemColorFlag = static_cast<int32_t>(0xFF000000);
constexpr int32_t kClNone = 0x1FFFFFFF, kClDefault = 0x20000000;

// The colour the tree control should draw with; "none" and "default" leave it
// to the system.
COLORREF ControlColor(int32_t color) {
  if (color == kClNone || color == kClDefault) return CLR_DEFAULT;
  if ((color & kSystemColorFlag) != kSystemColorFlag && (color & 0xFF000000) != 0) {
    return CLR_DEFAULT;
  }
  return ColorRefFromValue(color);
}

// Counts a modal box or dialog for as long as it is open.
class ModalScope {
 public:
  explicit ModalScope(int& depth) : depth_(depth) { ++depth_; }
  ~ModalScope() { --depth_; }
  ModalScope(const ModalScope&) = delete;
  ModalScope& operator=(const ModalScope&) = delete;

 private:
  int& depth_;
};

KeyModifiers QueueModifiers() {
  // The state that belongs to the message being handled: the queue's, not the keyboard's now.
  return {GetKeyState(VK_CONTROL) < 0, GetKeyState(VK_MENU) < 0, GetKeyState(VK_SHIFT) < 0};
}

}  // namespace

Tfmain::Tfmain(const Parts& parts)
    : parts_(parts),
      form_(std::make_unique<MainForm>(MainFormParts{tree_, *this, parts.settingsFile, parts.host,
                                                     parts.capture, parts.portalLists,
                                                     parts.packetCallback})) {}

Tfmain::~Tfmain() {
  Destroy();
  UnregisterWindowClass(kWindowClass);
}

bool Tfmain::Create() {
  if (window_ != nullptr) return true;
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TREEVIEW_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);

  if (!RegisterWindowClass({kWindowClass, WindowProc<&Tfmain::HandleMessage>, parts_.icon})) {
    return false;
  }

  HMENU menu = CreateMainMenu();
  const int left = (GetSystemMetrics(SM_CXSCREEN) - kDesignWidth) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - kDesignHeight) / 2;
  // Stays on top; system menu with close, minimize, no maximize.
  if (!CreateHandle(WS_EX_TOPMOST | WS_EX_APPWINDOW, kWindowClass, kCaption,
                    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_THICKFRAME |
                        WS_CLIPCHILDREN,
                    left, top, kDesignWidth, kDesignHeight, menu)) {
    DestroyMenu(menu);
    return false;
  }
  menu_ = menu;
  if (parts_.icon != nullptr) {
    SendMessageA(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(parts_.icon));
    SendMessageA(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(parts_.icon));
  }
  Event([&] { form_->FormCreate(); });
  return true;
}

HMENU Tfmain::CreateMainMenu() {
  // "Edit" and "Test" are hidden items: a Win32 menu has no invisible items,
  // so they are not inserted; their commands stay handled.
  HMENU more = CreatePopupMenu();
  AppendMenuA(more, MF_STRING, kDPChannelInfo1, "Channel Info");
  AppendMenuA(more, MF_STRING, kSaveBuffer1, "Save Buffer");
  AppendMenuA(more, MF_STRING, kMenuItemTimer, "Timer");
  AppendMenuA(more, MF_STRING, kMenuItemFont, "TreeView Font");
  AppendMenuA(more, MF_STRING, kMenuItemColor, "TreeView Color");
  HMENU bar = CreateMenu();
  AppendMenuA(bar, MF_STRING, kMMAction, "New Scan");
  AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(more), "More");
  AppendMenuA(bar, MF_STRING, kMenuItemHelp, "?");
  return bar;
}

bool Tfmain::CreateControls() {
  windowFont_.reset(CreateDesignFont());
  const HWND tree = CreateWindowExA(
      WS_EX_CLIENTEDGE, WC_TREEVIEWA, "",
      WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS |
          TVS_NOTOOLTIPS,
      kTreeLeft, kTreeTop, kTreeDesignWidth, kTreeDesignHeight, window_,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTreeView1)), ThisModule(), nullptr);
  if (tree == nullptr) return false;
  tree_.Attach(tree);
  Subclass<&Tfmain::HandleTreeMessage>(tree, *this);
  SendMessageA(tree, TVM_SETINDENT, kTreeIndent, 0);
  SetTreeFont(FontSpec{});
  SetTreeColor(treeColor_);
  const TreeNode scanning = tree_.Add(kNoNode, "Scanning", 0);
  tree_.Add(scanning, "now", 0);

  // The hidden buttons and status label of the scan; never visible.
  const auto designFont = reinterpret_cast<WPARAM>(windowFont_.get());
  const char* const buttons[] = {"Button1", "Button2", "Button3"};
  for (int i = 0; i < 3; ++i) {
    const HWND button = CreateWindowExA(
        0, "BUTTON", buttons[i], WS_CHILD | BS_PUSHBUTTON, 0, 0, 75, 25, window_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kButton1 + i)), ThisModule(), nullptr);
    if (button != nullptr) SendMessageA(button, WM_SETFONT, designFont, FALSE);
  }
  label2_ = CreateWindowExA(0, "STATIC", "Label2", WS_CHILD, 0, 0, 75, 13, window_,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kLabel2)), ThisModule(),
                            nullptr);
  if (label2_ != nullptr) SendMessageA(label2_, WM_SETFONT, designFont, FALSE);

  // The tree's hint: a tooltip over the whole tree whose text follows the node
  // under the pointer; an empty text shows nothing.
  tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                             WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, ThisModule(), nullptr);
  if (tooltip_ != nullptr) {
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;  // accepted by every comctl32 version
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(tree);
    tool.lpszText = const_cast<char*>("");
    SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageA(tooltip_, TTM_SETMAXTIPWIDTH, 0, kHintWidth);
  }
  FormResize();
  return true;
}

void Tfmain::Show() {
  if (window_ == nullptr) return;
  if (IsWindowVisible(window_)) {
    if (IsIconic(window_)) ShowWindow(window_, SW_RESTORE);
    SetWindowPos(window_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(window_);
    return;
  }
  Event([&] {
    form_->FormShow();
    activeInModule_ = false;
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    // Shown but not activated (another program keeps the foreground): the
    // window still becomes the module's active window and takes its geometry.
    if (!activeInModule_) FormActivateOnce();
  });
}

void Tfmain::Destroy() {
  if (window_ != nullptr) DestroyWindow(window_);
}

void Tfmain::StopDelivery() {
  if (!Capturing()) return;
  form_->Scan().StopDelivery();
  SetScanTimer(false);
}

template <class Body>
void Tfmain::Event(Body body) {
  ++eventDepth_;
  try {
    body();
  } catch (const std::exception& error) {
    form_->Errors().Add(error.what());
  } catch (...) {
    form_->Errors().Add("Unexpected error");
  }
  --eventDepth_;
  if (eventDepth_ == 0) ShowPendingErrors();
}

void Tfmain::ShowPendingErrors() {
  // Events that run while a box is open queue their errors for this loop.
  if (showingErrors_) return;
  showingErrors_ = true;
  while (!form_->Errors().Empty()) {
    for (const std::string& text : form_->Errors().Take()) ModalBox(text, MB_OK | MB_ICONERROR);
  }
  showingErrors_ = false;
}

int Tfmain::ModalBox(const std::string& text, UINT style) {
  // Periodic rescans wait while a box is open (see WM_TIMER).
  const ModalScope modal(modalDepth_);
  return MessageBoxA(window_, text.c_str(), kCaption, style);
}

LRESULT Tfmain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return CreateControls() ? 0 : -1;
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) FormResize();
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        // Only another window of the module takes over as its active window;
        // the viewer, message boxes and dialogs do not.
        const HWND next = reinterpret_cast<HWND>(lParam);
        if (next != nullptr && parts_.isModuleWindow && parts_.isModuleWindow(next)) {
          activeInModule_ = false;
        }
      } else if (!activeInModule_ && IsWindowVisible(window_)) {
        FormActivateOnce();
      }
      break;
    case WM_SETFOCUS:
      if (tree_.Handle() != nullptr) SetFocus(tree_.Handle());
      return 0;
    case WM_CLOSE:
      Event([&] {
        // Hidden even when the save fails: the error box follows.
        struct HideAfterwards {
          Tfmain& window;
          ~HideAfterwards() { window.HideWindow(); }
        } hide{*this};
        form_->FormClose();
      });
      return 0;
    case WM_KEYDOWN:
      FormKeyDown(static_cast<UINT>(wParam));
      return 0;
    case WM_COMMAND:
      if (lParam == 0 || HIWORD(wParam) == BN_CLICKED) OnCommand(LOWORD(wParam));
      return 0;
    case WM_NOTIFY:
      return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_TIMER:
      if (wParam == kTimer2) {
        Event([&] { form_->Timer2Timer(); });
      } else if (wParam == kTimer1 && timer1_.Enabled() && modalDepth_ == 0) {
        // A tick that was queued before the timer stopped is not a rescan.
        Event([&] { form_->Timer1Timer(); });
      }
      return 0;
    case kRestoreNodeMessage: {
      // A node from before the last clear is gone: its handle is not touched.
      const auto node = static_cast<TreeNode>(wParam);
      const auto packed = static_cast<uint32_t>(lParam);
      if ((packed >> 1) == (tree_.Generation() & 0x7FFFFFFF) && tree_.Handle() != nullptr) {
        tree_.SetExpanded(node, (packed & 1) != 0);
      }
      return 0;
    }
    case WM_NCDESTROY:
      tooltip_ = nullptr;
      label2_ = nullptr;
      menu_ = nullptr;
      tree_.Attach(nullptr);
      timer1_.Disable();
      timer2Running_ = false;
      activeInModule_ = false;
      break;
  }
  return DefWindowProcA(window_, message, wParam, lParam);
}

LRESULT Tfmain::HandleTreeMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  const HWND tree = tree_.Handle();
  switch (message) {
    // Key preview: the window sees every key first and consumes it, so the
    // tree has no keyboard navigation, search or expansion of its own.
    case WM_KEYDOWN:
      FormKeyDown(static_cast<UINT>(wParam));
      return 0;
    case WM_CHAR:
      return 0;
    case WM_SYSKEYDOWN:
      // Alt with a key of the table acts; other system keys (Alt+F4, F10)
      // stay the system's.
      if (DecodeKey(static_cast<uint32_t>(wParam), QueueModifiers()) != KeyAction::None) {
        FormKeyDown(static_cast<UINT>(wParam));
        return 0;
      }
      break;
    case WM_GETDLGCODE:
      return DLGC_WANTALLKEYS | DefSubclassProc(tree, message, wParam, lParam);
    case WM_MOUSEMOVE:
      TreeView1MouseMove(lParam);
      break;
  }
  return DefSubclassProc(tree, message, wParam, lParam);
}

LRESULT Tfmain::OnNotify(const NMHDR& header) {
  if (header.hwndFrom != tree_.Handle()) return 0;
  switch (header.code) {
    case TVN_ITEMEXPANDINGA:
    case TVN_ITEMEXPANDINGW: {
      // The module's own requests ran the protocol before they asked the tree.
      if (tree_.InModuleChange()) return FALSE;
      const auto& change = reinterpret_cast<const NMTREEVIEWA&>(header);
      const TreeNode node = reinterpret_cast<TreeNode>(change.itemNew.hItem);
      const bool collapsing = (change.action & kExpandActionMask) == TVE_COLLAPSE;
      bool allowed = false;
      Event([&] {
        allowed = collapsing ? form_->TreeView1Collapsing(node) : form_->TreeView1Expanding(node);
      });
      refusedNode_ = allowed ? kNoNode : node;
      return allowed ? FALSE : TRUE;
    }
    case TVN_ITEMEXPANDEDA:
    case TVN_ITEMEXPANDEDW: {
      // Some tree controls (Wine's) collapse a node even when the change was
      // refused; it is put back once the control has finished with it.
      const auto& change = reinterpret_cast<const NMTREEVIEWA&>(header);
      const TreeNode node = reinterpret_cast<TreeNode>(change.itemNew.hItem);
      if (!tree_.InModuleChange() && node == refusedNode_) {
        const bool wasExpanded = (change.itemNew.state & TVIS_EXPANDED) == 0;
        PostMessageA(window_, kRestoreNodeMessage, static_cast<WPARAM>(node),
                     static_cast<LPARAM>((tree_.Generation() << 1) | (wasExpanded ? 1 : 0)));
      }
      refusedNode_ = kNoNode;
      return 0;
    }
    case NM_DBLCLK:
      Event([&] { form_->TreeView1DblClick(); });
      // The control toggles a node on a double click unless told not to; it
      // is let go only when the expand/collapse protocol would allow it anyway.
      return form_->TogglePermit() ? FALSE : TRUE;
    case NM_RCLICK:
      TreeView1RightClick();
      return TRUE;  // no context menu
  }
  return 0;
}

void Tfmain::OnCommand(int id) {
  switch (id) {
    case kMMAction:
      Event([&] { form_->ReadButtonClick(); });
      break;
    case kDPChannelInfo1:
      Event([&] { form_->InfoButtonDPClick(); });
      break;
    case kSaveBuffer1:
      Event([&] { SaveButtonClick(); });
      break;
    case kMenuItemTimer:
      Event([&] { form_->MenuItemTimerClick(); });
      break;
    case kMenuItemFont:
      Event([&] { MenuItemFontClick(); });
      break;
    case kMenuItemColor:
      Event([&] { MenuItemColorClick(); });
      break;
    case kEditMenuItem:
      if (dualListDlg_ != nullptr) dualListDlg_->Show();
      break;
    case kTest1:
      Event([&] { form_->Test1Click(); });
      break;
    case kMenuItemHelp:
      if (help_ != nullptr) help_->Show();
      break;
    case kButton1:
      Event([&] { form_->Button1Click(); });
      break;
    case kButton2:
      Event([&] { form_->Button2Click(); });
      break;
    case kButton3:
      Event([&] { form_->Button3Click(); });
      break;
  }
}

void Tfmain::FormActivateOnce() {
  activeInModule_ = true;
  Event([&] { form_->FormActivate(); });
}

void Tfmain::FormResize() {
  if (window_ == nullptr || tree_.Handle() == nullptr || IsIconic(window_)) return;
  RECT outer;
  GetWindowRect(window_, &outer);
  const int width = std::max(0, static_cast<int>(outer.right - outer.left) - kTreeWidthMargin);
  const int height = std::max(0, static_cast<int>(outer.bottom - outer.top) - kTreeHeightMargin);
  MoveWindow(tree_.Handle(), kTreeLeft, kTreeTop, width, height, TRUE);
}

void Tfmain::FormKeyDown(UINT key) {
  const KeyModifiers modifiers = QueueModifiers();
  Event([&] { form_->FormKeyDown(key, modifiers); });
}

void Tfmain::TreeView1MouseMove(LPARAM position) {
  if (tooltip_ == nullptr) return;
  uint32_t flags = 0;
  const TreeNode node = tree_.HitTest({GET_X_LPARAM(position), GET_Y_LPARAM(position)}, flags);
  HintChange change;
  Event([&] { change = form_->TreeView1MouseMove(node, flags); });
  if (change.cancel) SendMessageA(tooltip_, TTM_POP, 0, 0);
  if (!change.setText) return;
  TOOLINFOA tool{};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  tool.hwnd = window_;
  tool.uId = reinterpret_cast<UINT_PTR>(tree_.Handle());
  tool.lpszText = const_cast<char*>(change.text.c_str());
  SendMessageA(tooltip_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
}

void Tfmain::TreeView1RightClick() {
  // The tree reports the click once the button is up; the node under the
  // pointer then counts as the selected one, without moving the selection.
  const DWORD at = GetMessagePos();
  POINT point{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
  ScreenToClient(tree_.Handle(), &point);
  uint32_t flags = 0;
  const TreeNode node = tree_.HitTest(point, flags);
  Event([&] { form_->TreeView1MouseUp(true, node); });
}

void Tfmain::SaveButtonClick() {
  const ModalScope modal(modalDepth_);
  SaveCaptureBuffers(window_, saveDialog1_, parts_.capture);
}

void Tfmain::MenuItemFontClick() {
  std::optional<FontSpec> font;
  {
    const ModalScope modal(modalDepth_);
    font = fontDialog1_.Execute(window_);
  }
  if (!font) return;
  SetTreeFont(*font);
  form_->SaveSettings();
}

void Tfmain::MenuItemColorClick() {
  std::optional<int32_t> color;
  {
    const ModalScope modal(modalDepth_);
    color = colorDialog1_.Execute(window_);
  }
  if (!color) return;
  SetTreeColor(*color);
  form_->SaveSettings();
}

void Tfmain::HideWindow() {
  if (tooltip_ != nullptr) SendMessageA(tooltip_, TTM_POP, 0, 0);
  if (window_ != nullptr) ShowWindow(window_, SW_HIDE);
  activeInModule_ = false;
}

void Tfmain::SetTreeColor(int32_t color) {
  treeColor_ = color;
  if (tree_.Handle() == nullptr) return;
  SendMessageA(tree_.Handle(), TVM_SETBKCOLOR, 0, static_cast<LPARAM>(ControlColor(color)));
  InvalidateRect(tree_.Handle(), nullptr, TRUE);
}

void Tfmain::SetTreeFont(const FontSpec& font) {
  treeFontSpec_ = font;
  if (tree_.Handle() == nullptr) return;
  const LOGFONTA logFont = LogFontFromSpec(font);
  UniqueFont created(CreateFontIndirectA(&logFont));
  if (created) {
    SendMessageA(tree_.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(created.get()), TRUE);
    treeFont_ = std::move(created);  // the old font goes once the tree has let go of it
  }
  SendMessageA(tree_.Handle(), TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(ControlColor(font.color)));
}

void Tfmain::SetTimerMenu(bool checked, const std::string& caption) {
  timerChecked_ = checked;
  if (menu_ == nullptr) return;
  MENUITEMINFOA item{};
  item.cbSize = sizeof item;
  item.fMask = MIIM_STRING | MIIM_STATE;
  item.fState = checked ? MFS_CHECKED : MFS_UNCHECKED;
  item.dwTypeData = const_cast<char*>(caption.c_str());
  SetMenuItemInfoA(menu_, kMenuItemTimer, FALSE, &item);
}

void Tfmain::SetRescanTimer(uint32_t intervalMs, bool enabled) {
  switch (timer1_.Apply(intervalMs, enabled)) {
    case RescanTimer::Change::Start:
      if (window_ != nullptr) SetTimer(window_, kTimer1, intervalMs, nullptr);
      break;
    case RescanTimer::Change::Stop:
      if (window_ != nullptr) KillTimer(window_, kTimer1);
      break;
    case RescanTimer::Change::None:
      break;
  }
}

void Tfmain::DisableRescanTimer() {
  if (timer1_.Disable() == RescanTimer::Change::Stop && window_ != nullptr) {
    KillTimer(window_, kTimer1);
  }
}

void Tfmain::SetScanTimer(bool enabled) {
  // Enabling a running timer keeps its phase.
  if (enabled == timer2Running_ || window_ == nullptr) return;
  if (enabled) {
    SetTimer(window_, kTimer2, kScanTickIntervalMs, nullptr);
  } else {
    KillTimer(window_, kTimer2);
  }
  timer2Running_ = enabled;
}

WindowGeometry Tfmain::Bounds() const {
  RECT bounds{};
  if (window_ != nullptr && IsIconic(window_)) {
    // A minimized window saves where it will come back to, not the icon's place.
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(window_, &placement);
    bounds = placement.rcNormalPosition;
  } else if (window_ != nullptr) {
    GetWindowRect(window_, &bounds);
  }
  return {bounds.top, bounds.left, bounds.bottom - bounds.top, bounds.right - bounds.left};
}

void Tfmain::SetBounds(const WindowGeometry& bounds) {
  if (window_ == nullptr) return;
  if (IsIconic(window_)) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(window_, &placement);
    placement.rcNormalPosition = {bounds.left, bounds.top, bounds.left + bounds.width,
                                  bounds.top + bounds.height};
    SetWindowPlacement(window_, &placement);
    return;
  }
  MoveWindow(window_, bounds.left, bounds.top, bounds.width, bounds.height, TRUE);
}

void Tfmain::CloseForm() {
  if (window_ != nullptr) SendMessageA(window_, WM_CLOSE, 0, 0);
}

void Tfmain::SetStatus(const char* text) {
  if (label2_ != nullptr) SetWindowTextA(label2_, text);
}

void Tfmain::ShowMessage(const std::string& text) { ModalBox(text, MB_OK); }

}  // namespace zp
