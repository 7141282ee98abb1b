#pragma once

#include <cstdint>

#include "module/HostInterface.h"

namespace zp {

// The one road to the viewer. The DLL sends window messages; native tests plug
// in a recording double. Results are never examined, so Send returns nothing.
class HostLink {
 public:
  virtual ~HostLink() = default;
  virtual void Send(HostCommandCode code, intptr_t argument) = 0;
};

// Typed commands, so callers never build an lParam by hand.
void SendHostInfoQuery(HostLink& host);
const HostChannelTable* FetchChannelTable(HostLink& host);
void StartPacketFilter(HostLink& host, PacketFilterRequest& request);
void StopPacketFilter(HostLink& host, uint32_t handle);
void TuneToPosition(HostLink& host, int32_t position);
// Returns -1 when the viewer leaves the variable untouched.
int32_t GetCurrentPosition(HostLink& host);

}  // namespace zp
