#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>

#include "feed/CaptureBuffers.h"

namespace zp {

// The two PIDs the capture keeps: event information sections, which carry the
// portal announcements, and the information texts.
inline constexpr int kSectionPid = 0x0012;
inline constexpr int kInfoPid = 0x0997;
// Byte 1 of an information packet: its PID's high bits with payload unit start
// set, transport error and priority clear.
inline constexpr uint8_t kInfoPacketByte1 = 0x40 | (kInfoPid >> 8);

inline constexpr int kSectionPacketsPerScan = 500;
inline constexpr int kInfoCounterLimit = 20;  // two per information packet: ten packets
inline constexpr int kInfoTextCount = 10;
inline constexpr int kInfoIndexOffset = 29;
inline constexpr int kInfoLengthOffset = 40;
inline constexpr int kInfoTextOffset = 41;
inline constexpr int kInfoTextMaxLength = static_cast<int>(kTsPacketSize) - kInfoTextOffset;

// The ten short information texts. The packet callback writes them, possibly on
// the viewer's delivery thread, while the window reads them for hints: every
// access takes a tiny spin lock (no allocation, and the lock is only ever held
// for a copy of at most 147 bytes).
class InfoTextTable {
 public:
  void Clear();
  // Stores text n unless it is already set; false when the index repeats.
  bool SetIfEmpty(int index, const uint8_t* bytes, int length);
  std::string Get(int index) const;

 private:
  // The table for the scope: spins while the other thread holds it.
  auto Lock() const;
  mutable std::atomic_flag busy_;
  std::array<std::array<char, kInfoTextMaxLength>, kInfoTextCount> text_{};
  std::array<uint8_t, kInfoTextCount> length_{};
};

// How the packet callback tells the two PIDs apart, from bytes 1 and 2 alone.
inline bool IsSectionPacket(const uint8_t* packet) {
  return (packet[1] & 0x1F) == (kSectionPid >> 8) &&
         packet[2] == (kSectionPid & 0xFF);  // any flags
}
inline bool IsInfoPacket(const uint8_t* packet) {
  return packet[1] == kInfoPacketByte1 && packet[2] == (kInfoPid & 0xFF);
}

// Capture state of one scan: the two packet buffers, their counters, the
// completion flag and the information texts. OnPacket may run on any thread;
// everything else runs on the user-interface thread.
class PacketCapture {
 public:
  // The body of the packet callback. Never throws, never allocates. Inline:
  // most packets are of other PIDs and cost no more than these two tests.
  void OnPacket(const uint8_t* packet) noexcept {
    if (IsSectionPacket(packet)) {
      StoreSection(packet);
    } else if (IsInfoPacket(packet)) {
      StoreInfo(packet);
    }
  }
  // Starts a new capture: counters, texts and the completion flag, not the buffers.
  void Reset() noexcept;
  void MarkComplete() noexcept { complete_.store(true, std::memory_order_release); }
  // Showing the window restarts the section count: a capture still running
  // then stores from slot 0 again, and its packets from there on count as a new
  // capture: they do not continue the ones in the slots after them.
  void RestartSectionCount() noexcept;

  bool Complete() const { return complete_.load(std::memory_order_acquire); }
  int32_t SectionCount() const { return sectionCount_.load(std::memory_order_acquire); }
  int32_t InfoCounter() const { return infoCounter_.load(std::memory_order_acquire); }
  const CaptureBuffer& Sections() const { return sections_; }
  // For each section slot, the capture that stored it: where one capture's run
  // of slots ends, whatever SectionCount says by now.
  const CaptureNumbers& SectionCaptures() const { return sectionCaptures_; }
  const CaptureBuffer& Info() const { return info_; }
  std::string InfoText(int index) const { return texts_.Get(index); }

  // The two halves of storing a section packet, apart so that a test can show
  // the window restarting the count between them.
  struct SectionSlot {
    int32_t count;     // SectionCount after this packet; stored only at 1..500
    uint32_t capture;  // the number that labels the slot
  };
  SectionSlot TakeSectionSlot() noexcept;
  void FillSectionSlot(const SectionSlot& slot, const uint8_t* packet) noexcept;

 private:
  void StoreSection(const uint8_t* packet) noexcept;
  void StoreInfo(const uint8_t* packet) noexcept;
  void CheckComplete() noexcept;
  void NextCaptureNumber() noexcept;

  CaptureBuffer sections_{};
  CaptureBuffer info_{};
  std::atomic<int32_t> sectionCount_{0};
  std::atomic<int32_t> infoCounter_{0};
  std::atomic<bool> complete_{false};
  InfoTextTable texts_;
  // Last: between the buffers and the counters, these made the callback on a
  // transponder's mix measurably slower.
  CaptureNumbers sectionCaptures_{};
  std::atomic<uint32_t> captureNumber_{1};  // never 0, the number of unfilled slots
};

}  // namespace zp
