#include "tools/zpinspect/Inspection.h"

#include <algorithm>

namespace zp::inspect {

namespace {

// A fresh capture holds zeros in every slot it did not store; a stored packet
// never is all zero (byte 1 or 2 names its PID).
int StoredSlots(const CaptureBuffer& buffer) {
  return static_cast<int>(std::count_if(buffer.begin(), buffer.end(), [](const TsPacket& slot) {
    return std::any_of(slot.begin(), slot.end(), [](uint8_t b) { return b != 0; });
  }));
}

}  // namespace

Inspection Inspect(const LoadedCapture& loaded) {
  const PacketCapture& capture = *loaded.capture;
  const CaptureBuffer& sections = capture.Sections();
  Inspection result;
  result.kind = loaded.kind;
  result.fileSize = loaded.fileSize;
  result.packetsRead = loaded.packetsRead;
  result.sectionPackets = capture.SectionCount();
  result.sectionStored = StoredSlots(sections);
  result.infoStored = StoredSlots(capture.Info());
  result.complete = capture.Complete();
  result.notes = loaded.notes;
  if (result.sectionStored == 0) {
    result.notes.push_back("no section packet (PID 0x0012) at all: nothing carries portal lists");
  }
  for (int slot = 1; slot < result.sectionStored; ++slot) {
    if (ContinuityCounter(sections, slot) != ((ContinuityCounter(sections, slot - 1) + 1) & 0x0F)) {
      result.continuityBreaks.push_back(slot);
    }
  }

  // The file was replayed as one capture; its capture numbers still mark the
  // never-filled slots, where the module ends a descriptor as well.
  const CaptureNumbers* captures = &capture.SectionCaptures();
  result.treeBuilt = ExtractPortalLists(sections, result.lists, captures);
  bool previousRead = result.treeBuilt;
  for (int k = 0; k < kListKindCount; ++k) {
    PortalFinding& finding = result.portals[k];
    finding.kind = static_cast<ListKind>(k);
    finding.portal = kPortals[k].caption;
    finding.marker = kPortals[k].marker;
    const PacketCursor continued =
        FindMarker(sections, finding.kind, true, captures, &finding.withContinuity);
    const PacketCursor any =
        FindMarker(sections, finding.kind, false, captures, &finding.withoutContinuity);
    finding.listStart = continued.Found() ? continued : any;
    // Each list after Direkt is read only when the one before it was found.
    if (!result.treeBuilt && k > 0) {
      finding.status = ListStatus::NoDirekt;
    } else if (k > 0 && !previousRead) {
      finding.status = ListStatus::KeptPrevious;
    } else {
      finding.status = finding.listStart.Found() ? ListStatus::Read : ListStatus::NoMarker;
    }
    previousRead = finding.status == ListStatus::Read;
  }

  for (int i = 0; i < kInfoTextCount; ++i) result.infoTexts[i] = capture.InfoText(i);
  return result;
}

}  // namespace zp::inspect
