#include "settings/Settings.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

#include "settings/Conversions.h"
#include "settings/Sections.h"
#include "settings/UpperCase.h"

namespace zp {

namespace {

// [Zanterpoint]: every key named once, here, for Load and Save alike.
struct GeometryKey {
  const char* name;
  int32_t WindowGeometry::*field;
  int32_t fallback;
};
constexpr GeometryKey kGeometryKeys[] = {
    {"Top", &WindowGeometry::top, 0},
    {"Left", &WindowGeometry::left, 0},
    {"Height", &WindowGeometry::height, 500},
    {"Width", &WindowGeometry::width, 160},
};
constexpr const char* kTreeViewColor = "TreeViewColor";
constexpr const char* kTreeViewFont = "TreeViewFont";
constexpr const char* kTimerEnabled = "TimerEnabled";
constexpr const char* kTimerInterval = "TimerInterval";

// The platform's cached copy of the file is dropped after every load and
// save, whether it succeeded or not.
class FlushOnExit {
 public:
  explicit FlushOnExit(ProfileFile& file) : file_(file) {}
  FlushOnExit(const FlushOnExit&) = delete;
  FlushOnExit& operator=(const FlushOnExit&) = delete;
  ~FlushOnExit() {
    try {
      file_.Flush();
    } catch (...) {
    }
  }

 private:
  ProfileFile& file_;
};

// One save: the rule that writes a key only where the file does not already
// hold the value, and what it needs for that, each section it writes to as
// the file held it when the save came to it. The next save lists them again:
// the user edits the file by hand while the module runs.
class SaveSession {
 public:
  // block: where the listings go, lent by the settings so that its storage
  // outlives the session; a tree build saves once per root.
  SaveSession(ProfileFile& file, std::string& block) : file_(file), block_(block) {
    block_.clear();
  }

  void Write(const char* section, const std::string& key, const std::string& value) {
    // On Windows every write may rewrite the whole file, and a tree build
    // saves once per expanded root. This is also the only reason why a save
    // with nothing changed gives no error on a read-only file: it writes
    // nothing. The platform itself fails every write to such a file, even one
    // of the value the file already holds.
    if (Holds(section, key, value)) return;
    if (!file_.Write(section, key, value)) throw SettingsError(WriteErrorText(file_.Path()));
  }

 private:
  struct Listing {
    const char* section = nullptr;
    // In block_: the entries, each followed by a NUL, from begin to end, and
    // right after them the same bytes in upper case.
    size_t begin = 0, end = 0;
  };
  // [View], [Zanterpoint] and [Collapse].
  static constexpr size_t kSections = 3;

  const Listing* ListingOf(const char* section) {
    for (Listing& listing : listings_) {
      if (listing.section == nullptr) {
        listing.section = section;
        listing.begin = block_.size();
        file_.ReadSectionBlock(section, block_);
        listing.end = block_.size();
        // Upper-cased once, not once per key written.
        block_.append(block_, listing.begin, listing.end - listing.begin);
        UpperCaseInPlace(block_.data() + listing.end, listing.end - listing.begin);
      }
      if (std::string_view(listing.section) == section) return &listing;
    }
    return nullptr;  // a section no listing was kept for is always written
  }

  bool Holds(const char* section, const std::string& key, const std::string& value) {
    const Listing* listing = ListingOf(section);
    if (listing == nullptr) return false;
    // The first key the platform may take for this one decides. It must be this
    // key in the sense of every profile reader (A to Z folded, as Wine does) and
    // hold exactly the text the write would leave; anything else is written, as
    // writing every key would have done.
    std::string upperKey = key;
    UpperCaseInPlace(upperKey);
    // A name ends at the first "=", so a key holding one names no line.
    if (upperKey.find('=') != std::string::npos) return false;
    const std::string_view block = block_;
    const size_t n = upperKey.size();
    const size_t upperShift = listing->end - listing->begin;
    for (size_t at = listing->begin; at < listing->end;) {
      const std::string_view line = block.substr(at, block.find('\0', at) - at);
      const bool named = line.size() >= n && (line.size() == n || line[n] == '=') &&
                         block.substr(at + upperShift, n) == upperKey;
      at += line.size() + 1;
      if (!named) continue;
      return SameProfileName(line.substr(0, n), key) && line.size() > n &&
             line.substr(n + 1) == value;
    }
    return false;
  }

  ProfileFile& file_;
  std::array<Listing, kSections> listings_;
  std::string& block_;
};

const char* Flag(bool on) { return on ? "1" : "0"; }

}  // namespace

const Portal* PortalNamed(const std::string& entryName) {
  for (const Portal& portal : kPortals) {
    if (entryName == portal.entryName) return &portal;
  }
  return nullptr;
}

std::string SettingsFilePathFor(const std::string& executablePath) {
  // The directory of the executable, whatever the program is called and in
  // whatever letter case: the file always sits beside the viewer, never
  // somewhere the profile functions would resolve a relative path to.
  const size_t slash = executablePath.find_last_of("\\/");
  const std::string directory =
      slash == std::string::npos ? std::string() : executablePath.substr(0, slash + 1);
  return directory + "modules\\Zanterpoint.ini";
}

Settings::Settings(ProfileFile& file, SettingsWindow& window) : file_(file), window_(window) {}

std::string Settings::ReadText(const std::string& section, const std::string& key,
                               const std::string& fallback) {
  return file_.Read(section, key, fallback);
}

int32_t Settings::ReadInteger(const std::string& section, const std::string& key,
                              int32_t fallback) {
  return ParseInteger(ReadText(section, key, "")).value_or(fallback);
}

bool Settings::ReadBoolean(const std::string& section, const std::string& key, bool fallback) {
  return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

void Settings::AddCollapseState(const std::string& entryName) {
  // Read under the capitals the save writes: profile functions that fold
  // only A to Z would otherwise lose the state of a name like Gr\xFCn.
  std::string key = entryName;
  UpperCaseInPlace(key);
  const uint8_t collapsed = ReadBoolean(kCollapseSection, key, false) ? 1 : 0;
  collapseStates_.Add(entryName, collapsed);  // the first cell stays
}

void Settings::AddNodeListName(const std::string& caption, const std::string& entryName) {
  nodeListNames_.Add(caption, entryName);  // the first entry stays
}

const std::string* Settings::NodeListName(const std::string& caption) const {
  return nodeListNames_.Find(caption);
}

void Settings::Load() {
  // Each load starts from empty dictionaries, their cells and texts going
  // with them. They hold at most 3 + 31 entries each and never grow, so an
  // emptied one is what a new one would be.
  nodeListNames_.Clear();
  collapseStates_.Clear();
  timerEnabled.known = false;
  timerInterval.known = false;
  const FlushOnExit flush(file_);

  for (const Portal& portal : kPortals) {
    View(portal.kind) = ReadBoolean(kViewSection, portal.entryName, portal.shownByDefault);
  }

  for (const GeometryKey& key : kGeometryKeys) {
    geometry.*key.field = ReadInteger(kMainSection, key.name, key.fallback);
  }

  const std::string color = ReadText(kMainSection, kTreeViewColor, "");
  if (!color.empty()) window_.SetTreeColor(TextToColor(color));

  const std::string fontText = ReadText(kMainSection, kTreeViewFont, "");
  if (!fontText.empty()) {
    // A broken font text still leaves what its first parts have set.
    FontSpec font = window_.TreeFont();
    try {
      TextToFont(fontText, font);
    } catch (...) {
      window_.SetTreeFont(font);
      throw;
    }
    window_.SetTreeFont(font);
  }

  timerEnabled.Set(ReadBoolean(kMainSection, kTimerEnabled, false));
  timerInterval.Set(std::clamp(ReadInteger(kMainSection, kTimerInterval, 60),
                               kMinTimerIntervalSeconds, kMaxTimerIntervalSeconds));
  window_.SetTimerMenu(timerEnabled.value, timerInterval.value);
  window_.SetRescanTimer(static_cast<uint32_t>(timerInterval.value) * 1000u, timerEnabled.value);

  for (const Portal& portal : kPortals) AddCollapseState(portal.entryName);

  listEntryCount = 0;
  for (const std::string& item : SplitList(ReadText(kViewSection, kListsKey, ""), ',', true)) {
    if (listEntryCount == kMaxListEntries) break;  // further entries are ignored
    AddCollapseState(item);
    const std::string idText = ReadText(item, kListKey, "");
    int32_t idTotal = 0;
    ForEachListItem(idText, ',', true, [&](std::string_view) { ++idTotal; });
    ListEntry& slot = listEntries[listEntryCount];
    slot.name = item;
    if (slot.IsPortal()) {
      ++listEntryCount;
      continue;
    }
    if (idTotal == 0) continue;  // a group without ids is dropped; its slot is reused

    slot.idCount = std::min(idTotal, kMaxGroupIds);
    slot.title = ReadText(item, kTitleKey, item);
    slot.nodeSid = ReadInteger(item, kNodeSidKey, 0);
    AddNodeListName(slot.title, item);
    int32_t next = 0;
    ForEachListItem(idText, ',', true, [&](std::string_view id) {
      if (next < slot.idCount) slot.ids[next++] = TextToInteger(id);
    });
    ++listEntryCount;
  }
}

void Settings::Save() {
  const FlushOnExit flush(file_);
  SaveSession session(file_, saveListings_);

  for (const Portal& portal : kPortals)
    session.Write(kViewSection, portal.entryName, Flag(View(portal.kind)));

  const WindowGeometry bounds = window_.Bounds();
  for (const GeometryKey& key : kGeometryKeys) {
    session.Write(kMainSection, key.name, std::to_string(bounds.*key.field));
  }
  session.Write(kMainSection, kTreeViewColor, ColorToText(window_.TreeColor()));
  session.Write(kMainSection, kTreeViewFont, FontToText(window_.TreeFont(), fontText_));
  // The Timer command's own change is known even after a load that failed
  // before the timer keys, or the load after it would undo the click.
  if (timerEnabled.known) session.Write(kMainSection, kTimerEnabled, Flag(timerEnabled.value));
  if (timerInterval.known) {
    session.Write(kMainSection, kTimerInterval, std::to_string(timerInterval.value));
  }

  // Bucket order: a fresh file gets DP, EP, SP, with the groups mixed in by hash.
  std::string name;
  uint8_t collapsed = 0;
  collapseStates_.ResetIteration();
  while (collapseStates_.NextEntry(name, collapsed)) {
    // A name holding "=" cannot be a key: read back, it names another one, and
    // the platform's write, never finding it, would add a line at every save.
    if (name.find('=') != std::string::npos) continue;
    session.Write(kCollapseSection, name, Flag(collapsed != 0));
  }
}

}  // namespace zp
