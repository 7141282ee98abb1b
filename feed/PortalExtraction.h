#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "feed/CaptureBuffers.h"
#include "feed/Portals.h"

// Finds the provider's portal announcements in the captured PID 0x0012 packets:
// a descriptor whose byte 8 is 0xB0 followed by a six-character marker word,
// then one linkage descriptor (tag 0x4A) per channel of that portal.
namespace zp {

inline constexpr int kPortalListCapacity = 31;

struct PortalEntry {
  int32_t serviceId = 0;
  std::string name;  // the descriptor's private bytes, byte for byte
};

struct PortalList {
  std::array<PortalEntry, kPortalListCapacity> entries;
  int32_t count = 0;
};

using PortalLists = std::array<PortalList, kListKindCount>;

// A position in the payload byte stream of the capture: slot and byte offset.
struct PacketCursor {
  int32_t packet = -1;
  int32_t offset = -1;
  bool Found() const { return packet >= 0; }
  friend bool operator==(const PacketCursor&, const PacketCursor&) = default;
};

inline constexpr PacketCursor kNotFound{-1, -1};

// Moves the cursor by delta payload bytes; header bytes of later slots are skipped.
void AdvanceCursor(PacketCursor& cursor, int32_t delta);
// The transport-stream continuity counter of a slot (low four bits of byte 3).
int ContinuityCounter(const CaptureBuffer& capture, int32_t slot);

// `captures` tells which capture stored each slot. One descriptor is never read
// across a junction, where a slot was not stored right after the one before it:
// bytes of an older, unrelated packet would finish it. Without it (a capture
// read back from a dump file) all slots count as one capture.

// Cursor on the first byte after the marker's descriptor, or kNotFound. For
// diagnosis, markerByte (when given) receives where that marker's 0xB0 byte lies.
PacketCursor FindMarker(const CaptureBuffer& capture, ListKind kind, bool checkContinuity,
                        const CaptureNumbers* captures = nullptr,
                        PacketCursor* markerByte = nullptr);
// Reads one linkage descriptor at the cursor and moves past it.
bool ParseLinkageEntry(const CaptureBuffer& capture, PacketCursor& cursor, PortalEntry& entry,
                       const CaptureNumbers* captures = nullptr);
// Rewrites the lists; true when the Direkt announcement was found.
bool ExtractPortalLists(const CaptureBuffer& capture, PortalLists& lists,
                        const CaptureNumbers* captures = nullptr);

}  // namespace zp
