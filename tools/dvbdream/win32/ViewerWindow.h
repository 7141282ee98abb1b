#pragma once

#include <windows.h>

#include <string>

#include "DialogWatcher.h"
#include "HostSide.h"
#include "ModuleLibrary.h"
#include "Transcript.h"
#include "ui/win32/Window.h"

namespace zp::viewer {

// The viewer's main window, class "Tfmain" like the real viewer's: receives
// the module's commands (message 1345), runs the delivery and dialog timers,
// and for a person shows the channel list, the Modules menu and the transcript.
class ViewerWindow final : public Window {
 public:
  ViewerWindow(HostSide& host, ModuleLibrary& module, Transcript& transcript);
  ~ViewerWindow();
  ViewerWindow(const ViewerWindow&) = delete;
  ViewerWindow& operator=(const ViewerWindow&) = delete;

  // interactive: closing the window ends the program; otherwise only the
  // script ends it.
  bool Create(bool interactive);
  void SetModuleName(const std::string& name);
  void SetDialogWatcher(DialogWatcher* watcher) { watcher_ = watcher; }

 private:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnCommand(int id, int notification);
  void CreateChildren();
  void Layout();
  void FillChannels();
  void ShowPosition();
  void ShowDeliveryMode();
  void Append(const std::string& line);
  void ShowPendingLines();
  void Shutdown();

  HostSide& host_;
  ModuleLibrary& module_;
  Transcript& transcript_;
  DialogWatcher* watcher_ = nullptr;
  bool interactive_ = false;
  HWND channels_ = nullptr;
  HWND status_ = nullptr;
  HWND log_ = nullptr;
  std::string pendingLines_;  // transcript lines not yet on screen
  bool logTimerArmed_ = false;
  HMENU modulesMenu_ = nullptr;
  HMENU deliveryMenu_ = nullptr;
};

}  // namespace zp::viewer
