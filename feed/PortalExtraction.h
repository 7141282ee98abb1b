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

// What an extraction found, for diagnosis (zpinspect): the module itself asks
// for none, and without one the extraction does no work beyond its own.
enum class ListOutcome {
  Read,          // the marker was found and the list read behind it
  NoMarker,      // searched, not found: the list is empty
  NoDirekt,      // not searched: without the Direkt marker no other list is read
  KeptPrevious,  // Erotik without a Sport marker: the list of the previous extraction stays
};

// Why the reading of a list stopped.
enum class ListEnd {
  NotRead,
  EndOfData,             // the next byte starts no linkage descriptor: the channels end
  UnreadableDescriptor,  // a linkage descriptor's name holds the end byte 0xFF: no entry for it
  CaptureEnd,            // the next descriptor runs past the packets stored with the marker
  Full,                  // every slot of the list is taken
};

struct ListReport {
  ListOutcome outcome = ListOutcome::NoMarker;
  // Where the 0xB0 byte lies of the first marker whose next stored packet
  // continues it, and of the first at all; the extraction prefers the former.
  PacketCursor markerWithContinuity = kNotFound;
  PacketCursor markerWithoutContinuity = kNotFound;
  PacketCursor listStart = kNotFound;  // the first byte after the marker's descriptor
  ListEnd end = ListEnd::NotRead;
  PacketCursor endAt = kNotFound;  // where the reading stopped
  // The first entry whose descriptor is itself a marker (linkage type 0xB0 and
  // a marker word): an announcement read as a channel. -1: none.
  int32_t markerEntry = -1;
  ListKind markerEntryKind = ListKind::Direkt;
};

using ExtractionReport = std::array<ListReport, kListKindCount>;

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
// Rewrites the lists; true when the Direkt announcement was found. `report`,
// when given, receives what was found and why each list ended.
bool ExtractPortalLists(const CaptureBuffer& capture, PortalLists& lists,
                        const CaptureNumbers* captures = nullptr,
                        ExtractionReport* report = nullptr);

}  // namespace zp
