// Arbitrary bytes as a file given to zpinspect: read as a stream (or, with a
// first byte of 0xFF, as a dump: the rest padded or cut to a dump's size),
// inspected and reported both ways. A bad file may only end in InputError.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "feed/CaptureDump.h"
#include "tools/zpinspect/Report.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  if (size > 0 && data[0] == 0xFF) {
    bytes.erase(0, 1);
    bytes.resize(zp::kDumpFileSize, '\0');
  }
  std::istringstream in(bytes);
  try {
    const zp::inspect::Inspection inspection = zp::inspect::Inspect(zp::inspect::ReadCapture(in));
    (void)zp::inspect::TextReport(inspection, "fuzz");
    (void)zp::inspect::JsonReport(inspection, "fuzz");
  } catch (const zp::inspect::InputError&) {
  }
  return 0;
}
