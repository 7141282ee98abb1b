#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/RescanTimer.h"
#include "ui/win32/Window.h"

namespace zp {

// The main window's timers: Timer1, the periodic rescan, and Timer2, the
// scan's progress. Nothing runs while the window has no handle.
class FormTimers {
 public:
  enum TimerId : UINT_PTR { kTimer1 = 1, kTimer2 = 2 };

  explicit FormTimers(const Window& owner) : owner_(owner) {}

  void SetRescanTimer(uint32_t intervalMs, bool enabled);
  void DisableRescanTimer();
  // Enabling a running timer keeps its phase.
  void SetScanTimer(bool enabled);
  // A Timer1 tick that was queued before the timer stopped is not a rescan.
  bool RescanEnabled() const { return timer1_.Enabled(); }
  // The window is gone, and its timers with it.
  void Forget();

 private:
  const Window& owner_;
  RescanTimer timer1_;
  bool timer2Running_ = false;
};

}  // namespace zp
