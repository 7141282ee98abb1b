#pragma once

#include <cstdint>
#include <string>

#include "settings/Settings.h"

namespace zp {

// The main window as loading and saving see it, held in memory: for tools and
// tests that read and write settings files without a screen.
class MemorySettingsWindow : public SettingsWindow {
 public:
  explicit MemorySettingsWindow(WindowGeometry liveBounds = {}) : bounds(liveBounds) {}

  int32_t TreeColor() const override { return color; }
  void SetTreeColor(int32_t c) override { color = c; }
  FontSpec TreeFont() const override { return font; }
  void SetTreeFont(const FontSpec& f) override { font = f; }
  void SetTimerMenu(bool checked, int32_t intervalSeconds) override {
    menuChecked = checked;
    menuSeconds = intervalSeconds;
  }
  void SetRescanTimer(uint32_t ms, bool enabled) override {
    intervalMs = ms;
    timerRunning = enabled;
  }
  WindowGeometry Bounds() const override { return bounds; }

  int32_t color = kDefaultTreeColor;
  FontSpec font;
  bool menuChecked = false, timerRunning = false;
  int32_t menuSeconds = 0;  // the interval the Timer menu item shows
  uint32_t intervalMs = 0;
  WindowGeometry bounds;
};

}  // namespace zp
