#include "settings/Settings.h"

#include <algorithm>
#include <vector>

#include "settings/Conversions.h"
#include "settings/UpperCase.h"

namespace zp {

namespace {

constexpr const char* kView = "View";
constexpr const char* kMain = "Zanterpoint";
constexpr const char* kCollapse = "Collapse";

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

// What a save learns of the file is of no use after it: the next save reads it again.
template <typename Held>
class ForgetOnExit {
 public:
  explicit ForgetOnExit(std::optional<Held>& held) : held_(held) { held_.emplace(); }
  ForgetOnExit(const ForgetOnExit&) = delete;
  ForgetOnExit& operator=(const ForgetOnExit&) = delete;
  ~ForgetOnExit() { held_.reset(); }

 private:
  std::optional<Held>& held_;
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

Settings::Settings(ProfileFile& file, SettingsWindow& window)
    : file_(file),
      window_(window),
      nodeListNames_(std::make_unique<TStringDictionary<const std::string*>>()),
      collapseStates_(std::make_unique<TStringDictionary<uint8_t*>>()) {}

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

void Settings::WriteText(const std::string& section, const std::string& key,
                         const std::string& value) {
  // A key is written only where the file does not already hold the value:
  // on Windows every write may rewrite the whole file, and a tree build
  // saves once per expanded root. This is also the only reason why a save
  // with nothing changed gives no error on a read-only file: it writes
  // nothing. The platform itself fails every write to such a file, even one
  // of the value the file already holds.
  if (FileHolds(section, key, value)) return;
  if (!file_.Write(section, key, value)) throw SettingsError(WriteErrorText(file_.Path()));
}

bool Settings::FileHolds(const std::string& section, const std::string& key,
                         const std::string& value) {
  // What the file holds now, not what the last load read: the user edits the
  // file by hand while the module runs. One listing per section and save.
  if (!heldSections_) return false;
  std::vector<HeldSection>& sections = *heldSections_;
  auto held = std::find_if(sections.begin(), sections.end(),
                           [&](const HeldSection& s) { return s.name == section; });
  if (held == sections.end()) {
    held = sections.insert(sections.end(), HeldSection{section, {}});
    for (const std::string& entry : file_.ReadSection(section)) {
      const size_t equals = entry.find('=');
      HeldKey& k = held->keys.emplace_back();
      k.name = entry.substr(0, equals);
      k.upperName = k.name;
      UpperCaseInPlace(k.upperName);
      if (equals != std::string::npos) k.value = entry.substr(equals + 1);
    }
  }
  // The first key the platform may take for this one decides. It must be this
  // key in the sense of every profile reader (A to Z folded, as Wine does) and
  // hold exactly the text the write would leave; anything else is written, as
  // writing every key would have done.
  std::string upperKey = key;
  UpperCaseInPlace(upperKey);
  const auto first = std::find_if(held->keys.begin(), held->keys.end(),
                                  [&](const HeldKey& k) { return k.upperName == upperKey; });
  if (first != held->keys.end()) {
    return SameProfileName(first->name, key) && first->value == value;
  }
  return false;
}

void Settings::AddCollapseState(const std::string& entryName) {
  // Read under the capitals the save writes: profile functions that fold
  // only A to Z would otherwise lose the state of a name like Gr\xFCn.
  std::string key = entryName;
  UpperCaseInPlace(key);
  const uint8_t collapsed = ReadBoolean(kCollapse, key, false) ? 1 : 0;
  uint8_t* existing = nullptr;
  if (collapseStates_->Lookup(entryName, existing)) return;  // the first cell stays
  collapseStates_->Add(entryName, &collapseCells_.emplace_back(collapsed));
}

void Settings::AddNodeListName(const std::string& caption, const std::string& entryName) {
  const std::string* existing = nullptr;
  if (nodeListNames_->Lookup(caption, existing)) return;  // the first entry stays
  nodeListNames_->Add(caption, &nodeListTexts_.emplace_back(entryName));
}

const std::string* Settings::NodeListName(const std::string& caption) const {
  const std::string* value = nullptr;
  nodeListNames_->Lookup(caption, value);
  return value;
}

uint8_t* Settings::CollapseState(const std::string& entryName) const {
  uint8_t* value = nullptr;
  collapseStates_->Lookup(entryName, value);
  return value;
}

void Settings::Load() {
  // Each load starts from fresh dictionaries; the previous ones go together
  // with the cells and texts they point to.
  nodeListNames_ = std::make_unique<TStringDictionary<const std::string*>>();
  collapseStates_ = std::make_unique<TStringDictionary<uint8_t*>>();
  collapseCells_.clear();
  nodeListTexts_.clear();
  timerRead_ = false;
  timerEnabledSet_ = false;
  const FlushOnExit flush(file_);

  for (const Portal& portal : kPortals) {
    view[static_cast<int>(portal.kind)] =
        ReadBoolean(kView, portal.entryName, portal.shownByDefault);
  }

  geometry.top = ReadInteger(kMain, "Top", 0);
  geometry.left = ReadInteger(kMain, "Left", 0);
  geometry.height = ReadInteger(kMain, "Height", 500);
  geometry.width = ReadInteger(kMain, "Width", 160);

  const std::string color = ReadText(kMain, "TreeViewColor", "");
  if (!color.empty()) window_.SetTreeColor(TextToColor(color));

  const std::string fontText = ReadText(kMain, "TreeViewFont", "");
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

  timerEnabled = ReadBoolean(kMain, "TimerEnabled", false);
  timerInterval = std::clamp(ReadInteger(kMain, "TimerInterval", 60), kMinTimerIntervalSeconds,
                             kMaxTimerIntervalSeconds);
  timerRead_ = true;
  window_.SetTimerMenu(timerEnabled, "Timer (" + std::to_string(timerInterval) + "s)");
  window_.SetRescanTimer(static_cast<uint32_t>(timerInterval) * 1000u, timerEnabled);

  for (const Portal& portal : kPortals) AddCollapseState(portal.entryName);

  listEntryCount = 0;
  for (const std::string& item : SplitList(ReadText(kView, "Lists", ""), ',', true)) {
    if (listEntryCount == kMaxListEntries) break;  // further entries are ignored
    AddCollapseState(item);
    const std::vector<std::string> idTexts = SplitList(ReadText(item, "List", ""), ',', true);
    ListEntry& slot = listEntries[listEntryCount];
    slot.name = item;
    if (slot.IsPortal()) {
      ++listEntryCount;
      continue;
    }
    if (idTexts.empty()) continue;  // a group without ids is dropped; its slot is reused

    slot.idCount = static_cast<int32_t>(std::min<size_t>(idTexts.size(), kMaxGroupIds));
    slot.title = ReadText(item, "Title", item);
    slot.nodeSid = ReadInteger(item, "NodeSID", 0);
    AddNodeListName(slot.title, item);
    for (int32_t i = 0; i < slot.idCount; ++i) slot.ids[i] = TextToInteger(idTexts[i]);
    ++listEntryCount;
  }
}

void Settings::Save() {
  const FlushOnExit flush(file_);
  const ForgetOnExit forget(heldSections_);

  for (const Portal& portal : kPortals) {
    WriteText(kView, portal.entryName, Flag(view[static_cast<int>(portal.kind)]));
  }

  const WindowGeometry bounds = window_.Bounds();
  WriteText(kMain, "Top", std::to_string(bounds.top));
  WriteText(kMain, "Left", std::to_string(bounds.left));
  WriteText(kMain, "Height", std::to_string(bounds.height));
  WriteText(kMain, "Width", std::to_string(bounds.width));
  WriteText(kMain, "TreeViewColor", ColorToText(window_.TreeColor()));
  WriteText(kMain, "TreeViewFont", FontToText(window_.TreeFont()));
  // After a load that failed before the timer keys, the values in memory are
  // not the file's: writing them would replace the user's timer settings. The
  // Timer command's own change is written all the same, or the load after it
  // would undo the click.
  if (timerRead_ || timerEnabledSet_) WriteText(kMain, "TimerEnabled", Flag(timerEnabled));
  if (timerRead_) WriteText(kMain, "TimerInterval", std::to_string(timerInterval));

  // Bucket order: a fresh file gets DP, EP, SP, with the groups mixed in by hash.
  std::string name;
  uint8_t* cell = nullptr;
  collapseStates_->ResetIteration();
  while (collapseStates_->NextEntry(name, cell)) {
    WriteText(kCollapse, name, Flag(*cell != 0));
  }
}

}  // namespace zp
