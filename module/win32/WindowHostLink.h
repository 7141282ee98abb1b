#pragma once

#include <windows.h>

#include "module/HostLink.h"

namespace zp {

// Sends every command synchronously to the viewer's main window.
class WindowHostLink final : public HostLink {
 public:
  void SetWindow(HWND window) { window_ = window; }
  HWND Window() const { return window_; }
  void Send(HostCommandCode code, intptr_t argument) override {
    if (window_ == nullptr) return;
    SendMessageA(window_, kHostCommandMessage, static_cast<WPARAM>(code),
                 static_cast<LPARAM>(argument));
  }

 private:
  HWND window_ = nullptr;
};

}  // namespace zp
