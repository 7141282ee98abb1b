// The settings file in memory against the portable file's way of keeping its
// lines: the in-memory file reads again only the lines a write touches, the
// portable one parses the whole file after every write. Arbitrary bytes as
// the file, then reads, listings and writes of arbitrary names and values;
// any difference in a result or in the bytes is a crash.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "settings/MemoryProfileFile.h"
#include "settings/ProfileText.h"

namespace {

void Check(bool same) {
  if (!same) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string bytes = input.ConsumeRandomLengthString(4096);
  zp::MemoryProfileFile memory("fuzz.ini", bytes);
  zp::ProfileText whole;
  whole.Assign(true, bytes);
  while (input.remaining_bytes() > 0) {
    const uint8_t op = input.ConsumeIntegral<uint8_t>();
    const std::string section = input.ConsumeRandomLengthString(24);
    const std::string key = input.ConsumeRandomLengthString(24);
    switch (op % 3) {
      case 0: {
        const std::string value = input.ConsumeRandomLengthString(3000);
        Check(memory.Write(section, key, value));
        if (std::optional<std::string> written = whole.Written(section, key, value)) {
          whole.Assign(true, std::move(*written));
        }
        Check(memory.Bytes() == whole.Text());
        break;
      }
      case 1: {
        const std::string fallback = input.ConsumeRandomLengthString(24);
        Check(memory.Read(section, key, fallback) == whole.Read(section, key, fallback));
        break;
      }
      default:
        Check(memory.ReadSection(section) == whole.ReadSection(section));
        break;
    }
  }
  return 0;
}
