#pragma once

#include "feed/PacketCapture.h"
#include "feed/PortalExtraction.h"
#include "module/HostLink.h"

namespace zp {

// What the scan works with, made once where the module is put together and
// lent to the main window as one: the link to the viewer, the capture the
// packet callback fills, the portal lists of the last extraction and that
// callback, whose address goes to the viewer with every start command.
struct FeedContext {
  HostLink& host;
  PacketCapture& capture;
  PortalLists& portalLists;
  PacketCallbackFn packetCallback;
};

}  // namespace zp
