#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "module/HostLink.h"
#include "module/MessageSink.h"

namespace zp {

inline constexpr int32_t kMaxIndexedServiceId = 8000;

// The 32-byte name field as text: every byte that is not zero, in order.
std::string FixedNameText(const char (&field)[32]);

// Maps service ids 0..8000 to the viewer's channel positions (0 = none),
// built once from the viewer's table, which is read in place.
class ServiceIndex {
 public:
  void Build(const HostChannelTable* table);
  bool Built() const { return built_; }
  void Invalidate() { built_ = false; }
  // Builds first if needed. Ids outside 1..8000 have no channel.
  int32_t FindServicePosition(const HostChannelTable* table, int32_t serviceId);

 private:
  std::array<int32_t, kMaxIndexedServiceId + 1> slots_{};
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
