#pragma once

#include <windows.h>

#include <exception>
#include <string>

#include "module/ScopeExit.h"
#include "ui/ErrorReport.h"
#include "ui/win32/Window.h"

namespace zp {

// The main window's events and boxes. An error ends its event and waits in the
// queue until the outermost event is over, so that a box never opens in the
// middle of a tree build or a scan step; then each is shown in an error box.
// Events that run while a box is open queue their errors for the same loop.
// A box or dialog counts as modal for as long as it is open: periodic rescans
// wait for it.
class FormEvents {
 public:
  FormEvents(const Window& owner, const char* caption, ErrorQueue& errors)
      : owner_(owner), caption_(caption), errors_(errors) {}

  template <class Body>
  void Run(Body body);
  // A message box with the window's caption, owned by the window.
  int ModalBox(const std::string& text, UINT style);
  // Runs a dialog the window opens, modal while it is open; its result.
  template <class Dialog>
  auto Modal(Dialog dialog) {
    ++modalDepth_;
    const ScopeExit closed([&] { --modalDepth_; });
    return dialog();
  }

  bool InEvent() const { return eventDepth_ > 0; }
  bool ModalOpen() const { return modalDepth_ > 0; }

 private:
  void ShowPendingErrors();

  const Window& owner_;
  const char* caption_;
  ErrorQueue& errors_;
  int eventDepth_ = 0;
  int modalDepth_ = 0;
  int showingErrors_ = 0;
};

template <class Body>
void FormEvents::Run(Body body) {
  {
    ++eventDepth_;
    const ScopeExit over([&] { --eventDepth_; });
    try {
      body();
    } catch (const std::exception& error) {
      errors_.Add(error.what());
    } catch (...) {
      errors_.Add("Unexpected error");
    }
  }
  if (eventDepth_ == 0) ShowPendingErrors();
}

}  // namespace zp
