#pragma once

#include <windows.h>

#include <string>

#include "feed/CaptureDump.h"

namespace zp {

// Error boxes of the dump, owned by the given window.
class Win32ErrorBox final : public ErrorBox {
 public:
  explicit Win32ErrorBox(HWND owner) : owner_(owner) {}
  void ShowError(const std::string& text, const std::string& title) override;

 private:
  HWND owner_;
};

}  // namespace zp
