#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "Handles.h"
#include "Stream.h"
#include "module/HostInterface.h"

namespace zp::viewer {

// The stream of the transponder the viewer is tuned to, shared by every
// running delivery. A tune waits for the batches in flight, so that once it
// has returned no packet of the old transponder is delivered any more.
class PacketSource {
 public:
  struct Cursor {
    uint64_t generation = UINT64_MAX;
    size_t next = 0;
  };

  // nullptr: the tuner receives nothing. The same stream again changes nothing.
  void Switch(const TransportStream* stream);

  // Plays up to `count` packets from the cursor, looping over the stream; a
  // cursor from before the last switch starts the new stream from its first
  // packet. Returns how many were played.
  template <class OnPacket>
  size_t Play(Cursor& cursor, size_t count, OnPacket&& onPacket) {
    SharedLock hold(lock_);
    if (cursor.generation != generation_) cursor = {generation_, 0};
    if (stream_ == nullptr || stream_->Packets() == 0) return 0;
    for (size_t i = 0; i < count; ++i) {
      if (!onPacket(stream_->Packet(cursor.next))) return i;
      cursor.next = (cursor.next + 1) % stream_->Packets();
    }
    return count;
  }

 private:
  SrwLock lock_;
  const TransportStream* stream_ = nullptr;
  uint64_t generation_ = 0;
};

enum class DeliveryMode { Thread, UiThread };

// What the packet callback costs inside the delivery loop: the loop's time with
// the module's callback, beside the same packets through an empty callback.
struct CallbackCost {
  uint64_t packets = 0;
  int64_t moduleTicks = 0;  // performance-counter ticks
  int64_t emptyTicks = 0;

  CallbackCost& operator+=(const CallbackCost& other) {
    packets += other.packets;
    moduleTicks += other.moduleTicks;
    emptyTicks += other.emptyTicks;
    return *this;
  }
  CallbackCost operator-(const CallbackCost& other) const {
    return {packets - other.packets, moduleTicks - other.moduleTicks,
            emptyTicks - other.emptyTicks};
  }
};

// One delivery the module asked for with StartPacketFilter: calls its packet
// callback once per packet at the viewer's packet rate, from a thread of its
// own (as real viewers do) or from the viewer's timer on the user-interface thread.
class Delivery {
 public:
  Delivery(uint32_t handle, PacketCallbackFn callback, PacketSource& source, DeliveryMode mode,
           const std::atomic<int>& rate);
  ~Delivery();
  Delivery(const Delivery&) = delete;
  Delivery& operator=(const Delivery&) = delete;

  bool Start();
  // Returns only when no further callback call can happen.
  void Stop();
  // User-interface mode: plays the packets that are due.
  void Tick();

  uint32_t Handle() const { return handle_; }
  DeliveryMode Mode() const { return mode_; }
  bool Stopped() const { return stopped_; }
  uint64_t Packets() const { return packets_.load(); }
  CallbackCost Cost() const;

 private:
  static DWORD WINAPI ThreadMain(LPVOID self);
  void PlayDue();

  uint32_t handle_;
  PacketCallbackFn callback_;
  PacketSource& source_;
  DeliveryMode mode_;
  const std::atomic<int>& rate_;
  PacketSource::Cursor cursor_;
  PacketPacer pacer_;
  LARGE_INTEGER last_{};
  LARGE_INTEGER frequency_{};
  std::atomic<uint64_t> packets_{0};
  std::atomic<uint64_t> measured_{0};  // packets the costs were measured on
  std::atomic<int64_t> moduleTicks_{0};
  std::atomic<int64_t> emptyTicks_{0};
  std::atomic<bool> stopped_{false};
  UniqueHandle stopEvent_;
  UniqueHandle thread_;
};

}  // namespace zp::viewer
