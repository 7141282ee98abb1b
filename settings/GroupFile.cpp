#include "settings/GroupFile.h"

#include <algorithm>
#include <array>
#include <optional>

#include "settings/Conversions.h"
#include "settings/Sections.h"
#include "settings/Settings.h"

namespace zp {

const char* const kGroupFullText =
    "Eine Gruppe kann h\xF6"
    "chstens 101 Kan\xE4le enthalten";
const char* const kListsFullText =
    "[View] Lists hat schon 31 Eintr\xE4ge, mehr zeigt das Modul nicht";
const char* const kGroupTitleMissingText = "Bitte einen Titel f\xFCr die Gruppe eingeben";
const char* const kGroupEmptyText =
    "Eine Gruppe braucht mindestens einen Kanal (zum Entfernen: \"Gruppe entfernen\")";

namespace {

constexpr size_t kMaxSectionNameLength = 24;

std::string TrimText(std::string_view text) {
  const auto blank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return std::string(text);
}

std::string JoinList(const std::vector<std::string>& items) {
  std::string text;
  for (size_t i = 0; i < items.size(); ++i) {
    if (i > 0) text += ',';
    text += items[i];
  }
  return text;
}

bool IsGroupName(const std::string& item) { return PortalNamed(item) == nullptr; }

// Lists with `name` appended, the user's spelling of the rest kept.
std::string AppendToLists(const std::string& lists, const std::string& name) {
  if (SplitList(lists, ',', true).empty()) return name;
  if (TrimText(lists).back() == ',') return lists + name;  // a trailing separator adds no item
  return lists + "," + name;
}

// Lists without any item naming the group `name`, in whatever letter case (the
// file's names are found that way, so "fav" shows the same group again); the
// portals and the other items keep their text.
std::string RemoveFromLists(const std::string& lists, const std::string& name) {
  std::vector<std::string> kept;
  for (const std::string& raw : SplitList(lists, ',', false)) {
    const std::string item = TrimText(raw);
    if (!IsGroupName(item) || !SameProfileName(item, name)) kept.push_back(raw);
  }
  return JoinList(kept);
}

// One key the edit writes, with what the file held, for putting it back.
struct PlannedWrite {
  std::string section, key, value;
  std::optional<std::string> previous{};
};

}  // namespace

StoredGroup ReadStoredGroup(ProfileFile& file, const std::string& section) {
  StoredGroup group;
  group.section = section;
  group.title = file.Read(section, kTitleKey, section);
  group.nodeSid = ParseInteger(file.Read(section, kNodeSidKey, "")).value_or(0);
  group.tokens = SplitList(file.Read(section, kListKey, ""), ',', true);
  return group;
}

std::vector<std::string> ReadGroupNames(ProfileFile& file) {
  std::vector<std::string> names;
  for (const std::string& item : SplitList(file.Read(kViewSection, kListsKey, ""), ',', true)) {
    if (item.empty() || !IsGroupName(item)) continue;
    const bool seen = std::any_of(names.begin(), names.end(),
                                  [&](const std::string& n) { return SameProfileName(n, item); });
    if (!seen) names.push_back(item);
  }
  return names;
}

bool KeptToken(const std::vector<std::string>& tokens, size_t index, const ShownId& shown) {
  if (index >= kMaxGroupIds) return true;
  const std::optional<int32_t> id = ParseInteger(tokens.at(index));
  return !id || !shown(*id);
}

int KeptTokenCount(const std::vector<std::string>& tokens, const ShownId& shown) {
  int count = 0;
  for (size_t i = 0; i < tokens.size(); ++i) count += KeptToken(tokens, i, shown) ? 1 : 0;
  return count;
}

std::vector<std::string> MergeGroupList(const std::vector<std::string>& storedTokens,
                                        const ShownId& shown, const std::vector<int32_t>& edited) {
  const size_t head = std::min<size_t>(storedTokens.size(), kMaxGroupIds);
  size_t keptInHead = 0;
  for (size_t i = 0; i < head; ++i) keptInHead += KeptToken(storedTokens, i, shown) ? 1 : 0;
  if (edited.size() + keptInHead > static_cast<size_t>(kMaxGroupIds)) {
    throw SettingsError(kGroupFullText);
  }

  // An id keeps the text the file gave it.
  const auto textOf = [&](int32_t id) {
    for (size_t i = 0; i < head; ++i) {
      if (!KeptToken(storedTokens, i, shown) && ParseInteger(storedTokens[i]) == id) {
        return storedTokens[i];
      }
    }
    return std::to_string(id);
  };

  std::vector<std::string> merged;
  size_t next = 0;
  for (size_t i = 0; i < head; ++i) {
    if (KeptToken(storedTokens, i, shown)) {
      merged.push_back(storedTokens[i]);
    } else if (next < edited.size()) {
      merged.push_back(textOf(edited[next++]));
    }
  }
  for (; next < edited.size(); ++next) merged.push_back(textOf(edited[next]));
  merged.insert(merged.end(), storedTokens.begin() + static_cast<ptrdiff_t>(head),
                storedTokens.end());
  return merged;
}

std::string MakeGroupSectionName(std::string_view title,
                                 const std::function<bool(const std::string&)>& taken) {
  std::string base;
  for (const char c : title) {
    const bool safe = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                      c == '_' || c == '-';
    if (safe && base.size() < kMaxSectionNameLength) base += c;
  }
  if (base.empty()) base = "Gruppe";
  static constexpr std::array<const char*, 6> kReserved = {
      kViewSection, kMainSection, kCollapseSection, "DP", "SP", "EP"};
  const auto usable = [&](const std::string& name) {
    const bool reserved = std::any_of(kReserved.begin(), kReserved.end(),
                                      [&](const char* r) { return SameProfileName(name, r); });
    return !reserved && !taken(name);
  };
  if (usable(base)) return base;
  for (int number = 2;; ++number) {
    const std::string name = base + std::to_string(number);
    if (usable(name)) return name;
  }
}

std::string WriteGroupEdit(ProfileFile& file, const GroupEdit& edit, const ShownId& shown) {
  // What the file holds now, not what the editor was opened with.
  file.Flush();
  const std::string lists = file.Read(kViewSection, kListsKey, "");
  const std::vector<std::string> items = SplitList(lists, ',', true);
  std::vector<PlannedWrite> writes;
  std::string section = edit.section;

  if (edit.remove) {
    if (!section.empty())
      writes.push_back({kViewSection, kListsKey, RemoveFromLists(lists, section)});
  } else {
    std::string title = TrimText(edit.title);
    std::replace_if(
        title.begin(), title.end(), [](char c) { return static_cast<unsigned char>(c) < 32; }, ' ');
    if (title.empty()) throw SettingsError(kGroupTitleMissingText);
    if (edit.ids.empty()) throw SettingsError(kGroupEmptyText);

    const bool added = section.empty();
    StoredGroup stored;
    if (added) {
      if (items.size() >= static_cast<size_t>(kMaxListEntries)) throw SettingsError(kListsFullText);
      section = MakeGroupSectionName(title, [&](const std::string& name) {
        const bool listed = std::any_of(items.begin(), items.end(), [&](const std::string& item) {
          return SameProfileName(item, name);
        });
        return listed || !file.ReadSection(name).empty();
      });
    } else {
      stored = ReadStoredGroup(file, section);
    }
    const std::vector<std::string> list = MergeGroupList(stored.tokens, shown, edit.ids);
    if (added || title != stored.title) writes.push_back({section, kTitleKey, title});
    if (added ? edit.nodeSid != 0 : edit.nodeSid != stored.nodeSid) {
      writes.push_back({section, kNodeSidKey, std::to_string(edit.nodeSid)});
    }
    if (added || list != stored.tokens) writes.push_back({section, kListKey, JoinList(list)});
    if (added) writes.push_back({kViewSection, kListsKey, AppendToLists(lists, section)});
  }

  for (PlannedWrite& write : writes) {
    const std::string missing = "\x01";  // no value of the file holds it
    const std::string held = file.Read(write.section, write.key, missing);
    if (held != missing) write.previous = held;
  }
  for (size_t i = 0; i < writes.size(); ++i) {
    if (file.Write(writes[i].section, writes[i].key, writes[i].value)) continue;
    // Put back what the earlier keys held. A key that was missing stays:
    // ProfileFile has no removal. A read-only file fails at the first key.
    for (size_t j = 0; j < i; ++j) {
      if (writes[j].previous) file.Write(writes[j].section, writes[j].key, *writes[j].previous);
    }
    file.Flush();
    throw SettingsError(WriteErrorText(file.Path()));
  }
  file.Flush();
  return section;
}

}  // namespace zp
