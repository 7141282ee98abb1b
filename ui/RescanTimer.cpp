#include "ui/RescanTimer.h"

namespace zp {

RescanTimer::Change RescanTimer::Apply(uint32_t intervalMs, bool enabled) {
  const bool wasRunning = Running();
  const bool intervalChanged = intervalMs != intervalMs_;
  intervalMs_ = intervalMs;
  enabled_ = enabled;
  if (!Running()) return wasRunning ? Change::Stop : Change::None;
  return (!wasRunning || intervalChanged) ? Change::Start : Change::None;
}

}  // namespace zp
