#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "feed/ServiceIndex.h"
#include "support/RecordingHost.h"

namespace zp {
namespace {

class Messages : public MessageSink {
 public:
  void ShowMessage(const std::string& text) override { shown.push_back(text); }
  std::vector<std::string> shown;
};

class ServiceIndexTest : public ::testing::Test {
 protected:
  HostChannelRecord& Tv(int position, uint16_t sid, const char* actualName = "",
                        uint16_t satPos = 130) {
    HostChannelRecord& r = table_->Records[position];
    r.dwFreq = 11954;
    r.ChType = 1;
    r.wSID = sid;
    r.wSatPos = satPos;
    std::strncpy(r.ActualChName, actualName, sizeof r.ActualChName);
    return r;
  }
  int32_t Find(int32_t sid) { return index_.FindServicePosition(table_.get(), sid); }

  std::unique_ptr<HostChannelTable> table_ = std::make_unique<HostChannelTable>();
  ServiceIndex index_;
  test::RecordingHost host_;
  Messages messages_;
};

// The rule for duplicates, laid out from a first service id: small ids, the
// large ones ordinary channels use, and the largest four ids.
class DuplicateRuleTest : public ServiceIndexTest,
                          public ::testing::WithParamInterface<uint16_t> {};

TEST_P(DuplicateRuleTest, WhichRecordHoldsTheSlot) {
  const uint16_t sid = GetParam();
  Tv(0, sid);
  Tv(7, sid);  // position 0 doubles as "none", so 7 takes the slot without a test
  Tv(3, sid + 1);
  Tv(5, sid + 1);  // the lower position stays
  Tv(2, sid + 2);
  Tv(4, sid + 2, "nameless Kanal");
  Tv(6, sid + 2, "", 192);  // both override; the highest position wins
  Tv(8, sid + 2, "NameLess");
  Tv(9, sid + 3).dwFreq = 0;
  Tv(10, sid + 3).ChType = 2;
  Tv(kHostChannelCount - 1, sid + 3, "nameless");  // the last position has a slot too
  EXPECT_EQ(Find(sid), 7);
  EXPECT_EQ(Find(sid + 1), 3);
  EXPECT_EQ(Find(sid + 2), 6);
  EXPECT_EQ(Find(sid + 3), kHostChannelCount - 1);
  EXPECT_TRUE(index_.Built());

  Tv(12, sid + 4);  // built once: later changes to the table are not seen
  EXPECT_EQ(Find(sid + 4), 0);
}

INSTANTIATE_TEST_SUITE_P(SmallAndLargeIds, DuplicateRuleTest,
                         ::testing::Values(uint16_t{10}, uint16_t{8000}, uint16_t{28106},
                                           uint16_t{65531}));

TEST_F(ServiceIndexTest, OnlyIdsOneToSixteenBitsHaveChannels) {
  Tv(1, 0);  // a record without a service id is never found
  Tv(2, 1);
  Tv(3, 65535);
  // Cut to 16 bits, -1 would find 65535 and 65537 would find 1.
  for (const int32_t sid : {0, -1, 65536, 65537, 70000, INT32_MAX, INT32_MIN}) {
    EXPECT_EQ(Find(sid), 0) << sid;
  }
  EXPECT_EQ(Find(1), 2);
  EXPECT_EQ(Find(65535), 3);
}

TEST_F(ServiceIndexTest, TuningSendsThePositionOrReportsTheMissingChannel) {
  Tv(0, 18);  // at position 0 it counts as missing
  Tv(42, 4711);
  Tv(43, 28106);
  TuneToService(index_, table_.get(), host_, messages_, 4711);
  TuneToService(index_, table_.get(), host_, messages_, 18);
  TuneToService(index_, table_.get(), host_, messages_, 28106);
  TuneToService(index_, table_.get(), host_, messages_, 28006);
  TuneToService(index_, table_.get(), host_, messages_, 65536 + 28106);  // not wrapped to 28106
  ASSERT_EQ(host_.commands.size(), 2u);
  EXPECT_EQ(host_.commands[0].code, HostCommandCode::TuneToPosition);
  EXPECT_EQ(host_.commands[0].argument, 42);
  EXPECT_EQ(host_.commands[1].argument, 43);
  EXPECT_EQ(messages_.shown,
            (std::vector<std::string>{
                "Sorry, but there is no TV channel with SID 18 in channel list!",
                "Sorry, but there is no TV channel with SID 28006 in channel list!",
                "Sorry, but there is no TV channel with SID 93642 in channel list!"}));
}

TEST_F(ServiceIndexTest, WithoutATableNothingIsIndexedYet) {
  EXPECT_EQ(index_.FindServicePosition(nullptr, 18), 0);
  EXPECT_FALSE(index_.Built());
  Tv(3, 18);
  EXPECT_EQ(Find(18), 3);
}

TEST_F(ServiceIndexTest, ChannelInfoShowsEveryQualifyingRecordInOrder) {
  HostChannelRecord& r = Tv(9, 9000);
  r.dwFreq = 0xFFFFFFFF;
  r.dwSr = 27500;
  r.Pol = 1;
  std::memcpy(r.ChName, "AB\0EF", 5);
  std::memset(r.Provider, 'P', sizeof r.Provider);  // no terminator at all
  r.wNID = 1;
  r.wTID = 2;
  r.wVideo = 0xFFFF;
  r.wPMT = 100;
  r.wPCR = 101;
  r.wTTX = 102;
  r.wChNo = 7;
  r.wChFav = 3;
  Tv(4, 9000, "first");
  Tv(6, 9000).ChType = 2;

  ShowChannelInfo(table_.get(), messages_, 9000);
  ASSERT_EQ(messages_.shown.size(), 2u);
  EXPECT_NE(messages_.shown[0].find("\rActualChName: first\r"), std::string::npos);
  EXPECT_EQ(messages_.shown[1],
            "Channel Info: \rwSatPos: 130\rdwFreq: 4294967295\rdwSr: 27500\rPol: 1\rLength: 32"
            "\rChName: ABEF\rProvider: " +
                std::string(32, 'P') +
                "\rActualChName: \rChType: 1\rScrambled: 0\rwNID: 1\rwTID: 2\rwSID: 9000"
                "\rwVideo: 65535\rwPMT: 100\rwPCR: 101\rwTTX: 102\rwChNo: 7\rwChFav: 3");

  messages_.shown.clear();
  ShowChannelInfo(table_.get(), messages_, 77);
  EXPECT_TRUE(messages_.shown.empty());
}

}  // namespace
}  // namespace zp
