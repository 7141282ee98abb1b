// The packet callback and the extraction, each beside its physical baseline.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>
#include <random>
#include <vector>

#include "AllocationCounter.h"
#include "feed/PacketCapture.h"
#include "feed/PortalExtraction.h"

namespace {

using zp::kTsPacketSize;
using zp::TsPacket;

// A transponder's mix: mostly other PIDs, about 1% EIT on 0x0012, a few
// information packets on 0x0997 (real transponders carry 16,000-38,000
// packets per second, EIT 46-216 of them).
std::vector<TsPacket> TransponderMix(size_t count) {
  std::vector<TsPacket> packets(count);
  std::mt19937 random(42);
  for (size_t i = 0; i < count; ++i) {
    TsPacket& p = packets[i];
    for (auto& b : p) b = static_cast<uint8_t>(random());
    p[0] = 0x47;
    const unsigned pick = random() % 1000;
    if (pick < 10) {
      p[1] = 0x40;
      p[2] = 0x12;
    } else if (pick < 11) {
      p[1] = 0x49;
      p[2] = 0x97;
      p[29] = static_cast<uint8_t>('0' + random() % 10);
    } else {
      const unsigned pid = 0x100 + random() % 0x1000;
      p[1] = static_cast<uint8_t>(pid >> 8);
      p[2] = static_cast<uint8_t>(pid);
    }
  }
  return packets;
}

void BM_PacketCallback_Mix(benchmark::State& state) {
  const auto packets = TransponderMix(16384);
  auto capture = std::make_unique<zp::PacketCapture>();
  size_t delivered = 0, allocations = 0;
  for (auto _ : state) {
    // Counted around the packets only: the framework allocates between runs.
    const size_t allocationsBefore = zp::bench::AllocationCount();
    for (const TsPacket& p : packets) capture->OnPacket(p.data());
    capture->Reset();  // keep storing, as a periodic rescan would
    allocations += zp::bench::AllocationCount() - allocationsBefore;
    delivered += packets.size();
  }
  state.SetItemsProcessed(static_cast<int64_t>(delivered));
  state.counters["ns_per_packet"] = benchmark::Counter(
      static_cast<double>(delivered), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["allocs_per_packet"] =
      static_cast<double>(allocations) / static_cast<double>(delivered);
}
BENCHMARK(BM_PacketCallback_Mix);

// Baseline: only read bytes 1 and 2 of every packet.
void BM_Baseline_ReadPidBytes(benchmark::State& state) {
  const auto packets = TransponderMix(16384);
  size_t delivered = 0;
  for (auto _ : state) {
    unsigned sum = 0;
    for (const TsPacket& p : packets) {
      benchmark::DoNotOptimize(p.data());
      sum += p[1] ^ p[2];
    }
    benchmark::DoNotOptimize(sum);
    delivered += packets.size();
  }
  state.counters["ns_per_packet"] = benchmark::Counter(
      static_cast<double>(delivered), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_Baseline_ReadPidBytes);

void BM_PacketCallback_StoreSection(benchmark::State& state) {
  TsPacket section{};
  section[1] = 0x40;
  section[2] = 0x12;
  auto capture = std::make_unique<zp::PacketCapture>();
  size_t delivered = 0, allocations = 0;
  for (auto _ : state) {
    const size_t allocationsBefore = zp::bench::AllocationCount();
    for (int i = 0; i < zp::kSectionPacketsPerScan; ++i) capture->OnPacket(section.data());
    capture->Reset();
    allocations += zp::bench::AllocationCount() - allocationsBefore;
    delivered += zp::kSectionPacketsPerScan;
  }
  state.counters["ns_per_packet"] = benchmark::Counter(
      static_cast<double>(delivered), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["allocs_per_packet"] =
      static_cast<double>(allocations) / static_cast<double>(delivered);
}
BENCHMARK(BM_PacketCallback_StoreSection);

// Baseline: a plain 188-byte copy into the same slots.
void BM_Baseline_Memcpy188(benchmark::State& state) {
  TsPacket section{};
  auto slots = std::make_unique<zp::CaptureBuffer>();
  size_t delivered = 0;
  for (auto _ : state) {
    for (int i = 0; i < zp::kSectionPacketsPerScan; ++i) {
      benchmark::DoNotOptimize(section.data());
      std::memcpy((*slots)[i].data(), section.data(), kTsPacketSize);
    }
    benchmark::ClobberMemory();
    delivered += zp::kSectionPacketsPerScan;
  }
  state.counters["ns_per_packet"] = benchmark::Counter(
      static_cast<double>(delivered), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_Baseline_Memcpy188);

// Worst case: all three markers only where the continuity check fails, at the
// end of the buffer, so the search for markers with continuity runs over all
// 1000 slots and then takes the ones without.
std::unique_ptr<zp::CaptureBuffer> WorstCaseCapture() {
  auto capture = std::make_unique<zp::CaptureBuffer>();
  std::mt19937 random(7);
  for (int slot = 0; slot < zp::kCaptureSlots; ++slot) {
    for (auto& b : (*capture)[slot]) b = static_cast<uint8_t>(random() % 0xB0);  // no stray 0xB0
    (*capture)[slot][3] = static_cast<uint8_t>(0x10 | (slot & 0x0F));
  }
  const char* words[] = {"Direkt", "Portal", "Info T"};
  for (int k = 0; k < 3; ++k) {
    const int slot = 996 + k;
    uint8_t* p = (*capture)[slot].data();
    p[3] = 0x10;
    (*capture)[slot + 1][3] = 0x15;  // breaks the continuity after the marker
    p[100] = 0x4A;
    p[101] = 20;
    p[108] = 0xB0;
    std::memcpy(p + 109, words[k], 6);
    p[122] = 0x4D;
  }
  return capture;
}

// The numbers the module passes: one capture of 500 slots, the rest never filled.
std::unique_ptr<zp::CaptureNumbers> OneCapture() {
  auto numbers = std::make_unique<zp::CaptureNumbers>();
  std::fill_n(numbers->begin(), zp::kSectionPacketsPerScan, 1u);
  return numbers;
}

void BM_Extract_WorstCase(benchmark::State& state) {
  const auto capture = WorstCaseCapture();
  const auto numbers = OneCapture();
  zp::PortalLists lists;
  for (auto _ : state) {
    benchmark::DoNotOptimize(zp::ExtractPortalLists(*capture, lists, numbers.get()));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * sizeof(zp::CaptureBuffer));
}
BENCHMARK(BM_Extract_WorstCase)->Unit(benchmark::kMicrosecond);

void BM_Extract_NoMarker(benchmark::State& state) {
  auto capture = WorstCaseCapture();
  for (int slot = 996; slot < 999; ++slot) (*capture)[slot][108] = 0;
  const auto numbers = OneCapture();
  zp::PortalLists lists;
  for (auto _ : state) {
    benchmark::DoNotOptimize(zp::ExtractPortalLists(*capture, lists, numbers.get()));
  }
}
BENCHMARK(BM_Extract_NoMarker)->Unit(benchmark::kMicrosecond);

// Three portals of 31 channels each, every name 20 bytes, the lists running over
// packet ends: what reading the linkage descriptors costs, byte by byte.
void BM_Extract_FullLists(benchmark::State& state) {
  auto capture = WorstCaseCapture();
  const char* words[] = {"Direkt", "Portal", "Info T"};
  for (int k = 0; k < 3; ++k) {
    std::vector<uint8_t> bytes = {0x4A, 13, 0, 1, 0, 2, 0, 3, 0xB0};
    bytes.insert(bytes.end(), words[k], words[k] + 6);
    for (int i = 0; i < zp::kPortalListCapacity; ++i) {
      const uint8_t head[] = {0x4A, 27, 0, 1, 0, 2, 0, static_cast<uint8_t>(i), 0x80};
      bytes.insert(bytes.end(), std::begin(head), std::end(head));
      bytes.insert(bytes.end(), 20, static_cast<uint8_t>('a' + i % 26));
    }
    bytes.push_back(0x4D);
    zp::PacketCursor at{100 + 10 * k, 4};
    for (uint8_t b : bytes) {
      (*capture)[at.packet][at.offset] = b;
      zp::AdvanceCursor(at, 1);
    }
  }
  const auto numbers = OneCapture();
  zp::PortalLists lists;
  for (auto _ : state) {
    benchmark::DoNotOptimize(zp::ExtractPortalLists(*capture, lists, numbers.get()));
  }
}
BENCHMARK(BM_Extract_FullLists)->Unit(benchmark::kMicrosecond);

// Baseline: one memchr pass for 0xB0 over the same bytes.
void BM_Baseline_MemchrPass(benchmark::State& state) {
  auto capture = WorstCaseCapture();
  for (int slot = 996; slot < 999; ++slot) (*capture)[slot][108] = 0;
  for (auto _ : state) {
    size_t hits = 0;
    for (const TsPacket& p : *capture) hits += std::memchr(p.data(), 0xB0, p.size()) != nullptr;
    benchmark::DoNotOptimize(hits);
  }
}
BENCHMARK(BM_Baseline_MemchrPass)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
