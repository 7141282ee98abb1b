#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "module/HostLink.h"
#include "module/MessageSink.h"

namespace zp {

// DVB service ids are 16 bits; ordinary channels mostly use large ones.
inline constexpr int32_t kMaxIndexedServiceId = 65535;

// The 32-byte name field as text: every byte that is not zero, in order.
std::string FixedNameText(const char (&field)[32]);

// Maps every service id 0..65535 to the viewer's channel position (0 = none),
// built once from the viewer's table, which is read in place. A slot is two
// bytes, since positions stay below 8000: 128 KiB in all.
class ServiceIndex {
 public:
  void Build(const HostChannelTable* table);
  bool Built() const { return built_; }
  void Invalidate() { built_ = false; }
  // Builds first if needed. Ids outside 1..65535 have no channel.
  int32_t FindServicePosition(const HostChannelTable* table, int32_t serviceId);

 private:
  static_assert(kHostChannelCount - 1 <= UINT16_MAX, "a slot must hold every position");
  std::array<uint16_t, kMaxIndexedServiceId + 1> slots_{};
  bool built_ = false;
};

// Tunes the viewer, or tells the user that the channel is missing.
void TuneToService(ServiceIndex& index, const HostChannelTable* table, HostLink& host,
                   MessageSink& messages, int32_t serviceId);
// One message per qualifying record with that service id, in position order.
void ShowChannelInfo(const HostChannelTable* table, MessageSink& messages, int32_t serviceId);
// The Channel Info text of one record.
std::string ChannelInfoText(const HostChannelRecord& record);

}  // namespace zp
