#pragma once

#include <cstdint>
#include <cstring>
#include <string>

#include "feed/CaptureBuffers.h"

namespace zp::test {

inline TsPacket MakePacket(uint8_t byte1, uint8_t byte2, uint8_t fill = 0) {
  TsPacket packet;
  packet.fill(fill);
  packet[0] = 0x47;
  packet[1] = byte1;
  packet[2] = byte2;
  packet[3] = 0x10;
  return packet;
}

inline TsPacket SectionPacket(uint8_t fill = 0) { return MakePacket(0x40, 0x12, fill); }

// An information packet: index character at byte 29, length at 40, text from 41.
inline TsPacket InfoPacket(char index, const std::string& text) {
  TsPacket packet = MakePacket(0x49, 0x97, 'x');
  packet[29] = static_cast<uint8_t>(index);
  packet[40] = static_cast<uint8_t>(text.size() - 1);
  std::memcpy(packet.data() + 41, text.data(), text.size());
  return packet;
}

}  // namespace zp::test
