// Arbitrary bytes as a hand-edited settings file: load, save, load again.
// Errors the user can cause are SettingsErrors; nothing else may escape. The
// file is held in memory: it reads and writes as the one on disk does (the
// unit tests compare the two), and the disk took most of an input's time.
#include <cstdint>
#include <string>

#include "settings/MemoryProfileFile.h"
#include "settings/MemorySettingsWindow.h"
#include "settings/Settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Made per input, so that everything an input allocates is freed with it:
  // state kept from one input to the next makes libFuzzer run its leak check
  // again and again, which cost more than the 997 buckets of each dictionary.
  zp::MemoryProfileFile profile("zp-fuzz.ini",
                                std::string(reinterpret_cast<const char*>(data), size));
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
  return 0;
}
