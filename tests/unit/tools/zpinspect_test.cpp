// zpinspect on synthesised streams and on dumps written by the module's own
// dump code: the lists, texts and verdict are the module's, and bad files end
// with a message.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "feed/CaptureDump.h"
#include "feed/PortalExtraction.h"
#include "settings/SettingsTestSupport.h"
#include "tools/tssynth/Synthesiser.h"
#include "tools/zpinspect/Report.h"

namespace {

namespace ts = zp::tssynth;
// Section packets of the real capture among its first packets: more than a capture stores.
constexpr int kSectionPacketsStoredByReal = zp::kSectionPacketsPerScan;
using namespace zp::inspect;
using Entries = std::vector<std::pair<int32_t, std::string>>;

std::string Bytes(const ts::Stream& stream) {
  std::string bytes;
  for (const ts::Packet& packet : stream) bytes.append(packet.begin(), packet.end());
  return bytes;
}

std::string Synthesise(const std::string& description) {
  const ts::ParseResult parsed = ts::ParseDescription(description);
  EXPECT_TRUE(parsed.Ok()) << "line " << parsed.errorLine << ": " << parsed.error;
  return Bytes(ts::Synthesise(parsed.description));
}

Inspection InspectBytes(const std::string& bytes) {
  std::istringstream in(bytes);
  return Inspect(ReadCapture(in));
}

// The message ReadCapture gives up with, or "" when it reads the file.
std::string FailureOf(const std::string& bytes) {
  try {
    InspectBytes(bytes);
  } catch (const InputError& error) {
    return error.what();
  }
  return "";
}

Entries List(const Inspection& inspection, zp::ListKind kind) {
  const zp::PortalList& list = inspection.lists[Index(kind)];
  Entries entries;
  for (int i = 0; i < list.count; ++i) {
    entries.emplace_back(list.entries[i].serviceId, list.entries[i].name);
  }
  return entries;
}

const zp::ListReport& Portal(const Inspection& inspection, zp::ListKind kind) {
  return inspection.extraction[Index(kind)];
}

class NoErrorBox : public zp::ErrorBox {
 public:
  void ShowError(const std::string& text, const std::string&) override { ADD_FAILURE() << text; }
};

// The dump file that "Save Buffer" writes after the module captured `stream`.
std::string DumpAfterCapture(const std::string& stream) {
  auto capture = std::make_unique<zp::PacketCapture>();
  for (size_t at = 0; at + zp::kTsPacketSize <= stream.size(); at += zp::kTsPacketSize) {
    capture->OnPacket(reinterpret_cast<const uint8_t*>(stream.data() + at));
  }
  // A folder of the running test's own: tests run in parallel.
  const zp::test::TempFolder folder;
  const std::string path = folder.File("zpOut.ts");
  NoErrorBox errors;
  zp::DumpCaptureBuffers(path, *capture, errors);
  return zp::test::ReadBytes(path);
}

constexpr const char* kThreePortals = R"(
eit 30
portal 18 Direkt Portal
entry 301 D 1 Blockbuster
entry 305 D 5 Kom\xF6dien
info 1 Heute 20:15 Uhr
eit 10
portal 17 Portal Sport
entry 401 Sport 1 Bundesliga
filler 5
info 4 Tragikom\xF6die
portal 513 Info TV Erotik
entry 521 Nachtkino 1
entry 522 Nachtkino 2
eit 20
)";

const Entries kDirekt = {{301, "D 1 Blockbuster"},
                         {305,
                          "D 5 Kom\xF6"
                          "dien"}};

TEST(ZpInspect, StreamWithThreePortalsGivesTheModulesListsTextsAndVerdict) {
  const Inspection result = InspectBytes(Synthesise(kThreePortals));
  EXPECT_EQ(InputKind::Stream, result.kind);
  EXPECT_FALSE(result.complete);  // too few section packets: the file ended first
  EXPECT_EQ(result.sectionPackets, result.sectionStored);
  EXPECT_EQ(2, result.infoStored);
  EXPECT_TRUE(result.continuityBreaks.empty());
  EXPECT_TRUE(result.treeBuilt);
  EXPECT_EQ(kDirekt, List(result, zp::ListKind::Direkt));
  EXPECT_EQ(Entries({{401, "Sport 1 Bundesliga"}}), List(result, zp::ListKind::Sport));
  EXPECT_EQ(Entries({{521, "Nachtkino 1"}, {522, "Nachtkino 2"}}),
            List(result, zp::ListKind::Erotik));
  for (const zp::ListReport& portal : result.extraction)
    EXPECT_EQ(zp::ListOutcome::Read, portal.outcome);
  EXPECT_EQ("Heute 20:15 Uhr", result.infoTexts[1]);
  EXPECT_EQ(
      "Tragikom\xF6"
      "die",
      result.infoTexts[4]);
  EXPECT_TRUE(result.infoTexts[0].empty());

  const std::string text = TextReport(result, "rec.ts");
  for (const char* line : {"\n     305  D 5 Kom\xC3\xB6"
                           "dien\n",
                           "\n     522  Nachtkino 2\n",
                           "\n  4  Tragikom\xC3\xB6"
                           "die\n",
                           "\n  0  (none)\n", "\nVerdict: tree built\n"}) {
    EXPECT_NE(std::string::npos, text.find(line)) << line << "\n" << text;
  }
  const std::string json = JsonReport(result, "rec.ts");
  EXPECT_NE(std::string::npos, json.find("{\"serviceId\": 305, \"name\": \"D 5 Kom\xC3\xB6"
                                         "dien\", \"bytes\": \"442035204B6F6DF66469656E\"}"))
      << json;
  EXPECT_NE(std::string::npos, json.find("\"verdict\": \"tree built\"")) << json;
}

TEST(ZpInspect, MarkerSplitAcrossPacketsIsLocatedWhereItsByteB0Lies) {
  const Inspection result = InspectBytes(Synthesise(
      "eit 3\nportal 18 Direkt Portal\nmarker-offset 185\nentries 20 700 Kanal\neit 2\n"));
  const zp::ListReport& direkt = Portal(result, zp::ListKind::Direkt);
  ASSERT_TRUE(direkt.markerWithContinuity.Found());
  EXPECT_EQ(185, direkt.markerWithContinuity.offset);
  EXPECT_EQ(direkt.markerWithContinuity, direkt.markerWithoutContinuity);
  // The descriptor goes on in the next packet, past its header.
  EXPECT_EQ(direkt.markerWithContinuity.packet + 1, direkt.listStart.packet);
  EXPECT_EQ(20u, List(result, zp::ListKind::Direkt).size());
  // Without a Sport marker the Erotik list is not read: the tree keeps the previous one.
  EXPECT_EQ(zp::ListOutcome::NoMarker, Portal(result, zp::ListKind::Sport).outcome);
  EXPECT_EQ(zp::ListOutcome::KeptPrevious, Portal(result, zp::ListKind::Erotik).outcome);
  EXPECT_TRUE(result.treeBuilt);
}

TEST(ZpInspect, TellsBothMarkerPlacesAndUsesTheOneWhoseNextPacketContinuesIt) {
  const std::string broken = "portal 18 Direkt Portal\nbreak-continuity\nentry 301 Broken\n";
  const std::string intact = "portal 18 Direkt Portal\nentry 302 Intact\neit 1\n";
  Inspection result = InspectBytes(Synthesise("eit 2\n" + broken + "eit 5\n" + intact));
  const zp::ListReport& direkt = Portal(result, zp::ListKind::Direkt);
  ASSERT_TRUE(direkt.markerWithContinuity.Found());
  ASSERT_TRUE(direkt.markerWithoutContinuity.Found());
  EXPECT_LT(direkt.markerWithoutContinuity.packet, direkt.markerWithContinuity.packet);
  EXPECT_TRUE(direkt.markerWithContinuity.Found());
  EXPECT_EQ(Entries({{302, "Intact"}}), List(result, zp::ListKind::Direkt));
  // The lost packet shows as one break, at the slot after the marker.
  EXPECT_EQ(std::vector<int>{direkt.markerWithoutContinuity.packet + 1}, result.continuityBreaks);

  result = InspectBytes(Synthesise("eit 2\n" + broken + "eit 2\n"));
  EXPECT_FALSE(Portal(result, zp::ListKind::Direkt).markerWithContinuity.Found());
  EXPECT_EQ(Entries({{301, "Broken"}}), List(result, zp::ListKind::Direkt));
  EXPECT_NE(std::string::npos, TextReport(result, "x").find("marker with continuity:    none\n"));
}

TEST(ZpInspect, NoPortalDataGivesTheModulesMessageAndReadsNoOtherList) {
  // A Sport marker alone: the module reads nothing without the Direkt one.
  const Inspection result =
      InspectBytes(Synthesise("eit 20\nportal 17 Portal Sport\nentry 401 S\nfiller 10\neit 2\n"));
  EXPECT_FALSE(result.treeBuilt);
  EXPECT_EQ(zp::ListOutcome::NoMarker, Portal(result, zp::ListKind::Direkt).outcome);
  EXPECT_EQ(zp::ListOutcome::NoDirekt, Portal(result, zp::ListKind::Sport).outcome);
  EXPECT_TRUE(Portal(result, zp::ListKind::Sport).markerWithContinuity.Found());
  EXPECT_EQ(0, result.lists[1].count);
  EXPECT_EQ(0, result.infoStored);
  const std::string text = TextReport(result, "x");
  EXPECT_NE(std::string::npos, text.find("\nVerdict: Cannot find NVOD information\n")) << text;
  EXPECT_NE(std::string::npos,
            JsonReport(result, "x").find("\"verdict\": \"Cannot find NVOD information\""));
}

TEST(ZpInspect, StreamCaptureStopsWhereTheModulesWouldBeComplete) {
  // Ten texts and 500 section packets in the first round; the second round would
  // overwrite nothing, but the module has stopped the delivery by then.
  std::string description = "repeat 2\neit 300\nportal 18 Direkt Portal\nentry 301 A\n";
  for (int i = 0; i < 10; ++i) description += "info " + std::to_string(i) + " text\n";
  const std::string stream = Synthesise(description);
  const Inspection result = InspectBytes(stream);
  EXPECT_TRUE(result.complete);
  EXPECT_EQ(500, result.sectionStored);
  EXPECT_EQ(10, result.infoStored);
  EXPECT_LT(result.packetsCaptured * zp::kTsPacketSize, stream.size());
  EXPECT_EQ(stream.size(), result.packetsRead * zp::kTsPacketSize);  // counted to the end
}

TEST(ZpInspect, DumpAfterACaptureGivesWhatTheStreamGave) {
  // Texts 1, 4, 3 and 3 again: the repeat closes the information side.
  const std::string stream =
      Synthesise(std::string(kThreePortals) + "info 3 drei\ninfo 3 wieder\ninfo 5 f\n");
  const std::string dump = DumpAfterCapture(stream);
  ASSERT_EQ(zp::kDumpFileSize, dump.size());
  const Inspection fromStream = InspectBytes(stream);
  const Inspection fromDump = InspectBytes(dump);
  EXPECT_EQ(InputKind::Dump, fromDump.kind);
  EXPECT_TRUE(fromDump.notes.empty());
  for (int k = 0; k < zp::kListKindCount; ++k) {
    const auto kind = static_cast<zp::ListKind>(k);
    EXPECT_EQ(List(fromStream, kind), List(fromDump, kind)) << k;
    EXPECT_EQ(Portal(fromStream, kind).markerWithContinuity,
              Portal(fromDump, kind).markerWithContinuity);
  }
  EXPECT_EQ(fromStream.infoTexts, fromDump.infoTexts);
  EXPECT_EQ("drei", fromDump.infoTexts[3]);  // the first text 3 stays
  EXPECT_TRUE(fromDump.infoTexts[5].empty());
  EXPECT_EQ(fromStream.sectionStored, fromDump.sectionStored);
  EXPECT_EQ(4, fromDump.infoStored);
  EXPECT_TRUE(fromDump.treeBuilt);
  EXPECT_NE(std::string::npos, TextReport(fromDump, "zpOut.ts").find("read as one capture"));

  // A dump taken before any scan: nothing at all, and no tree.
  const Inspection empty = InspectBytes(std::string(zp::kDumpFileSize, '\0'));
  EXPECT_EQ(InputKind::Dump, empty.kind);
  EXPECT_EQ(0, empty.sectionStored);
  EXPECT_FALSE(empty.treeBuilt);
}

TEST(ZpInspect, DumpRecordsTheModuleNeverWritesAreLeftOutAndSaidSo) {
  std::string dump = DumpAfterCapture(Synthesise(kThreePortals));
  const size_t packet = zp::kTsPacketSize;
  std::string section = dump.substr(0, packet);
  dump.replace(700 * packet, packet, section);                  // beyond slot 499
  dump.replace(1002 * packet, packet, section);                 // an even information slot
  dump.replace(3 * packet, packet, std::string(packet, '\0'));  // a gap among the sections
  const Inspection result = InspectBytes(dump);
  ASSERT_EQ(3u, result.notes.size());
  EXPECT_NE(std::string::npos, result.notes[0].text.find("1 of section records 0.."));
  EXPECT_NE(std::string::npos, result.notes[1].text.find("500..999"));
  EXPECT_NE(std::string::npos, result.notes[2].text.find("information records"));
  EXPECT_NE(std::string::npos, TextReport(result, "x").find("\nNote: 1 of section records"));
}

TEST(ZpInspect, OnlyAFileWithoutAnyPacketIsRefused) {
  EXPECT_EQ("the file is empty", FailureOf(""));
  std::mt19937 random(16);
  for (const size_t size : {size_t{1}, size_t{188}, size_t{5000}, zp::kDumpFileSize}) {
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(random() % 0x40);  // never a sync byte
    EXPECT_NE(std::string::npos, FailureOf(bytes).find("no packet")) << size;
  }
  // A dump whose very first record is garbage has nothing to read either.
  std::string dump = DumpAfterCapture(Synthesise(kThreePortals));
  dump[0] = 0x01;
  EXPECT_NE(std::string::npos, FailureOf(dump).find("record 0"));
}

// The real capture, damaged as recordings are: every variant is read through,
// with what was skipped and where.
class DamagedRecording : public ::testing::Test {
 protected:
  static std::string Real() { return zp::test::ReadBytes(ZP_REAL_CAPTURE); }
  static constexpr size_t kPacket = zp::kTsPacketSize;
};

TEST_F(DamagedRecording, OneBadSyncByteSkipsOnePacketAndReadsTheRest) {
  std::string bytes = Real();
  bytes[186 * kPacket] = 0x00;
  const Inspection result = InspectBytes(bytes);
  EXPECT_EQ(1144u, result.packetsRead);
  ASSERT_EQ(1u, result.reading.skips.size());
  EXPECT_EQ(186 * kPacket, result.reading.skips[0].offset);
  EXPECT_EQ(kPacket, result.reading.skips[0].count);
  EXPECT_EQ(186u, result.reading.skips[0].afterPacket);
  EXPECT_EQ(kSectionPacketsStoredByReal, result.sectionStored);
  EXPECT_NE(std::string::npos, TextReport(result, "rec.ts")
                                   .find("\nLost sync: 188 bytes skipped at byte 34968, after "
                                         "186 packets\n"));

  // Bytes lost inside a packet: the packet cut short is skipped, not read
  // with the next one's start.
  bytes = Real();
  bytes.erase(300 * kPacket + 50, 20);
  const Inspection lost = InspectBytes(bytes);
  ASSERT_EQ(1u, lost.reading.skips.size());
  EXPECT_EQ(300 * kPacket, lost.reading.skips[0].offset);
  EXPECT_EQ(kPacket - 20, lost.reading.skips[0].count);
  EXPECT_EQ(1144u, lost.packetsRead);
}

TEST_F(DamagedRecording, ACutLastPacketIsDroppedAndJunkAtTheStartSkipped) {
  const std::string real = Real();
  Inspection result = InspectBytes(real.substr(0, 1000));
  EXPECT_EQ(5u, result.packetsRead);
  EXPECT_EQ(5 * kPacket, result.reading.cutOffset);
  EXPECT_EQ(1000 - 5 * kPacket, result.reading.cutBytes);
  EXPECT_NE(std::string::npos,
            TextReport(result, "x").find("the file ends inside packet 5, after 60 of its bytes"));

  result = InspectBytes(std::string("\x47junk\x47\x47", 7) + real);
  EXPECT_EQ(7u, result.reading.leadingBytes);
  EXPECT_EQ(1145u, result.packetsRead);
  EXPECT_TRUE(result.reading.skips.empty());
}

TEST_F(DamagedRecording, PacketsOf192And204BytesAreToldFromTheSpacingOfTheirSyncBytes) {
  const std::string stream = Synthesise(kThreePortals);
  const Inspection plain = InspectBytes(stream);
  for (const int size : {192, 204}) {
    std::string bytes;
    // Arrival time stamps whose first byte looks like a sync byte; parity bytes of any value.
    uint32_t clock = 0x47000000;
    for (size_t at = 0; at < stream.size(); at += kPacket) {
      clock += 0x9A3D1;
      if (size == 192) {
        for (const int shift : {24, 16, 8, 0}) bytes += static_cast<char>(clock >> shift);
      }
      bytes += stream.substr(at, kPacket);
      for (int i = 0; size == 204 && i < 16; ++i) bytes += static_cast<char>(clock >> (i % 24));
    }
    const Inspection result = InspectBytes(bytes);
    EXPECT_EQ(size, result.reading.packetSize);
    EXPECT_EQ(0u, result.reading.skippedBytes) << size;
    EXPECT_EQ(plain.packetsRead, result.packetsRead);
    for (int k = 0; k < zp::kListKindCount; ++k) {
      EXPECT_EQ(List(plain, static_cast<zp::ListKind>(k)),
                List(result, static_cast<zp::ListKind>(k)));
    }
    EXPECT_EQ(plain.infoTexts, result.infoTexts);
  }
}

TEST_F(DamagedRecording, AStreamOfADumpsSizeWithABadSyncByteIsStillAStream) {
  std::string bytes = Real();
  while (bytes.size() < zp::kDumpFileSize) bytes += Real();
  bytes.resize(zp::kDumpFileSize);
  bytes[700 * kPacket] = 0x11;
  const Inspection result = InspectBytes(bytes);
  EXPECT_EQ(InputKind::Stream, result.kind);
  EXPECT_EQ(1999u, result.packetsRead);
}

TEST(ZpInspect, ADumpWithABadRecordIsReadUpToIt) {
  std::string dump = DumpAfterCapture(Synthesise(kThreePortals));
  const Inspection whole = InspectBytes(dump);
  dump[1500 * zp::kTsPacketSize] = 0x01;
  Inspection result = InspectBytes(dump);
  EXPECT_EQ(InputKind::Dump, result.kind);
  EXPECT_EQ(kDirekt, List(result, zp::ListKind::Direkt));
  EXPECT_EQ(whole.infoTexts, result.infoTexts);
  ASSERT_EQ(1u, result.notes.size());
  EXPECT_EQ("dump_bad_record", result.notes[0].id);
  EXPECT_NE(std::string::npos, result.notes[0].text.find("record 1500 (byte 282000)"));

  // Among the section records: the information records after it are left out too.
  dump[40 * zp::kTsPacketSize] = 0x01;
  result = InspectBytes(dump);
  EXPECT_EQ(40, result.sectionStored);
  EXPECT_EQ(0, result.infoStored);
}

TEST(ZpInspect, SaysWhichPidsTheFileHoldsAndWhatTheModuleKeeps) {
  const std::string stream = Synthesise(kThreePortals + std::string("filler 8\n"));
  const Inspection result = InspectBytes(stream);
  ASSERT_FALSE(result.pids.empty());
  EXPECT_EQ(static_cast<uint64_t>(result.sectionPackets), result.sectionPacketsInFile);
  EXPECT_EQ(2u, result.infoPacketsInFile);
  uint64_t total = 0;
  for (const PidCount& pid : result.pids) total += pid.packets;
  EXPECT_EQ(result.packetsRead, total);
  EXPECT_TRUE(
      std::is_sorted(result.pids.begin(), result.pids.end(),
                     [](const PidCount& a, const PidCount& b) { return a.packets > b.packets; }));
  ASSERT_FALSE(result.sectionTables.empty());
  EXPECT_EQ(0x4E, result.sectionTables[0].first);
  const std::string text = TextReport(result, "x");
  EXPECT_NE(std::string::npos, text.find("the module keeps up to 10 information packets (2 here)"));
}

TEST(ZpInspect, AnAnnouncementBeyondTheModulesWindowIsFoundAndTheNextStepSaid) {
  // The Direkt announcement starts at section packet 600; the Sport one at 120
  // is read, but without Direkt the module reads no list.
  const Inspection late =
      InspectBytes(Synthesise("eit 120\nportal 17 Portal Sport\nentry 401 S\neit 479\n"
                              "portal 18 Direkt Portal\nentry 301 A\neit 5\n"));
  EXPECT_FALSE(late.treeBuilt);
  const LaterMarker& direkt = late.later[zp::Index(zp::ListKind::Direkt)];
  ASSERT_TRUE(direkt.found);
  EXPECT_EQ(600u, direkt.sectionPacket);
  EXPECT_EQ(600u * zp::kTsPacketSize, direkt.fileOffset);
  EXPECT_EQ("capture_at_another_moment", late.next.id);
  // Long lines are wrapped: the words as one line.
  std::string text;
  for (const char c : TextReport(late, "x")) {
    if (c == '\n') {
      text += ' ';
    } else if (c != ' ' || (!text.empty() && text.back() != ' ')) {
      text += c;
    }
  }
  EXPECT_NE(std::string::npos, text.find("at section packet 600 (byte 112800): a capture at "
                                         "another moment would find it"))
      << text;
  EXPECT_NE(std::string::npos, JsonReport(late, "x").find("\"later\": {\"sectionPacket\": 600"));

  const Inspection none = InspectBytes(Synthesise("eit 700\n"));
  EXPECT_FALSE(none.later[0].found);
  EXPECT_EQ("record_portal_transponder", none.next.id);
  EXPECT_NE(std::string::npos, TextReport(none, "x").find("service id 18"));
}

TEST(ZpInspect, APartialCaptureDumpSaysWhereItsListMayRunAcrossCaptures) {
  // A full capture of one transponder, then a scan that stored 62 section
  // packets and ended inside the Direkt list of another.
  auto capture = std::make_unique<zp::PacketCapture>();
  const auto deliver = [&capture](const std::string& stream, int sections) {
    for (size_t at = 0; at + zp::kTsPacketSize <= stream.size() && sections > 0;
         at += zp::kTsPacketSize) {
      const auto* packet = reinterpret_cast<const uint8_t*>(stream.data() + at);
      sections -= zp::IsSectionPacket(packet);
      capture->OnPacket(packet);
    }
  };
  // The older one: real EIT, whose continuity counters do not follow the new one's.
  deliver(zp::test::ReadBytes(ZP_REAL_CAPTURE), 500);
  capture->Reset();
  deliver(Synthesise("eit 60\nportal 18 Direkt Portal\nentries 30 700 Kanal\n"), 62);
  zp::PortalLists module;
  ASSERT_TRUE(zp::ExtractPortalLists(capture->Sections(), module, &capture->SectionCaptures()));

  const zp::test::TempFolder folder;
  NoErrorBox errors;
  zp::DumpCaptureBuffers(folder.File("zpOut.ts"), *capture, errors);
  const Inspection result = InspectBytes(zp::test::ReadBytes(folder.File("zpOut.ts")));
  ASSERT_EQ(1u, result.notes.size());
  EXPECT_EQ("dump_list_across_captures", result.notes[0].id);
  // What the note says the tree shows is what the module's tree showed.
  EXPECT_NE(std::string::npos,
            result.notes[0].text.find("slot 62, whose continuity counter does not follow"))
      << result.notes[0].text;
  EXPECT_NE(std::string::npos,
            result.notes[0].text.find("tree then lists " + std::to_string(module[0].count) + " of"))
      << result.notes[0].text;
  EXPECT_LT(module[0].count, result.lists[0].count);
}

TEST(ZpInspectJson, HasASchemaStableStatusesAndTheFileNameAsGiven) {
  const Inspection result =
      InspectBytes(Synthesise("eit 2\nportal 17 Portal Sport\nentry 1 a\n"
                              "eit 3\nportal 18 Direkt Portal\nentry 2 "
                              "b\neit 2\n"));
  const std::string json = JsonReport(result, "Aufnahme \xC3\xBC\xFF.ts");
  for (const char* field :
       {"\"schema\": 2,", "\"file\": \"Aufnahme \xC3\xBC\xEF\xBF\xBD.ts\"", "\"status\": \"read\"",
        "\"status\": \"no_marker\"", "\"listEnd\": \"end_of_data\"", "\"status\": \"tree_built\"",
        "\"nextStep\": null", "\"entryCount\": 1"}) {
    EXPECT_NE(std::string::npos, json.find(field)) << field << "\n" << json;
  }
  const std::string text = TextReport(result, "x");
  EXPECT_NE(std::string::npos, text.find(": 1 entry\n")) << text;
}

TEST(ZpInspectText, ShowsCodePage1252ReadablyAndEscapesWhatCannotBeSeen) {
  EXPECT_EQ(
      "Kom\xC3\xB6"
      "dien \xE2\x82\xAC",
      ReadableText("Kom\xF6"
                   "dien \x80"));
  EXPECT_EQ("a\\x01b\\x81\\x7F\\xA0\\\\", ReadableText("a\x01"
                                                       "b\x81\x7F\xA0\\"));
  EXPECT_EQ("\"\\u0001 \\u0081 \\\" \\\\ \xC3\xBC\"", JsonText("\x01 \x81 \" \\ \xFC"));
}

}  // namespace
