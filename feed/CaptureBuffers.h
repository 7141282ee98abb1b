#pragma once

#include <array>
#include <cstdint>

#include "module/HostInterface.h"

namespace zp {

inline constexpr int kCaptureSlots = 1000;

using TsPacket = std::array<uint8_t, kTsPacketSize>;
// 1000 slots of one packet each, preallocated for the module's lifetime.
using CaptureBuffer = std::array<TsPacket, kCaptureSlots>;

}  // namespace zp
