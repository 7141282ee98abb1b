#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

#include "feed/PacketCapture.h"
#include "support/Packets.h"

namespace zp {
namespace {

using test::InfoPacket;
using test::MakePacket;
using test::SectionPacket;

class PacketCaptureTest : public ::testing::Test {
 protected:
  void Deliver(const TsPacket& packet) { capture->OnPacket(packet.data()); }
  std::unique_ptr<PacketCapture> capture = std::make_unique<PacketCapture>();
};

TEST_F(PacketCaptureTest, ClassifiesBySectionPidWhateverItsFlagsButInfoOnlyWithExactFlags) {
  Deliver(MakePacket(0x80, 0x12, 1));  // transport error bit set: still a section packet
  Deliver(MakePacket(0x40, 0x12, 2));
  Deliver(MakePacket(0x20, 0x12, 3));
  Deliver(MakePacket(0x00, 0x13, 4));  // another PID
  for (uint8_t flags : {0x09, 0x69, 0xC9}) Deliver(MakePacket(flags, 0x97, 5));

  EXPECT_EQ(3, capture->SectionCount());
  EXPECT_EQ(0, capture->InfoCounter());
  EXPECT_EQ(0x80, capture->Sections()[0][1]);
  EXPECT_EQ(3, capture->Sections()[2][100]);
  EXPECT_EQ(0, capture->Info()[1][0]);
}

TEST_F(PacketCaptureTest, StoresFiveHundredSectionPacketsAndCountsBeyond) {
  for (int i = 0; i < 501; ++i) Deliver(SectionPacket(static_cast<uint8_t>(i % 250 + 1)));
  EXPECT_EQ(501, capture->SectionCount());
  EXPECT_EQ(250, capture->Sections()[499][100]);  // packet 500 in slot 499
  EXPECT_EQ(0, capture->Sections()[500][0]);      // the 501st is not stored
  EXPECT_FALSE(capture->Complete());              // and completes nothing without info
}

TEST_F(PacketCaptureTest, StoresInfoPacketsAtOddSlotsAndTakesTheirTexts) {
  Deliver(InfoPacket('3', "A"));
  Deliver(InfoPacket('4', "Hello!"));
  EXPECT_EQ(4, capture->InfoCounter());
  EXPECT_EQ('3', capture->Info()[1][29]);
  EXPECT_EQ('4', capture->Info()[3][29]);
  EXPECT_EQ(0, capture->Info()[0][0]);
  EXPECT_EQ(0, capture->Info()[2][0]);
  EXPECT_EQ("A", capture->InfoText(3));  // byte 40 = 0 gives one character
  EXPECT_EQ("Hello!", capture->InfoText(4));
  EXPECT_EQ("", capture->InfoText(5));
}

TEST_F(PacketCaptureTest, RepeatedIndexClosesTheInformationSide) {
  Deliver(InfoPacket('3', "three"));
  Deliver(InfoPacket('4', "four"));
  Deliver(InfoPacket('3', "again"));
  EXPECT_EQ(20, capture->InfoCounter());
  EXPECT_EQ('3', capture->Info()[5][29]);  // stored, but its text not taken
  EXPECT_EQ("three", capture->InfoText(3));
  Deliver(InfoPacket('5', "late"));
  EXPECT_EQ("", capture->InfoText(5));
  EXPECT_EQ(0, capture->Info()[7][0]);
}

TEST_F(PacketCaptureTest, EleventhInfoPacketIsCountedButNotStored) {
  for (char c = '0'; c <= '9'; ++c) Deliver(InfoPacket(c, std::string(1, c)));
  Deliver(InfoPacket('0', "x"));
  EXPECT_EQ(22, capture->InfoCounter());
  EXPECT_EQ(0, capture->Info()[21][0]);
}

TEST_F(PacketCaptureTest, InfoTextNeverReadsPastThePacketAndNonDigitIndexTakesNoText) {
  TsPacket longText = InfoPacket('1', "abc");
  longText[40] = 255;  // claims 256 bytes from byte 41
  Deliver(longText);
  EXPECT_EQ(147u, capture->InfoText(1).size());  // bytes 41..187

  Deliver(InfoPacket('x', "nope"));
  EXPECT_EQ(4, capture->InfoCounter());  // stored and counted all the same
  EXPECT_EQ('x', capture->Info()[3][29]);
  for (int n = 0; n < kInfoTextCount; ++n) {
    if (n != 1) {
      EXPECT_EQ("", capture->InfoText(n));
    }
  }
}

TEST_F(PacketCaptureTest, CompletesWhenBothSidesAreFull) {
  for (int i = 0; i < 500; ++i) Deliver(SectionPacket());
  EXPECT_FALSE(capture->Complete());
  for (char c = '0'; c <= '8'; ++c) Deliver(InfoPacket(c, "t"));
  EXPECT_FALSE(capture->Complete());
  Deliver(InfoPacket('9', "t"));
  EXPECT_TRUE(capture->Complete());
}

TEST_F(PacketCaptureTest, ResetRestartsCountsAndTextsButKeepsBufferContent) {
  Deliver(SectionPacket(7));
  Deliver(InfoPacket('2', "two"));
  capture->MarkComplete();
  capture->Reset();
  EXPECT_EQ(0, capture->SectionCount());
  EXPECT_EQ(0, capture->InfoCounter());
  EXPECT_FALSE(capture->Complete());
  EXPECT_EQ("", capture->InfoText(2));
  EXPECT_EQ(7, capture->Sections()[0][100]);  // overwritten only by the next scan
  Deliver(SectionPacket(9));
  EXPECT_EQ(9, capture->Sections()[0][100]);
}

// The window shown again restarts the count while the delivery thread is
// between taking a slot and filling it: that packet belongs to the old run.
TEST_F(PacketCaptureTest, APacketWhoseSlotWasTakenBeforeARestartKeepsTheOldCapturesNumber) {
  for (uint8_t i = 1; i <= 3; ++i) Deliver(SectionPacket(i));  // slots 0-2
  const PacketCapture::SectionSlot late = capture->TakeSectionSlot();
  capture->RestartSectionCount();
  capture->FillSectionSlot(late, SectionPacket(4).data());
  for (uint8_t i = 5; i <= 7; ++i) Deliver(SectionPacket(i));  // slots 0-2 again

  const CaptureNumbers& numbers = capture->SectionCaptures();
  EXPECT_EQ(4, capture->Sections()[3][100]);
  EXPECT_EQ(numbers[0], numbers[2]);
  EXPECT_NE(numbers[2], numbers[3]) << "the old packet in slot 3 would continue the new run";
  EXPECT_NE(0U, numbers[3]);
}

// The viewer delivers on its own thread while the window resets, completes and
// reads; run under ThreadSanitizer this proves the hand-over.
TEST_F(PacketCaptureTest, DeliveryThreadAndWindowSideShareStateSafely) {
  std::atomic<bool> stop{false};
  std::thread delivery([&] {
    const TsPacket section = SectionPacket(1);
    const TsPacket other = MakePacket(0x01, 0x00);
    char index = '0';
    while (!stop.load()) {
      Deliver(section);
      Deliver(other);
      Deliver(InfoPacket(index, "info text"));
      index = index == '9' ? '0' : static_cast<char>(index + 1);
    }
  });
  int completions = 0;
  for (int round = 0; round < 200; ++round) {
    capture->Reset();
    while (!capture->Complete()) {
      for (int n = 0; n < kInfoTextCount; ++n) {
        const std::string text = capture->InfoText(n);
        ASSERT_TRUE(text.empty() || text == "info text");
      }
      if (capture->SectionCount() > 10000) capture->MarkComplete();
    }
    ++completions;
    EXPECT_GE(capture->InfoCounter(), 0);
  }
  stop = true;
  delivery.join();
  EXPECT_EQ(200, completions);
}

}  // namespace
}  // namespace zp
