// Arbitrary bytes as a hand-edited settings file: load, save, load again.
// Errors the user can cause are SettingsErrors; nothing else may escape.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "settings/MemorySettingsWindow.h"
#include "settings/PortableProfileFile.h"
#include "settings/Settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "zp-fuzz-" + std::to_string(getpid()) + ".ini";
  if (FILE* file = std::fopen(path.c_str(), "wb")) {
    std::fwrite(data, 1, size, file);
    std::fclose(file);
  }
  zp::PortableProfileFile profile(path);
  zp::MemorySettingsWindow window({1, 2, 300, 200});
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
