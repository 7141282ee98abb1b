#pragma once

#include <array>
#include <string>
#include <vector>

#include "feed/PortalExtraction.h"
#include "feed/ScanCycle.h"
#include "tools/zpinspect/CaptureInput.h"

// What the module makes of a capture: the counts, where the markers lie, the
// three lists and the information texts, and the verdict of the scan. Worked
// out by the module's own extraction over the replayed capture; zpinspect
// only prints its report.
namespace zp::inspect {

// What to do when the module finds nothing: a stable identifier and a line or two.
struct NextStep {
  std::string id;  // empty: nothing to suggest
  std::string text;
};

struct Inspection {
  InputKind kind = InputKind::Stream;
  uint64_t fileSize = 0;
  uint64_t packetsRead = 0;
  uint64_t packetsCaptured = 0;
  StreamReading reading;
  std::vector<PidCount> pids;
  uint64_t sectionPacketsInFile = 0;
  uint64_t infoPacketsInFile = 0;
  std::vector<std::pair<int, uint64_t>> sectionTables;
  std::array<LaterMarker, kListKindCount> later;

  int sectionPackets = 0;  // delivered to the capture, stored or not
  int sectionStored = 0;
  int infoStored = 0;
  bool complete = false;
  // Slots whose continuity counter does not follow that of the slot before.
  std::vector<int> continuityBreaks;
  ExtractionReport extraction;
  PortalLists lists;
  std::array<std::string, kInfoTextCount> infoTexts;
  bool treeBuilt = false;
  std::vector<Note> notes;
  NextStep next;
};

Inspection Inspect(const LoadedCapture& loaded);

}  // namespace zp::inspect
