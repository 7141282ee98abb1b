#include "ui/win32/Tfmain.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <optional>

#include "module/ScopeExit.h"
#include "ui/RescanTimer.h"
#include "ui/win32/Fonts.h"
#include "ui/win32/Monitors.h"
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

KeyModifiers QueueModifiers() {
  // The state that belongs to the message being handled: the queue's, not the keyboard's now.
  return {GetKeyState(VK_CONTROL) < 0, GetKeyState(VK_MENU) < 0, GetKeyState(VK_SHIFT) < 0};
}

}  // namespace

Tfmain::Tfmain(const Parts& parts)
    : parts_(parts),
      form_(
          std::make_unique<MainForm>(MainFormParts{tree_, *this, parts.settingsFile, parts.feed})),
      events_(*this, kCaption, form_->Errors()) {}

Tfmain::~Tfmain() {
  Destroy();
  UnregisterWindowClass(kWindowClass);
}

bool Tfmain::Create() {
  if (Handle() != nullptr) return true;
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
  SetIcon(parts_.icon);
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
  AppendMenuA(more, MF_STRING, kEditGroups, "Edit Groups...");
  HMENU bar = CreateMenu();
  AppendMenuA(bar, MF_STRING, kMMAction, "New Scan");
  AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(more), "More");
  AppendMenuA(bar, MF_STRING, kMenuItemHelp, "?");
  return bar;
}

bool Tfmain::CreateControls() {
  windowFont_ = CreateDesignFont();
  const RECT treeBounds{kTreeLeft, kTreeTop, kTreeLeft + kTreeDesignWidth,
                        kTreeTop + kTreeDesignHeight};
  if (!tree_.Create(Handle(), kTreeView1, treeBounds, *this)) return false;
  SetTreeFont(FontSpec{});
  SetTreeColor(treeColor_);
  const TreeNode scanning = tree_.Add(kNoNode, "Scanning", 0);
  tree_.Add(scanning, "now", 0);

  // The hidden buttons and status label of the scan; never visible.
  const char* const buttons[] = {"Button1", "Button2", "Button3"};
  for (int i = 0; i < 3; ++i) {
    AddControl("BUTTON", buttons[i], WS_CHILD | BS_PUSHBUTTON, 0, 0, 0, 75, 25, kButton1 + i,
               windowFont_.get());
  }
  label2_ = AddControl("STATIC", "Label2", WS_CHILD, 0, 0, 0, 75, 13, kLabel2, windowFont_.get());
  tree_.CreateHint();
  FormResize();
  return true;
}

void Tfmain::Show() {
  if (Handle() == nullptr) return;  // FormShow is for a window that exists
  if (Visible()) {
    if (Minimized()) Window::Show(SW_RESTORE);
    BringToFront();
    return;
  }
  Event([&] {
    form_->FormShow();
    activeInModule_ = false;
    Window::Show(SW_SHOW);
    SetForeground();
    // Shown but not activated (another program keeps the foreground): the
    // window still becomes the module's active window and takes its geometry.
    if (!activeInModule_) FormActivateOnce();
  });
}

void Tfmain::StopDelivery() {
  if (!Capturing()) return;
  form_->StopDelivery();
  SetScanTimer(false);
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
      } else if (!activeInModule_ && Visible()) {
        FormActivateOnce();
      }
      break;
    case WM_SETFOCUS:
      if (tree_.Handle() != nullptr) SetFocus(tree_.Handle());
      return 0;
    case WM_CLOSE:
      Event([&] {
        // Hidden even when the save fails: the error box follows.
        const ScopeExit hide([&] { HideWindow(); });
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
      return tree_.OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_TIMER:
      if (wParam == FormTimers::kTimer2) {
        Event([&] { form_->Timer2Timer(); });
      } else if (wParam == FormTimers::kTimer1 && timers_.RescanEnabled() && !events_.ModalOpen()) {
        // A tick that was queued before the timer stopped is not a rescan.
        Event([&] { form_->Timer1Timer(); });
      }
      return 0;
    case TreeViewControl::kRestoreNodeMessage:
      tree_.RestoreNode(wParam, lParam);
      return 0;
    case WM_NCDESTROY:
      label2_ = nullptr;
      menu_ = nullptr;
      tree_.Detach();
      timers_.Forget();
      activeInModule_ = false;
      break;
  }
  return DefaultHandling(message, wParam, lParam);
}

void Tfmain::OnCommand(int id) {
  switch (id) {
    case kMMAction:  // "New Scan"
      return Event([&] { form_->ReadButtonClick(); });
    case kDPChannelInfo1:  // the viewer's records of the selected channel, a box each
      return Event([&] { form_->InfoButtonDPClick(); });
    case kSaveBuffer1:
      return Event([&] { SaveButtonClick(); });
    case kMenuItemTimer:  // the periodic rescan on or off
      return Event([&] { form_->MenuItemTimerClick(); });
    case kMenuItemFont:
      return Event([&] { MenuItemFontClick(); });
    case kMenuItemColor:
      return Event([&] { MenuItemColorClick(); });
    case kEditMenuItem:
      if (dualListDlg_ != nullptr) dualListDlg_->Show();
      return;
    case kTest1:  // stops the delivery
      return Event([&] { form_->Test1Click(); });
    case kMenuItemHelp:
      if (help_ != nullptr) help_->Show();
      return;
    case kEditGroups:
      return Event([&] { form_->EditGroupsClick(); });
    case kButton1:  // stops the delivery
      return Event([&] { form_->Button1Click(); });
    case kButton2:  // ends the scan
      return Event([&] { form_->Button2Click(); });
    case kButton3:  // stops the delivery and ends the scan
      return Event([&] { form_->Button3Click(); });
  }
}

void Tfmain::FormActivateOnce() {
  activeInModule_ = true;
  Event([&] { form_->FormActivate(); });
}

void Tfmain::FormResize() {
  if (tree_.Handle() == nullptr || Minimized()) return;
  const RECT outer = Frame();
  const int width = std::max(0, static_cast<int>(outer.right - outer.left) - kTreeWidthMargin);
  const int height = std::max(0, static_cast<int>(outer.bottom - outer.top) - kTreeHeightMargin);
  MoveWindow(tree_.Handle(), kTreeLeft, kTreeTop, width, height, TRUE);
}

void Tfmain::FormKeyDown(UINT key) {
  const KeyModifiers modifiers = QueueModifiers();
  Event([&] { form_->FormKeyDown(key, modifiers); });
}

bool Tfmain::TreeView1Expanding(TreeNode node) {
  bool allowed = false;
  Event([&] { allowed = form_->TreeView1Expanding(node); });
  return allowed;
}

bool Tfmain::TreeView1Collapsing(TreeNode node) {
  bool allowed = false;
  Event([&] { allowed = form_->TreeView1Collapsing(node); });
  return allowed;
}

bool Tfmain::TreeView1DblClick() {
  Event([&] { form_->TreeView1DblClick(); });
  // The control's own toggle is let go only when the expand/collapse protocol
  // would allow it anyway.
  return form_->TogglePermit();
}

void Tfmain::TreeView1RightClick(TreeNode node) {
  // The node under the pointer counts as the selected one, without moving the selection.
  Event([&] { form_->TreeView1MouseUp(true, node); });
}

void Tfmain::TreeView1MouseMove(TreeNode node, uint32_t hitFlags) {
  HintChange change;
  Event([&] { change = form_->TreeView1MouseMove(node, hitFlags); });
  if (change.cancel) tree_.HideHint();
  if (change.setText) tree_.SetHintText(change.text);
}

bool Tfmain::TreeView1KeyDown(UINT key, bool systemKey) {
  // Alt with a key of the table acts; other system keys (Alt+F4, F10) stay the system's.
  if (systemKey && DecodeKey(key, QueueModifiers()) == KeyAction::None) return false;
  FormKeyDown(key);
  return true;
}

void Tfmain::SaveButtonClick() {
  events_.Modal([&] { SaveCaptureBuffers(Handle(), saveDialog1_, parts_.feed.capture); });
}

void Tfmain::MenuItemFontClick() {
  const std::optional<FontSpec> font =
      events_.Modal([&] { return fontDialog1_.Execute(Handle()); });
  if (!font) return;
  SetTreeFont(*font);
  form_->SaveSettings();
}

void Tfmain::MenuItemColorClick() {
  const std::optional<int32_t> color =
      events_.Modal([&] { return colorDialog1_.Execute(Handle()); });
  if (!color) return;
  SetTreeColor(*color);
  form_->SaveSettings();
}

void Tfmain::HideWindow() {
  tree_.HideHint();
  Hide();
  activeInModule_ = false;
}

void Tfmain::SetTreeColor(int32_t color) {
  treeColor_ = color;
  tree_.SetBackColor(color);
}

void Tfmain::SetTreeFont(const FontSpec& font) {
  treeFontSpec_ = font;
  tree_.SetFont(font);
}

void Tfmain::SetTimerMenu(bool checked, int32_t intervalSeconds) {
  timerChecked_ = checked;
  if (menu_ == nullptr) return;
  const std::string caption = TimerMenuCaption(intervalSeconds);
  MENUITEMINFOA item{};
  item.cbSize = sizeof item;
  item.fMask = MIIM_STRING | MIIM_STATE;
  item.fState = checked ? MFS_CHECKED : MFS_UNCHECKED;
  item.dwTypeData = const_cast<char*>(caption.c_str());
  SetMenuItemInfoA(menu_, kMenuItemTimer, FALSE, &item);
}

WindowGeometry Tfmain::Bounds() const {
  if (Minimized()) {
    // A minimized window saves where it will come back to, not the icon's
    // place, in screen coordinates as in every other state.
    if (const std::optional<WINDOWPLACEMENT> placement = Placement()) {
      return RestoredBoundsOf(Handle(), placement->rcNormalPosition);
    }
  }
  const RECT bounds = Frame();  // all zero without a window
  return {bounds.top, bounds.left, bounds.bottom - bounds.top, bounds.right - bounds.left};
}

void Tfmain::SetBounds(const WindowGeometry& bounds) {
  if (Minimized()) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (const std::optional<WINDOWPLACEMENT> current = Placement()) placement = *current;
    placement.rcNormalPosition = PlacementNormalOf(Handle(), bounds);
    SetPlacement(placement);
    return;
  }
  Move(bounds.left, bounds.top, bounds.width, bounds.height);
}

std::vector<ScreenRect> Tfmain::MonitorWorkAreas() const { return DesktopWorkAreas(); }

void Tfmain::CloseForm() { Send(WM_CLOSE); }

void Tfmain::SetStatus(const char* text) {
  if (label2_ != nullptr) SetWindowTextA(label2_, text);
}

void Tfmain::ShowMessage(const std::string& text) { events_.ModalBox(text, MB_OK); }

void Tfmain::OpenGroupEditor(const std::string& section) {
  if (!groupEditor_) {
    auto editor = std::make_unique<TDualListDlg>();
    if (!editor->CreateGroupEditor(parts_.icon, Handle(), *this)) return;
    groupEditor_ = std::move(editor);
  }
  groupEditor_->OpenGroup(form_->EditorChannelList(), section);
}

std::string Tfmain::ApplyGroupEdit(const GroupEdit& edit, const ShownId& shown) {
  std::string failure;
  // The write's refusal goes back to the editor; the tree build's errors are
  // the window's, shown when the event is over.
  Event([&] {
    try {
      form_->ApplyGroupEdit(edit, shown);
    } catch (const SettingsError& error) {
      failure = error.what();
    }
  });
  return failure;
}

}  // namespace zp
