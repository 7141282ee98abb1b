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
#include "feed/PacketCapture.h"
#include "settings/PortableProfileFile.h"
#include "ui/MainForm.h"

namespace {

using zp::TreeNode;

constexpr int kGroups = zp::kMaxListEntries - 3;  // DP, SP and EP take three entries
constexpr int kFirstGroupSid = 1001;
constexpr int kPortalChannels = zp::kPortalListCapacity;

// Counts the calls that reach the settings file: key reads and section
// listings as reads, and writes.
class CountingProfileFile final : public zp::ProfileFile {
 public:
  explicit CountingProfileFile(zp::ProfileFile& inner) : inner_(inner) {}

  const std::string& Path() const override { return inner_.Path(); }
  std::string Read(const std::string& section, const std::string& key,
                   const std::string& fallback) override {
    ++reads;
    return inner_.Read(section, key, fallback);
  }
  bool Write(const std::string& section, const std::string& key,
             const std::string& value) override {
    ++writes;
    return inner_.Write(section, key, value);
  }
  std::vector<std::string> ReadSection(const std::string& section) override {
    ++reads;
    return inner_.ReadSection(section);
  }
  void Flush() override { inner_.Flush(); }

  int64_t reads = 0;
  int64_t writes = 0;

 private:
  zp::ProfileFile& inner_;
};

// A tree whose operations cost next to nothing, so that the figure is the
// settings traffic and not the container. Handles are not reused across clears.
class VectorTree final : public zp::TreeControl {
 public:
  void Clear() override {
    base_ += nodes_.size();
    nodes_.clear();
    roots_.clear();
    selected_ = zp::kNoNode;
  }
  TreeNode Add(TreeNode parent, const std::string& caption, int32_t nodeData) override {
    std::vector<TreeNode>& siblings = parent == zp::kNoNode ? roots_ : At(parent).children;
    const TreeNode node = base_ + nodes_.size() + 1;
    siblings.push_back(node);
    nodes_.push_back(Node{parent, {}, caption, nodeData, false, siblings.size() - 1});
    return node;
  }
  std::string Caption(TreeNode node) const override { return At(node).caption; }
  int32_t NodeData(TreeNode node) const override { return At(node).data; }
  TreeNode FirstChild(TreeNode node) const override {
    const std::vector<TreeNode>& list = node == zp::kNoNode ? roots_ : At(node).children;
    return list.empty() ? zp::kNoNode : list.front();
  }
  TreeNode NextSibling(TreeNode node) const override {
    const Node& n = At(node);
    const std::vector<TreeNode>& list = n.parent == zp::kNoNode ? roots_ : At(n.parent).children;
    return n.index + 1 < list.size() ? list[n.index + 1] : zp::kNoNode;
  }
  TreeNode Parent(TreeNode node) const override { return At(node).parent; }
  bool Expanded(TreeNode node) const override { return At(node).expanded; }
  void SetExpanded(TreeNode node, bool expanded) override { At(node).expanded = expanded; }
  TreeNode Selected() const override { return selected_; }
  void Select(TreeNode node) override { selected_ = node; }
  TreeNode PreviousVisible(TreeNode) const override { return zp::kNoNode; }  // not used by a build
  TreeNode NextVisible(TreeNode) const override { return zp::kNoNode; }

  const std::vector<TreeNode>& Roots() const { return roots_; }
  size_t NodeCount() const { return nodes_.size(); }
  bool AllRootsExpanded() const {
    return std::all_of(roots_.begin(), roots_.end(), [this](TreeNode r) { return Expanded(r); });
  }

 private:
  struct Node {
    TreeNode parent;
    std::vector<TreeNode> children;
    std::string caption;
    int32_t data;
    bool expanded;
    size_t index;  // among its siblings
  };
  Node& At(TreeNode node) { return nodes_.at(node - base_ - 1); }
  const Node& At(TreeNode node) const { return nodes_.at(node - base_ - 1); }

  std::vector<Node> nodes_;
  std::vector<TreeNode> roots_;
  TreeNode selected_ = zp::kNoNode;
  size_t base_ = 0;
};

// The main window around the form, with the design's colour and font and a
// window where the file says it is.
class QuietShell final : public zp::FormShell {
 public:
  int32_t TreeColor() const override { return color_; }
  void SetTreeColor(int32_t color) override { color_ = color; }
  zp::FontSpec TreeFont() const override { return font_; }
  void SetTreeFont(const zp::FontSpec& font) override { font_ = font; }
  void SetTimerMenu(bool checked, const std::string&) override { timerChecked_ = checked; }
  void SetRescanTimer(uint32_t, bool) override {}
  zp::WindowGeometry Bounds() const override { return bounds_; }
  void SetBounds(const zp::WindowGeometry& bounds) override { bounds_ = bounds; }
  std::vector<zp::ScreenRect> MonitorWorkAreas() const override { return {}; }
  void CloseForm() override {}
  void SetScanTimer(bool) override {}
  void DisableRescanTimer() override {}
  bool TimerMenuChecked() const override { return timerChecked_; }
  void SetStatus(const char*) override {}
  void ShowMessage(const std::string&) override {}

 private:
  int32_t color_ = zp::kDefaultTreeColor;
  zp::FontSpec font_;
  bool timerChecked_ = false;
  zp::WindowGeometry bounds_{160, 256, 672, 228};
};

class NullHost final : public zp::HostLink {
 public:
  void Send(zp::HostCommandCode, intptr_t) override {}
};

// A file in the temporary directory, removed at the end.
class TempFile {
 public:
  explicit TempFile(const std::string& stem)
      : path_((std::filesystem::temp_directory_path() /
               (stem + "_" + std::to_string(::getpid()) + ".ini"))
                  .string()) {}
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  ~TempFile() { std::remove(path_.c_str()); }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

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

// PID 0x0012 packets carrying the three announcements, each with a full list:
// marker descriptor, one linkage descriptor per channel, end descriptor.
std::vector<zp::TsPacket> FullAnnouncements() {
  const char* markers[] = {"Direkt Portal", "Portal Sport", "Info TV Erotik"};
  const char* prefixes[] = {"D ", "Sport ", "Nacht "};
  std::vector<uint8_t> payload;
  for (int kind = 0; kind < zp::kListKindCount; ++kind) {
    const std::string marker = markers[kind];
    payload.insert(payload.end(),
                   {0x4A, static_cast<uint8_t>(7 + marker.size()), 0, 1, 0, 2, 0, 3, 0xB0});
    payload.insert(payload.end(), marker.begin(), marker.end());
    for (int c = 0; c < kPortalChannels; ++c) {
      const std::string name =
          prefixes[kind] + std::to_string(c % 10) + " Kanal " + std::to_string(c);
      const int sid = 300 + kind * 100 + c;
      payload.insert(payload.end(),
                     {0x4A, static_cast<uint8_t>(7 + name.size()), 0x04, 0x01, 0x00, 0x85,
                      static_cast<uint8_t>(sid >> 8), static_cast<uint8_t>(sid & 0xFF), 0x01});
      payload.insert(payload.end(), name.begin(), name.end());
    }
    payload.insert(payload.end(), {0x4D, 0x00});
  }
  std::vector<zp::TsPacket> packets;
  constexpr size_t kPayload = zp::kTsPacketSize - 4;
  for (size_t at = 0, cc = 0; at < payload.size(); at += kPayload, ++cc) {
    zp::TsPacket packet{};
    packet[0] = 0x47;
    packet[1] = 0x40;
    packet[2] = 0x12;
    packet[3] = static_cast<uint8_t>(0x10 | (cc & 0x0F));
    std::memcpy(packet.data() + 4, payload.data() + at, std::min(payload.size() - at, kPayload));
    packets.push_back(packet);
  }
  return packets;
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
