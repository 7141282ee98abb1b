#include "ui/win32/FormTimers.h"

#include "feed/ScanCycle.h"

namespace zp {

void FormTimers::SetRescanTimer(uint32_t intervalMs, bool enabled) {
  const HWND window = owner_.Handle();
  switch (timer1_.Apply(intervalMs, enabled)) {
    case RescanTimer::Change::Start:
      if (window != nullptr) SetTimer(window, kTimer1, intervalMs, nullptr);
      break;
    case RescanTimer::Change::Stop:
      if (window != nullptr) KillTimer(window, kTimer1);
      break;
    case RescanTimer::Change::None:
      break;
  }
}

void FormTimers::DisableRescanTimer() {
  if (timer1_.Disable() == RescanTimer::Change::Stop && owner_.Handle() != nullptr) {
    KillTimer(owner_.Handle(), kTimer1);
  }
}

void FormTimers::SetScanTimer(bool enabled) {
  const HWND window = owner_.Handle();
  if (enabled == timer2Running_ || window == nullptr) return;
  if (enabled) {
    SetTimer(window, kTimer2, kScanTickIntervalMs, nullptr);
  } else {
    KillTimer(window, kTimer2);
  }
  timer2Running_ = enabled;
}

void FormTimers::Forget() {
  timer1_.Disable();
  timer2Running_ = false;
}

}  // namespace zp
