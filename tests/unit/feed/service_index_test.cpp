#include <gtest/gtest.h>

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

TEST_F(ServiceIndexTest, WhichRecordHoldsTheSlot) {
  Tv(0, 10);
  Tv(7, 10);  // position 0 doubles as "none", so 7 takes the slot without a test
  Tv(3, 11);
  Tv(5, 11);  // the lower position stays
  Tv(2, 12);
  Tv(4, 12, "nameless Kanal");
  Tv(6, 12, "", 192);  // both override; the highest position wins
  Tv(8, 12, "NameLess");
  Tv(9, 13).dwFreq = 0;
  Tv(10, 13).ChType = 2;
  Tv(11, 9000);  // above the index
  EXPECT_EQ(Find(10), 7);
  EXPECT_EQ(Find(11), 3);
  EXPECT_EQ(Find(12), 6);
  EXPECT_EQ(Find(13), 0);
  EXPECT_EQ(Find(9000), 0);
  EXPECT_EQ(Find(-1), 0);
  EXPECT_TRUE(index_.Built());

  Tv(12, 14);  // built once: later changes to the table are not seen
  EXPECT_EQ(Find(14), 0);
}

TEST_F(ServiceIndexTest, TuningSendsThePositionOrReportsTheMissingChannel) {
  Tv(0, 18);  // at position 0 it counts as missing
  Tv(42, 4711);
  TuneToService(index_, table_.get(), host_, messages_, 4711);
  TuneToService(index_, table_.get(), host_, messages_, 18);
  TuneToService(index_, table_.get(), host_, messages_, 9000);
  ASSERT_EQ(host_.commands.size(), 1u);
  EXPECT_EQ(host_.commands[0].code, HostCommandCode::TuneToPosition);
  EXPECT_EQ(host_.commands[0].argument, 42);
  EXPECT_EQ(messages_.shown,
            (std::vector<std::string>{
                "Sorry, but there is no TV channel with SID 18 in channel list!",
                "Sorry, but there is no TV channel with SID 9000 in channel list!"}));
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
