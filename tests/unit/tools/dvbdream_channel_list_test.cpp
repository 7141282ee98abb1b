#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "ChannelList.h"

namespace zp::viewer {
namespace {

// A copy of a packed record field: a reference to it may be misaligned.
template <class T>
T Value(T field) {
  return field;
}

TEST(ViewerChannelList, ChannelLineFillsEveryFieldOfTheRecord) {
  const ChannelList list = ParseChannelList(
      "# a comment\r\n"
      "\n"
      "channel pos=7 sat=192 freq=11797 sr=27500 pol=V type=2 scrambled=1 nid=0x85 tid=4 "
      "sid=18 video=0x1FF pmt=100 pcr=0x1FF ttx=0x20 chno=7 fav=3 name=\"Direkt \\\"P\\\"\" "
      "provider=PayTV actual=\"K\\xF6rper\\\\\"  # trailing comment\r\n");
  ASSERT_EQ(1u, list.channels.size());
  const Channel& c = list.channels[0];
  EXPECT_EQ(7, c.position);
  const HostChannelRecord& r = c.record;
  EXPECT_EQ(192, Value(r.wSatPos));
  EXPECT_EQ(11797u, Value(r.dwFreq));
  EXPECT_EQ(27500u, Value(r.dwSr));
  EXPECT_EQ(1, Value(r.Pol));
  EXPECT_EQ(2, Value(r.ChType));
  EXPECT_EQ(1, Value(r.Scrambled));
  EXPECT_EQ(0x85, Value(r.wNID));
  EXPECT_EQ(4, Value(r.wTID));
  EXPECT_EQ(18, Value(r.wSID));
  EXPECT_EQ(0x1FF, Value(r.wVideo));
  EXPECT_EQ(100, Value(r.wPMT));
  EXPECT_EQ(0x1FF, Value(r.wPCR));
  EXPECT_EQ(0x20, Value(r.wTTX));
  EXPECT_EQ(7, Value(r.wChNo));
  EXPECT_EQ(3, Value(r.wChFav));
  EXPECT_EQ("Direkt \"P\"", NameText(r.ChName));
  EXPECT_EQ("PayTV", NameText(r.Provider));
  EXPECT_EQ("K\xF6rper\\", NameText(r.ActualChName));
  EXPECT_EQ(0, r.ChName[10]);  // zero-padded
}

TEST(ViewerChannelList, DefaultsAndFullNames) {
  const ChannelList list =
      ParseChannelList("channel pos=3 name=ABCDEFGHIJKLMNOPQRSTUVWXYZ012345 pol=r\n");
  const HostChannelRecord& r = list.channels.at(0).record;
  EXPECT_EQ(1, Value(r.ChType));  // a TV channel unless said otherwise
  EXPECT_EQ(0u, Value(r.dwFreq));
  EXPECT_EQ(3, Value(r.Pol));
  // 32 bytes fill the field: no terminator, and nothing spills into Provider.
  EXPECT_EQ(0, std::memcmp(r.ChName, "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345", 32));
  EXPECT_EQ(32u, NameText(r.ChName).size());
  EXPECT_EQ("", NameText(r.Provider));
}

TEST(ViewerChannelList, FaultsNameTheirLine) {
  struct Case {
    const char* text;
    int line;
    const char* message;
  };
  const Case cases[] = {
      {"channel pos=1\nchannel pos=1\n", 2, "position 1 is taken"},
      {"channel pos=8000\n", 1, "above 7999"},
      {"channel pos=1 sid=65536\n", 1, "above 65535"},
      {"channel pos=1 freq=4294967296\n", 1, "above 4294967295"},
      {"channel pos=1 sid=12a\n", 1, "not a number"},
      {"channel pos=1 sid=\n", 1, "not a number"},
      {"\n\nchannel pos=1 name=ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456\n", 3, "longer than 32"},
      {"channel pos=1 name=\"open\n", 1, "unterminated"},
      {"channel pos=1 name=\"\\x4\"\n", 1, "two hex digits"},
      {"channel pos=1 name=\"\\n\"\n", 1, "unknown escape"},
      {"channel pos=1 colour=red\n", 1, "unknown channel field"},
      {"channel sid=1\n", 1, "without pos="},
      {"channel pos=1 sid\n", 1, "expected key=value"},
      {"transponder sat=192 freq=1\n", 1, "without stream="},
      {"transponder freq=1 stream=a.ts\ntransponder freq=1 stream=b.ts\n", 2, "listed twice"},
      {"channel pos=1\ncurrent pos=2\n", 2, "has no channel"},
      {"channels pos=1\n", 1, "unknown line"},
  };
  for (const Case& c : cases) {
    try {
      ParseChannelList(c.text);
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const ChannelListError& e) {
      EXPECT_EQ(c.line, e.Line()) << c.text;
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos)
          << c.text << " -> " << e.what();
    }
  }
}

TEST(ViewerChannelList, ChannelsPlayTheStreamOfTheirTransponder) {
  const ChannelList list = ParseChannelList(
      "transponder sat=192 freq=11797 pol=H stream=portal.ts\n"
      "transponder sat=192 freq=11797 pol=V stream=other.ts\n"
      "channel pos=1 sat=192 freq=11797 pol=V\n"
      "channel pos=2 sat=192 freq=11797 pol=H\n"
      "channel pos=3 sat=130 freq=11797 pol=H\n"
      "channel pos=4 sat=192 pol=H\n");
  ASSERT_EQ(2u, list.transponders.size());
  EXPECT_EQ("portal.ts", list.transponders[0].stream);
  EXPECT_EQ(1, FindTransponder(list, list.channels[0].record));
  EXPECT_EQ(0, FindTransponder(list, list.channels[1].record));
  EXPECT_EQ(-1, FindTransponder(list, list.channels[2].record));  // another satellite
  EXPECT_EQ(-1, FindTransponder(list, list.channels[3].record));  // an empty position
}

TEST(ViewerChannelList, TableHoldsEachRecordAtItsPositionAndNothingElse) {
  const ChannelList list =
      ParseChannelList("channel pos=0 freq=1 sid=10\nchannel pos=7999 freq=2 sid=20\n");
  auto table = std::make_unique<HostChannelTable>();
  std::memset(table.get(), 0xAB, sizeof *table);
  FillChannelTable(list, *table);
  const auto* bytes = reinterpret_cast<const uint8_t*>(table.get());
  uint16_t sid = 0;
  std::memcpy(&sid, bytes + 13466 + 113, 2);
  EXPECT_EQ(10, sid);
  std::memcpy(&sid, bytes + 13466 + 521 * 7999 + 113, 2);
  EXPECT_EQ(20, sid);
  EXPECT_EQ(0u, Value(table->Records[1].dwFreq));
  EXPECT_EQ(0, table->Header[0]);
}

TEST(ViewerChannelList, StartPositionIsTheListedOneElseTheFirstChannel) {
  EXPECT_EQ(5, StartPosition(ParseChannelList("channel pos=9\nchannel pos=5\n")));
  EXPECT_EQ(9, StartPosition(ParseChannelList("channel pos=9\nchannel pos=5\ncurrent pos=9\n")));
  EXPECT_EQ(0, StartPosition(ParseChannelList("")));
}

}  // namespace
}  // namespace zp::viewer
