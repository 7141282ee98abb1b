#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "settings/Settings.h"

namespace zp::test {

// A fresh folder per test, removed afterwards.
class TempFolder {
 public:
  TempFolder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = std::filesystem::temp_directory_path() /
            ("zp-" + std::string(info->test_suite_name()) + "-" + info->name());
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() { std::filesystem::remove_all(path_); }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// The main window as loading and saving see it.
class FakeWindow : public SettingsWindow {
 public:
  int32_t TreeColor() const override { return color; }
  void SetTreeColor(int32_t c) override { color = c; }
  FontSpec TreeFont() const override { return font; }
  void SetTreeFont(const FontSpec& f) override { font = f; }
  void SetTimerMenu(bool checked, const std::string& text) override {
    menuChecked = checked;
    caption = text;
  }
  void SetRescanTimer(uint32_t ms, bool enabled) override {
    intervalMs = ms;
    timerRunning = enabled;
  }
  WindowGeometry Bounds() const override { return bounds; }

  int32_t color = static_cast<int32_t>(0xFF000005);  // the design's clWindow
  FontSpec font;
  bool menuChecked = false, timerRunning = false;
  std::string caption;
  uint32_t intervalMs = 0;
  WindowGeometry bounds{120, 40, 480, 170};
};

}  // namespace zp::test
