#include "feed/ModuleFeed.h"

namespace zp {

namespace {
// Constant-initialised, so the callback never waits on a static-init guard.
constinit PacketCapture g_capture;
PortalLists g_portalLists;
}  // namespace

PacketCapture& ModuleCapture() { return g_capture; }
PortalLists& ModulePortalLists() { return g_portalLists; }

int32_t ZP_STDCALL PacketCallback(const uint8_t* packet, uint32_t, uint32_t) {
  // OnPacket cannot throw; a null packet is the viewer's fault, not a crash of ours.
  if (packet != nullptr) g_capture.OnPacket(packet);
  return 0;
}

}  // namespace zp
