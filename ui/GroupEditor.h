#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "feed/ServiceIndex.h"
#include "settings/GroupFile.h"

namespace zp {

// A channel the group editor offers: one per service id that the tree finds
// in the viewer's table, the record the tree would tune to.
struct EditorChannel {
  int32_t serviceId = 0;
  std::string text;    // "Name  (Provider)  28106", as the lists show it
  std::string folded;  // name and provider in capitals A to Z, for the filter
};

// The viewer's channels by service id, each id once.
std::vector<EditorChannel> EditorChannels(ServiceIndex& index, const HostChannelTable* table);

// The group editor's state behind the dialog: which group, its title and
// root channel, and which channels the two lists hold. Channels are indices
// into the channel vector; the dialog's list items carry index + 1.
class GroupEditor {
 public:
  explicit GroupEditor(std::vector<EditorChannel> channels);

  const std::vector<EditorChannel>& Channels() const { return channels_; }
  // Index of the channel with that service id, or -1.
  int ChannelOf(int32_t serviceId) const;
  bool Shown(int32_t serviceId) const { return ChannelOf(serviceId) >= 0; }
  ShownId ShownIds() const {
    return [this](int32_t id) { return Shown(id); };
  }

  // Opens a group of [View] Lists as the file holds it, or a new one (empty section).
  void Open(ProfileFile& file, const std::string& section);
  const std::string& Section() const { return section_; }
  const std::string& Title() const { return title_; }
  int32_t NodeSid() const { return nodeSid_; }
  // The group's channels in order, as the Ziel-Liste starts.
  const std::vector<int>& Members() const { return members_; }
  // How many List tokens the editor cannot show and keeps in place.
  int KeptCount() const { return keptCount_; }
  // The dialog's note about them; empty when there are none.
  std::string KeptNote() const;

  // The Quell-Liste for a filter: the channels not in the group (`inGroup`
  // marks them by channel index) whose name or provider contains the filter
  // in any letter case, or whose service id starts with it.
  std::vector<int> Filter(std::string_view filter, const std::vector<bool>& inGroup) const;
  // The same channels in the Quell-Liste's order: by text, capitals and small
  // letters alike, then by service id. A list box that is filled in this order
  // needs no sorting of its own, which costs it a search and a move per item.
  std::vector<int> FilterInListOrder(std::string_view filter,
                                     const std::vector<bool>& inGroup) const;

  // The choices for the group's root channel: "(keiner)" first (service id 0),
  // then the current one when the group does not hold it, then the group's channels.
  struct Choice {
    std::string text;
    int32_t serviceId = 0;
  };
  std::vector<Choice> NodeSidChoices(const std::vector<int>& members, int32_t current) const;

  // Whether `count` shown ids fit the group beside the kept ones.
  bool Fits(size_t count) const;

  // The edit the dialog's OK confirms.
  GroupEdit Edit(const std::string& title, int32_t nodeSid, const std::vector<int>& members,
                 bool remove) const;

 private:
  bool Matches(const EditorChannel& channel, std::string_view filter, const std::string& folded,
               bool digits) const;
  template <class Order>
  std::vector<int> FilterIn(const Order& order, std::string_view filter,
                            const std::vector<bool>& inGroup) const;

  std::vector<EditorChannel> channels_;  // by service id
  std::vector<int> listOrder_;           // channel indices in the Quell-Liste's order
  std::string section_;
  std::string title_;
  int32_t nodeSid_ = 0;
  std::vector<int> members_;
  int keptCount_ = 0;
  int keptInHead_ = 0;  // of them among the first 101 tokens
};

}  // namespace zp
