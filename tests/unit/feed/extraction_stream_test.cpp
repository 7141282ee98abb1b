// Capture and extraction on whole synthetic transport streams, alone and amid
// a real EIT capture.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "feed/PacketCapture.h"
#include "feed/PortalExtraction.h"
#include "tools/tssynth/Synthesiser.h"

namespace {

namespace ts = zp::tssynth;
using Entries = std::vector<std::pair<int32_t, std::string>>;

const Entries kDirekt = {{300, "D 0 Vorschau"},
                         {301, "D 1 Blockbuster"},
                         {302, "D 2 Blockbuster"},
                         {303, "D 3 Kinohits"},
                         {304, "D 4 Kinohits"},
                         {305,
                          "D 5 Kom\xF6"
                          "dien"},
                         {306, "D 6 Action"},
                         {307, "D 7 Thriller"},
                         {308, "D 8 Familienkino"},
                         {309, "D 9 Klassiker"}};
const Entries kSport = {{401, "Sport 1 Bundesliga"}, {402, "Sport 2 Bundesliga"},
                        {403, "Sport 3 Bundesliga"}, {404, "Sport 4 Champions League"},
                        {405, "Sport 5 Formel 1"},   {406, "Sport 6 Tennis"}};
const Entries kErotik = {{521, "Nachtkino 1"}, {522, "Nachtkino 2"}, {523, "Nachtkino 3"}};

// What the module holds after one scan of a stream.
struct Scan {
  std::unique_ptr<zp::PacketCapture> capture = std::make_unique<zp::PacketCapture>();
  zp::PortalLists lists;
  bool found = false;

  Entries List(zp::ListKind kind) const {
    const zp::PortalList& list = lists[Index(kind)];
    Entries entries;
    for (int i = 0; i < list.count; ++i)
      entries.emplace_back(list.entries[i].serviceId, list.entries[i].name);
    return entries;
  }
};

std::unique_ptr<Scan> RunScan(const ts::Stream& stream) {
  auto scan = std::make_unique<Scan>();
  scan->capture->Reset();
  for (const ts::Packet& packet : stream) scan->capture->OnPacket(packet.data());
  scan->found = zp::ExtractPortalLists(scan->capture->Sections(), scan->lists,
                                       &scan->capture->SectionCaptures());
  return scan;
}

ts::Description Describe(const std::string& text) {
  const ts::ParseResult result = ts::ParseDescription(text);
  EXPECT_TRUE(result.Ok()) << "line " << result.errorLine << ": " << result.error;
  return result.description;
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  EXPECT_TRUE(file) << path;
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::unique_ptr<Scan> ScanSample(const char* name, const ts::Stream* background = nullptr) {
  ts::SynthesisOptions options;
  options.background = background;
  return RunScan(
      ts::Synthesise(Describe(ReadFile(std::string(ZP_TSSYNTH_SAMPLES_DIR "/") + name)), options));
}

// The real capture is part of the repository: a missing file fails the test.
ts::Stream RealCapture() { return ts::ReadStreamFile(ZP_REAL_CAPTURE); }

constexpr const char* kSportAndErotik =
    "portal 17 Portal Sport\nentry 401 Sport 1 Bundesliga\n"
    "portal 513 Info TV Erotik\nentry 521 Nachtkino 1\n";

TEST(ExtractionOnStreams, PortalSampleGivesThreeListsTenTextsAndACompleteCapture) {
  const auto scan = ScanSample("portal.tsd");
  ASSERT_TRUE(scan->found);
  EXPECT_EQ(kDirekt, scan->List(zp::ListKind::Direkt));
  EXPECT_EQ(kSport, scan->List(zp::ListKind::Sport));
  EXPECT_EQ(kErotik, scan->List(zp::ListKind::Erotik));
  EXPECT_TRUE(scan->capture->Complete());
  EXPECT_EQ("Heute 21:00 Uhr: Das Boot. Kriegsfilm, D 1981", scan->capture->InfoText(2));
  for (int n = 0; n < zp::kInfoTextCount; ++n)
    EXPECT_FALSE(scan->capture->InfoText(n).empty()) << n;
}

TEST(ExtractionOnStreams, OrdinarySampleHasNoPortalDataAndNoTexts) {
  const auto scan = ScanSample("ordinary.tsd");
  EXPECT_FALSE(scan->found);
  EXPECT_EQ(0, scan->lists[0].count);
  EXPECT_EQ(zp::kSectionPacketsPerScan + 20, scan->capture->SectionCount());
  EXPECT_EQ(0, scan->capture->InfoCounter());
}

TEST(ExtractionOnStreams, MarkerSplitAcrossPacketsIsFound) {
  for (int offset : {182, 183, 184, 185, 186, 187, 4, 5, 6, 10}) {
    const auto scan = RunScan(ts::Synthesise(
        Describe("eit 3\nportal 18 Direkt Portal\nmarker-offset " + std::to_string(offset) +
                 "\nentries 20 700 Kanal\n" + kSportAndErotik)));
    ASSERT_TRUE(scan->found) << "offset " << offset;
    const Entries direkt = scan->List(zp::ListKind::Direkt);
    ASSERT_EQ(20u, direkt.size()) << "offset " << offset;
    EXPECT_EQ(Entries::value_type(719, "Kanal 20"), direkt.back());
    EXPECT_EQ(1u, scan->List(zp::ListKind::Erotik).size());
  }
}

TEST(ExtractionOnStreams, MarkerWhoseNextPacketDoesNotContinueItIsTheLastResort) {
  const std::string broken = "portal 18 Direkt Portal\nbreak-continuity\nentry 301 Broken\n";
  // A marker in the last stored packet has nothing to continue it: some EIT follows.
  const std::string intact = "portal 18 Direkt Portal\nentry 302 Intact\neit 1\n";
  const std::string brokenToo = "portal 18 Direkt Portal\nbreak-continuity\nentry 303 Later\n";

  // Alone it is skipped by the first pass and taken by the second.
  auto scan = RunScan(ts::Synthesise(Describe("eit 2\n" + broken + "eit 2\n")));
  const auto& sections = scan->capture->Sections();
  EXPECT_FALSE(zp::FindMarker(sections, zp::ListKind::Direkt, true).Found());
  EXPECT_TRUE(zp::FindMarker(sections, zp::ListKind::Direkt, false).Found());
  EXPECT_EQ(Entries({{301, "Broken"}}), scan->List(zp::ListKind::Direkt));

  // A later occurrence that passes the check wins ...
  scan = RunScan(ts::Synthesise(Describe(broken + "eit 5\n" + intact)));
  EXPECT_EQ(Entries({{302, "Intact"}}), scan->List(zp::ListKind::Direkt));
  // ... while of two failing ones the first is taken.
  scan = RunScan(ts::Synthesise(Describe(broken + "eit 5\n" + brokenToo)));
  EXPECT_EQ(Entries({{301, "Broken"}}), scan->List(zp::ListKind::Direkt));
}

TEST(ExtractionOnStreams, NameWithByteFFEndsTheListAndLaterPortalsAreStillRead) {
  const auto scan = RunScan(ts::Synthesise(
      Describe("portal 18 Direkt Portal\nentry 301 D 1 Blockbuster\nentry 302 D 2 Blockbuster\n"
               "entry 303 D 3 Kino\\xFFhits\nentry 304 D 4 Kinohits\n" +
               std::string(kSportAndErotik))));
  ASSERT_TRUE(scan->found);
  EXPECT_EQ(Entries({{301, "D 1 Blockbuster"}, {302, "D 2 Blockbuster"}}),
            scan->List(zp::ListKind::Direkt));
  EXPECT_EQ(Entries({{401, "Sport 1 Bundesliga"}}), scan->List(zp::ListKind::Sport));
}

TEST(ExtractionOnStreams, MoreThanThirtyOneEntriesKeepTheFirstThirtyOne) {
  const auto scan = RunScan(ts::Synthesise(
      Describe("portal 18 Direkt Portal\nentries 40 600 Kanal\n" + std::string(kSportAndErotik))));
  const Entries direkt = scan->List(zp::ListKind::Direkt);
  ASSERT_EQ(static_cast<size_t>(zp::kPortalListCapacity), direkt.size());
  EXPECT_EQ(Entries::value_type(600, "Kanal 1"), direkt.front());
  EXPECT_EQ(Entries::value_type(630, "Kanal 31"), direkt.back());
  EXPECT_EQ(1u, scan->List(zp::ListKind::Sport).size());
}

TEST(ExtractionOnStreams, RepeatedInfoIndexClosesTheInformationSide) {
  const auto scan = RunScan(ts::Synthesise(
      Describe("info 3 Drei\nfiller 2\ninfo 4 Vier\ninfo 3 Noch einmal drei\ninfo 5 F\\xFCnf\n")));
  EXPECT_EQ("Drei", scan->capture->InfoText(3));
  EXPECT_EQ("Vier", scan->capture->InfoText(4));
  EXPECT_EQ("", scan->capture->InfoText(5));  // counted (20 + 2) but not stored
  EXPECT_EQ(zp::kInfoCounterLimit + 2, scan->capture->InfoCounter());
}

TEST(ExtractionOnStreams, ACaptureFullInsideTheDirektListEndsItAtTheLastWholeEntry) {
  const auto scan = ScanSample("portal-cut.tsd");
  ASSERT_TRUE(scan->found);
  // "Kanal 20" starts in the 500th section packet and ends in the 501st, which
  // is not stored: the slot after it was never filled.
  Entries whole;
  for (int i = 1; i <= 19; ++i) whole.emplace_back(699 + i, "Kanal " + std::to_string(i));
  EXPECT_EQ(whole, scan->List(zp::ListKind::Direkt));
}

TEST(ExtractionOnStreams, PortalDataAmidRealEitIsFound) {
  const ts::Stream real = RealCapture();
  const auto scan = ScanSample("portal-astra.tsd", &real);
  ASSERT_TRUE(scan->found);
  EXPECT_EQ(kDirekt, scan->List(zp::ListKind::Direkt));
  EXPECT_EQ(kSport, scan->List(zp::ListKind::Sport));
  EXPECT_EQ(kErotik, scan->List(zp::ListKind::Erotik));
  EXPECT_TRUE(scan->capture->Complete());  // 500 section packets, most of them real
}

TEST(ExtractionOnStreams, RealCaptureAloneHasNoPortalData) {
  const ts::Stream real = RealCapture();
  const auto scan = RunScan(real);
  EXPECT_FALSE(scan->found);
  EXPECT_EQ(0, scan->lists[0].count);
  EXPECT_EQ(760, scan->capture->SectionCount());
  EXPECT_FALSE(scan->capture->Complete());  // no information packets
}

}  // namespace
