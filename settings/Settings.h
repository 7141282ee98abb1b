#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "feed/Portals.h"
#include "settings/Colors.h"
#include "settings/ProfileFile.h"
#include "settings/StringDictionary.h"

namespace zp {

inline constexpr int kMaxListEntries = 31;
inline constexpr int kMaxGroupIds = 101;
inline constexpr int32_t kMinTimerIntervalSeconds = 10;
// The longest interval whose milliseconds still fit a signed 32-bit timer.
inline constexpr int32_t kMaxTimerIntervalSeconds = 2147483;

// The settings file beside the viewer: the directory of its executable
// followed by modules\Zanterpoint.ini.
std::string SettingsFilePathFor(const std::string& executablePath);

// A load or save that fails ends at the key concerned; the message is shown to the user.
class SettingsError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct FontSpec {
  std::string name = "MS Sans Serif";
  int32_t size = 8;  // points
  bool bold = false, italic = false, underline = false, strikeOut = false;
  int32_t color = kDefaultFontColor;
};

struct WindowGeometry {
  int32_t top = 0, left = 0, height = 0, width = 0;
};

// What loading and saving read from and apply to the main window.
class SettingsWindow {
 public:
  virtual ~SettingsWindow() = default;
  virtual int32_t TreeColor() const = 0;
  virtual void SetTreeColor(int32_t color) = 0;
  virtual FontSpec TreeFont() const = 0;
  virtual void SetTreeFont(const FontSpec& font) = 0;
  // The Timer menu item: its check mark, and the interval its caption shows.
  virtual void SetTimerMenu(bool checked, int32_t intervalSeconds) = 0;
  virtual void SetRescanTimer(uint32_t intervalMs, bool enabled) = 0;
  virtual WindowGeometry Bounds() const = 0;  // the live window, for saving
};

// The portal whose Lists entry is `entryName` (exactly, in its letter case), or null.
const Portal* PortalNamed(const std::string& entryName);

// One Lists item: a portal ("DP", "SP", "EP") or a group section.
struct ListEntry {
  std::string name;
  std::string title;    // group only
  int32_t nodeSid = 0;  // group only
  int32_t idCount = 0;  // group only, 1..101
  std::array<int32_t, kMaxGroupIds> ids{};
  bool IsPortal() const { return PortalNamed(name) != nullptr; }
};

// A setting that the last load may not have reached: after a load that failed
// before its key, the value in memory is not the file's, and a save must not
// write it over the user's.
template <typename T>
struct Known {
  T value{};
  bool known = false;
  void Set(T v) {
    value = v;
    known = true;
  }
};

// The module's settings state, read from and written to the settings file.
class Settings {
 public:
  Settings(ProfileFile& file, SettingsWindow& window);

  void Load();  // throws SettingsError, with everything read before the failing key in effect
  void Save();  // throws SettingsError at the first key that cannot be written

  // Root caption -> Lists entry name; the tree build adds the portal captions.
  void AddNodeListName(const std::string& caption, const std::string& entryName);
  // Null when the caption or its entry is unknown (e.g. after a load that failed part-way).
  const std::string* NodeListName(const std::string& caption) const;
  // The collapsed flag of a Lists entry, or null when the entry is unknown.
  uint8_t* CollapseState(const std::string& entryName) { return collapseStates_.Find(entryName); }
  const uint8_t* CollapseState(const std::string& entryName) const {
    return collapseStates_.Find(entryName);
  }
  // Entry name -> collapsed flag, in the order the [Collapse] keys are written.
  TStringDictionary<uint8_t>& CollapseStates() { return collapseStates_; }

  // The Timer command's own change, which the next save writes even after a
  // load that stopped before the timer keys.
  void SetTimerEnabled(bool on) { timerEnabled.Set(on); }

  // Which portal roots the tree shows ([View] DP, SP, EP).
  bool& View(ListKind kind) { return view[Index(kind)]; }
  bool View(ListKind kind) const { return view[Index(kind)]; }

  std::array<bool, kListKindCount> view{};  // indexed by ListKind
  WindowGeometry geometry;
  Known<bool> timerEnabled;
  Known<int32_t> timerInterval;  // seconds
  std::array<ListEntry, kMaxListEntries> listEntries;
  int32_t listEntryCount = 0;

 private:
  std::string ReadText(const std::string& section, const std::string& key,
                       const std::string& fallback);
  int32_t ReadInteger(const std::string& section, const std::string& key, int32_t fallback);
  bool ReadBoolean(const std::string& section, const std::string& key, bool fallback);
  void AddCollapseState(const std::string& entryName);

  ProfileFile& file_;
  SettingsWindow& window_;
  // Both dictionaries hold their cells and texts and belong to one load.
  TStringDictionary<std::string> nodeListNames_;
  TStringDictionary<uint8_t> collapseStates_;
  // Storage that every save reuses: the section listings and the font text.
  std::string saveListings_;
  std::string fontText_;
};

}  // namespace zp
