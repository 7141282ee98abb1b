#pragma once

#include <cstdint>
#include <string>

namespace zp {

// The Timer menu item's caption for an interval in seconds, e.g. "Timer (60s)".
inline std::string TimerMenuCaption(int32_t intervalSeconds) {
  return "Timer (" + std::to_string(intervalSeconds) + "s)";
}

// The periodic rescan timer (Timer1) as every settings load drives it: setting
// an unchanged interval or enabled state leaves a running countdown alone, a
// changed one restarts it. A timer with interval 0 never ticks.
class RescanTimer {
 public:
  enum class Change { None, Start, Stop };  // Start also restarts a running countdown

  Change Apply(uint32_t intervalMs, bool enabled);
  Change Disable() { return Apply(intervalMs_, false); }

  bool Enabled() const { return enabled_; }
  uint32_t IntervalMs() const { return intervalMs_; }

 private:
  bool Running() const { return enabled_ && intervalMs_ > 0; }

  uint32_t intervalMs_ = 0;
  bool enabled_ = false;
};

}  // namespace zp
