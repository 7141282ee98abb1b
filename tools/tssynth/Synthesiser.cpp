#include "tools/tssynth/Synthesiser.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace zp::tssynth {

namespace {

constexpr size_t kMarkerDescriptorByte = 8;  // the linkage type byte of the marker descriptor

// One synthetic item as it goes into the stream: a section, an information
// packet or a filler packet. A section must not start inside a background section.
struct Unit {
  Stream packets;
  int breakAfter = -1;  // break the continuity after this packet
  bool section = false;
};

struct OrdinaryService {
  uint16_t serviceId;
  uint16_t transportStreamId;
  uint16_t networkId;
};

// Two services of this transport stream (EIT actual) and free-to-air services
// of other transponders (EIT other).
constexpr std::array<OrdinaryService, 6> kServices{{{10, kProviderStreamId, kProviderNetworkId},
                                                    {11, kProviderStreamId, kProviderNetworkId},
                                                    {28106, 1101, 1},
                                                    {28006, 1079, 1},
                                                    {12003, 1089, 1},
                                                    {17500, 1107, 1}}};

struct Programme {
  std::string_view title;
  std::string_view text;
  uint32_t minutes;
};

constexpr std::array<Programme, 10> kProgrammes{{
    {"Tagesschau", "Nachrichten aus dem In- und Ausland, Wetter", 15},
    {"Tatort",
     "Krimi, Deutschland 2005. Kommissar Thiel und Professor Boerne ermitteln in Muenster.", 90},
    {"Wetten, dass..?", "Die grosse Samstagabendshow, live aus der Ostseehalle in Kiel", 150},
    {"Sportschau", "Fussball-Bundesliga: Berichte vom 26. Spieltag, Tabelle und Stimmen", 75},
    {"heute-journal", "Nachrichten und Hintergruende", 30},
    {"Die Sendung mit der Maus", "Lach- und Sachgeschichten", 30},
    {"Gute Zeiten, schlechte Zeiten", "Daily Soap", 25},
    {"Galileo", "Wissensmagazin: Wie kommt der Strom in die Steckdose?", 60},
    {"Derrick", "Krimiserie. Oberinspektor Derrick und Harry Klein ermitteln in Muenchen.", 60},
    {"Das Wetter", "Wetterbericht", 5},
}};

// Makes the ordinary EIT sections: present and following events of other
// services, one event per section, different for every call.
class OrdinaryEit {
 public:
  Bytes Next() {
    const uint32_t n = serial_++;
    const OrdinaryService& service = kServices[n % kServices.size()];
    const Programme& programme = kProgrammes[(n * 7 + n / kServices.size()) % kProgrammes.size()];
    EitHeader header;
    header.tableId =
        service.transportStreamId == kProviderStreamId ? kEitActualTable : kEitOtherTable;
    header.serviceId = service.serviceId;
    header.sectionNumber = static_cast<uint8_t>(n / kServices.size() % 2);
    header.transportStreamId = service.transportStreamId;
    header.originalNetworkId = service.networkId;
    EitEvent event;
    event.eventId = static_cast<uint16_t>(0x2000 + n);
    event.startMjd = kAnnouncementMjd;
    event.startSecond = (18 * 3600 + n * 300) % 86400;
    event.durationSeconds = programme.minutes * 60;
    event.runningStatus = header.sectionNumber == 0 ? 4 : 1;
    AppendShortEventDescriptor(event.descriptors, "deu", programme.title, programme.text);
    return BuildEitSection(header, {event});
  }

 private:
  uint32_t serial_ = 0;
};

// Stuffing in front of the marker descriptor that moves its 0xB0 byte to a
// packet offset; a stuffing descriptor has two bytes at least.
size_t PaddingFor(size_t markerIndex, int markerOffset) {
  if (markerOffset < 0) return 0;
  for (size_t pad = 0;; ++pad) {
    if (pad != 1 &&
        SectionBytePosition(markerIndex + pad).offset == static_cast<size_t>(markerOffset)) {
      return pad;
    }
  }
}

Unit AnnouncementUnit(const Announcement& announcement, uint16_t eventId) {
  const AnnouncementSection section = BuildAnnouncementSection(announcement, eventId);
  Unit unit{PacketiseSection(kEitPid, section.bytes), -1, true};
  if (announcement.breakContinuity) {
    unit.breakAfter = static_cast<int>(SectionBytePosition(section.markerIndex).packet);
  }
  return unit;
}

std::vector<Unit> MakeUnits(const Description& description) {
  std::vector<Unit> units;
  OrdinaryEit ordinary;
  uint32_t fillerSerial = 0;
  for (int round = 0; round < description.repeat; ++round) {
    uint16_t eventId = 0x1000;  // a carousel repeats an announcement unchanged
    for (const Item& item : description.items) {
      if (const auto* announcement = std::get_if<Announcement>(&item)) {
        units.push_back(AnnouncementUnit(*announcement, eventId++));
      } else if (const auto* info = std::get_if<InfoItem>(&item)) {
        units.push_back({{InfoPacket(info->index, info->text)}, -1, false});
      } else if (const auto* eit = std::get_if<EitBatch>(&item)) {
        for (int i = 0; i < eit->count; ++i) {
          units.push_back({PacketiseSection(kEitPid, ordinary.Next()), -1, true});
        }
      } else if (const auto* filler = std::get_if<FillerBatch>(&item)) {
        for (int i = 0; i < filler->count; ++i, ++fillerSerial) {
          // Mostly payload of a service, now and then a null packet.
          const uint16_t pid = fillerSerial % 4 == 3 ? kNullPid : kFillerPid;
          units.push_back({{FillerPacket(pid, fillerSerial)}, -1, false});
        }
      }
    }
  }
  return units;
}

void Write(StreamWriter& writer, const Unit& unit) {
  for (size_t i = 0; i < unit.packets.size(); ++i) {
    writer.Put(unit.packets[i]);
    if (static_cast<int>(i) == unit.breakAfter) writer.BreakContinuity(PidOf(unit.packets[i]));
  }
}

// A background EIT packet before which a section may go: it starts a payload
// unit with pointer field 0, so no background section runs on into it.
bool SectionBoundary(const Packet& packet) {
  return PidOf(packet) == kEitPid && StartsPayloadUnit(packet) && packet[kHeaderSize] == 0;
}

}  // namespace

AnnouncementSection BuildAnnouncementSection(const Announcement& announcement, uint16_t eventId) {
  const size_t descriptorsStart = kEitHeaderSize + kEitEventHeaderSize;
  const size_t pad =
      PaddingFor(descriptorsStart + kMarkerDescriptorByte, announcement.markerOffset);

  EitEvent event;
  event.eventId = eventId;
  event.startMjd = kAnnouncementMjd;
  event.durationSeconds = 24 * 3600;
  AppendStuffing(event.descriptors, pad);
  AppendLinkageDescriptor(event.descriptors, kProviderStreamId, kProviderNetworkId,
                          announcement.serviceId, kMarkerLinkageType, announcement.text);
  for (const LinkageEntry& entry : announcement.entries) {
    AppendLinkageDescriptor(event.descriptors, kProviderStreamId, kProviderNetworkId,
                            entry.serviceId, kChannelLinkageType, entry.name);
  }
  // Any other descriptor after the last channel ends the list for a reader.
  const std::string_view title = std::string_view(announcement.text).substr(0, 64);
  AppendShortEventDescriptor(event.descriptors, "deu", title, "Programmuebersicht");

  EitHeader header;
  header.serviceId = announcement.serviceId;
  header.transportStreamId = kProviderStreamId;
  header.originalNetworkId = kProviderNetworkId;
  return {BuildEitSection(header, {event}), descriptorsStart + pad + kMarkerDescriptorByte};
}

Stream Synthesise(const Description& description, const SynthesisOptions& options) {
  const std::vector<Unit> units = MakeUnits(description);
  StreamWriter writer;
  if (options.background == nullptr) {
    for (const Unit& unit : units) Write(writer, unit);
    return writer.Take();
  }

  const Stream& background = *options.background;
  const size_t spacing = options.spacing > 0
                             ? options.spacing
                             : std::max<size_t>(1, background.size() / (units.size() + 1));
  size_t next = 0;
  for (const Unit& unit : units) {
    const size_t until = std::min(background.size(), next + spacing);
    while (next < until) writer.Put(background[next++]);
    if (unit.section) {
      while (next < background.size() && !SectionBoundary(background[next])) {
        writer.Put(background[next++]);
      }
    }
    Write(writer, unit);
  }
  while (next < background.size()) writer.Put(background[next++]);
  return writer.Take();
}

}  // namespace zp::tssynth
