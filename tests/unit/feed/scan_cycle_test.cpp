#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "feed/ScanCycle.h"
#include "support/Packets.h"
#include "support/RecordingHost.h"

namespace zp {
namespace {

using Code = HostCommandCode;

int32_t ZP_STDCALL DummyCallback(const uint8_t*, uint32_t, uint32_t) { return 0; }

// The window side of a scan, reduced to a record of what the scan asked of it.
class RecordingScan : public ScanCycle {
 public:
  explicit RecordingScan(const FeedContext& feed) : ScanCycle(feed) {}

  int captureStarts = 0, builds = 0;
  bool ticking = false, built = false;
  std::string progress;
  std::deque<bool> buildResults;
  std::vector<std::string> failures;

 protected:
  void CaptureStarting() override { ++captureStarts; }
  void SetTicking(bool enabled) override { ticking = enabled; }
  void ReportProgress(const char* text) override { progress = text; }
  void ReportFailure(const char* text) override { failures.push_back(text); }
  bool BuildTree() override {
    ++builds;
    const bool ok = buildResults.empty() ? false : buildResults.front();
    if (!buildResults.empty()) buildResults.pop_front();
    built = built || ok;
    return ok;
  }
  bool TreeBuilt() const override { return built; }
};

class ScanCycleTest : public ::testing::Test {
 protected:
  // Ticks until the capture ends (the timer is switched off), at most 20;
  // a stopped timer does not tick.
  int RunCapture() {
    if (!cycle.ticking) return 0;
    for (int tick = 1; tick <= 20; ++tick) {
      cycle.Timer2Timer();
      if (!cycle.ticking) return tick;
    }
    return -1;
  }
  std::vector<Code> CodesSince(size_t first) const {
    std::vector<Code> codes;
    for (size_t i = first; i < host.commands.size(); ++i) codes.push_back(host.commands[i].code);
    return codes;
  }

  std::unique_ptr<PacketCapture> capture = std::make_unique<PacketCapture>();
  test::RecordingHost host;
  std::unique_ptr<PortalLists> lists = std::make_unique<PortalLists>();
  RecordingScan cycle{FeedContext{host, *capture, *lists, DummyCallback}};
};

TEST_F(ScanCycleTest, StartFillsTheRequestAndAsksForPackets) {
  cycle.StartScan();
  ASSERT_EQ(1u, host.startedRequests.size());
  const PacketFilterRequest& sent = host.startedRequests[0];
  uint8_t expected[187] = {};
  const uint32_t size = 187, callback = ToHostAddress(DummyCallback);
  const uint16_t word4 = 2, word6 = 0x2000;
  std::memcpy(expected + 0, &size, 4);
  std::memcpy(expected + 4, &word4, 2);
  std::memcpy(expected + 6, &word6, 2);
  std::memcpy(expected + 8, &callback, 4);
  std::memcpy(expected + 59, "Zanterpoint", 11);
  EXPECT_EQ(0, std::memcmp(expected, &sent, 187));
  EXPECT_EQ(reinterpret_cast<intptr_t>(&cycle.Request()), host.commands[0].argument);
  EXPECT_EQ(host.lastHandle, cycle.Request().Handle);
  EXPECT_EQ(1, cycle.captureStarts);
  EXPECT_TRUE(cycle.ticking);
  EXPECT_EQ("Start", cycle.progress);
}

TEST_F(ScanCycleTest, CaptureEndsAtTheFirstTickOnceCompleteOrAtTheFifteenth) {
  cycle.StartScan();
  EXPECT_EQ(15, RunCapture());
  EXPECT_EQ(1, cycle.builds);

  host.onStart = [&] {  // a delivery that fills both sides at once
    for (int i = 0; i < 500; ++i) capture->OnPacket(test::SectionPacket().data());
    for (char c = '0'; c <= '9'; ++c) capture->OnPacket(test::InfoPacket(c, "t").data());
  };
  cycle.buildResults = {true};
  cycle.StartScan();
  const size_t before = host.commands.size();
  EXPECT_EQ(1, RunCapture());
  ASSERT_EQ((std::vector<Code>{Code::StopPacketFilter}), CodesSince(before));
  EXPECT_EQ(static_cast<intptr_t>(host.lastHandle), host.commands[before].argument);
}

TEST_F(ScanCycleTest, FailureOnAnOrdinaryChannelRetriesOnThePortalAndTunesBack) {
  cycle.SetPortalPosition(7);
  host.currentPosition = 120;
  cycle.buildResults = {false, true};
  cycle.StartScan();
  RunCapture();
  EXPECT_EQ(120, cycle.ReturnPosition());
  EXPECT_EQ(7, host.currentPosition);
  const size_t before = host.commands.size();
  RunCapture();
  EXPECT_EQ((std::vector<Code>{Code::StopPacketFilter, Code::TuneToPosition}), CodesSince(before));
  EXPECT_EQ(120, host.currentPosition);
  EXPECT_EQ(0, cycle.ReturnPosition());
  EXPECT_TRUE(cycle.failures.empty());
}

TEST_F(ScanCycleTest, FailedRetryTunesBackAndReports) {
  cycle.SetPortalPosition(7);
  host.currentPosition = 120;
  cycle.StartScan();
  RunCapture();
  RunCapture();
  EXPECT_EQ(120, host.currentPosition);
  EXPECT_EQ((std::vector<std::string>{"Cannot find NVOD information"}), cycle.failures);
  EXPECT_FALSE(cycle.ticking);
  EXPECT_EQ(2u, host.startedRequests.size());
}

TEST_F(ScanCycleTest, FailureOnThePortalItselfReportsWithoutTuning) {
  cycle.SetPortalPosition(7);
  host.currentPosition = 7;
  cycle.StartScan();
  const size_t before = host.commands.size();
  RunCapture();
  EXPECT_EQ((std::vector<Code>{Code::StopPacketFilter, Code::GetCurrentPosition}),
            CodesSince(before));
  EXPECT_EQ(1u, cycle.failures.size());
}

TEST_F(ScanCycleTest, RetriesOnceEvenWhenTheViewerNeverReachesThePortal) {
  cycle.SetPortalPosition(7);
  host.currentPosition = 120;
  host.tuneFollows = false;
  cycle.StartScan();
  for (int i = 0; i < 5; ++i) RunCapture();
  EXPECT_EQ(2u, host.startedRequests.size());
  EXPECT_EQ(1u, cycle.failures.size());
  EXPECT_EQ(0, cycle.ReturnPosition());
  ASSERT_EQ(Code::TuneToPosition, host.commands.back().code);
  EXPECT_EQ(120, host.commands.back().argument);
}

TEST_F(ScanCycleTest, NoPortalChannelMeansNoRetry) {
  host.currentPosition = 120;
  cycle.StartScan();
  RunCapture();
  EXPECT_EQ(1u, host.startedRequests.size());
  EXPECT_EQ(1u, cycle.failures.size());
}

TEST_F(ScanCycleTest, PeriodicRescanWaitsForAFirstTree) {
  cycle.Timer1Timer();
  EXPECT_TRUE(host.commands.empty());
  cycle.built = true;
  cycle.Timer1Timer();
  EXPECT_EQ(1u, host.startedRequests.size());
}

TEST_F(ScanCycleTest, RestartDuringACaptureStopsTheRunningDeliveryAndRestartsTheCounts) {
  cycle.StartScan();
  capture->OnPacket(test::SectionPacket(1).data());
  capture->OnPacket(test::SectionPacket(2).data());
  cycle.Timer2Timer();
  const uint32_t firstHandle = cycle.Request().Handle;
  const size_t before = host.commands.size();
  cycle.StartScan();
  ASSERT_EQ((std::vector<Code>{Code::StopPacketFilter, Code::StartPacketFilter}),
            CodesSince(before));
  EXPECT_EQ(static_cast<intptr_t>(firstHandle), host.commands[before].argument);
  EXPECT_EQ(0, cycle.TickCount());
  capture->OnPacket(test::SectionPacket(9).data());
  EXPECT_EQ(9, capture->Sections()[0][100]);  // overwritten from slot 0 on
  EXPECT_EQ(2, capture->Sections()[1][100]);
}

}  // namespace
}  // namespace zp
