#include "tools/zpinspect/Inspection.h"

#include <algorithm>

#include "tools/zpinspect/Format.h"

namespace zp::inspect {

namespace {

// A fresh capture holds zeros in every slot it did not store; a stored packet
// never is all zero (byte 1 or 2 names its PID).
int StoredSlots(const CaptureBuffer& buffer) {
  return static_cast<int>(std::count_if(buffer.begin(), buffer.end(), [](const TsPacket& slot) {
    return std::any_of(slot.begin(), slot.end(), [](uint8_t b) { return b != 0; });
  }));
}

// A dump does not say which scan stored which slot. Where a list runs across a
// continuity break, the slot after the break may hold a packet of an older
// capture (the last scan stored fewer slots than there are), and the module
// ends a list at such a junction: the module's own extraction with the
// junction there tells what its tree would then show.
void NotePossibleJunctions(const CaptureBuffer& sections, const CaptureNumbers& numbers,
                           Inspection& result) {
  std::array<bool, kListKindCount> noted{};
  PortalLists lists;
  ExtractionReport split;
  for (const int slot : result.continuityBreaks) {
    CaptureNumbers junction = numbers;
    const uint32_t older = numbers[slot] + 1;
    for (int s = slot; s < result.sectionStored; ++s) junction[s] = older;
    ExtractPortalLists(sections, lists, &junction, &split);
    for (int k = 0; k < kListKindCount; ++k) {
      const ListReport& whole = result.extraction[k];
      if (noted[k] || whole.outcome != ListOutcome::Read) continue;
      const int count = result.lists[k].count;
      std::string then;
      if (split[k].outcome != ListOutcome::Read) {
        then = "the module does not find this marker then";
      } else if (lists[k].count != count) {
        then = Format("the module's tree then lists %lld of these %lld entries", lists[k].count,
                      count);
      } else {
        continue;
      }
      noted[k] = true;
      result.notes.push_back(
          {"dump_list_across_captures",
           std::string(kPortals[k].caption) +
               Format(": the list runs across slot %lld, whose continuity counter does not "
                      "follow slot %lld's. If the dump was saved after a partial capture, the "
                      "slots from %lld on hold an older capture's packets, and ",
                      slot, slot - 1, slot) +
               then});
    }
  }
}

}  // namespace

Inspection Inspect(const LoadedCapture& loaded) {
  const PacketCapture& capture = *loaded.capture;
  const CaptureBuffer& sections = capture.Sections();
  Inspection result;
  result.kind = loaded.kind;
  result.fileSize = loaded.fileSize;
  result.packetsRead = loaded.packetsRead;
  result.packetsCaptured = loaded.packetsCaptured;
  result.reading = loaded.reading;
  result.pids = loaded.pids;
  result.sectionPacketsInFile = loaded.sectionPacketsInFile;
  result.infoPacketsInFile = loaded.infoPacketsInFile;
  result.sectionTables = loaded.sectionTables;
  result.later = loaded.later;
  result.sectionPackets = capture.SectionCount();
  result.sectionStored = StoredSlots(sections);
  result.infoStored = StoredSlots(capture.Info());
  result.complete = capture.Complete();
  result.notes = loaded.notes;
  if (result.sectionStored == 0) {
    result.notes.push_back(
        {"no_section_packets",
         Format("no section packet (PID 0x%04llX) at all: nothing carries portal lists",
                kSectionPid)});
  }
  for (int slot = 1; slot < result.sectionStored; ++slot) {
    if (ContinuityCounter(sections, slot) != ((ContinuityCounter(sections, slot - 1) + 1) & 0x0F)) {
      result.continuityBreaks.push_back(slot);
    }
  }

  // The file was replayed as one capture; its capture numbers still mark the
  // never-filled slots, where the module ends a descriptor as well.
  const CaptureNumbers& numbers = capture.SectionCaptures();
  result.treeBuilt = ExtractPortalLists(sections, result.lists, &numbers, &result.extraction);
  if (result.kind == InputKind::Dump) NotePossibleJunctions(sections, numbers, result);
  for (int i = 0; i < kInfoTextCount; ++i) result.infoTexts[i] = capture.InfoText(i);

  if (!result.treeBuilt) {
    const LaterMarker& direkt = result.later[Index(ListKind::Direkt)];
    if (direkt.found) {
      result.next = {"capture_at_another_moment",
                     Format("The Direkt announcement lies later in this recording, at section "
                            "packet %lld: a capture at another moment would find it. Scan again "
                            "on this transponder.",
                            static_cast<long long>(direkt.sectionPacket))};
    } else {
      result.next = {
          "record_portal_transponder",
          Format("No Direkt announcement anywhere in this file. Record the transponder of the "
                 "portal channel (service id %lld) while the module's window is open and a scan "
                 "runs there, and inspect that recording.",
                 kPortalServiceId)};
    }
  }
  return result;
}

}  // namespace zp::inspect
