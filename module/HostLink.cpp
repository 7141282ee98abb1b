#include "module/HostLink.h"

#include <cstring>

namespace zp {

namespace {
template <class T>
intptr_t AddressOf(T* pointer) {
  return reinterpret_cast<intptr_t>(pointer);
}
}  // namespace

void SendHostInfoQuery(HostLink& host) {
  // The viewer is asked for at least 25 bytes; a roomier buffer keeps a viewer
  // that writes more than it was asked for off the module's stack.
  alignas(4) uint8_t reply[256] = {};
  const uint32_t size = kHostInfoQuerySize;
  std::memcpy(reply, &size, sizeof size);
  host.Send(HostCommandCode::HostInfoQuery, AddressOf(reply));
}

const HostChannelTable* FetchChannelTable(HostLink& host) {
  // The viewer writes a 32-bit address; the variable is pointer-sized so the
  // native build can be handed a real 64-bit one by its test double.
  uintptr_t address = 0;
  host.Send(HostCommandCode::GetChannelTable, AddressOf(&address));
  return reinterpret_cast<const HostChannelTable*>(address);
}

void StartPacketFilter(HostLink& host, PacketFilterRequest& request) {
  host.Send(HostCommandCode::StartPacketFilter, AddressOf(&request));
}

void StopPacketFilter(HostLink& host, uint32_t handle) {
  host.Send(HostCommandCode::StopPacketFilter, static_cast<intptr_t>(handle));
}

void TuneToPosition(HostLink& host, int32_t position) {
  host.Send(HostCommandCode::TuneToPosition, static_cast<intptr_t>(position));
}

int32_t GetCurrentPosition(HostLink& host) {
  int32_t position = -1;
  host.Send(HostCommandCode::GetCurrentPosition, AddressOf(&position));
  return position;
}

}  // namespace zp
