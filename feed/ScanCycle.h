#pragma once

#include <cstdint>
#include <string>

#include "feed/PacketCapture.h"
#include "feed/Portals.h"
#include "module/HostLink.h"
#include "module/MessageSink.h"

namespace zp {

inline constexpr int kScanTickLimit = 15;  // ticks of 100 ms until a capture ends anyway
inline constexpr int kScanTickIntervalMs = 100;
// The longest a capture runs: it ends at the last tick whether complete or not.
inline constexpr int kScanTimeLimitMs = kScanTickLimit * kScanTickIntervalMs;
// The channel a scan retries on when an ordinary one carries no announcement.
inline constexpr int32_t kPortalServiceId = PortalOf(ListKind::Direkt).serviceId;
// What the user is told when neither the current channel nor the portal channel
// carried the Direkt announcement.
inline constexpr char kNoPortalDataMessage[] = "Cannot find NVOD information";

// What a scan needs from the main window.
class ScanView : public MessageSink {
 public:
  virtual ~ScanView() = default;
  virtual void ClearTree() = 0;
  virtual void SetScanTimer(bool enabled) = 0;   // Timer2, 100 ms
  virtual void SetStatus(const char* text) = 0;  // the hidden status label
  virtual bool BuildTree() = 0;                  // extraction plus rebuild; false: nothing found
  virtual bool TreeBuilt() const = 0;
};

// One scan: ask the viewer for packets, end the capture when it is complete or
// after 15 ticks, stop the delivery and build the tree; when nothing is found on
// an ordinary channel, retry once on the portal channel and tune back.
class ScanCycle {
 public:
  ScanCycle(PacketCapture& capture, HostLink& host, ScanView& view, PacketCallbackFn callback);

  void StartScan();
  void Timer2Timer();
  void FinishScan();
  void Timer1Timer();
  // Ends the running delivery (hidden controls, and before the module goes away).
  void StopDelivery();

  bool Capturing() const { return capturing_; }
  int32_t TickCount() const { return tickCount_; }
  int32_t PortalPosition() const { return portalPosition_; }
  void SetPortalPosition(int32_t position) { portalPosition_ = position; }
  int32_t ReturnPosition() const { return returnPosition_; }
  void ResetReturnPosition() {
    returnPosition_ = 0;
    retrying_ = false;
  }
  const PacketFilterRequest& Request() const { return request_; }

 private:
  void FillRequest();

  PacketCapture& capture_;
  HostLink& host_;
  ScanView& view_;
  PacketCallbackFn callback_;
  PacketFilterRequest request_{};
  int32_t tickCount_ = 0;
  int32_t portalPosition_ = 0;
  int32_t returnPosition_ = 0;
  bool retrying_ = false;   // the running capture is the retry on the portal channel
  bool capturing_ = false;  // a delivery was requested and not yet stopped
};

}  // namespace zp
