#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "feed/PacketCapture.h"
#include "feed/PortalExtraction.h"

namespace zp {
namespace {

// Writes bytes into the payload stream of a capture, stepping over packet
// headers the way extraction reads them.
class CaptureWriter {
 public:
  explicit CaptureWriter(CaptureBuffer& capture) : capture_(capture) {}

  CaptureWriter& At(int32_t slot, int32_t offset) {
    cursor_ = {slot, offset};
    return *this;
  }
  CaptureWriter& Bytes(const std::vector<uint8_t>& bytes) {
    for (uint8_t b : bytes) {
      capture_[cursor_.packet][cursor_.offset] = b;
      AdvanceCursor(cursor_, 1);
    }
    return *this;
  }
  CaptureWriter& Text(const std::string& text) {
    return Bytes(std::vector<uint8_t>(text.begin(), text.end()));
  }
  // A marker descriptor: tag, length, six id bytes, 0xB0, the marker word, more text.
  CaptureWriter& Marker(const std::string& word) {
    const std::string text = word + " Portal";
    Bytes({0x4A, static_cast<uint8_t>(7 + text.size()), 0, 1, 0, 2, 0, 3, 0xB0});
    return Text(text);
  }
  CaptureWriter& Linkage(uint16_t sid, const std::string& name) {
    Bytes({0x4A, static_cast<uint8_t>(7 + name.size()), 0x04, 0x01, 0x00, 0x85,
           static_cast<uint8_t>(sid >> 8), static_cast<uint8_t>(sid & 0xFF), 0x01});
    return Text(name);
  }
  CaptureWriter& End() { return Bytes({0x4D, 0x00}); }
  PacketCursor Cursor() const { return cursor_; }

 private:
  CaptureBuffer& capture_;
  PacketCursor cursor_{0, 4};
};

void SetCounters(CaptureBuffer& capture, int first, int count, int startCc) {
  for (int i = 0; i < count; ++i) capture[first + i][3] = 0x10 | ((startCc + i) & 0x0F);
}

class ExtractionTest : public ::testing::Test {
 protected:
  void SetUp() override { SetCounters(*capture, 0, kCaptureSlots, 0); }
  std::unique_ptr<CaptureBuffer> capture = std::make_unique<CaptureBuffer>();
  CaptureWriter write{*capture};
  PortalLists lists;
};

TEST(AdvanceCursor, StepsOverPacketHeadersBothWays) {
  PacketCursor c{10, 185};
  AdvanceCursor(c, 5);
  EXPECT_EQ((PacketCursor{11, 6}), c);
  c = {10, 6};
  AdvanceCursor(c, -7);
  EXPECT_EQ((PacketCursor{9, 183}), c);
  c = {10, 10};
  AdvanceCursor(c, -7);
  EXPECT_EQ((PacketCursor{9, 187}), c);
  c = {3, 100};
  AdvanceCursor(c, 184 * 2);
  EXPECT_EQ((PacketCursor{5, 100}), c);
}

TEST_F(ExtractionTest, ReadsAllThreeListsInStreamOrder) {
  write.At(2, 20).Marker("Direkt").Linkage(4138, "D 1 Film").Linkage(17, "Sport 1").End();
  write.At(40, 50).Marker("Info T").Linkage(600, "Night").End();
  write.At(30, 9).Marker("Portal").Linkage(0x1234, "Fussball").End();

  ASSERT_TRUE(ExtractPortalLists(*capture, lists));
  ASSERT_EQ(2, lists[0].count);
  EXPECT_EQ(4138, lists[0].entries[0].serviceId);
  EXPECT_EQ("D 1 Film", lists[0].entries[0].name);
  EXPECT_EQ("Sport 1", lists[0].entries[1].name);
  ASSERT_EQ(1, lists[1].count);
  EXPECT_EQ(0x1234, lists[1].entries[0].serviceId);
  ASSERT_EQ(1, lists[2].count);
  EXPECT_EQ("Night", lists[2].entries[0].name);
}

TEST_F(ExtractionTest, FindsAMarkerSplitAcrossPacketsAndNamesSpanningPackets) {
  // 0xB0 at offset 185 of slot 20; "Di" at 186..187; "rekt" at 4..7 of slot 21.
  write.At(20, 177).Bytes({0x4A, 20, 0, 1, 0, 2, 0, 3, 0xB0}).Text("Direkt Portal");
  ASSERT_EQ(0xB0, (*capture)[20][185]);
  ASSERT_EQ('r', (*capture)[21][4]);
  write.Linkage(100, "a name that runs over the packet end").End();

  const PacketCursor cursor = FindMarker(*capture, ListKind::Direkt, true);
  EXPECT_EQ((PacketCursor{21, 15}), cursor);
  ASSERT_TRUE(ExtractPortalLists(*capture, lists));
  ASSERT_EQ(1, lists[0].count);
  EXPECT_EQ("a name that runs over the packet end", lists[0].entries[0].name);
}

TEST_F(ExtractionTest, PrefersAMarkerWhoseNextPacketContinuesIt) {
  write.At(5, 20).Marker("Direkt").Linkage(1, "broken").End();
  write.At(60, 20).Marker("Direkt").Linkage(2, "continued").End();
  (*capture)[5][3] = 0x13;
  (*capture)[6][3] = 0x15;  // 3 then 5: slot 5 fails the check

  ASSERT_TRUE(ExtractPortalLists(*capture, lists));
  EXPECT_EQ("continued", lists[0].entries[0].name);

  (*capture)[61][3] = 0x10;  // now both fail: the first occurrence is taken
  ASSERT_TRUE(ExtractPortalLists(*capture, lists));
  EXPECT_EQ("broken", lists[0].entries[0].name);
}

TEST_F(ExtractionTest, ContinuityWrapsFromFifteenToZero) {
  write.At(7, 30).Marker("Direkt").Linkage(1, "wrap").End();
  (*capture)[7][3] = 0x1F;
  (*capture)[8][3] = 0x10;
  EXPECT_EQ(7, FindMarker(*capture, ListKind::Direkt, true).packet);
}

TEST_F(ExtractionTest, MarkerNearTheStartReadsItsLengthFromThePreviousSlot) {
  write.At(11, 182).Bytes({0x4A, 19, 0, 1, 0, 2, 0, 3, 0xB0}).Text("Direkt Portal");
  ASSERT_EQ(0xB0, (*capture)[12][6]);
  EXPECT_EQ((PacketCursor{12, 19}), FindMarker(*capture, ListKind::Direkt, false));
}

TEST_F(ExtractionTest, MarkerWhoseLengthByteWasNeverCapturedIsNotFound) {
  (*capture)[0][5] = 0xB0;
  std::memcpy(&(*capture)[0][6], "Direkt", 6);
  EXPECT_FALSE(FindMarker(*capture, ListKind::Direkt, false).Found());
  EXPECT_FALSE(ExtractPortalLists(*capture, lists));
}

TEST_F(ExtractionTest, LinkageLengthsGiveNameLengths) {
  write.At(3, 4).Marker("Direkt").Linkage(1, "seven!!").Linkage(2, "").End();
  PacketCursor cursor = FindMarker(*capture, ListKind::Direkt, true);
  PortalEntry entry;
  ASSERT_TRUE(ParseLinkageEntry(*capture, cursor, entry));
  EXPECT_EQ("seven!!", entry.name);
  ASSERT_TRUE(ParseLinkageEntry(*capture, cursor, entry));
  EXPECT_EQ("", entry.name);
  EXPECT_EQ(2, entry.serviceId);
  const PacketCursor atEnd = cursor;
  EXPECT_FALSE(ParseLinkageEntry(*capture, cursor, entry));  // 0x4D is no linkage tag
  EXPECT_EQ(atEnd, cursor);
}

TEST_F(ExtractionTest, ShortLinkageLengthLeavesTheCursorOnByteNine) {
  write.At(3, 4).Bytes({0x4A, 3, 0, 0, 0, 0, 0x10, 0x2A, 0});
  PacketCursor cursor{3, 4};
  PortalEntry entry;
  ASSERT_TRUE(ParseLinkageEntry(*capture, cursor, entry));
  EXPECT_EQ(4138, entry.serviceId);
  EXPECT_EQ((PacketCursor{3, 13}), cursor);
}

TEST_F(ExtractionTest, NameByteFFEndsTheListWithoutThatEntry) {
  write.At(3, 4)
      .Marker("Direkt")
      .Linkage(1, "good")
      .Linkage(2, std::string("ba\xFF") + "d")
      .Linkage(3, "x");
  ASSERT_TRUE(ExtractPortalLists(*capture, lists));
  ASSERT_EQ(1, lists[0].count);
  EXPECT_EQ("good", lists[0].entries[0].name);
}

TEST_F(ExtractionTest, ListsStopAtThirtyOneEntries) {
  write.At(3, 4).Marker("Direkt");
  for (int i = 0; i < 40; ++i) write.Linkage(static_cast<uint16_t>(100 + i), "ch");
  write.End();
  ASSERT_TRUE(ExtractPortalLists(*capture, lists));
  EXPECT_EQ(31, lists[0].count);
  EXPECT_EQ(130, lists[0].entries[30].serviceId);
}

TEST_F(ExtractionTest, DirektWithoutEntriesStillSucceeds) {
  write.At(3, 4).Marker("Direkt").End();
  EXPECT_TRUE(ExtractPortalLists(*capture, lists));
  EXPECT_EQ(0, lists[0].count);
}

TEST_F(ExtractionTest, MissingMarkersDecideWhichListsKeepTheirOldContent) {
  lists[0].count = 5;
  lists[1].count = 3;
  lists[2].count = 2;
  EXPECT_FALSE(ExtractPortalLists(*capture, lists));  // no Direkt: others untouched
  EXPECT_EQ(0, lists[0].count);
  EXPECT_EQ(3, lists[1].count);
  EXPECT_EQ(2, lists[2].count);

  write.At(3, 4).Marker("Direkt").Linkage(1, "a").End();
  write.At(9, 4).Marker("Info T").Linkage(2, "b").End();
  EXPECT_TRUE(ExtractPortalLists(*capture, lists));  // no Sport: Erotik untouched
  EXPECT_EQ(1, lists[0].count);
  EXPECT_EQ(0, lists[1].count);
  EXPECT_EQ(2, lists[2].count);
}

TEST_F(ExtractionTest, MarkerWordsAreCaseSensitive) {
  write.At(3, 4).Marker("direkt").Linkage(1, "a").End();
  write.At(9, 4).Marker("DIREKT").Linkage(1, "a").End();
  EXPECT_FALSE(ExtractPortalLists(*capture, lists));
}

TEST_F(ExtractionTest, DescriptorsRunningOffTheLastSlotNeverLeaveTheBuffer) {
  write.At(998, 150).Marker("Direkt");
  write.Bytes({0x4A, 0xFE, 0, 0, 0, 0, 0, 5, 0});  // a length far past slot 999
  write.Text(std::string(190, 'n'));
  ASSERT_TRUE(ExtractPortalLists(*capture, lists));
  EXPECT_EQ(0, lists[0].count);
  (*capture)[999][186] = 0xB0;  // a marker word cut off by the end of the buffer
  (*capture)[999][187] = 'P';
  EXPECT_FALSE(FindMarker(*capture, ListKind::Sport, false).Found());
}

// The report that zpinspect prints: why each list ended, where the markers lie,
// and the same lists and result as an extraction without one.
TEST_F(ExtractionTest, ReportTellsWhyEachListEnded) {
  ExtractionReport report;
  write.At(3, 4).Marker("Direkt").Linkage(1, "a").Linkage(2, "b").End();
  write.At(9, 4).Marker("Portal").Linkage(3, "good").Linkage(4, std::string("b\xFF") + "d");
  write.At(20, 4).Marker("Info T");
  for (int i = 0; i < 40; ++i) write.Linkage(static_cast<uint16_t>(100 + i), "ch");
  ASSERT_TRUE(ExtractPortalLists(*capture, lists, nullptr, &report));
  EXPECT_EQ(ListEnd::EndOfData, report[0].end);
  EXPECT_EQ(ListEnd::UnreadableDescriptor, report[1].end);
  EXPECT_EQ(ListEnd::Full, report[2].end);
  EXPECT_EQ(31, lists[2].count);
  EXPECT_EQ((PacketCursor{3, 12}), report[0].markerWithoutContinuity);
  EXPECT_EQ(report[0].markerWithoutContinuity, report[0].markerWithContinuity);
  EXPECT_EQ((PacketCursor{3, 26}), report[0].listStart);
  EXPECT_EQ((PacketCursor{3, 46}), report[0].endAt);  // on the 0x4D tag after "b"
  for (const ListReport& list : report) {
    EXPECT_EQ(ListOutcome::Read, list.outcome);
    EXPECT_EQ(-1, list.markerEntry);
  }

  // Exactly as many channels as the list holds: none is dropped.
  write.At(60, 4).Marker("Info T");
  for (int i = 0; i < kPortalListCapacity; ++i) write.Linkage(7, "c");
  write.End();
  (*capture)[20][12] = 0;  // the first Erotik marker is gone
  ASSERT_TRUE(ExtractPortalLists(*capture, lists, nullptr, &report));
  EXPECT_EQ(31, lists[2].count);
  EXPECT_EQ(ListEnd::EndOfData, report[2].end);

  // A descriptor cut by the end of the capture's run of slots.
  *capture = CaptureBuffer{};
  CaptureNumbers numbers{};
  std::fill_n(numbers.begin(), 10, 1u);
  std::fill_n(numbers.begin() + 10, 490, 2u);
  write.At(9, 140).Marker("Direkt").Linkage(701, "Kanal 1").Linkage(702, "Kanal 2");
  ASSERT_TRUE(ExtractPortalLists(*capture, lists, &numbers, &report));
  EXPECT_EQ(ListEnd::CaptureEnd, report[0].end);
  EXPECT_EQ(1, lists[0].count);
}

TEST_F(ExtractionTest, ReportNamesAnAnnouncementReadAsAChannelAndTheListsNotRead) {
  ExtractionReport report;
  // The Sport announcement right behind the Direkt list: its marker descriptor
  // is a linkage descriptor like the channels', and the module takes it as one.
  write.At(3, 4).Marker("Direkt").Linkage(1, "a").Marker("Portal").Linkage(2, "b").End();
  ASSERT_TRUE(ExtractPortalLists(*capture, lists, nullptr, &report));
  EXPECT_EQ(3, lists[0].count);
  EXPECT_EQ(1, report[0].markerEntry);
  EXPECT_EQ(ListKind::Sport, report[0].markerEntryKind);
  EXPECT_EQ(ListOutcome::Read, report[1].outcome);
  EXPECT_EQ(ListOutcome::NoMarker, report[2].outcome);
  EXPECT_EQ(ListEnd::NotRead, report[2].end);

  *capture = CaptureBuffer{};
  write.At(9, 4).Marker("Portal").Linkage(2, "b").End();
  EXPECT_FALSE(ExtractPortalLists(*capture, lists, nullptr, &report));
  EXPECT_EQ(ListOutcome::NoMarker, report[0].outcome);
  EXPECT_EQ(ListOutcome::NoDirekt, report[1].outcome);
  EXPECT_EQ(ListOutcome::NoDirekt, report[2].outcome);
  // Found all the same: the report says where it lies.
  EXPECT_EQ((PacketCursor{9, 12}), report[1].markerWithoutContinuity);
}

TEST(ExtractionReport, AskingForOneChangesNothingOfTheResult) {
  // Random captures with markers and linkage descriptors sprinkled in, with
  // and without capture numbers: both ways give the same lists and result.
  auto capture = std::make_unique<CaptureBuffer>();
  uint32_t seed = 7;
  const auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
  for (int round = 0; round < 200; ++round) {
    for (TsPacket& packet : *capture) {
      for (uint8_t& b : packet) b = static_cast<uint8_t>(next() >> 24) % 4 == 0 ? 0x4A : 0x20;
    }
    CaptureWriter write(*capture);
    for (int m = 0; m < 4; ++m) {
      static const char* const kWords[] = {"Direkt", "Portal", "Info T"};
      write.At(static_cast<int32_t>(next() % 40), static_cast<int32_t>(4 + next() % 184));
      write.Marker(kWords[next() % 3]);
      for (uint32_t e = next() % 6; e > 0; --e) write.Linkage(static_cast<uint16_t>(next()), "x");
    }
    CaptureNumbers numbers{};
    std::fill_n(numbers.begin(), 50, 1u);
    std::fill_n(numbers.begin(), next() % 50, 2u);
    for (const CaptureNumbers* captures : {static_cast<const CaptureNumbers*>(nullptr),
                                           static_cast<const CaptureNumbers*>(&numbers)}) {
      PortalLists plain;
      PortalLists reported = plain;
      ExtractionReport report;
      const bool a = ExtractPortalLists(*capture, plain, captures);
      const bool b = ExtractPortalLists(*capture, reported, captures, &report);
      ASSERT_EQ(a, b) << round;
      for (int k = 0; k < kListKindCount; ++k) {
        ASSERT_EQ(plain[k].count, reported[k].count) << round << " " << k;
        for (int i = 0; i < plain[k].count; ++i) {
          ASSERT_EQ(plain[k].entries[i].serviceId, reported[k].entries[i].serviceId);
          ASSERT_EQ(plain[k].entries[i].name, reported[k].entries[i].name);
        }
        const PacketCursor preferred = report[k].markerWithContinuity.Found()
                                           ? report[k].markerWithContinuity
                                           : report[k].markerWithoutContinuity;
        PacketCursor byte;
        FindMarker(*capture, static_cast<ListKind>(k), report[k].markerWithContinuity.Found(),
                   captures, &byte);
        EXPECT_EQ(preferred, byte) << round << " " << k;
      }
    }
  }
}

// Slots as the module's captures leave them: the latest capture stored slots
// 0..9, an older one (another transponder) slots 10..499, none the rest.
class JunctionTest : public ExtractionTest {
 protected:
  void SetUp() override {
    ExtractionTest::SetUp();
    std::fill_n(numbers.begin(), kSectionPacketsPerScan, 1u);
    std::fill_n(numbers.begin(), 10, 2u);
  }
  int32_t DirektCount() {
    ExtractPortalLists(*capture, lists, &numbers);
    return lists[0].count;
  }
  CaptureNumbers numbers{};
};

TEST_F(JunctionTest, ALinkageDescriptorCutByTheEndOfACaptureEndsTheListWithoutIt) {
  // "Kanal 1" fills offsets 162..177 of slot 9; "Kanal 2" starts at 178 and
  // would end in slot 10, among the older capture's bytes.
  write.At(9, 140).Marker("Direkt").Linkage(701, "Kanal 1").Linkage(702, "Kanal 2");
  write.Linkage(703, "Kanal 3").End();
  ASSERT_TRUE(ExtractPortalLists(*capture, lists, &numbers));
  ASSERT_EQ(1, lists[0].count);
  EXPECT_EQ("Kanal 1", lists[0].entries[0].name);

  // Without the numbers (a capture read back from a file) the slots are one run.
  ASSERT_TRUE(ExtractPortalLists(*capture, lists));
  EXPECT_EQ(3, lists[0].count);

  // The slot after the last one a full capture stores was never filled.
  write.At(499, 140).Marker("Portal").Linkage(401, "Sport 1").Linkage(402, "Sport 2");
  ASSERT_TRUE(ExtractPortalLists(*capture, lists, &numbers));
  ASSERT_EQ(1, lists[1].count);
  EXPECT_EQ("Sport 1", lists[1].entries[0].name);
}

TEST_F(JunctionTest, MarkerBytesOnBothSidesOfAJunctionAreNoMarker) {
  // The marker word runs from slot 9 into slot 10.
  write.At(9, 177).Bytes({0x4A, 20, 0, 1, 0, 2, 0, 3, 0xB0}).Text("Direkt Portal");
  write.Linkage(1, "a").End();
  EXPECT_FALSE(FindMarker(*capture, ListKind::Direkt, false, &numbers).Found());
  EXPECT_TRUE(FindMarker(*capture, ListKind::Direkt, false).Found());
  numbers[10] = 2;  // the same capture stored slot 10 right after slot 9
  EXPECT_TRUE(FindMarker(*capture, ListKind::Direkt, false, &numbers).Found());

  // The length byte lies in slot 9, the 0xB0 byte at offset 6 of slot 10.
  *capture = CaptureBuffer{};
  numbers[10] = 1;
  write.At(9, 182).Bytes({0x4A, 19, 0, 1, 0, 2, 0, 3, 0xB0}).Text("Direkt Portal");
  ASSERT_EQ(0xB0, (*capture)[10][6]);
  EXPECT_FALSE(FindMarker(*capture, ListKind::Direkt, false, &numbers).Found());
  EXPECT_FALSE(ExtractPortalLists(*capture, lists, &numbers));
}

TEST_F(JunctionTest, AListWhollyInOlderSlotsIsFoundAsBefore) {
  write.At(20, 150).Marker("Direkt").Linkage(701, "Kanal 1").Linkage(702, "Kanal 2");
  write.Linkage(703, "Kanal 3").End();  // across slots 20 and 21, both of the older capture
  EXPECT_EQ(3, DirektCount());
  EXPECT_EQ("Kanal 3", lists[0].entries[2].name);
}

TEST_F(JunctionTest, AContinuityBreakInsideOneCaptureIsReadAcross) {
  write.At(5, 150).Marker("Direkt").Linkage(701, "Kanal 1").Linkage(702, "Kanal 2");
  write.Linkage(703, "Kanal 3").End();
  (*capture)[5][3] = 0x13;
  (*capture)[6][3] = 0x15;  // a packet lost between slots 5 and 6
  EXPECT_EQ(3, DirektCount());
}

// The newest capture stored slots 0 and 1 and an older one slot 2 on, whose
// first payload bytes form a valid linkage descriptor. The same list is placed
// so that the end of slot 1 falls after each of its bytes in turn: the list
// keeps every entry wholly before that end and never takes the older one.
TEST(CaptureJunctions, AListEndsWhereItsCaptureEndsWhereverTheCutFalls) {
  const auto build = [](CaptureBuffer& capture, int32_t slot, int32_t offset) {
    CaptureWriter write(capture);
    write.At(slot, offset).Marker("Direkt").Linkage(701, "Kanal 1").Linkage(702, "");
    write.Linkage(703, "Spielfilm HD").Linkage(704, "K").Bytes({0x4A, 3, 0, 0, 0, 0, 2, 193, 0});
    write.Linkage(706, "Dokumentation").End();
    return write.Cursor();
  };
  // Where each descriptor ends, counted in bytes from the marker's tag.
  auto scratch = std::make_unique<CaptureBuffer>();
  const PacketCursor listEnd = build(*scratch, 0, 4);
  const int32_t markerLength = 2 + 20;
  const std::vector<int32_t> entryEnds = {markerLength + 16, markerLength + 25, markerLength + 46,
                                          markerLength + 56, markerLength + 65, markerLength + 87};
  ASSERT_EQ((PacketCursor{0, 4 + entryEnds.back() + 2}), listEnd);

  CaptureNumbers numbers{};
  std::fill_n(numbers.begin(), kSectionPacketsPerScan, 3u);
  numbers[0] = numbers[1] = 5;
  PortalLists lists;
  for (int32_t before = 1; before <= entryEnds.back() + 2; ++before) {
    auto capture = std::make_unique<CaptureBuffer>();
    SetCounters(*capture, 0, kCaptureSlots, 0);
    build(*capture, 1, static_cast<int32_t>(kTsPacketSize) - before);
    CaptureWriter(*capture).At(2, 4).Linkage(512, "OLD").End();
    const bool found = ExtractPortalLists(*capture, lists, &numbers);
    // The marker's length byte and word lie in slot 1 from 15 bytes on.
    ASSERT_EQ(before >= 15, found) << before << " bytes before the cut";
    const auto kept = std::count_if(entryEnds.begin(), entryEnds.end(),
                                    [&](int32_t end) { return end <= before; });
    EXPECT_EQ(found ? kept : 0, lists[0].count) << before << " bytes before the cut";
    for (int i = 0; i < lists[0].count; ++i) {
      EXPECT_EQ(701 + i, lists[0].entries[i].serviceId) << before << " bytes before the cut";
    }
  }
}

TEST(CaptureJunctions, AreStillSeenAfterTheCountWasResetAndTheCaptureIsReadAgain) {
  auto capture = std::make_unique<PacketCapture>();
  auto scratch = std::make_unique<CaptureBuffer>();
  const auto deliver = [&](int slots) {
    for (int i = 0; i < slots; ++i) {
      TsPacket packet = (*scratch)[i];
      packet[0] = 0x47;
      packet[1] = 0x40;
      packet[2] = 0x12;
      packet[3] = static_cast<uint8_t>(0x10 | (i & 0x0F));
      capture->OnPacket(packet.data());
    }
  };
  // An earlier scan of another transponder filled every slot with text.
  capture->Reset();
  for (TsPacket& packet : *scratch) packet.fill('x');
  deliver(kSectionPacketsPerScan);
  // This one ends in the middle of the second entry.
  *scratch = CaptureBuffer{};
  CaptureWriter(*scratch).At(1, 140).Marker("Direkt").Linkage(701, "Kanal 1").Linkage(702, "K 2");
  capture->Reset();
  deliver(2);

  PortalLists lists;
  for (int read = 0; read < 2; ++read) {
    ASSERT_TRUE(ExtractPortalLists(capture->Sections(), lists, &capture->SectionCaptures()));
    ASSERT_EQ(1, lists[0].count) << "read " << read;
    EXPECT_EQ("Kanal 1", lists[0].entries[0].name);
    // Showing the window again resets the count; a view toggle then reads again.
    capture->RestartSectionCount();
    EXPECT_EQ(0, capture->SectionCount());
  }
}

}  // namespace
}  // namespace zp
