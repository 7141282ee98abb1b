#include "ViewerWindow.h"

#include <algorithm>
#include <cstdio>

#include "TranscriptFormat.h"
#include "module/HostInterface.h"

namespace zp::viewer {

namespace {

constexpr char kClassName[] = "Tfmain";
constexpr UINT_PTR kDeliveryTimer = 1;
constexpr UINT kDeliveryInterval = 10;
constexpr UINT_PTR kDialogTimer = 2;
constexpr UINT kDialogInterval = 50;
// Each change of the on-screen transcript costs Wine's edit control several
// milliseconds on the viewer's thread, inside whatever the module is doing:
// lines are shown at most this often, and only the last part of the text is
// kept (the whole transcript goes to standard output or its file).
constexpr UINT_PTR kLogTimer = 3;
constexpr UINT kLogInterval = 250;
constexpr int kLogKeep = 64 * 1024;

enum : int {
  kExit = 100,
  kShowModule = 200,
  kDeliveryThread = 300,
  kDeliveryUi = 301,
  kChannelList = 400,
};

}  // namespace

ViewerWindow::ViewerWindow(HostSide& host, ModuleLibrary& module, Transcript& transcript)
    : host_(host), module_(module), transcript_(transcript) {}

ViewerWindow::~ViewerWindow() {
  transcript_.SetListener(nullptr);
  host_.onPositionChanged = nullptr;
  if (Handle() != nullptr) DestroyWindow(Handle());
}

bool ViewerWindow::Create(bool interactive) {
  interactive_ = interactive;
  RegisterWindowClass({kClassName, WindowProc<&ViewerWindow::OnMessage>});

  const HMENU bar = CreateMenu();
  const HMENU file = CreatePopupMenu();
  AppendMenuA(file, MF_STRING, kExit, "E&xit");
  AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
  modulesMenu_ = CreatePopupMenu();
  AppendMenuA(modulesMenu_, MF_STRING | MF_GRAYED, kShowModule, "(no module)");
  AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(modulesMenu_), "&Modules");
  deliveryMenu_ = CreatePopupMenu();
  AppendMenuA(deliveryMenu_, MF_STRING, kDeliveryThread, "From the viewer's own &thread");
  AppendMenuA(deliveryMenu_, MF_STRING, kDeliveryUi, "From the &user-interface thread");
  AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(deliveryMenu_), "&Delivery");

  // The window owns the menu bar from here on and destroys it with itself.
  if (!CreateHandle(0, kClassName, "DVBDream (stand-in)", WS_OVERLAPPEDWINDOW, 0, 0, 760, 520,
                    bar)) {
    DestroyMenu(bar);
    return false;
  }
  CreateChildren();
  FillChannels();
  ShowPosition();
  ShowDeliveryMode();
  host_.onPositionChanged = [this] { ShowPosition(); };
  transcript_.SetListener([this](const std::string& line) { Append(line); });
  SetTimer(Handle(), kDeliveryTimer, kDeliveryInterval, nullptr);
  SetTimer(Handle(), kDialogTimer, kDialogInterval, nullptr);
  ShowWindow(Handle(), SW_SHOWNORMAL);
  UpdateWindow(Handle());
  return true;
}

void ViewerWindow::SetModuleName(const std::string& name) {
  ModifyMenuA(modulesMenu_, kShowModule, MF_BYCOMMAND | MF_STRING, kShowModule,
              name.empty() ? "(unnamed module)" : name.c_str());
  EnableMenuItem(modulesMenu_, kShowModule, MF_BYCOMMAND | MF_ENABLED);
  DrawMenuBar(Handle());
}

LRESULT ViewerWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kHostCommandMessage:
      return host_.Command(wParam, lParam);
    case WM_TIMER:
      if (wParam == kDeliveryTimer) host_.OnDeliveryTimer();
      if (wParam == kDialogTimer && watcher_ != nullptr) watcher_->Poll();
      if (wParam == kLogTimer) ShowPendingLines();
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_SIZE:
      Layout();
      return 0;
    case WM_CLOSE:
      // Scripts end the viewer themselves.
      if (interactive_) Shutdown();
      return 0;
    case WM_DESTROY:
      if (interactive_) PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(Handle(), message, wParam, lParam);
  }
}

void ViewerWindow::OnCommand(int id, int notification) {
  switch (id) {
    case kExit:
      SendMessageA(Handle(), WM_CLOSE, 0, 0);
      break;
    case kShowModule:
      transcript_.Line("viewer menu Modules");
      module_.Show();
      break;
    case kDeliveryThread:
    case kDeliveryUi:
      host_.SetDeliveryMode(id == kDeliveryThread ? DeliveryMode::Thread : DeliveryMode::UiThread);
      ShowDeliveryMode();
      break;
    case kChannelList:
      if (notification == LBN_DBLCLK) {
        const auto item = SendMessageA(channels_, LB_GETCURSEL, 0, 0);
        if (item != LB_ERR) {
          host_.ViewerTune(static_cast<int>(SendMessageA(channels_, LB_GETITEMDATA, item, 0)));
        }
      }
      break;
    default:
      break;
  }
}

void ViewerWindow::CreateChildren() {
  const HINSTANCE instance = ThisModule();
  const auto font = reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT));
  channels_ = CreateWindowExA(
      WS_EX_CLIENTEDGE, "LISTBOX", "",
      WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 0, 0, 0, 0, Handle(),
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kChannelList)), instance, nullptr);
  status_ = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP, 0, 0, 0, 0,
                            Handle(), nullptr, instance, nullptr);
  log_ = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "",
                         WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                             ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL,
                         0, 0, 0, 0, Handle(), nullptr, instance, nullptr);
  for (HWND child : {channels_, status_, log_}) SendMessageA(child, WM_SETFONT, font, FALSE);
  SendMessageA(log_, EM_SETLIMITTEXT, 0, 0);
  Layout();
}

void ViewerWindow::Layout() {
  if (channels_ == nullptr) return;
  RECT r;
  GetClientRect(Handle(), &r);
  const int listWidth = 260;
  const int statusHeight = 20;
  MoveWindow(status_, 4, 2, r.right - 8, statusHeight - 4, TRUE);
  MoveWindow(channels_, 0, statusHeight, listWidth, r.bottom - statusHeight, TRUE);
  MoveWindow(log_, listWidth, statusHeight, r.right - listWidth, r.bottom - statusHeight, TRUE);
}

void ViewerWindow::FillChannels() {
  for (const Channel& c : host_.List().channels) {
    const std::string text = std::to_string(c.position) + ": " + NameText(c.record.ChName) +
                             " (sid " + std::to_string(c.record.wSID) + ")";
    const auto item =
        SendMessageA(channels_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageA(channels_, LB_SETITEMDATA, static_cast<WPARAM>(item), c.position);
  }
}

void ViewerWindow::ShowPosition() {
  if (status_ == nullptr) return;
  std::string text = "Position " + std::to_string(host_.Position());
  for (const Channel& c : host_.List().channels) {
    if (c.position == host_.Position()) text += ": " + NameText(c.record.ChName);
  }
  text += "   (double-click a channel to tune; Modules menu opens the module)";
  SetWindowTextA(status_, text.c_str());
}

void ViewerWindow::ShowDeliveryMode() {
  const bool thread = host_.Mode() == DeliveryMode::Thread;
  CheckMenuItem(deliveryMenu_, kDeliveryThread,
                MF_BYCOMMAND | (thread ? MF_CHECKED : MF_UNCHECKED));
  CheckMenuItem(deliveryMenu_, kDeliveryUi, MF_BYCOMMAND | (thread ? MF_UNCHECKED : MF_CHECKED));
}

void ViewerWindow::Append(const std::string& line) {
  if (log_ == nullptr) return;
  pendingLines_ += line + "\r\n";
  if (!logTimerArmed_) logTimerArmed_ = SetTimer(Handle(), kLogTimer, kLogInterval, nullptr) != 0;
}

void ViewerWindow::ShowPendingLines() {
  KillTimer(Handle(), kLogTimer);
  logTimerArmed_ = false;
  if (log_ == nullptr || pendingLines_.empty()) return;
  const int length = GetWindowTextLengthA(log_);
  const int excess = length + static_cast<int>(pendingLines_.size()) - kLogKeep;
  if (excess > 0) {
    // Drop the oldest lines, half the kept text at a time so that this is rare.
    SendMessageA(log_, EM_SETSEL, 0, std::min(length, excess + kLogKeep / 2));
    SendMessageA(log_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(""));
  }
  const int end = GetWindowTextLengthA(log_);
  SendMessageA(log_, EM_SETSEL, static_cast<WPARAM>(end), end);
  SendMessageA(log_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(pendingLines_.c_str()));
  pendingLines_.clear();
}

void ViewerWindow::Shutdown() {
  // As the viewer closes: no delivery may outlive the module, then the module goes.
  host_.StopAll("viewer");
  module_.Close();
  module_.Unload();
  transcript_.Line("viewer exit");
  DestroyWindow(Handle());
}

}  // namespace zp::viewer
