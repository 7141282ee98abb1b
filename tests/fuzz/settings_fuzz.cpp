// Arbitrary bytes as a hand-edited settings file: load, save, load again.
// Errors the user can cause are SettingsErrors; nothing else may escape. The
// file is held in memory: it reads and writes as the one on disk does (the
// unit tests compare the two), and the disk took most of an input's time.
#include <cstdint>
#include <string>

#include "settings/MemoryProfileFile.h"
#include "settings/MemorySettingsWindow.h"
#include "settings/Settings.h"

namespace {

template <typename Step>
void Run(Step step) {
  try {
    step();
  } catch (const zp::SettingsError&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Made once: every load starts from empty dictionaries and sets every value
  // a save writes, so nothing of one input reaches the next, and the 997
  // buckets of each dictionary are not made and freed per input.
  static zp::MemoryProfileFile profile("zp-fuzz.ini");
  static zp::MemorySettingsWindow window;
  static zp::Settings settings(profile, window);
  profile.SetBytes(std::string(reinterpret_cast<const char*>(data), size));
  window = zp::MemorySettingsWindow({1, 2, 300, 200});
  for (int round = 0; round < 2; ++round) {
    Run([] { settings.Load(); });
    Run([] { settings.Save(); });
  }
  // Ends as every input starts, with the few entries of a load from no file:
  // what an input leaves allocated would make libFuzzer hunt for a leak.
  profile.Remove();
  Run([] { settings.Load(); });
  return 0;
}
