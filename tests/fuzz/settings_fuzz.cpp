// Arbitrary bytes as a hand-edited settings file: load, save, load again.
// Errors the user can cause are SettingsErrors; nothing else may escape.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "settings/PortableProfileFile.h"
#include "settings/Settings.h"

namespace {

class NullWindow : public zp::SettingsWindow {
 public:
  int32_t TreeColor() const override { return color_; }
  void SetTreeColor(int32_t color) override { color_ = color; }
  zp::FontSpec TreeFont() const override { return font_; }
  void SetTreeFont(const zp::FontSpec& font) override { font_ = font; }
  void SetTimerMenu(bool, const std::string&) override {}
  void SetRescanTimer(uint32_t, bool) override {}
  zp::WindowGeometry Bounds() const override { return {1, 2, 300, 200}; }

 private:
  int32_t color_ = 0;
  zp::FontSpec font_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "zp-fuzz-" + std::to_string(getpid()) + ".ini";
  if (FILE* file = std::fopen(path.c_str(), "wb")) {
    std::fwrite(data, 1, size, file);
    std::fclose(file);
  }
  zp::PortableProfileFile profile(path);
  NullWindow window;
  zp::Settings settings(profile, window);
  for (int round = 0; round < 2; ++round) {
    try {
      settings.Load();
    } catch (const zp::SettingsError&) {
    }
    try {
      settings.Save();
    } catch (const zp::SettingsError&) {
    }
  }
  std::remove(path.c_str());
  return 0;
}
