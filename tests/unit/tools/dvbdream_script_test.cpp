#include <gtest/gtest.h>

#include "Script.h"

namespace zp::viewer {
namespace {

TEST(ViewerScript, StepsKeepTheirArgumentsAndLines) {
  const std::vector<Step> steps = ParseScript(
      "# start\n"
      "init\n"
      "  show  \n"
      "wait-scan\n"
      "wait-scan 3000\n"
      "select Direkt Portal/D 1 Blockbuster\n"
      "key ctrl+Enter\n"
      "answer Save dump.bin\n"
      "answer\n"
      "ddevent 1 0x20\n"
      "tune 7999\n"
      "echo\n"
      "delivery ui\n");
  ASSERT_EQ(12u, steps.size());
  EXPECT_EQ(StepKind::Init, steps[0].kind);
  EXPECT_EQ(2, steps[0].line);
  EXPECT_EQ("show", steps[1].text);
  EXPECT_EQ(10000, steps[2].number);  // the default wait for a scan
  EXPECT_EQ(3000, steps[3].number);
  EXPECT_EQ("Direkt Portal/D 1 Blockbuster", steps[4].arg);
  EXPECT_TRUE(steps[5].key.ctrl);
  EXPECT_EQ(0x0D, steps[5].key.vk);
  EXPECT_EQ("Save", steps[6].arg);
  EXPECT_EQ("dump.bin", steps[6].arg2);
  EXPECT_EQ(StepKind::Answer, steps[7].kind);  // "answer" alone: the default button
  EXPECT_EQ(9, steps[7].line);
  EXPECT_EQ(1, steps[8].number);
  EXPECT_EQ(0x20, steps[8].number2);
  EXPECT_EQ(7999, steps[9].number);
  EXPECT_EQ(StepKind::Echo, steps[10].kind);
  EXPECT_EQ("ui", steps[11].arg);
}

TEST(ViewerScript, DialogStepsTakeAControlIdAndTheTextAsWritten) {
  const std::vector<Step> steps = ParseScript(
      "dlg-type 124  Meine  Sender \n"
      "dlg-type 126\n"
      "dlg-select 0x65 Kanal Nord\n"
      "dlg-click 1\n"
      "copy modules\\Zanterpoint.ini before.ini\n"
      "readonly modules\\Zanterpoint.ini\n");
  ASSERT_EQ(6u, steps.size());
  EXPECT_EQ(124, steps[0].number);
  EXPECT_EQ("Meine  Sender", steps[0].arg2);
  EXPECT_EQ("", steps[1].arg2);  // empties the field
  EXPECT_EQ(0x65, steps[2].number);
  EXPECT_EQ("Kanal Nord", steps[2].arg2);
  EXPECT_EQ(StepKind::DialogClick, steps[3].kind);
  EXPECT_EQ("modules\\Zanterpoint.ini", steps[4].arg);
  EXPECT_EQ("before.ini", steps[4].arg2);
  EXPECT_EQ(StepKind::ReadOnly, steps[5].kind);
  for (const char* line :
       {"dlg-type x", "dlg-select 101", "dlg-click", "copy a.ini", "controls 1"}) {
    EXPECT_THROW(ParseScript(line), ScriptError) << line;
  }
}

TEST(ViewerScript, FaultsNameTheirLine) {
  const char* bad[] = {
      "scan",      "init now",  "wait",          "wait soon",    "wait -1",       "tune 8000",
      "tune -1",   "ddevent 1", "delivery fast", "rate 0",       "key ctrl+meta", "key F25",
      "key ctrl+", "select",    "wait-scan x",   "key vk=0x100", "menu",
  };
  for (const char* line : bad) {
    try {
      ParseScript(std::string("init\n") + line + "\n");
      ADD_FAILURE() << "accepted: " << line;
    } catch (const ScriptError& e) {
      EXPECT_NE(std::string(e.what()).find("line 2"), std::string::npos) << e.what();
    }
  }
}

TEST(ViewerScript, RepeatBlocksNestAndMustBeClosed) {
  const std::vector<Step> steps = ParseScript(
      "init\n"
      "repeat 3\n"
      "  timer 1\n"
      "  repeat 2\n"
      "    wait-scan\n"
      "  end\n"
      "  memory\n"
      "end\n"
      "tree\n");
  ASSERT_EQ(3u, steps.size());
  const Step& outer = steps[1];
  EXPECT_EQ(StepKind::Repeat, outer.kind);
  EXPECT_EQ(3, outer.number);
  ASSERT_EQ(3u, outer.body.size());
  EXPECT_EQ(StepKind::Timer, outer.body[0].kind);
  EXPECT_EQ(1, outer.body[0].number);
  ASSERT_EQ(1u, outer.body[1].body.size());
  EXPECT_EQ(StepKind::WaitScan, outer.body[1].body[0].kind);
  EXPECT_EQ(StepKind::Memory, outer.body[2].kind);
  EXPECT_EQ(StepKind::Tree, steps[2].kind);

  try {
    ParseScript("init\nrepeat 2\n  show\n");
    ADD_FAILURE() << "an open repeat was accepted";
  } catch (const ScriptError& e) {
    EXPECT_NE(std::string(e.what()).find("line 2"), std::string::npos) << e.what();
  }
}

TEST(ViewerScript, KeyChords) {
  const KeyChord f5 = ParseKeyChord("ctrl+shift+F5");
  EXPECT_TRUE(f5.ctrl);
  EXPECT_TRUE(f5.shift);
  EXPECT_FALSE(f5.alt);
  EXPECT_EQ(0x74, f5.vk);
  EXPECT_FALSE(f5.extended);

  const KeyChord x = ParseKeyChord("Alt+x");
  EXPECT_TRUE(x.alt);
  EXPECT_EQ('X', x.vk);

  const KeyChord left = ParseKeyChord("left");
  EXPECT_EQ(0x25, left.vk);
  EXPECT_TRUE(left.extended);  // arrows are extended keys

  EXPECT_EQ(0x0D, ParseKeyChord("Return").vk);
  EXPECT_EQ(0x87, ParseKeyChord("F24").vk);
  EXPECT_EQ('7', ParseKeyChord("7").vk);
  EXPECT_EQ(0xBB, ParseKeyChord("plus").vk);
  EXPECT_EQ(0x41, ParseKeyChord("vk=0x41").vk);
  EXPECT_THROW(ParseKeyChord("F0"), std::invalid_argument);
  EXPECT_THROW(ParseKeyChord("shift+"), std::invalid_argument);
  EXPECT_THROW(ParseKeyChord("xx"), std::invalid_argument);
}

}  // namespace
}  // namespace zp::viewer
