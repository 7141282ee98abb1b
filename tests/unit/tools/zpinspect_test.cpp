// zpinspect on synthesised streams and on dumps written by the module's own
// dump code: the lists, texts and verdict are the module's, and bad files end
// with a message.
#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "feed/CaptureDump.h"
#include "settings/SettingsTestSupport.h"
#include "tools/tssynth/Synthesiser.h"
#include "tools/zpinspect/Report.h"

namespace {

namespace ts = zp::tssynth;
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
  const zp::PortalList& list = inspection.lists[static_cast<int>(kind)];
  Entries entries;
  for (int i = 0; i < list.count; ++i) {
    entries.emplace_back(list.entries[i].serviceId, list.entries[i].name);
  }
  return entries;
}

const PortalFinding& Portal(const Inspection& inspection, zp::ListKind kind) {
  return inspection.portals[static_cast<int>(kind)];
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
  for (const PortalFinding& portal : result.portals) EXPECT_EQ(ListStatus::Read, portal.status);
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
  const PortalFinding& direkt = Portal(result, zp::ListKind::Direkt);
  ASSERT_TRUE(direkt.withContinuity.Found());
  EXPECT_EQ(185, direkt.withContinuity.offset);
  EXPECT_EQ(direkt.withContinuity, direkt.withoutContinuity);
  // The descriptor goes on in the next packet, past its header.
  EXPECT_EQ(direkt.withContinuity.packet + 1, direkt.listStart.packet);
  EXPECT_EQ(20u, List(result, zp::ListKind::Direkt).size());
  // Without a Sport marker the Erotik list is not read: the tree keeps the previous one.
  EXPECT_EQ(ListStatus::NoMarker, Portal(result, zp::ListKind::Sport).status);
  EXPECT_EQ(ListStatus::KeptPrevious, Portal(result, zp::ListKind::Erotik).status);
  EXPECT_TRUE(result.treeBuilt);
}

TEST(ZpInspect, TellsBothMarkerPlacesAndUsesTheOneWhoseNextPacketContinuesIt) {
  const std::string broken = "portal 18 Direkt Portal\nbreak-continuity\nentry 301 Broken\n";
  const std::string intact = "portal 18 Direkt Portal\nentry 302 Intact\neit 1\n";
  Inspection result = InspectBytes(Synthesise("eit 2\n" + broken + "eit 5\n" + intact));
  const PortalFinding& direkt = Portal(result, zp::ListKind::Direkt);
  ASSERT_TRUE(direkt.withContinuity.Found());
  ASSERT_TRUE(direkt.withoutContinuity.Found());
  EXPECT_LT(direkt.withoutContinuity.packet, direkt.withContinuity.packet);
  EXPECT_TRUE(direkt.UsesContinuity());
  EXPECT_EQ(Entries({{302, "Intact"}}), List(result, zp::ListKind::Direkt));
  // The lost packet shows as one break, at the slot after the marker.
  EXPECT_EQ(std::vector<int>{direkt.withoutContinuity.packet + 1}, result.continuityBreaks);

  result = InspectBytes(Synthesise("eit 2\n" + broken + "eit 2\n"));
  EXPECT_FALSE(Portal(result, zp::ListKind::Direkt).UsesContinuity());
  EXPECT_EQ(Entries({{301, "Broken"}}), List(result, zp::ListKind::Direkt));
  EXPECT_NE(std::string::npos, TextReport(result, "x").find("marker with continuity:    none\n"));
}

TEST(ZpInspect, NoPortalDataGivesTheModulesMessageAndReadsNoOtherList) {
  // A Sport marker alone: the module reads nothing without the Direkt one.
  const Inspection result =
      InspectBytes(Synthesise("eit 20\nportal 17 Portal Sport\nentry 401 S\nfiller 10\neit 2\n"));
  EXPECT_FALSE(result.treeBuilt);
  EXPECT_EQ(ListStatus::NoMarker, Portal(result, zp::ListKind::Direkt).status);
  EXPECT_EQ(ListStatus::NoDirekt, Portal(result, zp::ListKind::Sport).status);
  EXPECT_TRUE(Portal(result, zp::ListKind::Sport).withContinuity.Found());
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
  EXPECT_LT(result.packetsRead * zp::kTsPacketSize, stream.size());
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
    EXPECT_EQ(Portal(fromStream, kind).withContinuity, Portal(fromDump, kind).withContinuity);
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
  EXPECT_NE(std::string::npos, result.notes[0].find("1 of section records 0.."));
  EXPECT_NE(std::string::npos, result.notes[1].find("500..999"));
  EXPECT_NE(std::string::npos, result.notes[2].find("information records"));
  EXPECT_NE(std::string::npos, TextReport(result, "x").find("\nNote: 1 of section records"));
}

TEST(ZpInspect, BrokenFilesEndWithAMessage) {
  const std::string dump = DumpAfterCapture(Synthesise(kThreePortals));
  EXPECT_EQ("the file is empty", FailureOf(""));
  // Cut inside the section packets, and inside the empty slots after them.
  EXPECT_NE(std::string::npos, FailureOf(dump.substr(0, 1000)).find("ends inside packet 5"));
  EXPECT_NE(std::string::npos, FailureOf(dump.substr(0, 1000)).find("cut short"));
  EXPECT_NE(std::string::npos, FailureOf(dump.substr(0, 200'000)).find("all zero bytes"));
  EXPECT_NE(std::string::npos, FailureOf(dump.substr(0, 200'000)).find("cut short"));

  std::mt19937 random(16);
  for (const size_t size : {size_t{1}, size_t{188}, size_t{5000}, zp::kDumpFileSize}) {
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    bytes[0] = 0x11;  // no sync byte where a packet or record starts
    EXPECT_NE("", FailureOf(bytes)) << size;
  }
  std::string garbled = dump;
  garbled[1500 * zp::kTsPacketSize] = 0x01;
  EXPECT_NE(std::string::npos, FailureOf(garbled).find("record 1500"));
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
