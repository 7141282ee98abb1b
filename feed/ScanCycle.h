#pragma once

#include <cstdint>

#include "feed/FeedContext.h"
#include "feed/PacketCapture.h"
#include "feed/Portals.h"
#include "module/HostLink.h"

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

// One scan: ask the viewer for packets, end the capture when it is complete or
// after 15 ticks, stop the delivery and build the tree; when nothing is found on
// an ordinary channel, retry once on the portal channel and tune back.
//
// The main window derives from it and answers the hooks below, which the scan
// calls at fixed points of its cycle.
class ScanCycle {
 public:
  virtual ~ScanCycle() = default;
  ScanCycle(const ScanCycle&) = delete;
  ScanCycle& operator=(const ScanCycle&) = delete;

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

 protected:
  explicit ScanCycle(const FeedContext& feed) : feed_(feed) {}

  const FeedContext& Feed() const { return feed_; }

  // A new capture begins: the results of the last one go.
  virtual void CaptureStarting() = 0;
  // The 100 ms ticks that drive Timer2Timer.
  virtual void SetTicking(bool enabled) = 0;
  virtual void ReportProgress(const char* text) = 0;
  // Neither the current channel nor the portal channel gave anything.
  virtual void ReportFailure(const char* text) = 0;
  // Extraction plus rebuild; false: nothing found.
  virtual bool BuildTree() = 0;
  virtual bool TreeBuilt() const = 0;

 private:
  void FillRequest();

  const FeedContext feed_;
  PacketFilterRequest request_{};
  int32_t tickCount_ = 0;
  int32_t portalPosition_ = 0;
  int32_t returnPosition_ = 0;
  bool retrying_ = false;   // the running capture is the retry on the portal channel
  bool capturing_ = false;  // a delivery was requested and not yet stopped
};

}  // namespace zp
