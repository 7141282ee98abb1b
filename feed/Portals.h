#pragma once

#include <cstddef>
#include <cstdint>

// The provider's three portals, each in one row: how its announcement is found
// in the stream, how the settings file names it, and how the tree and the keys
// show it. Extraction, settings, tree building and the keys all read this table.
namespace zp {

enum class ListKind : int { Direkt = 0, Sport = 1, Erotik = 2 };
inline constexpr int kListKindCount = 3;

struct Portal {
  ListKind kind;
  const char* marker;     // the six characters after the announcement's 0xB0 byte
  const char* entryName;  // Lists entry, and key in [View] and [Collapse]
  const char* caption;    // the tree root
  int32_t serviceId;      // the root's channel
  char toggleKey;         // with Ctrl and Alt or Shift: show or hide the root
  bool shownByDefault;    // without a [View] key
};

// In ListKind order: kPortals[k].kind == ListKind(k).
inline constexpr Portal kPortals[kListKindCount] = {
    {ListKind::Direkt, "Direkt", "DP", "Direkt Portal", 18, 'D', true},
    {ListKind::Sport, "Portal", "SP", "Sport Portal", 17, 'S', true},
    {ListKind::Erotik, "Info T", "EP", "Erotik Portal", 513, 'E', false},
};

static_assert([] {
  for (int k = 0; k < kListKindCount; ++k) {
    if (kPortals[k].kind != static_cast<ListKind>(k)) return false;
  }
  return true;
}());

// The position of a kind in kPortals and in every array indexed by ListKind.
constexpr size_t Index(ListKind kind) { return static_cast<size_t>(kind); }

constexpr const Portal& PortalOf(ListKind kind) { return kPortals[Index(kind)]; }

}  // namespace zp
