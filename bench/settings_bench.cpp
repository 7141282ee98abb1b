// The settings round trip of a tree build (LoadSettings + BuildTree +
// SaveSettings) on a large settings file through the portable backend, beside
// one read, scan and rewrite of the same file.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "AllocationCounter.h"
#include "BenchFixtures.h"
#include "feed/PacketCapture.h"
#include "settings/PortableProfileFile.h"
#include "support/CountingProfileFile.h"
#include "ui/MainForm.h"

namespace {

using namespace zp::benchfx;
using zp::TreeNode;
using zp::test::CountingProfileFile;

constexpr int kGroups = zp::kMaxListEntries - 3;  // DP, SP and EP take three entries
constexpr int kFirstGroupSid = 1001;
constexpr int kPortalChannels = zp::kPortalListCapacity;

std::string GroupName(int group) {
  const std::string number = std::to_string(group + 1);
  return "Gruppe" + std::string(number.size() < 2 ? 1 : 0, '0') + number;
}

// A file as the module leaves it after its first save: every portal and 28
// groups of 101 ids in Lists, all roots expanded.
std::string LargeSettingsText() {
  std::string text = "[View]\r\nDP=1\r\nSP=1\r\nEP=1\r\nLists=DP,SP,EP";
  for (int g = 0; g < kGroups; ++g) text += "," + GroupName(g);
  text +=
      "\r\n[Zanterpoint]\r\nTop=160\r\nLeft=256\r\nHeight=672\r\nWidth=228\r\n"
      "TreeViewColor=clWindow\r\nTreeViewFont=MS Sans Serif,8,0000,clWindowText\r\n"
      "TimerEnabled=0\r\nTimerInterval=60\r\n[Collapse]\r\nDP=0\r\nEP=0\r\nSP=0\r\n";
  for (int g = 0; g < kGroups; ++g) {
    std::string key = GroupName(g);
    for (char& c : key) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
    text += key + "=0\r\n";
  }
  for (int g = 0; g < kGroups; ++g) {
    text += "[" + GroupName(g) + "]\r\nTitle=Favoriten " + std::to_string(g + 1) +
            "\r\nNodeSID=" + std::to_string(kFirstGroupSid + g * zp::kMaxGroupIds) + "\r\nList=";
    for (int i = 0; i < zp::kMaxGroupIds; ++i) {
      text += (i ? "," : "") + std::to_string(kFirstGroupSid + g * zp::kMaxGroupIds + i);
    }
    text += "\r\n";
  }
  return text;
}

// The viewer's channel table with every id of every group at a position of its own.
std::unique_ptr<zp::HostChannelTable> ChannelTable() {
  auto table = std::make_unique<zp::HostChannelTable>();
  for (int n = 0; n < kGroups * zp::kMaxGroupIds; ++n) {
    zp::HostChannelRecord& record = table->Records[n + 1];
    record.dwFreq = 12480;
    record.ChType = 1;
    record.wSID = static_cast<uint16_t>(kFirstGroupSid + n);
    std::snprintf(record.ChName, sizeof record.ChName, "Kanal %d", kFirstGroupSid + n);
  }
  return table;
}

void BM_Settings_RoundTrip(benchmark::State& state) {
  TempFile temp("zp_settings_bench");
  WriteBytes(temp.Path(), LargeSettingsText());

  zp::PortableProfileFile portable(temp.Path());
  CountingProfileFile file(portable);
  VectorTree tree;
  QuietShell shell;
  NullHost host;
  auto capture = std::make_unique<zp::PacketCapture>();
  for (const zp::TsPacket& packet : FullAnnouncements()) capture->OnPacket(packet.data());
  zp::PortalLists lists;
  const auto table = ChannelTable();
  auto form = std::make_unique<zp::MainForm>(
      zp::MainFormParts{tree, shell, file, host, *capture, lists, nullptr});
  form->SetChannelTable(table.get());
  form->FormCreate();

  // One untimed round trip: the tree must really hold every root and channel,
  // and the file must already be what a save writes, so that every timed
  // round trip does the same work.
  const std::string before = ReadBytes(temp.Path());
  form->LoadSettings();
  const bool built = form->BuildTree();
  form->SaveSettings();
  const size_t expectedNodes =
      zp::kMaxListEntries + 3 * kPortalChannels + static_cast<size_t>(kGroups) * zp::kMaxGroupIds;
  if (!built || tree.Roots().size() != zp::kMaxListEntries || tree.NodeCount() != expectedNodes ||
      !tree.AllRootsExpanded() || !form->Errors().Empty()) {
    state.SkipWithError("the build does not show 31 expanded roots with all their channels");
    return;
  }
  if (ReadBytes(temp.Path()) != before) {
    state.SkipWithError("a round trip changed the settings file");
    return;
  }

  // A collapse toggle and the same root expanded again write one key each;
  // the first save into a missing file writes every key once.
  file.writes = 0;
  form->TreeView1MouseUp(true, tree.Roots().back());
  const int64_t toggleWrites = file.writes;
  form->TreeView1MouseUp(true, tree.Roots().back());
  std::remove(temp.Path().c_str());
  file.Flush();
  file.writes = 0;
  form->SaveSettings();
  const int64_t firstSaveWrites = file.writes;
  const std::string fresh = ReadBytes(temp.Path());
  const auto freshLines = std::count(fresh.begin(), fresh.end(), '\n');
  WriteBytes(temp.Path(), before);
  file.Flush();
  constexpr int kKeysPerSave = 3 + 8 + zp::kMaxListEntries;  // [View], [Zanterpoint], [Collapse]
  if (!tree.AllRootsExpanded() || !form->Errors().Empty() || freshLines != 3 + kKeysPerSave) {
    state.SkipWithError("a collapse toggle or the first save failed");
    return;
  }

  int64_t buildReads = 0, buildWrites = 0;
  file.reads = file.writes = 0;
  const size_t allocationsBefore = zp::bench::AllocationCount();
  for (auto _ : state) {
    form->LoadSettings();
    const int64_t reads = file.reads, writes = file.writes;
    if (!form->BuildTree()) {
      state.SkipWithError("the build found no portal list");
      return;
    }
    buildReads += file.reads - reads;
    buildWrites += file.writes - writes;
    form->SaveSettings();
  }
  const auto rounds = static_cast<double>(state.iterations());
  const size_t allocations = zp::bench::AllocationCount() - allocationsBefore;
  if (ReadBytes(temp.Path()) != before)
    state.SkipWithError("a round trip changed the settings file");

  state.counters["file_bytes"] = static_cast<double>(before.size());
  state.counters["writes_per_collapse_toggle"] = static_cast<double>(toggleWrites);
  state.counters["writes_first_save"] = static_cast<double>(firstSaveWrites);
  state.counters["keys_per_save"] = kKeysPerSave;
  state.counters["reads_per_build"] = static_cast<double>(buildReads) / rounds;
  state.counters["writes_per_build"] = static_cast<double>(buildWrites) / rounds;
  state.counters["reads_per_round_trip"] = static_cast<double>(file.reads) / rounds;
  state.counters["writes_per_round_trip"] = static_cast<double>(file.writes) / rounds;
  state.counters["allocs_per_round_trip"] = static_cast<double>(allocations) / rounds;
}
BENCHMARK(BM_Settings_RoundTrip)->Unit(benchmark::kMillisecond);

// Baseline: what one load and one save must do at least: read the file's
// bytes once, find its lines and keys in one pass, write the bytes back once.
void BM_Baseline_SettingsFileOnce(benchmark::State& state) {
  TempFile source("zp_settings_bench_source");
  TempFile copy("zp_settings_bench_copy");
  WriteBytes(source.Path(), LargeSettingsText());
  for (auto _ : state) {
    const std::string bytes = ReadBytes(source.Path());
    size_t lines = 0, keys = 0;
    for (size_t at = 0; at < bytes.size();) {
      const void* end = std::memchr(bytes.data() + at, '\n', bytes.size() - at);
      const size_t next =
          end ? static_cast<size_t>(static_cast<const char*>(end) - bytes.data()) + 1
              : bytes.size();
      keys += std::memchr(bytes.data() + at, '=', next - at) != nullptr;
      ++lines;
      at = next;
    }
    benchmark::DoNotOptimize(lines);
    benchmark::DoNotOptimize(keys);
    WriteBytes(copy.Path(), bytes);
  }
}
BENCHMARK(BM_Baseline_SettingsFileOnce)->Unit(benchmark::kMicrosecond);

}  // namespace
