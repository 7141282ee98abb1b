#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "module/HostInterface.h"

namespace zp::viewer {

// A transport-stream file held in memory, played packet by packet. Packets are
// delivered byte for byte as stored, whatever their sync byte says: a viewer
// hands on what the tuner gives it.
class TransportStream {
 public:
  // Reads the whole file; a trailing partial packet is left out. Throws
  // std::runtime_error when the file cannot be read.
  static TransportStream Load(const std::string& path);
  static TransportStream FromBytes(std::vector<uint8_t> bytes);

  size_t Packets() const { return bytes_.size() / kTsPacketSize; }
  size_t TrailingBytes() const { return trailing_; }
  const uint8_t* Packet(size_t index) const { return bytes_.data() + index * kTsPacketSize; }

 private:
  std::vector<uint8_t> bytes_;
  size_t trailing_ = 0;
};

// Packets due at a steady rate, from the time that has passed: fractions carry
// over between calls, and after a stall at most a tenth of a second is caught up.
class PacketPacer {
 public:
  explicit PacketPacer(double packetsPerSecond) : rate_(packetsPerSecond) {}
  void SetRate(double packetsPerSecond) { rate_ = packetsPerSecond; }
  size_t Due(double elapsedSeconds);

 private:
  double rate_;
  double credit_ = 0;
};

}  // namespace zp::viewer
