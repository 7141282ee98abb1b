#include <gtest/gtest.h>

#include <memory>

#include "feed/PacketCapture.h"
#include "support/Packets.h"
#include "ui/ErrorReport.h"
#include "ui/FormKeys.h"
#include "ui/NodeHint.h"
#include "ui/RescanTimer.h"

namespace zp {
namespace {

TEST(FormKeys, PortalTogglesNeedCtrlWithAltOrShift) {
  for (uint32_t key : {'E', 'D', 'S'}) {
    EXPECT_EQ(KeyAction::None, DecodeKey(key, {}));
    EXPECT_EQ(KeyAction::None, DecodeKey(key, {true, false, false}));
    EXPECT_EQ(KeyAction::None, DecodeKey(key, {false, true, true}));
    EXPECT_NE(KeyAction::None, DecodeKey(key, {true, true, false}));
    EXPECT_EQ(DecodeKey(key, {true, true, false}), DecodeKey(key, {true, false, true}));
    EXPECT_EQ(DecodeKey(key, {true, true, false}), DecodeKey(key, {true, true, true}));
  }
  EXPECT_EQ(KeyAction::ToggleErotik, DecodeKey('E', {true, true, false}));
  EXPECT_EQ(KeyAction::ToggleDirekt, DecodeKey('D', {true, false, true}));
  EXPECT_EQ(KeyAction::ToggleSport, DecodeKey('S', {true, true, true}));
}

TEST(FormKeys, OtherRowsTakeAnyModifiers) {
  for (KeyModifiers m : {KeyModifiers{}, KeyModifiers{true, true, true}}) {
    EXPECT_EQ(KeyAction::Close, DecodeKey(vk::kEscape, m));
    EXPECT_EQ(KeyAction::SelectPrevious, DecodeKey(vk::kUp, m));
    EXPECT_EQ(KeyAction::SelectNext, DecodeKey(vk::kDown, m));
    EXPECT_EQ(KeyAction::Collapse, DecodeKey(vk::kLeft, m));
    EXPECT_EQ(KeyAction::Expand, DecodeKey(vk::kRight, m));
    EXPECT_EQ(KeyAction::Tune, DecodeKey(vk::kReturn, m));
    EXPECT_EQ(KeyAction::None, DecodeKey('e', m));   // VK codes of letters are capitals
    EXPECT_EQ(KeyAction::None, DecodeKey(0x6B, m));  // numeric +
  }
}

TEST(ErrorReport, ADotFollowsMessagesThatEndAfterDot) {
  EXPECT_EQ("In x kann nicht geschrieben werden.",
            ErrorBoxText("In x kann nicht geschrieben werden"));
  EXPECT_EQ("'abc' ist kein g\xFCltiger Integerwert.",
            ErrorBoxText("'abc' ist kein g\xFCltiger Integerwert"));
  EXPECT_EQ("Done.", ErrorBoxText("Done."));
  EXPECT_EQ("Stop!", ErrorBoxText("Stop!"));
  EXPECT_EQ("(1)", ErrorBoxText("(1)"));
  EXPECT_EQ("Gr\xFC\xDF.", ErrorBoxText("Gr\xFC\xDF"));  // bytes above 0x7F sort after "."
  EXPECT_EQ("", ErrorBoxText(""));

  ErrorQueue queue;
  queue.Add("A");
  queue.Add("B");
  queue.Add("A");
  EXPECT_EQ((std::vector<std::string>{"A.", "B."}), queue.Take());
  EXPECT_TRUE(queue.Empty());
}

TEST(RescanTimer, OnlyAChangeRestartsTheCountdown) {
  using Change = RescanTimer::Change;
  RescanTimer timer;
  EXPECT_EQ(Change::None, timer.Apply(60000, false));
  EXPECT_EQ(Change::Start, timer.Apply(60000, true));
  EXPECT_EQ(Change::None, timer.Apply(60000, true));  // every load sets it again
  EXPECT_EQ(Change::Start, timer.Apply(90000, true));
  EXPECT_EQ(Change::Stop, timer.Disable());
  EXPECT_EQ(Change::None, timer.Apply(30000, false));
  EXPECT_EQ(Change::Start, timer.Apply(30000, true));
  EXPECT_EQ(Change::Stop, timer.Apply(0, true));  // an interval of 0 never ticks
}

TEST(NodeHint, CapitalDSpaceAndDigitPickTheInformationText) {
  auto capture = std::make_unique<PacketCapture>();
  capture->Reset();
  const TsPacket three = test::InfoPacket('3', "Lola rennt");
  capture->OnPacket(three.data());

  EXPECT_EQ("Lola rennt", NodeHint("D 3 Kinohits", *capture));
  EXPECT_EQ("Lola rennt", NodeHint("D 3", *capture));
  EXPECT_EQ("", NodeHint("D 4 Kinohits", *capture));  // not received in this scan
  EXPECT_EQ("", NodeHint("D3 Kinohits", *capture));
  EXPECT_EQ("", NodeHint("d 3 Kinohits", *capture));
  EXPECT_EQ("", NodeHint("D x", *capture));
  EXPECT_EQ("", NodeHint("D ", *capture));
  EXPECT_EQ("", NodeHint("Sport 3", *capture));
}

}  // namespace
}  // namespace zp
