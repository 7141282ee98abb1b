#include "tools/zpinspect/Report.h"

#include "tools/common/Text.h"
#include "tools/zpinspect/Format.h"

namespace zp::inspect {

namespace {

using tools::AppendUtf8;

char32_t CodePoint(uint8_t byte) { return tools::CodePoint1252(byte); }

bool Invisible(uint8_t byte) {
  return byte < 0x20 || byte == 0x7F || byte == 0xA0 || byte == 0xAD || CodePoint(byte) == 0;
}

std::string Place(const PacketCursor& at) {
  return Format("slot %lld, offset %lld", at.packet, at.offset);
}

std::string JsonPlace(const PacketCursor& at) {
  return at.Found() ? Format("{\"slot\": %lld, \"offset\": %lld}", at.packet, at.offset) : "null";
}

long long Ll(uint64_t n) { return static_cast<long long>(n); }

// "1 entry", "2 entries".
std::string Count(long long n, const char* one, const char* many) {
  return Format("%lld ", n) + (n == 1 ? one : many);
}

const ListReport& Found(const Inspection& in, int k) { return in.extraction[k]; }

std::string StatusText(const Inspection& in, int k) {
  switch (Found(in, k).outcome) {
    case ListOutcome::Read:
      return "read";
    case ListOutcome::NoMarker:
      return k == static_cast<int>(ListKind::Direkt) ? "no marker: the module finds no portal data"
                                                     : "no marker: the list is empty";
    case ListOutcome::NoDirekt:
      return "not read: without the Direkt marker the module reads no list";
    case ListOutcome::KeptPrevious:
      return "not read: without the Sport marker the module keeps the Erotik list of its "
             "previous scan";
  }
  return "";
}

const char* StatusKey(ListOutcome outcome) {
  switch (outcome) {
    case ListOutcome::Read:
      return "read";
    case ListOutcome::NoMarker:
      return "no_marker";
    case ListOutcome::NoDirekt:
      return "no_direkt_marker";
    case ListOutcome::KeptPrevious:
      return "kept_previous";
  }
  return "";
}

const char* EndKey(ListEnd end) {
  switch (end) {
    case ListEnd::NotRead:
      return "not_read";
    case ListEnd::EndOfData:
      return "end_of_data";
    case ListEnd::UnreadableDescriptor:
      return "unreadable_descriptor";
    case ListEnd::CaptureEnd:
      return "capture_end";
    case ListEnd::Full:
      return "list_full";
  }
  return "";
}

std::string EndText(ListEnd end) {
  switch (end) {
    case ListEnd::NotRead:
      return "";
    case ListEnd::EndOfData:
      return "end of data (no linkage descriptor follows)";
    case ListEnd::UnreadableDescriptor:
      return "an unreadable descriptor (its name holds the byte 0xFF: no entry for it)";
    case ListEnd::CaptureEnd:
      return "the capture's end (the next descriptor runs past the packets stored with the "
             "marker)";
    case ListEnd::Full:
      return Format("the list is full (%lld entries: further channels are dropped)",
                    kPortalListCapacity);
  }
  return "";
}

std::string MarkerEntryText(const ListReport& found) {
  return Format("entry %lld is the marker descriptor of the ", found.markerEntry + 1) +
         PortalOf(found.markerEntryKind).caption + ", not a channel: the module lists it as one";
}

// A portal whose marker is not in the module's window but later in the file.
bool LaterOnly(const Inspection& in, int k) {
  return in.later[k].found && !Found(in, k).markerWithoutContinuity.Found();
}

std::string LaterText(const Inspection& in, int k) {
  return Format(
      "not in the module's window of the first %lld section packets, but at section "
      "packet %lld (byte %lld): a capture at another moment would find it",
      kSectionPacketsPerScan, Ll(in.later[k].sectionPacket), Ll(in.later[k].fileOffset));
}

std::string SizeText(int packetSize) {
  if (packetSize == 192) return " (a 4-byte time stamp before each)";
  if (packetSize == 204) return " (16 parity bytes after each)";
  return "";
}

std::string SkipText(const SkippedBytes& skip) {
  return Format("%lld bytes skipped at byte %lld, after %lld packets", Ll(skip.count),
                Ll(skip.offset), Ll(skip.afterPacket));
}

std::string CutText(const Inspection& in) {
  return Format("the file ends inside packet %lld, after %lld of its bytes: dropped",
                Ll(in.packetsRead), Ll(in.reading.cutBytes));
}

const char* PidName(int pid) {
  switch (pid) {
    case 0x0000:
      return "PAT";
    case 0x0001:
      return "CAT";
    case 0x0010:
      return "NIT";
    case 0x0011:
      return "SDT/BAT";
    case kSectionPid:
      return "EIT";
    case 0x0014:
      return "TDT/TOT";
    case 0x1FFF:
      return "null packets";
    default:
      return "";
  }
}

constexpr size_t kPidsShown = 8;

uint64_t PacketsOf(const Inspection& in, int pid) {
  for (const PidCount& count : in.pids) {
    if (count.pid == pid) return count.packets;
  }
  return 0;
}

const char* Verdict(const Inspection& inspection) {
  return inspection.treeBuilt ? kTreeBuiltVerdict : kNoPortalDataMessage;
}

const char* VerdictKey(const Inspection& inspection) {
  return inspection.treeBuilt ? "tree_built" : "no_portal_data";
}

// Text broken into lines of at most 88 characters at blanks; the first line
// starts with `first`, the others with `rest`.
std::string Wrapped(const std::string& text, const std::string& first, const std::string& rest) {
  constexpr size_t kWidth = 88;
  std::string out;
  std::string line = first;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find(' ', at);
    if (end == std::string::npos) end = text.size();
    const std::string word = text.substr(at, end - at);
    const bool lineEmpty = line.size() == (out.empty() ? first.size() : rest.size());
    if (!lineEmpty && line.size() + 1 + word.size() > kWidth) {
      out += line + "\n";
      line = rest + word;
    } else {
      line += (lineEmpty ? "" : " ") + word;
    }
    at = end + 1;
  }
  return out + line + "\n";
}

// UTF-8 as a JSON string literal; a byte that is no part of valid UTF-8 becomes U+FFFD.
std::string JsonUtf8(std::string_view text) {
  std::string out = "\"";
  size_t i = 0;
  while (i < text.size()) {
    const auto byte = static_cast<uint8_t>(text[i]);
    if (byte < 0x80) {
      if (byte == '"' || byte == '\\') {
        out += '\\';
        out += static_cast<char>(byte);
      } else if (byte < 0x20 || byte == 0x7F) {
        out += Format("\\u%04llx", byte);
      } else {
        out += static_cast<char>(byte);
      }
      ++i;
      continue;
    }
    const size_t length = byte >= 0xF0 && byte < 0xF5 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC2 ? 2 : 0;
    bool valid = length > 0 && byte < 0xF5 && i + length <= text.size();
    for (size_t j = 1; valid && j < length; ++j) {
      valid = (static_cast<uint8_t>(text[i + j]) & 0xC0) == 0x80;
    }
    if (valid && length == 3) {
      const auto next = static_cast<uint8_t>(text[i + 1]);
      valid = !(byte == 0xE0 && next < 0xA0) && !(byte == 0xED && next >= 0xA0);
    } else if (valid && length == 4) {
      const auto next = static_cast<uint8_t>(text[i + 1]);
      valid = !(byte == 0xF0 && next < 0x90) && !(byte == 0xF4 && next >= 0x90);
    }
    if (valid) {
      out.append(text.substr(i, length));
      i += length;
    } else {
      out += "\xEF\xBF\xBD";
      ++i;
    }
  }
  return out + "\"";
}

}  // namespace

std::string ReadableText(std::string_view bytes) {
  std::string out;
  for (const char c : bytes) {
    const auto byte = static_cast<uint8_t>(c);
    if (byte == '\\') {
      out += "\\\\";
    } else if (Invisible(byte)) {
      out += "\\x" + tools::Hex(&byte, 1, tools::HexCase::Upper);
    } else {
      AppendUtf8(out, CodePoint(byte));
    }
  }
  return out;
}

std::string JsonText(std::string_view bytes) {
  std::string out = "\"";
  for (const char c : bytes) {
    const auto byte = static_cast<uint8_t>(c);
    const char32_t code = CodePoint(byte) != 0 ? CodePoint(byte) : byte;
    if (byte == '"' || byte == '\\') {
      out += '\\';
      out += c;
    } else if (code < 0x20 || (code >= 0x7F && code < 0xA0)) {
      out += Format("\\u%04llx", code);
    } else {
      AppendUtf8(out, code);
    }
  }
  return out + "\"";
}

std::string TextReport(const Inspection& in, const std::string& fileName) {
  std::string out;
  const auto line = [&out](const std::string& text) { out += text + "\n"; };
  const StreamReading& reading = in.reading;
  if (in.kind == InputKind::Dump) {
    line("Capture dump " + fileName + Format(" (%lld bytes)", Ll(in.fileSize)));
    line(Format("Its %lld section slots are read as one capture, as after a full scan.",
                kSectionPacketsPerScan));
  } else {
    line("Transport stream " + fileName + Format(" (%lld bytes): ", Ll(in.fileSize)) +
         Count(Ll(in.packetsRead), "packet", "packets") +
         Format(" of %lld bytes", reading.packetSize) + SizeText(reading.packetSize));
    if (reading.leadingBytes > 0) {
      line(Format("Junk at the start: %lld bytes before the first packet, skipped",
                  Ll(reading.leadingBytes)));
    }
    for (const SkippedBytes& skip : reading.skips) line("Lost sync: " + SkipText(skip));
    if (reading.skipCount > reading.skips.size()) {
      line(Format("Lost sync at %lld more places; %lld bytes skipped in all",
                  Ll(reading.skipCount - reading.skips.size()), Ll(reading.skippedBytes)));
    }
    if (reading.cutBytes > 0) line("Cut: " + CutText(in));
    line(in.complete
             ? Format("The capture was complete after %lld packets: the module would stop the "
                      "delivery there.",
                      Ll(in.packetsCaptured))
             : Format("The file ended before the capture was complete; the module ends such a "
                      "capture after %lld.%lld s.",
                      kScanTimeLimitMs / 1000, kScanTimeLimitMs % 1000 / 100));
    line("");
    line("PIDs (packets in the file)");
    line(Format("  0x%04llX  %8lld  EIT: the module keeps the first %lld section packets",
                kSectionPid, Ll(in.sectionPacketsInFile), kSectionPacketsPerScan));
    if (!in.sectionTables.empty()) {
      std::string tables = "                  table ids (packets starting a section):";
      for (size_t i = 0; i < in.sectionTables.size(); ++i) {
        tables += i == 0 ? " " : ", ";
        tables +=
            Format("0x%02llX (%lld)", in.sectionTables[i].first, Ll(in.sectionTables[i].second));
      }
      line(tables);
    }
    line(Format("  0x%04llX  %8lld  ", kInfoPid, Ll(PacketsOf(in, kInfoPid))) +
         Format("information: the module keeps up to %lld information packets (%lld here)",
                kInfoTextCount, Ll(in.infoPacketsInFile)));
    size_t shown = 0;
    uint64_t otherPackets = 0;
    size_t others = 0;
    for (const PidCount& pid : in.pids) {
      if (pid.pid == kSectionPid || pid.pid == kInfoPid) continue;
      if (shown < kPidsShown) {
        std::string row =
            Format("  0x%04llX  %8lld  ", pid.pid, Ll(pid.packets)) + PidName(pid.pid);
        row.erase(row.find_last_not_of(' ') + 1);
        line(row);
        ++shown;
      } else {
        ++others;
        otherPackets += pid.packets;
      }
    }
    if (others > 0) {
      line(Format("  and %lld other PIDs, %lld packets", Ll(others), Ll(otherPackets)));
    }
  }
  line("");
  line("Packets (the module's capture)");
  if (in.kind == InputKind::Stream) {
    line(Format("  section packets:      %lld (stored: %lld of %lld)", in.sectionPackets,
                in.sectionStored, kSectionPacketsPerScan));
  } else {
    line(Format("  section packets:      %lld of %lld", in.sectionStored, kSectionPacketsPerScan));
  }
  line(Format("  information packets:  %lld of %lld", in.infoStored, kInfoTextCount));
  std::string breaks = Format("  continuity breaks:    %lld", Ll(in.continuityBreaks.size()));
  for (size_t i = 0; i < in.continuityBreaks.size() && i < 10; ++i) {
    breaks += i == 0 ? " (at slot " : ", ";
    breaks += Format("%lld", in.continuityBreaks[i]);
  }
  if (in.continuityBreaks.size() > 10) breaks += ", ...";
  if (!in.continuityBreaks.empty()) breaks += ")";
  line(breaks);

  for (int k = 0; k < kListKindCount; ++k) {
    const Portal& portal = kPortals[k];
    const ListReport& found = Found(in, k);
    line("");
    line(std::string(portal.caption) + " (marker \"" + portal.marker + "\")");
    line("  marker with continuity:    " + (found.markerWithContinuity.Found()
                                                ? Place(found.markerWithContinuity)
                                                : std::string("none")));
    line("  marker without continuity: " + (found.markerWithoutContinuity.Found()
                                                ? Place(found.markerWithoutContinuity)
                                                : std::string("none")));
    if (LaterOnly(in, k)) out += Wrapped(LaterText(in, k), "  ", "    ");
    if (found.outcome != ListOutcome::Read) {
      line("  " + StatusText(in, k));
      continue;
    }
    const PortalList& list = in.lists[k];
    line(std::string("  the module reads the list behind the marker ") +
         (found.markerWithContinuity.Found() ? "with" : "without") + " continuity, from " +
         Place(found.listStart) + ": " + Count(list.count, "entry", "entries"));
    for (int i = 0; i < list.count; ++i) {
      line(Format("  %6lld  ", list.entries[i].serviceId) + ReadableText(list.entries[i].name));
    }
    out +=
        Wrapped("the list ends at " + Place(found.endAt) + ": " + EndText(found.end), "  ", "    ");
    if (found.markerEntry >= 0) out += Wrapped(MarkerEntryText(found), "  ", "    ");
  }

  line("");
  line("Information texts (the hint of each entry whose name begins \"D n\")");
  for (int i = 0; i < kInfoTextCount; ++i) {
    line(Format("  %lld  ", i) +
         (in.infoTexts[i].empty() ? std::string("(none)") : ReadableText(in.infoTexts[i])));
  }
  for (const Note& note : in.notes) out += Wrapped(note.text, "Note: ", "  ");
  line("");
  line(std::string("Verdict: ") + Verdict(in));
  if (!in.treeBuilt) {
    out += Wrapped(Format("(after a failed scan on another channel the module first scans again "
                          "on the portal channel, service id %lld, and shows this when that scan "
                          "fails too)",
                          kPortalServiceId),
                   "  ", "  ");
  }
  if (!in.next.id.empty()) out += Wrapped(in.next.text, "Next step: ", "  ");
  return out;
}

std::string JsonReport(const Inspection& in, const std::string& fileName) {
  std::string out = "{\n";
  out += Format("  \"schema\": %lld,\n", kJsonSchema);
  out += "  \"file\": " + JsonUtf8(fileName) + ",\n";
  out +=
      std::string("  \"input\": \"") + (in.kind == InputKind::Dump ? "dump" : "stream") + "\",\n";
  out += Format("  \"fileSize\": %lld,\n  \"packetsRead\": %lld,\n", Ll(in.fileSize),
                Ll(in.packetsRead));
  if (in.kind == InputKind::Stream) {
    const StreamReading& reading = in.reading;
    out += Format("  \"packetSize\": %lld,\n  \"packetsCaptured\": %lld,\n", reading.packetSize,
                  Ll(in.packetsCaptured));
    out += Format(
        "  \"reading\": {\"leadingBytes\": %lld, \"skippedBytes\": %lld, "
        "\"skipCount\": %lld, \"skips\": [",
        Ll(reading.leadingBytes), Ll(reading.skippedBytes), Ll(reading.skipCount));
    for (size_t i = 0; i < reading.skips.size(); ++i) {
      const SkippedBytes& skip = reading.skips[i];
      if (i > 0) out += ", ";
      out += Format("{\"offset\": %lld, \"bytes\": %lld, \"afterPacket\": %lld}", Ll(skip.offset),
                    Ll(skip.count), Ll(skip.afterPacket));
    }
    out += "],\n    \"cutLastPacket\": ";
    out += reading.cutBytes > 0 ? Format("{\"offset\": %lld, \"bytes\": %lld}",
                                         Ll(reading.cutOffset), Ll(reading.cutBytes))
                                : std::string("null");
    out += "},\n  \"pids\": [";
    for (size_t i = 0; i < in.pids.size(); ++i) {
      if (i > 0) out += ", ";
      out += Format("{\"pid\": %lld, \"packets\": %lld}", in.pids[i].pid, Ll(in.pids[i].packets));
    }
    out += Format("],\n  \"sectionPacketsInFile\": %lld,\n  \"infoPacketsInFile\": %lld,\n",
                  Ll(in.sectionPacketsInFile), Ll(in.infoPacketsInFile));
    out += "  \"sectionTables\": [";
    for (size_t i = 0; i < in.sectionTables.size(); ++i) {
      if (i > 0) out += ", ";
      out += Format("{\"tableId\": %lld, \"packets\": %lld}", in.sectionTables[i].first,
                    Ll(in.sectionTables[i].second));
    }
    out += "],\n";
  }
  out += std::string("  \"captureComplete\": ") + (in.complete ? "true" : "false") + ",\n";
  out += Format("  \"sectionPackets\": %lld,\n  \"sectionPacketsStored\": %lld,\n",
                in.sectionPackets, in.sectionStored);
  out += Format("  \"infoPacketsStored\": %lld,\n  \"continuityBreaks\": [", in.infoStored);
  for (size_t i = 0; i < in.continuityBreaks.size(); ++i) {
    if (i > 0) out += ", ";
    out += Format("%lld", in.continuityBreaks[i]);
  }
  out += "],\n  \"portals\": [";
  for (int k = 0; k < kListKindCount; ++k) {
    const Portal& portal = kPortals[k];
    const ListReport& found = Found(in, k);
    const bool read = found.outcome == ListOutcome::Read;
    out += k == 0 ? "\n" : ",\n";
    out += std::string("    {\"portal\": \"") + portal.caption + "\", \"marker\": \"" +
           portal.marker + "\", \"status\": \"" + StatusKey(found.outcome) +
           "\", \"statusText\": " + JsonUtf8(StatusText(in, k)) + ",\n";
    out += "     \"markerWithContinuity\": " + JsonPlace(found.markerWithContinuity) +
           ", \"markerWithoutContinuity\": " + JsonPlace(found.markerWithoutContinuity) + ",\n";
    out += "     \"later\": ";
    out += LaterOnly(in, k) ? Format("{\"sectionPacket\": %lld, \"fileOffset\": %lld}",
                                     Ll(in.later[k].sectionPacket), Ll(in.later[k].fileOffset))
                            : std::string("null");
    out += ",\n     \"listStart\": " + JsonPlace(read ? found.listStart : kNotFound) +
           ", \"listEnd\": \"" + EndKey(found.end) +
           "\", \"listEndAt\": " + JsonPlace(read ? found.endAt : kNotFound) + ",\n";
    out += "     \"markerEntry\": ";
    out += found.markerEntry >= 0 ? Format("{\"index\": %lld, \"portal\": \"", found.markerEntry) +
                                        PortalOf(found.markerEntryKind).caption + "\"}"
                                  : std::string("null");
    const int count = read ? in.lists[k].count : 0;
    out += Format(", \"entryCount\": %lld, \"entries\": [", count);
    for (int i = 0; i < count; ++i) {
      const PortalEntry& entry = in.lists[k].entries[i];
      out += i == 0 ? "\n" : ",\n";
      out += Format("       {\"serviceId\": %lld, \"name\": ", entry.serviceId) +
             JsonText(entry.name) + ", \"bytes\": \"" +
             tools::Hex(entry.name, tools::HexCase::Upper) + "\"}";
    }
    out += count > 0 ? "\n     ]}" : "]}";
  }
  out += "\n  ],\n  \"infoTexts\": [";
  for (int i = 0; i < kInfoTextCount; ++i) {
    out += i == 0 ? "\n    " : ",\n    ";
    out += in.infoTexts[i].empty() ? "null" : JsonText(in.infoTexts[i]);
  }
  out += "\n  ],\n  \"notes\": [";
  for (size_t i = 0; i < in.notes.size(); ++i) {
    out += (i == 0 ? "\n    {\"status\": \"" : ",\n    {\"status\": \"") + in.notes[i].id +
           "\", \"text\": " + JsonUtf8(in.notes[i].text) + "}";
  }
  out += in.notes.empty() ? "],\n" : "\n  ],\n";
  out += std::string("  \"treeBuilt\": ") + (in.treeBuilt ? "true" : "false") + ",\n";
  out += std::string("  \"status\": \"") + VerdictKey(in) + "\",\n";
  out += std::string("  \"verdict\": \"") + Verdict(in) + "\",\n";
  out += "  \"nextStep\": ";
  out += in.next.id.empty()
             ? std::string("null")
             : "{\"status\": \"" + in.next.id + "\", \"text\": " + JsonUtf8(in.next.text) + "}";
  out += "\n}\n";
  return out;
}

}  // namespace zp::inspect
