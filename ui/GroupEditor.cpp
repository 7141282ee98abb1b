#include "ui/GroupEditor.h"

#include <algorithm>

#include "settings/Conversions.h"
#include "settings/Settings.h"

namespace zp {

namespace {

std::string FoldedAtoZ(std::string_view text) {
  std::string folded(text);
  for (char& c : folded) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  }
  return folded;
}

std::string TrimmedField(const char (&field)[32]) {
  std::string text = FixedNameText(field);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32) text.pop_back();
  return text;
}

}  // namespace

std::vector<EditorChannel> EditorChannels(ServiceIndex& index, const HostChannelTable* table) {
  std::vector<EditorChannel> channels;
  if (table == nullptr) return channels;
  for (int32_t id = 1; id <= kMaxIndexedServiceId; ++id) {
    const int32_t position = index.FindServicePosition(table, id);
    // Position 0 is no channel for the tree either.
    if (position <= 0 || position >= kHostChannelCount) continue;
    const HostChannelRecord& record = table->Records[position];
    const std::string name = TrimmedField(record.ChName);
    const std::string provider = TrimmedField(record.Provider);
    EditorChannel& channel = channels.emplace_back();
    channel.serviceId = id;
    channel.text =
        name + (provider.empty() ? "" : "  (" + provider + ")") + "  " + std::to_string(id);
    channel.folded = FoldedAtoZ(name + '\n' + provider);
  }
  return channels;
}

int GroupEditor::ChannelOf(int32_t serviceId) const {
  const auto at = std::lower_bound(
      channels_.begin(), channels_.end(), serviceId,
      [](const EditorChannel& channel, int32_t id) { return channel.serviceId < id; });
  if (at == channels_.end() || at->serviceId != serviceId) return -1;
  return static_cast<int>(at - channels_.begin());
}

void GroupEditor::Open(ProfileFile& file, const std::string& section) {
  section_ = section;
  members_.clear();
  keptCount_ = keptInHead_ = 0;
  nodeSid_ = 0;
  title_.clear();
  if (section.empty()) return;
  file.Flush();
  const StoredGroup stored = ReadStoredGroup(file, section);
  title_ = stored.title;
  nodeSid_ = stored.nodeSid;
  const ShownId shown = ShownIds();
  for (size_t i = 0; i < stored.tokens.size(); ++i) {
    if (KeptToken(stored.tokens, i, shown)) {
      ++keptCount_;
      if (i < static_cast<size_t>(kMaxGroupIds)) ++keptInHead_;
      continue;
    }
    // An id named twice stays twice: the list shows what the file holds.
    members_.push_back(ChannelOf(ParseInteger(stored.tokens[i]).value_or(0)));
  }
}

std::string GroupEditor::KeptNote() const {
  if (keptCount_ == 0) return {};
  if (keptCount_ == 1) {
    return "1 Eintrag der Liste (nicht in der Kanalliste oder nach dem 101.) bleibt "
           "unver\xE4ndert in der Datei.";
  }
  return std::to_string(keptCount_) +
         " Eintr\xE4ge der Liste (nicht in der Kanalliste oder nach dem 101.) bleiben "
         "unver\xE4ndert in der Datei.";
}

GroupEditor::GroupEditor(std::vector<EditorChannel> channels) : channels_(std::move(channels)) {
  listOrder_.resize(channels_.size());
  for (size_t i = 0; i < listOrder_.size(); ++i) listOrder_[i] = static_cast<int>(i);
  // The folded text stands for the name and provider; the shown text breaks ties.
  std::stable_sort(listOrder_.begin(), listOrder_.end(), [this](int a, int b) {
    const std::string ka = FoldedAtoZ(channels_[a].text);
    const std::string kb = FoldedAtoZ(channels_[b].text);
    return ka != kb ? ka < kb : channels_[a].serviceId < channels_[b].serviceId;
  });
}

bool GroupEditor::Matches(const EditorChannel& channel, std::string_view filter,
                          const std::string& folded, bool digits) const {
  if (channel.folded.find(folded) != std::string::npos) return true;
  if (!digits) return false;
  const std::string idText = std::to_string(channel.serviceId);
  return idText.compare(0, filter.size(), filter) == 0;
}

template <class Order>
std::vector<int> GroupEditor::FilterIn(const Order& order, std::string_view filter,
                                       const std::vector<bool>& inGroup) const {
  const std::string folded = FoldedAtoZ(filter);
  const bool digits = !filter.empty() && std::all_of(filter.begin(), filter.end(),
                                                     [](char c) { return c >= '0' && c <= '9'; });
  std::vector<int> result;
  result.reserve(channels_.size());
  for (const int i : order) {
    if (static_cast<size_t>(i) < inGroup.size() && inGroup[i]) continue;
    if (Matches(channels_[i], filter, folded, digits)) result.push_back(i);
  }
  return result;
}

namespace {

// 0, 1, 2, ... as a range, without a vector of its own.
struct IndexRange {
  struct Iterator {
    int value;
    int operator*() const { return value; }
    Iterator& operator++() {
      ++value;
      return *this;
    }
    bool operator!=(const Iterator& other) const { return value != other.value; }
  };
  int count;
  Iterator begin() const { return {0}; }
  Iterator end() const { return {count}; }
};

}  // namespace

std::vector<int> GroupEditor::Filter(std::string_view filter,
                                     const std::vector<bool>& inGroup) const {
  return FilterIn(IndexRange{static_cast<int>(channels_.size())}, filter, inGroup);
}

std::vector<int> GroupEditor::FilterInListOrder(std::string_view filter,
                                                const std::vector<bool>& inGroup) const {
  return FilterIn(listOrder_, filter, inGroup);
}

std::vector<GroupEditor::Choice> GroupEditor::NodeSidChoices(const std::vector<int>& members,
                                                             int32_t current) const {
  std::vector<Choice> choices{{"(keiner)", 0}};
  const bool held = std::any_of(members.begin(), members.end(), [&](int channel) {
    return channels_.at(channel).serviceId == current;
  });
  if (current != 0 && !held) {
    const int channel = ChannelOf(current);
    choices.push_back({channel >= 0 ? channels_[channel].text : std::to_string(current), current});
  }
  for (const int channel : members) {
    choices.push_back({channels_.at(channel).text, channels_.at(channel).serviceId});
  }
  return choices;
}

bool GroupEditor::Fits(size_t count) const {
  return count + static_cast<size_t>(keptInHead_) <= static_cast<size_t>(kMaxGroupIds);
}

GroupEdit GroupEditor::Edit(const std::string& title, int32_t nodeSid,
                            const std::vector<int>& members, bool remove) const {
  GroupEdit edit;
  edit.section = section_;
  edit.title = title;
  edit.nodeSid = nodeSid;
  edit.remove = remove;
  for (const int channel : members) edit.ids.push_back(channels_.at(channel).serviceId);
  return edit;
}

}  // namespace zp
