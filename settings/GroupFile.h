#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/ProfileFile.h"

namespace zp {

// A user's group as the settings file holds it right now.
struct StoredGroup {
  std::string section;
  std::string title;                // Title, or the section name without one
  int32_t nodeSid = 0;              // NodeSID, 0 without one or when it is no integer
  std::vector<std::string> tokens;  // the List items, trimmed, as written
};

StoredGroup ReadStoredGroup(ProfileFile& file, const std::string& section);
// The [View] Lists items that name groups, in order, each once (names folded A to Z).
std::vector<std::string> ReadGroupNames(ProfileFile& file);

// Whether the editor shows a service id: the viewer's table has a channel for it.
using ShownId = std::function<bool(int32_t serviceId)>;

// The List tokens the editor cannot show and keeps as they are: a token that
// is no integer, an id without a channel, and every token past the 101 a
// group holds.
bool KeptToken(const std::vector<std::string>& tokens, size_t index, const ShownId& shown);
int KeptTokenCount(const std::vector<std::string>& tokens, const ShownId& shown);

// The List after an edit: kept tokens among the first 101 stay at their
// positions, the edited ids fill the other positions in their new order
// (keeping the text an id had, such as 0x6D9A), and the tokens past the 101
// follow at the end. Throws SettingsError when more than 101 ids would count.
std::vector<std::string> MergeGroupList(const std::vector<std::string>& storedTokens,
                                        const ShownId& shown, const std::vector<int32_t>& edited);

// A section name for a new group, made from its title: letters, digits, "_"
// and "-" only, at most 24 characters, never a name the module uses for
// itself (View, Zanterpoint, Collapse, DP, SP, EP) nor one `taken` reports;
// a number is appended until it is free.
std::string MakeGroupSectionName(std::string_view title,
                                 const std::function<bool(const std::string&)>& taken);

// What the user confirmed in the group editor.
struct GroupEdit {
  std::string section;  // empty: a new group
  bool remove = false;  // take the group out of [View] Lists; its section stays
  std::string title;
  int32_t nodeSid = 0;
  std::vector<int32_t> ids;  // the shown ids, in the group's new order
};

// Writes a confirmed edit, the only way the module writes a group. The file is
// read again first, so a hand edit made meanwhile survives; then only the
// group's Title, NodeSID and List whose value changes are written, and [View]
// Lists only when a group is added or removed. Every other byte stays. Returns
// the group's section name. Throws SettingsError with a message for the user
// when the edit breaks a limit (before anything is written) or when a key
// cannot be written; keys written before the failing one are put back.
std::string WriteGroupEdit(ProfileFile& file, const GroupEdit& edit, const ShownId& shown);

// The messages of the limits and of an incomplete edit.
extern const char* const kGroupFullText;
extern const char* const kListsFullText;
extern const char* const kGroupTitleMissingText;
extern const char* const kGroupEmptyText;

}  // namespace zp
