#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

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

}  // namespace
}  // namespace zp
