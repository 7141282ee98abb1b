#pragma once

#include <cstdint>
#include <istream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "feed/PacketCapture.h"

// Reads what zpinspect is given, a capture dump or a transport stream, and
// replays its packets through the module's own packet callback, so that the
// capture holds what the module would hold.
namespace zp::inspect {

enum class InputKind { Dump, Stream };

// A file that is neither a whole capture dump nor a transport stream of
// 188-byte packets. The message says what is wrong, for a person.
class InputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct LoadedCapture {
  InputKind kind = InputKind::Stream;
  uint64_t fileSize = 0;
  // Stream: packets read until the capture was complete or the file ended.
  uint64_t packetsRead = 0;
  std::unique_ptr<PacketCapture> capture = std::make_unique<PacketCapture>();
  // What a person should know about the input beyond the counts.
  std::vector<std::string> notes;
};

// A dump is told from a stream by its size and by its empty slots, which have
// no sync byte. Throws InputError.
LoadedCapture ReadCapture(std::istream& in);

}  // namespace zp::inspect
