// The group editor with the viewer's table full (8000 channels): the portable
// part of one filter keystroke (which channels the Quell-Liste shows, in its
// order), and an OK to a rebuilt tree: the edit written through the portable
// backend into a large settings file, then the tree build that follows it.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "BenchFixtures.h"
#include "settings/GroupFile.h"
#include "settings/PortableProfileFile.h"
#include "ui/GroupEditor.h"
#include "ui/MainForm.h"

namespace {

using namespace zp::benchfx;

constexpr int kFirstSid = 1001;
constexpr int kGroups = zp::kMaxListEntries - 3;

// Every position of the table holds a channel of its own service id.
std::unique_ptr<zp::HostChannelTable> FullTable() {
  auto table = std::make_unique<zp::HostChannelTable>();
  for (int position = 1; position < zp::kHostChannelCount; ++position) {
    zp::HostChannelRecord& record = table->Records[position];
    record.dwFreq = 12480;
    record.ChType = 1;
    record.wSID = static_cast<uint16_t>(kFirstSid + position);
    std::snprintf(record.ChName, sizeof record.ChName, "Sender %d", kFirstSid + position);
    std::snprintf(record.Provider, sizeof record.Provider, "Funkhaus %c", 'A' + position % 8);
  }
  return table;
}

// The editor's filter as a user types "sender 12" and deletes it again, with
// a group of 101 channels open.
void BM_GroupEditor_FilterKeystroke(benchmark::State& state) {
  const auto table = FullTable();
  zp::ServiceIndex index;
  const zp::GroupEditor editor(zp::EditorChannels(index, table.get()));
  std::vector<bool> inGroup(editor.Channels().size(), false);
  for (int i = 0; i < zp::kMaxGroupIds; ++i) inGroup[static_cast<size_t>(i * 70)] = true;
  const std::string typed = "sender 12";
  std::vector<std::string> filters;
  for (size_t n = 0; n <= typed.size(); ++n) filters.push_back(typed.substr(0, n));
  for (size_t n = typed.size(); n-- > 0;) filters.push_back(typed.substr(0, n));
  size_t next = 0;
  size_t shown = 0;
  for (auto _ : state) {
    const std::vector<int> list = editor.FilterInListOrder(filters[next], inGroup);
    shown += list.size();
    benchmark::DoNotOptimize(list.data());
    next = (next + 1) % filters.size();
  }
  state.counters["channels"] = static_cast<double>(editor.Channels().size());
}
BENCHMARK(BM_GroupEditor_FilterKeystroke)->Unit(benchmark::kMicrosecond);

// Lists with the three portals and 28 groups of 101 ids each, all in the table.
std::string GroupsFile() {
  std::string text = "[View]\r\nDP=1\r\nSP=1\r\nEP=1\r\nLists=DP,SP,EP";
  for (int g = 0; g < kGroups; ++g) text += ",G" + std::to_string(g);
  text += "\r\n";
  for (int g = 0; g < kGroups; ++g) {
    text += "[G" + std::to_string(g) + "]\r\nTitle=Gruppe " + std::to_string(g) + "\r\nList=";
    for (int i = 0; i < zp::kMaxGroupIds; ++i) {
      text += (i ? "," : "") + std::to_string(kFirstSid + 1 + g * zp::kMaxGroupIds + i);
    }
    text += "\r\n";
  }
  return text;
}

// OK on a group whose order changed: the write, then the tree rebuilt from the
// capture and the file. Each OK reverses the group's order, so each writes its List.
void BM_GroupEditor_OkToRebuiltTree(benchmark::State& state) {
  TempFile temp("zp_group_editor_bench");
  WriteBytes(temp.Path(), GroupsFile());
  zp::PortableProfileFile file(temp.Path());
  const auto table = FullTable();
  VectorTree tree;
  QuietShell shell;
  NullHost host;
  auto capture = std::make_unique<zp::PacketCapture>();
  zp::PortalLists lists{};
  zp::MainForm form({tree, shell, file, host, *capture, lists, nullptr});
  form.SetChannelTable(table.get());
  form.FormCreate();
  for (const zp::TsPacket& packet : FullAnnouncements()) capture->OnPacket(packet.data());
  if (!form.BuildTree()) {
    state.SkipWithError("no tree from the announcements");
    return;
  }
  const zp::GroupEditor editor(form.EditorChannelList());
  zp::GroupEdit edit{"G13", false, "Gruppe 13", 0, {}};
  for (int i = 0; i < zp::kMaxGroupIds; ++i) {
    edit.ids.push_back(kFirstSid + 1 + 13 * zp::kMaxGroupIds + i);
  }
  const zp::ShownId shown = editor.ShownIds();
  for (auto _ : state) {
    std::reverse(edit.ids.begin(), edit.ids.end());
    form.ApplyGroupEdit(edit, shown);
    benchmark::DoNotOptimize(tree.NodeCount());
  }
  if (tree.Roots().size() != static_cast<size_t>(3 + kGroups)) {
    state.SkipWithError("the rebuilt tree lacks roots");
  }
  state.counters["tree_nodes"] = static_cast<double>(tree.NodeCount());
}
BENCHMARK(BM_GroupEditor_OkToRebuiltTree)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
