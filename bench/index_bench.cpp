// The channel index: building it from a full viewer table beside one walk over
// the same records, and one lookup.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "AllocationCounter.h"
#include "feed/ServiceIndex.h"

namespace {

// A viewer's table with every position taken by a TV channel: service ids
// spread over the whole 16-bit range, so that some repeat, and a tenth of the
// records at satellite position 192, which takes a slot over.
std::unique_ptr<zp::HostChannelTable> FullTable() {
  auto table = std::make_unique<zp::HostChannelTable>();
  std::mt19937 random(13);
  for (int position = 0; position < zp::kHostChannelCount; ++position) {
    zp::HostChannelRecord& record = table->Records[position];
    record.dwFreq = 10700 + random() % 2050;
    record.ChType = 1;
    record.wSID = static_cast<uint16_t>(1 + random() % 65535);
    record.wSatPos = position % 10 == 0 ? 192 : 130;
  }
  return table;
}

void BM_ServiceIndex_Build(benchmark::State& state) {
  const auto table = FullTable();
  auto index = std::make_unique<zp::ServiceIndex>();
  for (auto _ : state) {
    index->Build(table.get());
    benchmark::ClobberMemory();
  }
  state.counters["index_bytes"] = static_cast<double>(sizeof(zp::ServiceIndex));
  state.counters["table_bytes"] = static_cast<double>(sizeof(zp::HostChannelTable));
}
BENCHMARK(BM_ServiceIndex_Build)->Unit(benchmark::kMicrosecond);

// Baseline: one pass over the same records that reads what the build reads.
void BM_Baseline_TableWalk(benchmark::State& state) {
  const auto table = FullTable();
  for (auto _ : state) {
    uint32_t sum = 0;
    for (const zp::HostChannelRecord& record : table->Records) {
      sum += record.dwFreq + record.ChType + record.wSID + record.wSatPos +
             static_cast<uint8_t>(record.ActualChName[0]);
    }
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_Baseline_TableWalk)->Unit(benchmark::kMicrosecond);

void BM_ServiceIndex_Lookup(benchmark::State& state) {
  const auto table = FullTable();
  auto index = std::make_unique<zp::ServiceIndex>();
  index->Build(table.get());
  std::vector<int32_t> ids(4096);
  std::mt19937 random(17);
  for (int32_t& id : ids) id = static_cast<int32_t>(random() % 70000);  // some beyond 65535
  size_t lookups = 0, allocations = 0;
  for (auto _ : state) {
    const size_t allocationsBefore = zp::bench::AllocationCount();
    int32_t sum = 0;
    for (const int32_t id : ids) sum += index->FindServicePosition(table.get(), id);
    benchmark::DoNotOptimize(sum);
    allocations += zp::bench::AllocationCount() - allocationsBefore;
    lookups += ids.size();
  }
  state.counters["ns_per_lookup"] = benchmark::Counter(
      static_cast<double>(lookups), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["allocs_per_lookup"] =
      static_cast<double>(allocations) / static_cast<double>(lookups);
}
BENCHMARK(BM_ServiceIndex_Lookup);

}  // namespace
