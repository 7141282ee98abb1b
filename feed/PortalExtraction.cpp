#include "feed/PortalExtraction.h"

#include <algorithm>
#include <cstring>

namespace zp {

namespace {

constexpr int kHeaderSize = 4;
constexpr int kPayloadSize = static_cast<int>(kTsPacketSize) - kHeaderSize;
constexpr int kLastOffset = static_cast<int>(kTsPacketSize) - 1;
constexpr uint8_t kLinkageTag = 0x4A;
// The linkage type of an announcement; its private bytes begin with the marker word.
constexpr uint8_t kMarkerByte = 0xB0;
constexpr uint8_t kNameEnd = 0xFF;
constexpr int kMarkerLength = 6;

// A linkage descriptor on the wire, as byte offsets from its tag.
namespace linkage {
constexpr int kLength = 1;  // counts the bytes after itself
constexpr int kServiceIdHigh = 6;
constexpr int kServiceIdLow = 7;
constexpr int kLinkageType = 8;
constexpr int kPrivateBytes = 9;  // a channel's name, or an announcement's marker word
// What the length counts before the private bytes: stream, network and service ids, type.
constexpr int kFixedLength = kPrivateBytes - (kLength + 1);
}  // namespace linkage

// A descriptor of 2 + 255 bytes lies in three slots at most.
constexpr int32_t kDescriptorSlotsBeyondFirst = 2;

// The byte under a cursor, or -1 outside the captured slots or beyond
// `lastSlot`. Every read of the capture goes through here, so a corrupt length
// can never leave the buffer.
int ByteAt(const CaptureBuffer& capture, const PacketCursor& cursor,
           int32_t lastSlot = kCaptureSlots - 1) {
  if (cursor.packet < 0 || cursor.packet > lastSlot || cursor.offset < 0 ||
      cursor.offset > kLastOffset) {
    return -1;
  }
  return capture[cursor.packet][cursor.offset];
}

// The last slot that a read starting in `first` (in the buffer) and running
// over at most `span` more slots may use: the capture that stored `first`
// stored these right after it. The next lies beyond a junction: a packet of
// another capture, or a slot never filled.
int32_t RunEnd(const CaptureNumbers* captures, int32_t first, int32_t span) {
  if (captures == nullptr) return kCaptureSlots - 1;
  const int32_t limit = std::min(first + span, kCaptureSlots - 1);
  int32_t last = first;
  while (last < limit && (*captures)[last + 1] == (*captures)[first]) ++last;
  return last;
}

// Reads one descriptor field by field in wire order. A byte outside the
// capture or beyond `lastSlot` reads as 0 and sets an error that stays set,
// so that one check after the reads ends the descriptor.
class DescriptorReader {
 public:
  // `at` lies on byte `field` of the descriptor.
  DescriptorReader(const CaptureBuffer& capture, PacketCursor at, int field, int32_t lastSlot)
      : capture_(capture), at_(at), field_(field), lastSlot_(lastSlot) {}

  // Moves to byte `field` of the descriptor.
  void Seek(int field) {
    AdvanceCursor(at_, field - field_);
    field_ = field;
  }
  // The byte at `field`; the reader moves past it.
  uint8_t Read(int field) {
    Seek(field);
    return Next();
  }
  // The byte under the reader; the reader moves past it.
  uint8_t Next() {
    const int byte = ByteAt(capture_, at_, lastSlot_);
    if (byte < 0) failed_ = true;
    Seek(field_ + 1);
    return failed_ ? 0 : static_cast<uint8_t>(byte);
  }

  // Appends up to `count` bytes to `text`, a slot's part at a time, and stops
  // on a byte `stop`: the reader then lies on it, and the result is true.
  bool ReadUntil(int count, uint8_t stop, std::string& text) {
    while (count > 0 && !failed_) {
      // A forward move always lands on a payload byte: only the slot can be outside.
      if (at_.packet < 0 || at_.packet > lastSlot_) {
        failed_ = true;
        break;
      }
      const uint8_t* begin = capture_[at_.packet].data() + at_.offset;
      const int span = std::min(count, static_cast<int>(kTsPacketSize) - at_.offset);
      const void* hit = std::memchr(begin, stop, static_cast<size_t>(span));
      const int taken =
          hit != nullptr ? static_cast<int>(static_cast<const uint8_t*>(hit) - begin) : span;
      text.append(reinterpret_cast<const char*>(begin), static_cast<size_t>(taken));
      Seek(field_ + taken);
      if (hit != nullptr) return true;
      count -= taken;
    }
    return false;
  }

  bool Failed() const { return failed_; }
  const PacketCursor& Position() const { return at_; }

 private:
  const CaptureBuffer& capture_;
  PacketCursor at_;
  int field_;
  int32_t lastSlot_;
  bool failed_ = false;
};

bool MarkerFollows(const CaptureBuffer& capture, int32_t slot, int32_t offset, const char* text) {
  for (int j = 1; j <= kMarkerLength; ++j) {
    PacketCursor at{slot, offset + j};
    if (at.offset > kLastOffset) at = {slot + 1, at.offset - kPayloadSize};
    if (ByteAt(capture, at) != static_cast<uint8_t>(text[j - 1])) return false;
  }
  return true;
}

bool ContinuesNext(const CaptureBuffer& capture, int32_t slot) {
  if (slot + 1 >= kCaptureSlots) return false;
  return ContinuityCounter(capture, slot + 1) == ((ContinuityCounter(capture, slot) + 1) & 0x0F);
}

// The first place of every marker: anywhere, and where the next slot continues it.
struct MarkerPlaces {
  PacketCursor any[kListKindCount] = {kNotFound, kNotFound, kNotFound};
  PacketCursor continued[kListKindCount] = {kNotFound, kNotFound, kNotFound};
  // Where the 0xB0 byte of each of the two lies.
  PacketCursor anyByte[kListKindCount] = {kNotFound, kNotFound, kNotFound};
  PacketCursor continuedByte[kListKindCount] = {kNotFound, kNotFound, kNotFound};

  PacketCursor Preferred(ListKind kind) const {
    const size_t k = Index(kind);
    return continued[k].Found() ? continued[k] : any[k];
  }
  PacketCursor PreferredByte(ListKind kind) const {
    const size_t k = Index(kind);
    return continued[k].Found() ? continuedByte[k] : anyByte[k];
  }
};

// All six searches of an extraction (three markers, with and without the
// continuity check) in one scan of the capture: the bytes are read once.
MarkerPlaces FindMarkers(const CaptureBuffer& capture, const CaptureNumbers* captures) {
  MarkerPlaces found;
  int open = kListKindCount;  // markers not yet found with continuity
  for (int32_t p = 0; p < kCaptureSlots; ++p) {
    const TsPacket& packet = capture[p];
    for (int32_t o = 0; o <= kLastOffset; ++o) {
      const void* hit = std::memchr(packet.data() + o, kMarkerByte, kTsPacketSize - o);
      if (hit == nullptr) break;
      o = static_cast<int32_t>(static_cast<const uint8_t*>(hit) - packet.data());
      for (int k = 0; k < kListKindCount; ++k) {
        // A marker found with continuity was found without it no later.
        if (found.continued[k].Found() || !MarkerFollows(capture, p, o, kPortals[k].marker))
          continue;
        DescriptorReader marker(capture, {p, o}, linkage::kLinkageType, kCaptureSlots - 1);
        marker.Seek(linkage::kLength);
        const int32_t lengthSlot = marker.Position().packet;
        const int length = marker.Next();
        // A length byte before the first slot was never captured: no marker here.
        if (marker.Failed()) continue;
        // Length byte and marker word lie in two slots at most; across a
        // junction they are bytes of two unrelated packets, not a marker.
        const int32_t lastSlot = o + kMarkerLength > kLastOffset ? p + 1 : p;
        if (RunEnd(captures, lengthSlot, 1) < lastSlot) continue;
        marker.Seek(linkage::kLength + 1 + length);
        const PacketCursor cursor = marker.Position();
        if (!found.any[k].Found()) {
          found.any[k] = cursor;
          found.anyByte[k] = {p, o};
        }
        if (ContinuesNext(capture, p)) {
          found.continued[k] = cursor;
          found.continuedByte[k] = {p, o};
          if (--open == 0) return found;
        }
      }
    }
  }
  return found;
}

// How reading one linkage descriptor went.
enum class EntryRead { Taken, NoTag, NameEnd, PastRun };

// Reads one linkage descriptor at the cursor from slots up to `lastSlot` and
// moves past it, as ParseLinkageEntry. `linkageType`, when given, receives the
// descriptor's linkage type.
EntryRead ParseEntryWithin(const CaptureBuffer& capture, PacketCursor& cursor, PortalEntry& entry,
                           int32_t lastSlot, int* linkageType = nullptr) {
  if (ByteAt(capture, cursor, lastSlot) != kLinkageTag) return EntryRead::NoTag;
  DescriptorReader reader(capture, cursor, 0, lastSlot);
  const int length = reader.Read(linkage::kLength);
  const int high = reader.Read(linkage::kServiceIdHigh);
  const int low = reader.Read(linkage::kServiceIdLow);
  // Read, not skipped: with a short length this is the descriptor's last byte,
  // and it must lie in the slots the descriptor may use.
  const int type = reader.Read(linkage::kLinkageType);

  std::string name;
  const int nameLength = length - linkage::kFixedLength;
  if (nameLength > 0) name.reserve(static_cast<size_t>(nameLength));
  if (reader.ReadUntil(nameLength, kNameEnd, name)) {
    cursor = reader.Position();  // on the end byte
    return EntryRead::NameEnd;
  }
  // The descriptor runs past the capture, or past the packets stored with its start.
  if (reader.Failed()) return EntryRead::PastRun;
  entry.serviceId = high * 256 + low;
  entry.name = std::move(name);
  cursor = reader.Position();
  if (linkageType != nullptr) *linkageType = type;
  return EntryRead::Taken;
}

// The portal whose marker word an entry's name begins with, if its descriptor
// is a marker's (linkage type 0xB0); -1 for a channel.
int MarkerKindOf(const PortalEntry& entry, int linkageType) {
  if (linkageType != kMarkerByte) return -1;
  for (int k = 0; k < kListKindCount; ++k) {
    if (entry.name.compare(0, kMarkerLength, kPortals[k].marker) == 0) return k;
  }
  return -1;
}

// The list behind a marker whose 0xB0 byte lies in `markerSlot`. It ends with
// the run of slots that holds the marker: the slot after it was stored by
// another capture, and its first bytes would start an unrelated descriptor.
void ReadEntries(const CaptureBuffer& capture, const CaptureNumbers* captures, PacketCursor cursor,
                 int32_t markerSlot, PortalList& list) {
  const int32_t lastSlot = RunEnd(captures, markerSlot, kCaptureSlots);
  // A 32nd consecutive descriptor has no slot: the list ends with the 31st.
  while (list.count < kPortalListCapacity &&
         ParseEntryWithin(capture, cursor, list.entries[list.count], lastSlot) ==
             EntryRead::Taken) {
    ++list.count;
  }
}

// ReadEntries, telling why the list ended; apart so that the module's own
// extraction does none of this bookkeeping.
void ReadEntriesReported(const CaptureBuffer& capture, const CaptureNumbers* captures,
                         PacketCursor cursor, int32_t markerSlot, PortalList& list,
                         ListReport& report) {
  const int32_t lastSlot = RunEnd(captures, markerSlot, kCaptureSlots);
  const auto endOf = [](EntryRead read) {
    return read == EntryRead::NoTag     ? ListEnd::EndOfData
           : read == EntryRead::NameEnd ? ListEnd::UnreadableDescriptor
                                        : ListEnd::CaptureEnd;
  };
  while (true) {
    if (list.count == kPortalListCapacity) {
      // Full only if there is a channel more, which is dropped.
      PortalEntry dropped;
      PacketCursor probe = cursor;
      const EntryRead read = ParseEntryWithin(capture, probe, dropped, lastSlot);
      report.end = read == EntryRead::Taken ? ListEnd::Full : endOf(read);
      break;
    }
    int type = -1;
    const EntryRead read =
        ParseEntryWithin(capture, cursor, list.entries[list.count], lastSlot, &type);
    if (read != EntryRead::Taken) {
      report.end = endOf(read);
      break;
    }
    const int markerKind = MarkerKindOf(list.entries[list.count], type);
    if (markerKind >= 0 && report.markerEntry < 0) {
      report.markerEntry = list.count;
      report.markerEntryKind = static_cast<ListKind>(markerKind);
    }
    ++list.count;
  }
  report.endAt = cursor;
}

}  // namespace

void AdvanceCursor(PacketCursor& cursor, int32_t delta) {
  const int32_t n = cursor.offset + delta;
  if (n < kHeaderSize) {
    cursor.packet -= 1;
    cursor.offset = n + kPayloadSize;
  } else if (n >= static_cast<int32_t>(kTsPacketSize)) {
    cursor.packet += (n - kHeaderSize) / kPayloadSize;
    cursor.offset = (n - kHeaderSize) % kPayloadSize + kHeaderSize;
  } else {
    cursor.offset = n;
  }
}

int ContinuityCounter(const CaptureBuffer& capture, int32_t slot) {
  if (slot < 0 || slot >= kCaptureSlots) return -1;
  return capture[slot][3] & 0x0F;
}

PacketCursor FindMarker(const CaptureBuffer& capture, ListKind kind, bool checkContinuity,
                        const CaptureNumbers* captures, PacketCursor* markerByte) {
  const MarkerPlaces found = FindMarkers(capture, captures);
  const size_t k = Index(kind);
  if (markerByte != nullptr)
    *markerByte = checkContinuity ? found.continuedByte[k] : found.anyByte[k];
  return checkContinuity ? found.continued[k] : found.any[k];
}

bool ParseLinkageEntry(const CaptureBuffer& capture, PacketCursor& cursor, PortalEntry& entry,
                       const CaptureNumbers* captures) {
  // Every byte of the descriptor from the run of slots that holds its tag.
  return ParseEntryWithin(capture, cursor, entry,
                          RunEnd(captures, cursor.packet, kDescriptorSlotsBeyondFirst)) ==
         EntryRead::Taken;
}

namespace {

// ExtractPortalLists with a report: the same steps, and what each found.
bool ExtractReported(const CaptureBuffer& capture, PortalLists& lists,
                     const CaptureNumbers* captures, ExtractionReport& report) {
  const MarkerPlaces markers = FindMarkers(capture, captures);
  for (int k = 0; k < kListKindCount; ++k) {
    report[k] = ListReport{};
    report[k].markerWithContinuity = markers.continuedByte[k];
    report[k].markerWithoutContinuity = markers.anyByte[k];
  }
  // Each list after Direkt is read only when the one before it was found.
  bool previousFound = true;
  for (int k = 0; k < kListKindCount; ++k) {
    const auto kind = static_cast<ListKind>(k);
    ListReport& list = report[k];
    if (!previousFound) {
      list.outcome = report[0].outcome == ListOutcome::Read ? ListOutcome::KeptPrevious
                                                            : ListOutcome::NoDirekt;
      continue;
    }
    lists[k].count = 0;
    const PacketCursor cursor = markers.Preferred(kind);
    previousFound = cursor.Found();
    if (!previousFound) {
      list.outcome = ListOutcome::NoMarker;
      continue;
    }
    list.outcome = ListOutcome::Read;
    list.listStart = cursor;
    ReadEntriesReported(capture, captures, cursor, markers.PreferredByte(kind).packet, lists[k],
                        list);
  }
  return report[0].outcome == ListOutcome::Read;
}

}  // namespace

bool ExtractPortalLists(const CaptureBuffer& capture, PortalLists& lists,
                        const CaptureNumbers* captures, ExtractionReport* report) {
  if (report != nullptr) return ExtractReported(capture, lists, captures, *report);
  PortalList& direkt = lists[Index(ListKind::Direkt)];
  PortalList& sport = lists[Index(ListKind::Sport)];
  PortalList& erotik = lists[Index(ListKind::Erotik)];

  const MarkerPlaces markers = FindMarkers(capture, captures);
  direkt.count = 0;
  PacketCursor cursor = markers.Preferred(ListKind::Direkt);
  if (!cursor.Found()) return false;
  ReadEntries(capture, captures, cursor, markers.PreferredByte(ListKind::Direkt).packet, direkt);

  // Without a Sport announcement the Erotik list keeps what it had.
  sport.count = 0;
  cursor = markers.Preferred(ListKind::Sport);
  if (!cursor.Found()) return true;
  ReadEntries(capture, captures, cursor, markers.PreferredByte(ListKind::Sport).packet, sport);

  erotik.count = 0;
  cursor = markers.Preferred(ListKind::Erotik);
  if (cursor.Found()) {
    ReadEntries(capture, captures, cursor, markers.PreferredByte(ListKind::Erotik).packet, erotik);
  }
  return true;
}

}  // namespace zp
