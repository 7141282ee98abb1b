#include "ui/win32/FormEvents.h"

namespace zp {

int FormEvents::ModalBox(const std::string& text, UINT style) {
  ++modalDepth_;
  const ScopeExit closed([&] { --modalDepth_; });
  return owner_.Box(text.c_str(), caption_, style);
}

void FormEvents::ShowPendingErrors() {
  // Events that run while a box is open queue their errors for this loop.
  if (showingErrors_ > 0) return;
  ++showingErrors_;
  const ScopeExit shown([&] { --showingErrors_; });
  while (!errors_.Empty()) {
    for (const std::string& text : errors_.Take()) ModalBox(text, MB_OK | MB_ICONERROR);
  }
}

}  // namespace zp
