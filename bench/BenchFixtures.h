#pragma once

// What the benchmarks of a tree build share: a tree and a window that cost
// next to nothing, a temporary file, and a capture's full announcements.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "feed/PacketCapture.h"
#include "ui/MainForm.h"

namespace zp::benchfx {

using zp::TreeNode;

// A tree whose operations cost next to nothing, so that the figure is the
// settings traffic and not the container. Handles are not reused across clears.
class VectorTree final : public zp::TreeControl {
 public:
  void Clear() override {
    base_ += used_;
    used_ = 0;  // the nodes stay, so that a build after the first allocates nothing
    roots_.clear();
    selected_ = zp::kNoNode;
  }
  TreeNode Add(TreeNode parent, const std::string& caption, int32_t nodeData) override {
    const TreeNode node = base_ + used_ + 1;
    if (parent == zp::kNoNode) {
      if (!roots_.empty()) At(roots_.back()).nextSibling = node;
      roots_.push_back(node);
    } else {
      Node& up = At(parent);
      (up.lastChild == zp::kNoNode ? up.firstChild : At(up.lastChild).nextSibling) = node;
      up.lastChild = node;
    }
    if (used_ == nodes_.size()) nodes_.emplace_back();
    Node& added = nodes_[used_++];
    added.parent = parent;
    added.firstChild = added.lastChild = added.nextSibling = zp::kNoNode;
    added.caption.assign(caption);
    added.data = nodeData;
    added.expanded = false;
    return node;
  }
  std::string Caption(TreeNode node) const override { return At(node).caption; }
  int32_t NodeData(TreeNode node) const override { return At(node).data; }
  TreeNode FirstChild(TreeNode node) const override {
    if (node != zp::kNoNode) return At(node).firstChild;
    return roots_.empty() ? zp::kNoNode : roots_.front();
  }
  TreeNode NextSibling(TreeNode node) const override { return At(node).nextSibling; }
  TreeNode Parent(TreeNode node) const override { return At(node).parent; }
  bool Expanded(TreeNode node) const override { return At(node).expanded; }
  void SetExpanded(TreeNode node, bool expanded) override { At(node).expanded = expanded; }
  TreeNode Selected() const override { return selected_; }
  void Select(TreeNode node) override { selected_ = node; }
  TreeNode PreviousVisible(TreeNode) const override { return zp::kNoNode; }  // not used by a build
  TreeNode NextVisible(TreeNode) const override { return zp::kNoNode; }

  const std::vector<TreeNode>& Roots() const { return roots_; }
  size_t NodeCount() const { return used_; }
  bool AllRootsExpanded() const {
    return std::all_of(roots_.begin(), roots_.end(), [this](TreeNode r) { return Expanded(r); });
  }

 private:
  // Children as a linked list, so that a node owns no storage of its own.
  struct Node {
    TreeNode parent = zp::kNoNode, firstChild = zp::kNoNode, lastChild = zp::kNoNode,
             nextSibling = zp::kNoNode;
    std::string caption;
    int32_t data = 0;
    bool expanded = false;
  };
  Node& At(TreeNode node) { return nodes_.at(Position(node)); }
  const Node& At(TreeNode node) const { return nodes_.at(Position(node)); }
  size_t Position(TreeNode node) const {
    const size_t position = node - base_ - 1;  // wraps for a handle of an earlier build
    if (position >= used_) throw std::out_of_range("not a node of this build");
    return position;
  }

  std::vector<Node> nodes_;
  size_t used_ = 0;
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
  void SetTimerMenu(bool checked, int32_t) override { timerChecked_ = checked; }
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

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// PID 0x0012 packets carrying the three announcements, each with a full list:
// marker descriptor, one linkage descriptor per channel, end descriptor.
inline std::vector<zp::TsPacket> FullAnnouncements() {
  const char* markers[] = {"Direkt Portal", "Portal Sport", "Info TV Erotik"};
  const char* prefixes[] = {"D ", "Sport ", "Nacht "};
  std::vector<uint8_t> payload;
  for (int kind = 0; kind < zp::kListKindCount; ++kind) {
    const std::string marker = markers[kind];
    payload.insert(payload.end(),
                   {0x4A, static_cast<uint8_t>(7 + marker.size()), 0, 1, 0, 2, 0, 3, 0xB0});
    payload.insert(payload.end(), marker.begin(), marker.end());
    for (int c = 0; c < zp::kPortalListCapacity; ++c) {
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

}  // namespace zp::benchfx
