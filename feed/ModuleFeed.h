#pragma once

#include <cstdint>

#include "feed/PacketCapture.h"
#include "feed/PortalExtraction.h"

namespace zp {

// The module's one capture, alive as long as the module is loaded; the
// viewer's packet callback writes into it.
PacketCapture& ModuleCapture();
// The three portal lists of the last extraction.
PortalLists& ModulePortalLists();

// Called by the viewer once per delivered packet, on a thread of its choosing.
int32_t ZP_STDCALL PacketCallback(const uint8_t* packet, uint32_t, uint32_t);

}  // namespace zp
