#pragma once

#include <array>
#include <string>
#include <vector>

#include "feed/PortalExtraction.h"
#include "feed/ScanCycle.h"
#include "tools/zpinspect/CaptureInput.h"

// What the module makes of a capture: the counts, where the markers lie, the
// three lists and the information texts, and the verdict of the scan. Worked
// out by the module's own extraction over the replayed capture.
namespace zp::inspect {

// Whether the module reads a kind's list, and what the tree then shows.
enum class ListStatus {
  Read,          // the marker was found and the list read behind it
  NoMarker,      // searched, not found: the list is empty
  NoDirekt,      // not read: without the Direkt marker no list is read and no tree built
  KeptPrevious,  // Erotik without a Sport marker: the tree keeps the previous scan's list
};

struct PortalFinding {
  ListKind kind = ListKind::Direkt;
  const char* portal = "";  // the root's caption in the tree
  const char* marker = "";  // the word after the 0xB0 byte
  ListStatus status = ListStatus::NoMarker;
  // The 0xB0 byte of the first occurrence whose next stored packet continues
  // it, and of the first occurrence at all; the module prefers the former.
  PacketCursor withContinuity = kNotFound;
  PacketCursor withoutContinuity = kNotFound;
  PacketCursor listStart = kNotFound;  // the first byte after the marker's descriptor
  bool UsesContinuity() const { return withContinuity.Found(); }
};

struct Inspection {
  InputKind kind = InputKind::Stream;
  uint64_t fileSize = 0;
  uint64_t packetsRead = 0;
  int sectionPackets = 0;  // delivered to the capture, stored or not
  int sectionStored = 0;
  int infoStored = 0;
  bool complete = false;
  // Slots whose continuity counter does not follow that of the slot before.
  std::vector<int> continuityBreaks;
  std::array<PortalFinding, kListKindCount> portals;
  PortalLists lists;
  std::array<std::string, kInfoTextCount> infoTexts;
  bool treeBuilt = false;
  std::vector<std::string> notes;
};

inline constexpr char kTreeBuiltVerdict[] = "tree built";
inline constexpr const char* kNoPortalDataVerdict = kNoPortalDataMessage;  // the module's own text

Inspection Inspect(const LoadedCapture& loaded);

}  // namespace zp::inspect
