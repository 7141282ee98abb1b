#include "feed/ScanCycle.h"

#include <cstring>

namespace zp {

namespace {
constexpr uint16_t kRequestWord4 = 2;
constexpr uint16_t kRequestWord6 = 0x2000;  // one above the largest 13-bit PID
constexpr char kOwnerName[] = "Zanterpoint";
}  // namespace

void ScanCycle::FillRequest() {
  std::memset(&request_, 0, sizeof request_);
  request_.Size = sizeof(PacketFilterRequest);
  request_.Word4 = kRequestWord4;
  request_.Word6 = kRequestWord6;
  request_.Callback = ToHostAddress(feed_.packetCallback);
  std::memcpy(request_.OwnerName, kOwnerName, sizeof kOwnerName - 1);
}

void ScanCycle::StartScan() {
  // A restart while packets still flow ends that delivery first: zeroing the
  // request below would otherwise lose its handle and leave it running.
  if (capturing_) StopDelivery();

  CaptureStarting();
  feed_.capture.Reset();
  tickCount_ = 0;
  SetTicking(true);
  FillRequest();
  ReportProgress("Start");
  capturing_ = true;
  StartPacketFilter(feed_.host, request_);
}

void ScanCycle::StopDelivery() {
  StopPacketFilter(feed_.host, request_.Handle);
  capturing_ = false;
}

void ScanCycle::Timer2Timer() {
  ++tickCount_;
  if (tickCount_ >= kScanTickLimit) feed_.capture.MarkComplete();
  if (!feed_.capture.Complete()) return;
  StopDelivery();
  SetTicking(false);
  FinishScan();
}

void ScanCycle::FinishScan() {
  if (BuildTree()) {
    if (returnPosition_ > 0) TuneToPosition(feed_.host, returnPosition_);
    ResetReturnPosition();
    return;
  }

  const int32_t current = GetCurrentPosition(feed_.host);
  // Give up when the failed scan ran on the portal channel, when it already was
  // the retry (a viewer that never reports the portal position would otherwise
  // retry for ever), or when the viewer has no portal channel to retry on.
  if (current == portalPosition_ || retrying_ || portalPosition_ <= 0) {
    if (returnPosition_ > 0) TuneToPosition(feed_.host, returnPosition_);
    ResetReturnPosition();
    ReportFailure(kNoPortalDataMessage);
    return;
  }
  returnPosition_ = current;
  retrying_ = true;
  TuneToPosition(feed_.host, portalPosition_);
  StartScan();
}

void ScanCycle::Timer1Timer() {
  if (TreeBuilt()) StartScan();
}

}  // namespace zp
