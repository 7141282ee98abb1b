#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include "ChannelList.h"
#include "PacketDelivery.h"
#include "Stream.h"
#include "Transcript.h"

namespace zp::viewer {

// The viewer's side of the command interface: answers message 1345, lends the
// channel table, runs the packet deliveries and keeps the current position.
class HostSide {
 public:
  // streams[i] is what transponder i of the list plays.
  HostSide(Transcript& transcript, const ChannelList& list, std::vector<TransportStream> streams,
           HostChannelTable& table);
  ~HostSide();
  HostSide(const HostSide&) = delete;
  HostSide& operator=(const HostSide&) = delete;

  void SetModule(HMODULE module) { module_ = module; }
  void SetDeliveryMode(DeliveryMode mode) { mode_ = mode; }
  DeliveryMode Mode() const { return mode_; }
  void SetRate(int packetsPerSecond) { rate_ = packetsPerSecond; }
  int Rate() const { return rate_.load(); }

  // Message 1345: wParam the command code, lParam its argument.
  LRESULT Command(WPARAM code, LPARAM argument);
  // The viewer tunes by itself, as when the user picks a channel.
  void ViewerTune(int position);
  // Ends every running delivery, e.g. before the module is unloaded.
  void StopAll(const char* by);
  // The viewer's delivery timer (user-interface mode).
  void OnDeliveryTimer();

  int Position() const { return position_; }
  const ChannelList& List() const { return list_; }
  std::function<void()> onPositionChanged;

  // What a script watches to know that a scan is over.
  int Starts() const { return starts_; }
  size_t ActiveDeliveries() const { return deliveries_.size(); }
  DWORD LastCommandTick() const { return lastCommand_; }
  // Performance-counter value when the latest delivery started; 0 before any.
  int64_t LastStartCounter() const { return lastStart_; }
  // The callback's cost in every delivery since the previous call.
  CallbackCost TakeCallbackCost();

 private:
  bool Tune(int position);
  std::string CallbackPlace(uint32_t callback) const;
  void HostInfoQuery(void* buffer, std::string& line);
  void StartPacketFilter(void* request, const std::string& line);
  void StopPacketFilter(LPARAM handle, std::string& line);
  void EndDelivery(Delivery& delivery, const char* by);
  void RemoveStopped();

  Transcript& transcript_;
  ChannelList list_;
  std::vector<TransportStream> streams_;
  HostChannelTable& table_;
  HMODULE module_ = nullptr;
  PacketSource source_;
  DeliveryMode mode_ = DeliveryMode::Thread;
  std::atomic<int> rate_{20000};
  int position_ = 0;
  uint32_t nextHandle_ = 1;
  std::vector<std::unique_ptr<Delivery>> deliveries_;
  bool inUiDelivery_ = false;
  int starts_ = 0;
  int64_t lastStart_ = 0;
  CallbackCost endedCost_;  // of deliveries that have ended
  CallbackCost takenCost_;  // what TakeCallbackCost has reported so far
  DWORD lastCommand_ = 0;
};

}  // namespace zp::viewer
