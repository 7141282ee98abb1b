#include "feed/ScanCycle.h"

#include <cstring>

namespace zp {

namespace {
constexpr uint16_t kRequestWord4 = 2;
constexpr uint16_t kRequestWord6 = 0x2000;  // one above the largest 13-bit PID
constexpr char kOwnerName[] = "Zanterpoint";
}  // namespace

ScanCycle::ScanCycle(PacketCapture& capture, HostLink& host, ScanView& view,
                     PacketCallbackFn callback)
    : capture_(capture), host_(host), view_(view), callback_(callback) {}

void ScanCycle::FillRequest() {
  std::memset(&request_, 0, sizeof request_);
  request_.Size = sizeof(PacketFilterRequest);
  request_.Word4 = kRequestWord4;
  request_.Word6 = kRequestWord6;
  request_.Callback = ToHostAddress(callback_);
  std::memcpy(request_.OwnerName, kOwnerName, sizeof kOwnerName - 1);
}

void ScanCycle::StartScan() {
  // A restart while packets still flow ends that delivery first: zeroing the
  // request below would otherwise lose its handle and leave it running.
  if (capturing_) StopDelivery();

  view_.ClearTree();
  capture_.Reset();
  tickCount_ = 0;
  view_.SetScanTimer(true);
  FillRequest();
  view_.SetStatus("Start");
  capturing_ = true;
  StartPacketFilter(host_, request_);
}

void ScanCycle::StopDelivery() {
  StopPacketFilter(host_, request_.Handle);
  capturing_ = false;
}

void ScanCycle::Timer2Timer() {
  ++tickCount_;
  if (tickCount_ >= kScanTickLimit) capture_.MarkComplete();
  if (!capture_.Complete()) return;
  StopDelivery();
  view_.SetScanTimer(false);
  FinishScan();
}

void ScanCycle::FinishScan() {
  if (view_.BuildTree()) {
    if (returnPosition_ > 0) TuneToPosition(host_, returnPosition_);
    ResetReturnPosition();
    return;
  }

  const int32_t current = GetCurrentPosition(host_);
  // Give up when the failed scan ran on the portal channel, when it already was
  // the retry (a viewer that never reports the portal position would otherwise
  // retry for ever), or when the viewer has no portal channel to retry on.
  if (current == portalPosition_ || retrying_ || portalPosition_ <= 0) {
    if (returnPosition_ > 0) TuneToPosition(host_, returnPosition_);
    ResetReturnPosition();
    view_.ShowMessage(kNoPortalDataMessage);
    return;
  }
  returnPosition_ = current;
  retrying_ = true;
  TuneToPosition(host_, portalPosition_);
  StartScan();
}

void ScanCycle::Timer1Timer() {
  if (view_.TreeBuilt()) StartScan();
}

}  // namespace zp
