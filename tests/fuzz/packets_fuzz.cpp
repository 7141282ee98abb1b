// Arbitrary bytes as the viewer's packet stream: every 188 bytes go through the
// packet callback, then the portal lists are extracted from what was kept.
// A first byte of 0xFF instead loads the bytes straight into the capture slots,
// so extraction also meets buffers no capture could produce.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "feed/ModuleFeed.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static auto capture = std::make_unique<zp::PacketCapture>();
  static zp::PortalLists lists;
  if (size > 0 && data[0] == 0xFF) {
    static auto raw = std::make_unique<zp::CaptureBuffer>();
    std::memset(raw.get(), 0, sizeof *raw);
    std::memcpy(raw.get(), data + 1, std::min(size - 1, sizeof *raw));
    zp::ExtractPortalLists(*raw, lists);
    return 0;
  }
  capture->Reset();
  for (size_t at = 0; at + zp::kTsPacketSize <= size; at += zp::kTsPacketSize) {
    zp::PacketCallback(data + at, 0, 0);
    capture->OnPacket(data + at);
  }
  zp::ExtractPortalLists(capture->Sections(), lists, &capture->SectionCaptures());
  for (int n = 0; n < zp::kInfoTextCount; ++n) (void)capture->InfoText(n);
  return 0;
}
