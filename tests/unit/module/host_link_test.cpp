#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "module/HostLink.h"
#include "support/RecordingHost.h"

namespace zp {
namespace {

// Commands that carry a value pass it in lParam; the others pass an address
// that the viewer writes through.
TEST(HostLink, CommandsPassValuesOrAddressesAsTheViewerExpects) {
  test::RecordingHost host;
  auto table = std::make_unique<HostChannelTable>();
  host.table = table.get();
  host.currentPosition = 4711;
  host.tuneFollows = false;

  TuneToPosition(host, 7999);
  StopPacketFilter(host, 0xCAFE);
  EXPECT_EQ(4711, GetCurrentPosition(host));
  EXPECT_EQ(table.get(), FetchChannelTable(host));

  uint32_t seenSize = 0;
  struct SizeProbe : test::RecordingHost {
    uint32_t* seen;
    void Send(HostCommandCode code, intptr_t argument) override {
      std::memcpy(seen, reinterpret_cast<const void*>(argument), 4);
      RecordingHost::Send(code, argument);
    }
  } probe;
  probe.seen = &seenSize;
  SendHostInfoQuery(probe);
  EXPECT_EQ(25u, seenSize);

  ASSERT_EQ(4u, host.commands.size());
  EXPECT_EQ(HostCommandCode::TuneToPosition, host.commands[0].code);
  EXPECT_EQ(7999, host.commands[0].argument);
  EXPECT_EQ(HostCommandCode::StopPacketFilter, host.commands[1].code);
  EXPECT_EQ(0xCAFE, host.commands[1].argument);
  EXPECT_EQ(HostCommandCode::GetCurrentPosition, host.commands[2].code);
  EXPECT_EQ(HostCommandCode::GetChannelTable, host.commands[3].code);
}

TEST(HostLink, ViewerThatAnswersNothingLeavesDefinedResults) {
  struct Silent : HostLink {
    void Send(HostCommandCode, intptr_t) override {}
  } silent;
  EXPECT_EQ(-1, GetCurrentPosition(silent));
  EXPECT_EQ(nullptr, FetchChannelTable(silent));
}

}  // namespace
}  // namespace zp
