#include "feed/PacketCapture.h"

#include <algorithm>
#include <cstring>

#include "module/ScopeExit.h"

namespace zp {

auto InfoTextTable::Lock() const {
  while (busy_.test_and_set(std::memory_order_acquire)) {
  }
  return ScopeExit([this] { busy_.clear(std::memory_order_release); });
}

void InfoTextTable::Clear() {
  const auto unlock = Lock();
  length_.fill(0);
}

bool InfoTextTable::SetIfEmpty(int index, const uint8_t* bytes, int length) {
  const auto unlock = Lock();
  if (length_[index] != 0) return false;
  std::memcpy(text_[index].data(), bytes, length);
  length_[index] = static_cast<uint8_t>(length);
  return true;
}

std::string InfoTextTable::Get(int index) const {
  if (index < 0 || index >= kInfoTextCount) return {};
  const auto unlock = Lock();
  return std::string(text_[index].data(), length_[index]);
}

void PacketCapture::StoreSection(const uint8_t* packet) noexcept {
  FillSectionSlot(TakeSectionSlot(), packet);
}

PacketCapture::SectionSlot PacketCapture::TakeSectionSlot() noexcept {
  // Number first: a restart in between then gives a new slot the old number,
  // which only cuts it from the new run, never an old packet the new number.
  const uint32_t capture = captureNumber_.load(std::memory_order_relaxed);
  return {sectionCount_.fetch_add(1, std::memory_order_acq_rel) + 1, capture};
}

void PacketCapture::FillSectionSlot(const SectionSlot& slot, const uint8_t* packet) noexcept {
  // The lower bound matters only if a never-stopped delivery wraps the counter.
  if (slot.count < 1 || slot.count > kSectionPacketsPerScan) return;
  std::memcpy(sections_[slot.count - 1].data(), packet, kTsPacketSize);
  sectionCaptures_[slot.count - 1] = slot.capture;
  CheckComplete();
}

void PacketCapture::StoreInfo(const uint8_t* packet) noexcept {
  const int32_t counter = infoCounter_.fetch_add(2, std::memory_order_acq_rel) + 2;
  if (counter < 2 || counter > kInfoCounterLimit) return;
  std::memcpy(info_[counter - 1].data(), packet, kTsPacketSize);

  // A packet whose index character is not a digit has no text to take.
  const uint8_t indexChar = packet[kInfoIndexOffset];
  if (indexChar >= '0' && indexChar <= '9') {
    // The text is one byte longer than byte 40 says; it never reaches past the packet.
    const int length = std::min(packet[kInfoLengthOffset] + 1, kInfoTextMaxLength);
    if (!texts_.SetIfEmpty(indexChar - '0', packet + kInfoTextOffset, length)) {
      // A repeated index means the carousel came round: the information side is complete.
      infoCounter_.store(kInfoCounterLimit, std::memory_order_release);
    }
  }
  CheckComplete();
}

void PacketCapture::CheckComplete() noexcept {
  if (sectionCount_.load(std::memory_order_acquire) >= kSectionPacketsPerScan &&
      infoCounter_.load(std::memory_order_acquire) >= kInfoCounterLimit) {
    complete_.store(true, std::memory_order_release);
  }
}

void PacketCapture::NextCaptureNumber() noexcept {
  uint32_t next = captureNumber_.load(std::memory_order_relaxed) + 1;
  if (next == 0) next = 1;
  captureNumber_.store(next, std::memory_order_relaxed);
}

void PacketCapture::RestartSectionCount() noexcept {
  NextCaptureNumber();
  sectionCount_.store(0, std::memory_order_release);
}

void PacketCapture::Reset() noexcept {
  RestartSectionCount();
  infoCounter_.store(0, std::memory_order_release);
  texts_.Clear();
  complete_.store(false, std::memory_order_release);
}

}  // namespace zp
