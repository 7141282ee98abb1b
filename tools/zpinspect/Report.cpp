#include "tools/zpinspect/Report.h"

#include "tools/zpinspect/Format.h"

namespace zp::inspect {

namespace {

// Code points of the bytes 0x80..0x9F in code page 1252; 0 where it has none.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The code point of a byte, or 0 where code page 1252 defines none.
char32_t CodePoint(uint8_t byte) {
  if (byte >= 0x80 && byte < 0xA0) return kHighControls[byte - 0x80];
  return byte;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

bool Invisible(uint8_t byte) {
  return byte < 0x20 || byte == 0x7F || byte == 0xA0 || byte == 0xAD || CodePoint(byte) == 0;
}

std::string Place(const PacketCursor& at) {
  return Format("slot %lld, offset %lld", at.packet, at.offset);
}

std::string JsonPlace(const PacketCursor& at) {
  return at.Found() ? Format("{\"slot\": %lld, \"offset\": %lld}", at.packet, at.offset) : "null";
}

const char* StatusText(const PortalFinding& finding) {
  switch (finding.status) {
    case ListStatus::Read:
      return "read";
    case ListStatus::NoMarker:
      return finding.kind == ListKind::Direkt ? "no marker: the module finds no portal data"
                                              : "no marker: the list is empty";
    case ListStatus::NoDirekt:
      return "not read: without the Direkt marker the module reads no list";
    case ListStatus::KeptPrevious:
      return "not read: without the Sport marker the module keeps the Erotik list of its "
             "previous scan";
  }
  return "";
}

const char* StatusKey(ListStatus status) {
  switch (status) {
    case ListStatus::Read:
      return "read";
    case ListStatus::NoMarker:
      return "no marker";
    case ListStatus::NoDirekt:
      return "no Direkt marker";
    case ListStatus::KeptPrevious:
      return "kept from the previous scan";
  }
  return "";
}

const char* Verdict(const Inspection& inspection) {
  return inspection.treeBuilt ? kTreeBuiltVerdict : kNoPortalDataVerdict;
}

std::string Hex(std::string_view bytes) {
  std::string hex;
  for (const char c : bytes) hex += Format("%02llX", static_cast<uint8_t>(c));
  return hex;
}

}  // namespace

std::string ReadableText(std::string_view bytes) {
  std::string out;
  for (const char c : bytes) {
    const auto byte = static_cast<uint8_t>(c);
    if (byte == '\\') {
      out += "\\\\";
    } else if (Invisible(byte)) {
      out += Format("\\x%02llX", byte);
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
  if (in.kind == InputKind::Dump) {
    line("Capture dump " + fileName + Format(" (%lld bytes)", in.fileSize));
    line("Its 500 section slots are read as one capture, as after a full scan.");
  } else {
    line("Transport stream " + fileName +
         Format(" (%lld bytes), %lld packets read", in.fileSize, in.packetsRead));
    line(in.complete ? "The capture was complete: the module would stop the delivery here."
                     : "The file ended before the capture was complete; the module ends such a "
                       "capture after 1.5 s.");
  }
  line("");
  line("Packets");
  if (in.kind == InputKind::Stream) {
    line(Format("  section packets:      %lld (stored: %lld of 500)", in.sectionPackets,
                in.sectionStored));
  } else {
    line(Format("  section packets:      %lld of 500", in.sectionStored));
  }
  line(Format("  information packets:  %lld of 10", in.infoStored));
  std::string breaks = Format("  continuity breaks:    %lld", in.continuityBreaks.size());
  for (size_t i = 0; i < in.continuityBreaks.size() && i < 10; ++i) {
    breaks += Format(i == 0 ? " (at slot %lld" : ", %lld", in.continuityBreaks[i]);
  }
  if (in.continuityBreaks.size() > 10) breaks += ", ...";
  if (!in.continuityBreaks.empty()) breaks += ")";
  line(breaks);

  for (const PortalFinding& portal : in.portals) {
    line("");
    line(std::string(portal.portal) + " (marker \"" + portal.marker + "\")");
    line("  marker with continuity:    " +
         (portal.withContinuity.Found() ? Place(portal.withContinuity) : std::string("none")));
    line("  marker without continuity: " + (portal.withoutContinuity.Found()
                                                ? Place(portal.withoutContinuity)
                                                : std::string("none")));
    if (portal.status != ListStatus::Read) {
      line(std::string("  ") + StatusText(portal));
      continue;
    }
    const PortalList& list = in.lists[static_cast<int>(portal.kind)];
    line(std::string("  the module reads the list behind the marker ") +
         (portal.UsesContinuity() ? "with" : "without") + " continuity, from " +
         Place(portal.listStart) + Format(": %lld entries", list.count));
    for (int i = 0; i < list.count; ++i) {
      line(Format("  %6lld  ", list.entries[i].serviceId) + ReadableText(list.entries[i].name));
    }
  }

  line("");
  line("Information texts (the hint of each entry whose name begins \"D n\")");
  for (int i = 0; i < kInfoTextCount; ++i) {
    line(Format("  %lld  ", i) +
         (in.infoTexts[i].empty() ? std::string("(none)") : ReadableText(in.infoTexts[i])));
  }
  for (const std::string& note : in.notes) line("Note: " + note);
  line("");
  line(std::string("Verdict: ") + Verdict(in));
  if (!in.treeBuilt) {
    line("  (after a failed scan on another channel the module first scans again on the portal");
    line("  channel, service id 18, and shows this when that scan fails too)");
  }
  return out;
}

std::string JsonReport(const Inspection& in, const std::string& fileName) {
  std::string out = "{\n";
  out += "  \"file\": " + JsonText(fileName) + ",\n";
  out +=
      std::string("  \"input\": \"") + (in.kind == InputKind::Dump ? "dump" : "stream") + "\",\n";
  out += Format("  \"fileSize\": %lld,\n  \"packetsRead\": %lld,\n", in.fileSize, in.packetsRead);
  out += std::string("  \"captureComplete\": ") + (in.complete ? "true" : "false") + ",\n";
  out += Format("  \"sectionPackets\": %lld,\n  \"sectionPacketsStored\": %lld,\n",
                in.sectionPackets, in.sectionStored);
  out += Format("  \"infoPacketsStored\": %lld,\n  \"continuityBreaks\": [", in.infoStored);
  for (size_t i = 0; i < in.continuityBreaks.size(); ++i) {
    out += Format(i == 0 ? "%lld" : ", %lld", in.continuityBreaks[i]);
  }
  out += "],\n  \"portals\": [";
  for (int k = 0; k < kListKindCount; ++k) {
    const PortalFinding& portal = in.portals[k];
    const PortalList& list = in.lists[k];
    out += k == 0 ? "\n" : ",\n";
    out += std::string("    {\"portal\": \"") + portal.portal + "\", \"marker\": \"" +
           portal.marker + "\", \"status\": \"" + StatusKey(portal.status) + "\",\n";
    out += "     \"markerWithContinuity\": " + JsonPlace(portal.withContinuity) +
           ", \"markerWithoutContinuity\": " + JsonPlace(portal.withoutContinuity) + ",\n";
    out += "     \"listStart\": " +
           JsonPlace(portal.status == ListStatus::Read ? portal.listStart : kNotFound) +
           ", \"entries\": [";
    const int count = portal.status == ListStatus::Read ? list.count : 0;
    for (int i = 0; i < count; ++i) {
      const PortalEntry& entry = list.entries[i];
      out += i == 0 ? "\n" : ",\n";
      out += Format("       {\"serviceId\": %lld, \"name\": ", entry.serviceId) +
             JsonText(entry.name) + ", \"bytes\": \"" + Hex(entry.name) + "\"}";
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
    out += (i == 0 ? "\n    " : ",\n    ") + JsonText(in.notes[i]);
  }
  out += in.notes.empty() ? "],\n" : "\n  ],\n";
  out += std::string("  \"treeBuilt\": ") + (in.treeBuilt ? "true" : "false") + ",\n";
  out += std::string("  \"verdict\": \"") + Verdict(in) + "\"\n}\n";
  return out;
}

}  // namespace zp::inspect
