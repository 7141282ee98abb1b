#pragma once

#include <array>
#include <cstdint>

#include "module/HostInterface.h"

namespace zp {

inline constexpr int kCaptureSlots = 1000;

using TsPacket = std::array<uint8_t, kTsPacketSize>;
// 1000 slots of one packet each, preallocated for the module's lifetime.
using CaptureBuffer = std::array<TsPacket, kCaptureSlots>;
// Which capture stored each slot. Neighbouring slots of the same number were
// stored one after the other; 0 marks a slot that no capture has filled.
using CaptureNumbers = std::array<uint32_t, kCaptureSlots>;

}  // namespace zp
