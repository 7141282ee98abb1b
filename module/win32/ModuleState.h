#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "feed/FeedContext.h"
#include "module/HostInterface.h"
#include "module/win32/WindowHostLink.h"

namespace zp {

class Tfmain;
class TFormHelp;
class TDualListDlg;
class Win32ProfileFile;

// Everything the module keeps while it is loaded: the viewer's window, the
// settings file and the windows of each initialisation. The capture, the
// portal lists and the packet callback are module-global in feed/ModuleFeed;
// the feed context puts them together with the viewer's link.
class ModuleState {
 public:
  ModuleState();
  ~ModuleState();
  ModuleState(const ModuleState&) = delete;
  ModuleState& operator=(const ModuleState&) = delete;

  // OnInit: keeps the viewer's window, asks it for its information once, and
  // creates the main window, the help window and the selection dialog, hidden.
  void Init(const ModuleInitRecord& init);
  // OnShow: fetches the channel table afresh, then shows the main window.
  void Show();
  // OnClose: the main window goes (its close handler does not run); a running
  // delivery is stopped first, so that the viewer calls no callback of a
  // module that may be unloaded next.
  void Close();
  // Before the library is freed: destroys every window while its procedure
  // still exists. No command is sent from here: the loader lock is held, and a
  // viewer that waits for its delivery thread to end would wait for ever.
  void Unload();

 private:
  // The windows of one initialisation. A later OnInit keeps the earlier ones
  // until unload, and a closed main window's object stays too: it may still be
  // inside one of its own handlers (a modal box) when the viewer closes it.
  struct Windows {
    std::unique_ptr<TFormHelp> help;
    std::unique_ptr<TDualListDlg> dualListDlg;
    std::unique_ptr<Tfmain> main;
  };

  bool IsModuleWindow(HWND window) const;

  WindowHostLink host_;
  // The one feed context: what every main window's scan works with.
  const FeedContext feed_;
  std::unique_ptr<Win32ProfileFile> settingsFile_;
  HICON icon_ = nullptr;
  Windows current_;
  std::vector<Windows> earlier_;
};

// The one instance, created at the first use and freed when the library is.
ModuleState& Module();

}  // namespace zp
